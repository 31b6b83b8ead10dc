#pragma once
// Hash descriptors and their registry: HMAC and PBKDF2 are written once
// against a descriptor, and callers find a hash by number or by name.
#include <array>
#include <cstdint>

#include "Types.h"

using THashState = std::array<uint32_t, 16>;
using THashBuffer = std::array<uint8_t, 128>;
using THashDigest = std::array<uint8_t, 64>;

struct THashContext {
  THashState Hash;     // chaining state
  uint32_t MLen[4];    // message length in bits, low word first
  THashBuffer Buffer;  // partial block
  int32_t Index;       // bytes held in Buffer
};

using HashInitProc = void (*)(THashContext& Context);
using HashFinalProc = void (*)(THashContext& Context, THashDigest& Digest);
using HashUpdateXLProc = void (*)(THashContext& Context, const void* Msg, int32_t Len);

inline constexpr int MaxOIDLen = 9;
using TOID_Vec = std::array<int32_t, MaxOIDLen>;
using POID_Vec = const TOID_Vec*;

// A short string of at most 19 characters, NUL-terminated.
using THashName = std::array<char, 20>;

inline constexpr uint16_t C_HashSig = 0x3D7A;
inline constexpr uint16_t C_HashDescSize = 80;
inline constexpr int32_t C_HashVers = 0x00010003;
inline constexpr int MaxHashAlgNum = 8;

struct THashDesc {
  uint16_t HSig;
  uint16_t HDSize;
  int32_t HDVersion;
  uint16_t HBlockLen;
  uint16_t HDigestlen;
  HashInitProc HInit;
  HashFinalProc HFinal;
  HashUpdateXLProc HUpdateXL;
  int32_t HAlgNum;
  THashName HName;
  POID_Vec HPtrOID;
  uint16_t HLenOID;
  uint8_t HReserved[26];
};
using PHashDesc = const THashDesc*;

// Stores Desc in slot AlgNum (0 to 8) only when it is a valid descriptor for
// that slot; anything else is ignored.
void RegisterHashDesc(int32_t AlgNum, PHashDesc Desc);
// Nullptr when the slot is out of range, empty or not valid for its number.
PHashDesc FindHashByID(int32_t AlgNum);
// ASCII-case-insensitive on the first 19 characters; the lowest slot wins.
PHashDesc FindHashByName(const AnsiString& Name);
// One-shot hash; does nothing when Desc is nullptr or not a descriptor.
void HashFull(THashDigest& Digest, PHashDesc Desc, const void* Msg, int32_t Len);
