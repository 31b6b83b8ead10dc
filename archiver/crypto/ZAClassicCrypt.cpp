#include "ZAClassicCrypt.h"

#include <array>

#include "ZipRecords.h"

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> CrcTable = MakeCrcTable();

// One CRC-32 step without the inversions of the entry checksum.
inline uint32_t CrcByte(uint32_t Crc, uint8_t Byte) { return CrcTable[(Crc ^ Byte) & 0xFF] ^ (Crc >> 8); }

}  // namespace

void ClassicUpdateKeys(TZAClassicKeys& Keys, uint8_t Byte) {
  Keys.Key0 = CrcByte(Keys.Key0, Byte);
  Keys.Key1 = (Keys.Key1 + (Keys.Key0 & 0xFF)) * 134775813u + 1;
  Keys.Key2 = CrcByte(Keys.Key2, static_cast<uint8_t>(Keys.Key1 >> 24));
}

uint8_t ClassicKeyStreamByte(const TZAClassicKeys& Keys) {
  const uint32_t t = (Keys.Key2 | 2) & 0xFFFF;
  return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
}

void ClassicInitKeys(const AnsiString& Password, TZAClassicKeys& Keys) {
  Keys = {0x12345678, 0x23456789, 0x34567890};
  for (const char c : Password) ClassicUpdateKeys(Keys, static_cast<uint8_t>(c));
}

void ClassicDecryptHeader(const AnsiString& Password, TZAClassicKeys& Keys,
                          uint8_t (&Header)[ClassicHeaderSize]) {
  ClassicInitKeys(Password, Keys);
  ClassicDecryptBuffer(Header, ClassicHeaderSize, Keys);
}

bool CheckClassicPassword(TStream& Stream, const AnsiString& Password, TZAClassicKeys& Keys,
                          uint32_t LocalCrc32, uint16_t LocalTime, uint16_t LocalFlags) {
  uint8_t header[ClassicHeaderSize];
  Stream.ReadBuffer(header, ClassicHeaderSize);
  ClassicDecryptHeader(Password, Keys, header);
  // With a data descriptor the CRC was not known when the header was made.
  const uint8_t expected = (LocalFlags & ZipFlagDataDescriptor) ? static_cast<uint8_t>(LocalTime >> 8)
                                                                 : static_cast<uint8_t>(LocalCrc32 >> 24);
  return header[ClassicHeaderSize - 1] == expected;
}

void ClassicDecryptBuffer(uint8_t* Buffer, int64_t Count, TZAClassicKeys& Keys) {
  TZAClassicKeys k = Keys;  // in registers for the loop
  for (int64_t i = 0; i < Count; ++i) {
    const uint8_t plain = Buffer[i] ^ ClassicKeyStreamByte(k);
    ClassicUpdateKeys(k, plain);
    Buffer[i] = plain;
  }
  Keys = k;
}

void ClassicEncryptBuffer(uint8_t* Buffer, int64_t Count, TZAClassicKeys& Keys) {
  TZAClassicKeys k = Keys;
  for (int64_t i = 0; i < Count; ++i) {
    const uint8_t plain = Buffer[i];
    Buffer[i] = plain ^ ClassicKeyStreamByte(k);
    ClassicUpdateKeys(k, plain);
  }
  Keys = k;
}
