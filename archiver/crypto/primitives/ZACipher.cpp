#include "ZACipher.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "Format.h"

ECipherException::ECipherException(String Message, int32_t ErrorCode)
    : Exception(std::move(Message)), ErrorCode(ErrorCode) {}

// ---------------------------------------------------------------- TCipher

TCipher::TCipher(const TCipherSizes& Sizes)
    : FKeySize(Sizes.KeySize),
      FBufSize(Sizes.BufSize),
      FUserSize(Sizes.UserSize),
      FBuffer(size_t(Sizes.BufSize)),
      FVector(size_t(Sizes.BufSize)),
      FFeedback(size_t(Sizes.BufSize)),
      FUser(size_t(Sizes.UserSize + 3) / 4),
      ctrMode_Position(Sizes.BufSize),
      ctrMode_EncryptionBlock(size_t(Sizes.BufSize)),
      ctrMode_Nonce(size_t(Sizes.BufSize)) {
  TCipher::Protect();
}

TCipher::~TCipher() { TCipher::Protect(); }

void TCipher::ChangeFlag(int32_t Bit, bool Set) {
  if (Set)
    FFlags |= 1u << Bit;
  else
    FFlags &= ~(1u << Bit);
}

void TCipher::Protect() {
  ChangeFlag(0, false);
  ChangeFlag(1, false);
  auto fillUser = [this](uint8_t b) { std::memset(FUser.data(), b, FUser.size() * sizeof(uint32_t)); };
  for (uint8_t pattern : {uint8_t(0xAA), uint8_t(0x55)}) {
    std::fill(FVector.begin(), FVector.end(), pattern);
    std::fill(FFeedback.begin(), FFeedback.end(), pattern);
    std::fill(FBuffer.begin(), FBuffer.end(), pattern);
    fillUser(pattern);
  }
  std::fill(FVector.begin(), FVector.end(), uint8_t(0xFF));
  std::fill(FFeedback.begin(), FFeedback.end(), uint8_t(0xFF));
  std::fill(FBuffer.begin(), FBuffer.end(), uint8_t(0));
  fillUser(0);
  std::fill(ctrMode_Nonce.begin(), ctrMode_Nonce.end(), uint8_t(0));
  // Unused key stream of the previous key is wiped too: a cipher keyed again
  // starts from counter 1 instead of finishing the old key's block.
  std::fill(ctrMode_EncryptionBlock.begin(), ctrMode_EncryptionBlock.end(), uint8_t(0));
  ctrMode_Position = FBufSize;
}

void TCipher::FinishInit(const void* IVector) {
  if (IVector)
    std::memcpy(FVector.data(), IVector, FVector.size());
  else
    EncryptBlock(FVector.data());
  FFeedback = FVector;
  ChangeFlag(1, true);
}

void TCipher::InitKey(std::vector<uint8_t>& Key, uint16_t KeyLength, const void* IVector) {
  const size_t used = std::min({size_t(KeyLength), size_t(FKeySize), Key.size()});
  Init(Key.data(), int32_t(used), IVector);

  // The copy is enciphered block by block with the bare block function, so
  // that keying leaves the counter and chaining state of every mode untouched.
  std::vector<uint8_t> enciphered(KeyLength);
  std::vector<uint8_t> block(static_cast<size_t>(FBufSize));
  for (size_t at = 0; at < enciphered.size(); at += block.size()) {
    const size_t n = std::min(block.size(), enciphered.size() - at);
    std::fill(block.begin(), block.end(), uint8_t(0));
    if (at < Key.size()) std::memcpy(block.data(), Key.data() + at, std::min(n, Key.size() - at));
    EncryptBlock(block.data());
    std::memcpy(enciphered.data() + at, block.data(), n);
  }
  std::fill(block.begin(), block.end(), uint8_t(0));
  std::fill(Key.begin(), Key.end(), uint8_t(0));
  Key = std::move(enciphered);

  Done();
  ChangeFlag(0, true);
}

void TCipher::Done() {
  if (FVector != FFeedback) {
    FBuffer = FFeedback;
    FFeedback = FVector;
  }
}

void TCipher::EncodeBuffer(const void* Source, void* Dest, int32_t DataSize) { Code(Source, Dest, DataSize); }

void TCipher::DecodeBuffer(const void* Source, void* Dest, int32_t DataSize) { Code(Source, Dest, DataSize); }

void TCipher::Code(const void* Source, void* Dest, int32_t DataSize) {
  if (!(FFlags & 2))
    throw ECipherException(Format(u"%s is not initialized call Init() or InitKey() before.", {ClassName()}),
                           errNotInitialized);
  if (FMode != cmCTR)
    throw ECipherException(Format(u"%s: cipher mode %d is not supported.", {ClassName(), int64_t(FMode)}),
                           errModeNotSupported);
  if (DataSize <= 0) return;
  std::memmove(Dest, Source, size_t(DataSize));
  CTRCode(static_cast<uint8_t*>(Dest), size_t(DataSize));
}

void TCipher::NextKeyStreamBlock() {
  // Bytes 0 to 7 are a little-endian 64-bit counter; bytes 8 to 15 stay.
  for (size_t i = 0; i < 8 && i < ctrMode_Nonce.size(); ++i)
    if (++ctrMode_Nonce[i] != 0) break;
  ctrMode_EncryptionBlock = ctrMode_Nonce;
  EncryptBlock(ctrMode_EncryptionBlock.data());
  ctrMode_Position = 0;
}

void TCipher::CTRCode(uint8_t* Data, size_t Size) {
  const uint8_t* keyStream = ctrMode_EncryptionBlock.data();
  for (size_t i = 0; i < Size;) {
    if (ctrMode_Position == FBufSize) NextKeyStreamBlock();
    const size_t n = std::min(size_t(FBufSize - ctrMode_Position), Size - i);
    const uint8_t* k = keyStream + ctrMode_Position;
    if (n == 16) {
      // A whole block: two word-wide XORs instead of sixteen byte ones.
      uint64_t d[2], x[2];
      std::memcpy(d, Data + i, 16);
      std::memcpy(x, k, 16);
      d[0] ^= x[0];
      d[1] ^= x[1];
      std::memcpy(Data + i, d, 16);
    } else {
      for (size_t j = 0; j < n; ++j) Data[i + j] ^= k[j];
    }
    i += n;
    ctrMode_Position += int32_t(n);
  }
}

// ---------------------------------------------------------------- Rijndael

namespace {

constexpr uint8_t XTime(uint8_t x) { return uint8_t((x << 1) ^ ((x & 0x80) ? 0x1B : 0)); }

constexpr uint8_t GMul(uint8_t a, uint8_t b) {
  uint8_t r = 0;
  for (; b; b >>= 1, a = XTime(a))
    if (b & 1) r ^= a;
  return r;
}

constexpr uint8_t Rol8(uint8_t x, int n) { return uint8_t((x << n) | (x >> (8 - n))); }
constexpr uint32_t Ror32(uint32_t x, int n) { return n == 0 ? x : (x >> n) | (x << (32 - n)); }

constexpr uint32_t Word(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
  return (uint32_t(b0) << 24) | (uint32_t(b1) << 16) | (uint32_t(b2) << 8) | uint32_t(b3);
}

// Tables for the column-word form of FIPS-197: Te[n][x] and Td[n][x] are a
// round's S-box and (Inv)MixColumns contribution of byte x in row n.
struct TRijndaelTables {
  uint8_t S[256]{};
  uint8_t Si[256]{};
  uint32_t Te[4][256]{};
  uint32_t Td[4][256]{};
};

// Computed at compile time from the field arithmetic rather than typed in.
constexpr TRijndaelTables MakeTables() {
  TRijndaelTables t;
  for (int a = 0; a < 256; ++a) {
    uint8_t inv = 0;
    for (int b = 1; a && b < 256; ++b)
      if (GMul(uint8_t(a), uint8_t(b)) == 1) {
        inv = uint8_t(b);
        break;
      }
    const uint8_t s = inv ^ Rol8(inv, 1) ^ Rol8(inv, 2) ^ Rol8(inv, 3) ^ Rol8(inv, 4) ^ 0x63;
    t.S[a] = s;
    t.Si[s] = uint8_t(a);
  }
  for (int x = 0; x < 256; ++x) {
    const uint8_t s = t.S[x], si = t.Si[x];
    const uint32_t e = Word(GMul(s, 2), s, s, GMul(s, 3));
    const uint32_t d = Word(GMul(si, 14), GMul(si, 9), GMul(si, 13), GMul(si, 11));
    for (int n = 0; n < 4; ++n) {
      t.Te[n][x] = Ror32(e, 8 * n);
      t.Td[n][x] = Ror32(d, 8 * n);
    }
  }
  return t;
}

constexpr TRijndaelTables Tables = MakeTables();
static_assert(Tables.S[0x00] == 0x63 && Tables.S[0x53] == 0xED && Tables.Si[0x63] == 0x00);

constexpr int MaxRoundKeyWords = 60;  // 4 × (14 + 1)

inline uint32_t LoadBE32(const uint8_t* p) { return Word(p[0], p[1], p[2], p[3]); }

inline void StoreBE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

inline uint32_t SubWord(uint32_t w) {
  return Word(Tables.S[w >> 24], Tables.S[(w >> 16) & 0xFF], Tables.S[(w >> 8) & 0xFF], Tables.S[w & 0xFF]);
}

inline uint32_t InvMixColumn(uint32_t w) {
  // Td undoes the S-box as well, so feed it S-box outputs.
  return Tables.Td[0][Tables.S[w >> 24]] ^ Tables.Td[1][Tables.S[(w >> 16) & 0xFF]] ^
         Tables.Td[2][Tables.S[(w >> 8) & 0xFF]] ^ Tables.Td[3][Tables.S[w & 0xFF]];
}

}  // namespace

TCipher_Rijndael::TCipher_Rijndael() : TCipher(QuerySizes()) {}

TCipher_Rijndael::TCipher_Rijndael(std::vector<uint8_t>& Key, uint16_t KeyLength) : TCipher(QuerySizes()) {
  InitKey(Key, KeyLength, nullptr);
}

void TCipher_Rijndael::Init(const void* Key, int32_t Size, const void* IVector) {
  ChangeFlag(1, false);
  Protect();
  Size = std::clamp(Size, int32_t(0), FKeySize);
  FRounds = Size <= 16 ? 10 : Size <= 24 ? 12 : 14;

  uint8_t key[32] = {};
  if (Size > 0) std::memcpy(key, Key, size_t(Size));
  const int nk = (FRounds - 6);  // 4, 6 or 8 key words
  const int total = 4 * (FRounds + 1);
  uint32_t* ek = FUser.data();
  uint32_t* dk = FUser.data() + MaxRoundKeyWords;

  for (int i = 0; i < nk; ++i) ek[i] = LoadBE32(key + 4 * i);
  uint8_t rcon = 1;
  for (int i = nk; i < total; ++i) {
    uint32_t t = ek[i - 1];
    if (i % nk == 0) {
      t = SubWord((t << 8) | (t >> 24)) ^ (uint32_t(rcon) << 24);
      rcon = XTime(rcon);
    } else if (nk > 6 && i % nk == 4) {
      t = SubWord(t);
    }
    ek[i] = ek[i - nk] ^ t;
  }

  // Equivalent inverse cipher: round keys in reverse order, the inner ones
  // passed through InvMixColumns.
  for (int r = 0; r <= FRounds; ++r)
    for (int c = 0; c < 4; ++c) {
      const uint32_t w = ek[4 * (FRounds - r) + c];
      dk[4 * r + c] = (r == 0 || r == FRounds) ? w : InvMixColumn(w);
    }

  std::memset(key, 0, sizeof key);
  FinishInit(IVector);
}

void TCipher_Rijndael::EncryptBlock(void* Data) {
  const auto& T = Tables.Te;
  const uint32_t* rk = FUser.data();
  auto* p = static_cast<uint8_t*>(Data);
  uint32_t s0 = LoadBE32(p) ^ rk[0], s1 = LoadBE32(p + 4) ^ rk[1], s2 = LoadBE32(p + 8) ^ rk[2],
           s3 = LoadBE32(p + 12) ^ rk[3];
  for (int r = 1; r < FRounds; ++r) {
    rk += 4;
    const uint32_t t0 =
        T[0][s0 >> 24] ^ T[1][(s1 >> 16) & 0xFF] ^ T[2][(s2 >> 8) & 0xFF] ^ T[3][s3 & 0xFF] ^ rk[0];
    const uint32_t t1 =
        T[0][s1 >> 24] ^ T[1][(s2 >> 16) & 0xFF] ^ T[2][(s3 >> 8) & 0xFF] ^ T[3][s0 & 0xFF] ^ rk[1];
    const uint32_t t2 =
        T[0][s2 >> 24] ^ T[1][(s3 >> 16) & 0xFF] ^ T[2][(s0 >> 8) & 0xFF] ^ T[3][s1 & 0xFF] ^ rk[2];
    const uint32_t t3 =
        T[0][s3 >> 24] ^ T[1][(s0 >> 16) & 0xFF] ^ T[2][(s1 >> 8) & 0xFF] ^ T[3][s2 & 0xFF] ^ rk[3];
    s0 = t0, s1 = t1, s2 = t2, s3 = t3;
  }
  rk += 4;
  const uint8_t* S = Tables.S;
  StoreBE32(p, Word(S[s0 >> 24], S[(s1 >> 16) & 0xFF], S[(s2 >> 8) & 0xFF], S[s3 & 0xFF]) ^ rk[0]);
  StoreBE32(p + 4, Word(S[s1 >> 24], S[(s2 >> 16) & 0xFF], S[(s3 >> 8) & 0xFF], S[s0 & 0xFF]) ^ rk[1]);
  StoreBE32(p + 8, Word(S[s2 >> 24], S[(s3 >> 16) & 0xFF], S[(s0 >> 8) & 0xFF], S[s1 & 0xFF]) ^ rk[2]);
  StoreBE32(p + 12, Word(S[s3 >> 24], S[(s0 >> 16) & 0xFF], S[(s1 >> 8) & 0xFF], S[s2 & 0xFF]) ^ rk[3]);
}

void TCipher_Rijndael::DecryptBlock(void* Data) {
  const auto& T = Tables.Td;
  const uint32_t* rk = FUser.data() + MaxRoundKeyWords;
  auto* p = static_cast<uint8_t*>(Data);
  uint32_t s0 = LoadBE32(p) ^ rk[0], s1 = LoadBE32(p + 4) ^ rk[1], s2 = LoadBE32(p + 8) ^ rk[2],
           s3 = LoadBE32(p + 12) ^ rk[3];
  for (int r = 1; r < FRounds; ++r) {
    rk += 4;
    const uint32_t t0 =
        T[0][s0 >> 24] ^ T[1][(s3 >> 16) & 0xFF] ^ T[2][(s2 >> 8) & 0xFF] ^ T[3][s1 & 0xFF] ^ rk[0];
    const uint32_t t1 =
        T[0][s1 >> 24] ^ T[1][(s0 >> 16) & 0xFF] ^ T[2][(s3 >> 8) & 0xFF] ^ T[3][s2 & 0xFF] ^ rk[1];
    const uint32_t t2 =
        T[0][s2 >> 24] ^ T[1][(s1 >> 16) & 0xFF] ^ T[2][(s0 >> 8) & 0xFF] ^ T[3][s3 & 0xFF] ^ rk[2];
    const uint32_t t3 =
        T[0][s3 >> 24] ^ T[1][(s2 >> 16) & 0xFF] ^ T[2][(s1 >> 8) & 0xFF] ^ T[3][s0 & 0xFF] ^ rk[3];
    s0 = t0, s1 = t1, s2 = t2, s3 = t3;
  }
  rk += 4;
  const uint8_t* S = Tables.Si;
  StoreBE32(p, Word(S[s0 >> 24], S[(s3 >> 16) & 0xFF], S[(s2 >> 8) & 0xFF], S[s1 & 0xFF]) ^ rk[0]);
  StoreBE32(p + 4, Word(S[s1 >> 24], S[(s0 >> 16) & 0xFF], S[(s3 >> 8) & 0xFF], S[s2 & 0xFF]) ^ rk[1]);
  StoreBE32(p + 8, Word(S[s2 >> 24], S[(s1 >> 16) & 0xFF], S[(s0 >> 8) & 0xFF], S[s3 & 0xFF]) ^ rk[2]);
  StoreBE32(p + 12, Word(S[s3 >> 24], S[(s2 >> 16) & 0xFF], S[(s1 >> 8) & 0xFF], S[s0 & 0xFF]) ^ rk[3]);
}
