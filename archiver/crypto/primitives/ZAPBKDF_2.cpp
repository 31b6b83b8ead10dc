#include "ZAPBKDF_2.h"

#include <algorithm>
#include <cstring>
#include <random>

#include "Exceptions.h"
#include "ZAhmac.h"
#include "ZAsha1.h"

namespace {

inline void StoreBE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

inline uint32_t LoadBE32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// HMAC keyed once: the hash states after the inner and after the outer key
// block. Every PRF call resumes from copies of them, which gives the bytes of
// an HMAC keyed afresh and spares hashing the two key blocks each time.
class TKeyedPRF {
 public:
  TKeyedPRF(PHashDesc Desc, const uint8_t* Key, size_t KeyLen) : FDesc(Desc) {
    THMAC_Context hmac;
    if (KeyLen > UINT16_MAX) {
      // HMAC uses H(key) for a key longer than a block; HMACInit's length is
      // 16-bit, so hash such a key here rather than cut it.
      THashDigest hashed;
      THashContext c;
      Desc->HInit(c);
      for (size_t done = 0; done < KeyLen;) {
        const size_t n = std::min<size_t>(KeyLen - done, 1u << 30);
        Desc->HUpdateXL(c, Key + done, int32_t(n));
        done += n;
      }
      Desc->HFinal(c, hashed);
      HMACInit(hmac, Desc, hashed.data(), uint16_t(DigestLen()));
    } else {
      HMACInit(hmac, Desc, Key, uint16_t(KeyLen));
    }
    FInner = hmac.hashctx;
    const size_t blockLen = std::min<size_t>(Desc->HBlockLen, sizeof(THashBuffer));
    for (size_t i = 0; i < blockLen; ++i) hmac.hmacbuf[i] ^= 0x36 ^ 0x5C;
    Desc->HInit(FOuter);
    Desc->HUpdateXL(FOuter, hmac.hmacbuf.data(), int32_t(blockLen));
    std::memset(&hmac, 0, sizeof hmac);
  }

  ~TKeyedPRF() {
    std::memset(&FInner, 0, sizeof FInner);
    std::memset(&FOuter, 0, sizeof FOuter);
  }

  size_t DigestLen() const { return std::min<size_t>(FDesc->HDigestlen, sizeof(THashDigest)); }

  // HMAC of A followed by B.
  void Mac(const uint8_t* A, size_t ALen, const uint8_t* B, size_t BLen, THashDigest& Out) const {
    THashContext c = FInner;
    FDesc->HUpdateXL(c, A, int32_t(ALen));
    if (BLen) FDesc->HUpdateXL(c, B, int32_t(BLen));
    THashDigest inner;
    FDesc->HFinal(c, inner);
    c = FOuter;
    FDesc->HUpdateXL(c, inner.data(), int32_t(DigestLen()));
    FDesc->HFinal(c, Out);
  }

  // For SHA-1: the first five state words after the inner and outer blocks.
  const uint32_t* InnerState() const { return FInner.Hash.data(); }
  const uint32_t* OuterState() const { return FOuter.Hash.data(); }

 private:
  PHashDesc FDesc;
  THashContext FInner;
  THashContext FOuter;
};

bool IsSHA1(PHashDesc d) {
  return d->HInit == SHA1Init && d->HUpdateXL == SHA1Update && d->HFinal == SHA1Final &&
         d->HBlockLen == SHA1_BlockLen && d->HDigestlen == SHA1_DigestLen;
}

// Iterations 2 to C of one SHA-1 block. U is 20 bytes, so the inner and the
// outer message are each one padded block whose padding never changes: only
// the first 20 bytes are rewritten, and each HMAC is two compressions.
void SHA1Iterations(const TKeyedPRF& Prf, int32_t C, THashDigest& U, THashDigest& T) {
  uint8_t block[SHA1_BlockLen] = {};
  block[SHA1_DigestLen] = 0x80;
  const uint32_t bits = (SHA1_BlockLen + SHA1_DigestLen) * 8;
  block[62] = uint8_t(bits >> 8);
  block[63] = uint8_t(bits);

  uint32_t u[5], t[5];
  for (int i = 0; i < 5; ++i) t[i] = u[i] = LoadBE32(U.data() + 4 * i);
  for (int32_t j = 2; j <= C; ++j) {
    for (int i = 0; i < 5; ++i) StoreBE32(block + 4 * i, u[i]);
    uint32_t s[5];
    std::memcpy(s, Prf.InnerState(), sizeof s);
    SHA1CompressBlock(s, block);
    for (int i = 0; i < 5; ++i) StoreBE32(block + 4 * i, s[i]);
    std::memcpy(u, Prf.OuterState(), sizeof u);
    SHA1CompressBlock(u, block);
    for (int i = 0; i < 5; ++i) t[i] ^= u[i];
  }
  for (int i = 0; i < 5; ++i) StoreBE32(T.data() + 4 * i, t[i]);
}

// PBKDF2Derive without the 16-bit lengths, so that the key generator never
// cuts a long password.
int32_t Derive(PHashDesc d, const uint8_t* pw, size_t pLen, const uint8_t* salt, size_t sLen, int32_t C,
               uint8_t* out, size_t dkLen) {
  if (!d) return 1;
  if (d->HDigestlen == 0) return 2;
  if (dkLen == 0) return 0;

  const TKeyedPRF prf(d, pw, pLen);
  const size_t h = prf.DigestLen();
  const bool sha1 = IsSHA1(d);
  uint32_t counter = 0;
  for (size_t done = 0; done < dkLen;) {
    THashDigest T{};
    if (C > 0) {
      uint8_t ctr[4];
      StoreBE32(ctr, ++counter);
      THashDigest U;
      prf.Mac(salt, sLen, ctr, sizeof ctr, U);
      T = U;
      if (sha1) {
        SHA1Iterations(prf, C, U, T);
      } else {
        for (int32_t j = 2; j <= C; ++j) {
          THashDigest next;
          prf.Mac(U.data(), h, nullptr, 0, next);
          U = next;
          for (size_t i = 0; i < h; ++i) T[i] ^= U[i];
        }
      }
      std::memset(U.data(), 0, U.size());
    }
    const size_t n = std::min(h, dkLen - done);
    std::memcpy(out + done, T.data(), n);
    std::memset(T.data(), 0, T.size());
    done += n;
  }
  return 0;
}

}  // namespace

int32_t PBKDF2Derive(PHashDesc PHash, const void* pPW, uint16_t pLen, const void* salt, uint16_t sLen,
                     int32_t C, void* DK, uint16_t dkLen) {
  return Derive(PHash, static_cast<const uint8_t*>(pPW), pLen, static_cast<const uint8_t*>(salt), sLen, C,
                static_cast<uint8_t*>(DK), dkLen);
}

TPBKDF2::TPBKDF2(const AnsiString& Password, int32_t SaltSize, int32_t Iterations)
    : FIterationNumber(Iterations), FSaltLength(std::max(SaltSize, 0)), FPassword(Password) {
  // A fresh generator per salt would repeat salts made within one clock
  // tick; the OS source does not, and covers all 256 byte values.
  std::random_device source;
  FSaltValue.resize(size_t(FSaltLength));
  for (auto& b : FSaltValue) b = uint8_t(source());
}

TPBKDF2::TPBKDF2(const AnsiString& Password, const uint8_t* Salt, int32_t SaltLength, int32_t Iterations)
    : FIterationNumber(Iterations), FSaltLength(std::max(SaltLength, 0)), FPassword(Password) {
  FSaltValue.assign(size_t(FSaltLength), 0);
  if (Salt && FSaltLength > 0) std::memcpy(FSaltValue.data(), Salt, size_t(FSaltLength));
}

TPBKDF2::~TPBKDF2() {
  std::fill(FSaltValue.begin(), FSaltValue.end(), uint8_t(0));
  std::fill(FPassword.begin(), FPassword.end(), '\0');
}

void TPBKDF2::GetKeyBytes(int32_t Cb, std::vector<uint8_t>& Key) {
  std::vector<uint8_t> key(size_t(std::max(Cb, 0)));
  const int32_t result =
      Derive(FindHashByID(3), reinterpret_cast<const uint8_t*>(FPassword.data()), FPassword.size(),
             FSaltValue.data(), FSaltValue.size(), FIterationNumber, key.data(), key.size());
  // Cannot happen while SHA-1 holds slot 3, as it does from start-up.
  if (result != 0) throw Exception(u"Runtime error 254");
  Key = std::move(key);
}

std::vector<uint8_t> TPBKDF2::GetSaltValue() const { return FSaltValue; }
