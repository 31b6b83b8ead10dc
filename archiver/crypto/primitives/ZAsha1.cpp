#include "ZAsha1.h"

#include <cstring>

namespace {

constexpr TOID_Vec SHA1_OID = {1, 3, 14, 3, 2, 26, 0, 0, 0};

inline uint32_t Rol(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t LoadBE32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline void StoreBE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

}  // namespace

const THashDesc SHA1_Desc = {
    C_HashSig, C_HashDescSize, C_HashVers, SHA1_BlockLen,        SHA1_DigestLen, SHA1Init,
    SHA1Final, SHA1Update,     3,          {'S', 'H', 'A', '1'}, &SHA1_OID,      6,
    {}};

// Rounds written out in groups of five, rotating the roles of a to e rather
// than moving the values, and the schedule kept in a 16-word ring.
#define SHA1_W(i) (w[(i)&15] = Rol(w[((i) + 13) & 15] ^ w[((i) + 8) & 15] ^ w[((i) + 2) & 15] ^ w[(i)&15], 1))
#define SHA1_F1(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define SHA1_F2(b, c, d) ((b) ^ (c) ^ (d))
#define SHA1_F3(b, c, d) (((b) & (c)) | ((d) & ((b) | (c))))
#define SHA1_STEP(f, k, a, b, c, d, e, wi)    \
  do {                                        \
    e += Rol(a, 5) + f(b, c, d) + (k) + (wi); \
    b = Rol(b, 30);                           \
  } while (0)
#define SHA1_FIVE(f, k, i, W)                 \
  SHA1_STEP(f, k, a, b, c, d, e, W((i) + 0)); \
  SHA1_STEP(f, k, e, a, b, c, d, W((i) + 1)); \
  SHA1_STEP(f, k, d, e, a, b, c, W((i) + 2)); \
  SHA1_STEP(f, k, c, d, e, a, b, W((i) + 3)); \
  SHA1_STEP(f, k, b, c, d, e, a, W((i) + 4))
#define SHA1_W0(i) w[i]

void SHA1CompressBlock(uint32_t State[5], const uint8_t Block[64]) {
  static const bool hardware = SHA1HasHardware();
  if (hardware)
    SHA1CompressBlockHardware(State, Block);
  else
    SHA1CompressBlockPortable(State, Block);
}

void SHA1CompressBlockPortable(uint32_t State[5], const uint8_t Block[64]) {
  uint32_t w[16];
  for (int i = 0; i < 16; ++i) w[i] = LoadBE32(Block + 4 * i);
  uint32_t a = State[0], b = State[1], c = State[2], d = State[3], e = State[4];

  SHA1_FIVE(SHA1_F1, 0x5A827999, 0, SHA1_W0);
  SHA1_FIVE(SHA1_F1, 0x5A827999, 5, SHA1_W0);
  SHA1_FIVE(SHA1_F1, 0x5A827999, 10, SHA1_W0);
  SHA1_STEP(SHA1_F1, 0x5A827999, a, b, c, d, e, w[15]);
  SHA1_STEP(SHA1_F1, 0x5A827999, e, a, b, c, d, SHA1_W(16));
  SHA1_STEP(SHA1_F1, 0x5A827999, d, e, a, b, c, SHA1_W(17));
  SHA1_STEP(SHA1_F1, 0x5A827999, c, d, e, a, b, SHA1_W(18));
  SHA1_STEP(SHA1_F1, 0x5A827999, b, c, d, e, a, SHA1_W(19));
  SHA1_FIVE(SHA1_F2, 0x6ED9EBA1, 20, SHA1_W);
  SHA1_FIVE(SHA1_F2, 0x6ED9EBA1, 25, SHA1_W);
  SHA1_FIVE(SHA1_F2, 0x6ED9EBA1, 30, SHA1_W);
  SHA1_FIVE(SHA1_F2, 0x6ED9EBA1, 35, SHA1_W);
  SHA1_FIVE(SHA1_F3, 0x8F1BBCDC, 40, SHA1_W);
  SHA1_FIVE(SHA1_F3, 0x8F1BBCDC, 45, SHA1_W);
  SHA1_FIVE(SHA1_F3, 0x8F1BBCDC, 50, SHA1_W);
  SHA1_FIVE(SHA1_F3, 0x8F1BBCDC, 55, SHA1_W);
  SHA1_FIVE(SHA1_F2, 0xCA62C1D6, 60, SHA1_W);
  SHA1_FIVE(SHA1_F2, 0xCA62C1D6, 65, SHA1_W);
  SHA1_FIVE(SHA1_F2, 0xCA62C1D6, 70, SHA1_W);
  SHA1_FIVE(SHA1_F2, 0xCA62C1D6, 75, SHA1_W);

  State[0] += a;
  State[1] += b;
  State[2] += c;
  State[3] += d;
  State[4] += e;
}

#undef SHA1_W
#undef SHA1_W0
#undef SHA1_F1
#undef SHA1_F2
#undef SHA1_F3
#undef SHA1_STEP
#undef SHA1_FIVE

void SHA1Compress(THashContext& Context) { SHA1CompressBlock(Context.Hash.data(), Context.Buffer.data()); }

void SHA1Init(THashContext& Context) {
  std::memset(&Context, 0, sizeof Context);
  Context.Hash[0] = 0x67452301;
  Context.Hash[1] = 0xEFCDAB89;
  Context.Hash[2] = 0x98BADCFE;
  Context.Hash[3] = 0x10325476;
  Context.Hash[4] = 0xC3D2E1F0;
}

void SHA1Update(THashContext& Context, const void* Msg, int32_t Len) {
  if (Len <= 0) return;
  uint64_t bits = (uint64_t(Context.MLen[1]) << 32 | Context.MLen[0]) + uint64_t(Len) * 8;
  Context.MLen[0] = uint32_t(bits);
  Context.MLen[1] = uint32_t(bits >> 32);

  auto p = static_cast<const uint8_t*>(Msg);
  size_t left = size_t(Len);
  while (left > 0) {
    if (Context.Index == 0 && left >= SHA1_BlockLen) {
      SHA1CompressBlock(Context.Hash.data(), p);
      p += SHA1_BlockLen;
      left -= SHA1_BlockLen;
      continue;
    }
    size_t take = SHA1_BlockLen - size_t(Context.Index);
    if (take > left) take = left;
    std::memcpy(Context.Buffer.data() + Context.Index, p, take);
    Context.Index += int32_t(take);
    p += take;
    left -= take;
    if (Context.Index == SHA1_BlockLen) {
      SHA1Compress(Context);
      Context.Index = 0;
    }
  }
}

void SHA1Final(THashContext& Context, THashDigest& Digest) {
  uint8_t* buf = Context.Buffer.data();
  buf[Context.Index++] = 0x80;
  if (Context.Index > SHA1_BlockLen - 8) {
    std::memset(buf + Context.Index, 0, size_t(SHA1_BlockLen - Context.Index));
    SHA1Compress(Context);
    Context.Index = 0;
  }
  std::memset(buf + Context.Index, 0, size_t(SHA1_BlockLen - 8 - Context.Index));
  StoreBE32(buf + 56, Context.MLen[1]);
  StoreBE32(buf + 60, Context.MLen[0]);
  SHA1Compress(Context);

  Digest.fill(0);
  for (int i = 0; i < 5; ++i) StoreBE32(Digest.data() + 4 * i, Context.Hash[size_t(i)]);
  std::memset(&Context, 0, sizeof Context);
}
