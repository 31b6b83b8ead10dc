#pragma once
// On-disk ZIP records: byte-packed, little-endian, read and written whole.
#include <bit>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "records are read straight into memory: little-endian hosts only");

inline constexpr uint32_t ZipCentralDirEndSignature = 0x06054B50;

#pragma pack(push, 1)

struct TZAZipCentralDirEnd {
  uint32_t signature;
  uint16_t diskNumber;
  uint16_t startDiskNumber;
  uint16_t entriesOnDisk;
  uint16_t entriesCentralDir;
  uint32_t centralDirSize;
  uint32_t offsetStartDir;
  uint16_t commentLength;
};
static_assert(sizeof(TZAZipCentralDirEnd) == 22);

#pragma pack(pop)
