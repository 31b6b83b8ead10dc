#pragma once
// On-disk ZIP records: byte-packed, little-endian, read and written whole.
#include <bit>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "records are read straight into memory: little-endian hosts only");

inline constexpr uint32_t ZipLocalFileHeaderSignature = 0x04034B50;
inline constexpr uint32_t ZipCentralDirSignature = 0x02014B50;
inline constexpr uint32_t ZipCentralDirEndSignature = 0x06054B50;
inline constexpr uint32_t Zip64CentralDirEndSignature = 0x06064B50;
inline constexpr uint32_t Zip64CentralDirEndLocatorSignature = 0x07064B50;
inline constexpr uint32_t ZipDataDescriptorSignature = 0x08074B50;

// General purpose flag bits the reader interprets.
inline constexpr uint16_t ZipFlagEncrypted = 0x0001;
inline constexpr uint16_t ZipFlagDataDescriptor = 0x0008;
inline constexpr uint16_t ZipFlagUtf8Name = 0x0800;

// Entries needing this version or more do not get their AES block honoured.
inline constexpr uint16_t ZipAesBlockVersionLimit = 0x4114;

// Extra block types the reader interprets.
inline constexpr uint16_t ZipExtraZip64 = 0x0001;
inline constexpr uint16_t ZipExtraUnicodeName = 0x554E;
inline constexpr uint16_t ZipExtraAes = 0x9901;
inline constexpr uint32_t ZipUnicodeNameSignature = 0x5843554E;

// Escape values deferring to a ZIP64 structure.
inline constexpr uint32_t Zip64Escape32 = 0xFFFFFFFF;
inline constexpr uint16_t Zip64Escape16 = 0xFFFF;

inline constexpr uint16_t ZipMethodStored = 0;
inline constexpr uint16_t ZipMethodDeflated = 8;
inline constexpr uint16_t ZipMethodDeflate64 = 9;
inline constexpr uint16_t ZipMethodAes = 99;

#pragma pack(push, 1)

struct TZALocalFileHeader {
  uint32_t signature;
  uint16_t extractVersion;
  uint16_t genPurposeFlag;
  uint16_t compMethod;
  uint16_t lastModTime;
  uint16_t lastModDate;
  uint32_t crc32;
  uint32_t compSize;
  uint32_t unCompSize;
  uint16_t nameLength;
  uint16_t extraLength;
};
static_assert(sizeof(TZALocalFileHeader) == 30);

struct TZADataDescriptor {
  uint32_t signature;
  uint32_t crc32;
  uint32_t compSize;
  uint32_t unCompSize;
};
static_assert(sizeof(TZADataDescriptor) == 16);

struct TZAZipCentralDir {
  uint32_t signature;
  uint16_t versionMadeBy;
  uint16_t extractVersion;
  uint16_t genPurposeFlag;
  uint16_t compMethod;
  uint16_t lastModTime;
  uint16_t lastModDate;
  uint32_t crc32;
  uint32_t compSize;
  uint32_t unCompSize;
  uint16_t nameLength;
  uint16_t extraLength;
  uint16_t commentLength;
  uint16_t diskNumberStart;
  uint16_t internalAttr;
  uint32_t externalAttr;
  uint32_t relOffsetLH;
};
static_assert(sizeof(TZAZipCentralDir) == 46);

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

struct TZAZip64CentralDirEndLocator {
  uint32_t signature;
  uint32_t startDiskNumber;
  int64_t offsetStartDirEnd;
  uint32_t totalNumberOfDisks;
};
static_assert(sizeof(TZAZip64CentralDirEndLocator) == 20);

struct TZAZip64CentralDirEnd {
  uint32_t signature;
  int64_t centralDirEndSize;
  uint16_t versionMadeBy;
  uint16_t versionNeededToExtract;
  uint32_t diskNumber;
  uint32_t startDiskNumber;
  int64_t entriesOnDisk;
  int64_t entriesCentralDir;
  int64_t centralDirSize;
  int64_t offsetStartDir;
};
static_assert(sizeof(TZAZip64CentralDirEnd) == 56);

#pragma pack(pop)

// The 64-bit values of a ZIP64 extended information block; 0 where absent.
struct TZAZip64ExtendedInfo {
  int64_t uncompSize;
  int64_t compSize;
  int64_t relOffsetLH;
  uint32_t diskNumberStart;
};

// The date word in the high half, the time word in the low half: the
// engine's single local-time file date.
constexpr int32_t PackDosDate(uint16_t lastModDate, uint16_t lastModTime) {
  return static_cast<int32_t>((static_cast<uint32_t>(lastModDate) << 16) | lastModTime);
}
constexpr uint16_t DosDateWord(int32_t packed) {
  return static_cast<uint16_t>(static_cast<uint32_t>(packed) >> 16);
}
constexpr uint16_t DosTimeWord(int32_t packed) {
  return static_cast<uint16_t>(static_cast<uint32_t>(packed) & 0xFFFF);
}
