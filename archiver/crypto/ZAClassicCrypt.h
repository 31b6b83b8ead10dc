#pragma once
// The PKZIP classic cipher: a byte-wise stream cipher over three 32-bit keys,
// the 12-byte encryption header in front of the data, and its one-byte
// password check.
#include <cstdint>

#include "Stream.h"
#include "Types.h"

struct TZAClassicKeys {
  uint32_t Key0;
  uint32_t Key1;
  uint32_t Key2;
};

inline constexpr int ClassicHeaderSize = 12;

void ClassicUpdateKeys(TZAClassicKeys& Keys, uint8_t Byte);
uint8_t ClassicKeyStreamByte(const TZAClassicKeys& Keys);
void ClassicInitKeys(const AnsiString& Password, TZAClassicKeys& Keys);
void ClassicDecryptHeader(const AnsiString& Password, TZAClassicKeys& Keys,
                          uint8_t (&Header)[ClassicHeaderSize]);
// Reads the header at the stream's position (exactly: a short stream raises
// EReadError) and compares its check byte: the high byte of the local time
// when the local flags announce a data descriptor (bit 3), else the high byte
// of the local CRC-32. Afterwards the stream stands at the data and Keys are
// ready for it, whatever the result.
bool CheckClassicPassword(TStream& Stream, const AnsiString& Password, TZAClassicKeys& Keys,
                          uint32_t LocalCrc32, uint16_t LocalTime, uint16_t LocalFlags);
// Keys carry over, so a stream may be decrypted in chunks of any sizes.
void ClassicDecryptBuffer(uint8_t* Buffer, int64_t Count, TZAClassicKeys& Keys);
void ClassicEncryptBuffer(uint8_t* Buffer, int64_t Count, TZAClassicKeys& Keys);
