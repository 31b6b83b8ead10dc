// SHA-1 compression with the x86 SHA extensions: four rounds per
// instruction. PBKDF2's 1000 iterations per AES entry are all compressions,
// so this sets the speed of opening AES entries.
#include "ZAsha1.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>

bool SHA1HasHardware() {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
  const bool ssse3 = c & (1u << 9), sse41 = c & (1u << 19);
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  return ssse3 && sse41 && (b & (1u << 29));
}

namespace {

__attribute__((target("sha,sse4.1"))) inline __m128i Rounds(__m128i Abcd, __m128i E, int Group) {
  // The round function's selector must be an immediate.
  switch (Group / 5) {
    case 0: return _mm_sha1rnds4_epu32(Abcd, E, 0);
    case 1: return _mm_sha1rnds4_epu32(Abcd, E, 1);
    case 2: return _mm_sha1rnds4_epu32(Abcd, E, 2);
    default: return _mm_sha1rnds4_epu32(Abcd, E, 3);
  }
}

}  // namespace

__attribute__((target("sha,sse4.1"))) void SHA1CompressBlockHardware(uint32_t State[5], const uint8_t Block[64]) {
  const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
  const __m128i abcdStart = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(State)), 0x1B);
  const __m128i eStart = _mm_set_epi32(int(State[4]), 0, 0, 0);
  __m128i abcd = abcdStart, previous = abcdStart;
  // W[g % 4] holds the message words of rounds 4g to 4g+3 once group g starts.
  __m128i w[4];
  // Unrolled, the group number is a constant everywhere below.
#pragma GCC unroll 20
  for (int g = 0; g < 20; ++g) {
    __m128i& m = w[g % 4];
    if (g < 4)
      m = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Block + 16 * g)), byteSwap);
    else
      m = _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(m, w[(g + 1) % 4]), w[(g + 2) % 4]), w[(g + 3) % 4]);
    const __m128i e = g == 0 ? _mm_add_epi32(eStart, m) : _mm_sha1nexte_epu32(previous, m);
    previous = abcd;
    abcd = Rounds(abcd, e, g);
  }
  const __m128i e = _mm_sha1nexte_epu32(previous, eStart);
  abcd = _mm_shuffle_epi32(_mm_add_epi32(abcd, abcdStart), 0x1B);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(State), abcd);
  State[4] = uint32_t(_mm_extract_epi32(e, 3));
}

#else

bool SHA1HasHardware() { return false; }
void SHA1CompressBlockHardware(uint32_t State[5], const uint8_t Block[64]) { SHA1CompressBlockPortable(State, Block); }

#endif
