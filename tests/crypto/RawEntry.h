#pragma once
// Where an entry's data lie in an archive's bytes, read from its central
// record and local header without the engine, so that tests can cut out or
// damage exactly those bytes.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace crypto_test {

struct TRawEntry {
  size_t LocalOffset = 0;
  size_t DataOffset = 0;  // first byte after the local name and extra field
  uint32_t CompSize = 0;
  size_t CentralOffset = 0;  // of the central record
  uint16_t LocalFlags = 0, LocalTime = 0;
  uint32_t LocalCrc = 0;
};

inline uint32_t Get16(const std::vector<uint8_t>& b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
inline uint32_t Get32(const std::vector<uint8_t>& b, size_t at) { return Get16(b, at) | (Get16(b, at + 2) << 16); }

inline TRawEntry FindRawEntry(const std::vector<uint8_t>& Zip, const std::string& Name) {
  size_t end = Zip.size() - 22;
  while (Get32(Zip, end) != 0x06054B50) --end;
  size_t at = Get32(Zip, end + 16);
  for (uint32_t n = Get16(Zip, end + 10); n > 0; --n) {
    const uint32_t nameLength = Get16(Zip, at + 28);
    const size_t next = at + 46 + nameLength + Get16(Zip, at + 30) + Get16(Zip, at + 32);
    if (std::string(Zip.begin() + long(at + 46), Zip.begin() + long(at + 46 + nameLength)) == Name) {
      TRawEntry e;
      e.CentralOffset = at;
      e.CompSize = Get32(Zip, at + 20);
      e.LocalOffset = Get32(Zip, at + 42);
      const size_t local = e.LocalOffset;
      e.LocalFlags = uint16_t(Get16(Zip, local + 6));
      e.LocalTime = uint16_t(Get16(Zip, local + 10));
      e.LocalCrc = Get32(Zip, local + 14);
      e.DataOffset = local + 30 + Get16(Zip, local + 26) + Get16(Zip, local + 28);
      return e;
    }
    at = next;
  }
  throw std::runtime_error("no entry " + Name);
}

}  // namespace crypto_test
