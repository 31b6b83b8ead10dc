#pragma once
// SHA-1 (FIPS 180) in the descriptor's calling convention.
#include <cstdint>

#include "HashDesc.h"

inline constexpr int SHA1_BlockLen = 64;
inline constexpr int SHA1_DigestLen = 20;

// Registered in slot 3 at start-up under the name "SHA1".
extern const THashDesc SHA1_Desc;

// Clears the whole context and loads the initial words.
void SHA1Init(THashContext& Context);
void SHA1Update(THashContext& Context, const void* Msg, int32_t Len);
// Writes the 20-byte digest, zeroes the rest of Digest, clears the context.
void SHA1Final(THashContext& Context, THashDigest& Digest);
// Compresses the full block held in the context's buffer.
void SHA1Compress(THashContext& Context);
// The compression function on a bare state: lets a caller that keeps its own
// padded block skip the buffering (PBKDF2's inner loop).
void SHA1CompressBlock(uint32_t State[5], const uint8_t Block[64]);

// The two implementations SHA1CompressBlock chooses from, once: the
// processor's SHA instructions where it has them (x86 SHA extensions), else
// portable code. Both give the same words.
bool SHA1HasHardware();
void SHA1CompressBlockHardware(uint32_t State[5], const uint8_t Block[64]);
void SHA1CompressBlockPortable(uint32_t State[5], const uint8_t Block[64]);
