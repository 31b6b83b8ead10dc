#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "ZAExtraFields.h"
#include "ZipRecords.h"

namespace {

TEST(ZipRecords, FieldOffsetsMatchTheFormat) {
  EXPECT_EQ(offsetof(TZALocalFileHeader, compMethod), 8u);
  EXPECT_EQ(offsetof(TZALocalFileHeader, crc32), 14u);
  EXPECT_EQ(offsetof(TZALocalFileHeader, extraLength), 28u);
  EXPECT_EQ(offsetof(TZADataDescriptor, unCompSize), 12u);
  EXPECT_EQ(offsetof(TZAZipCentralDir, extractVersion), 6u);
  EXPECT_EQ(offsetof(TZAZipCentralDir, compSize), 20u);
  EXPECT_EQ(offsetof(TZAZipCentralDir, diskNumberStart), 34u);
  EXPECT_EQ(offsetof(TZAZipCentralDir, externalAttr), 38u);
  EXPECT_EQ(offsetof(TZAZipCentralDir, relOffsetLH), 42u);
  EXPECT_EQ(offsetof(TZAZipCentralDirEnd, entriesCentralDir), 10u);
  EXPECT_EQ(offsetof(TZAZipCentralDirEnd, commentLength), 20u);
  EXPECT_EQ(offsetof(TZAZip64CentralDirEndLocator, offsetStartDirEnd), 8u);
  EXPECT_EQ(offsetof(TZAZip64CentralDirEndLocator, totalNumberOfDisks), 16u);
  EXPECT_EQ(offsetof(TZAZip64CentralDirEnd, diskNumber), 16u);
  EXPECT_EQ(offsetof(TZAZip64CentralDirEnd, entriesCentralDir), 32u);
  EXPECT_EQ(offsetof(TZAZip64CentralDirEnd, offsetStartDir), 48u);
}

TEST(ZipRecords, SignaturesAreStoredAsPK) {
  const uint32_t signatures[] = {ZipLocalFileHeaderSignature, ZipCentralDirSignature,
                                 ZipCentralDirEndSignature, Zip64CentralDirEndSignature,
                                 Zip64CentralDirEndLocatorSignature, ZipDataDescriptorSignature};
  const uint8_t third[] = {3, 1, 5, 6, 6, 7};
  const uint8_t fourth[] = {4, 2, 6, 6, 7, 8};
  for (size_t i = 0; i < std::size(signatures); ++i) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&signatures[i]);
    EXPECT_EQ(bytes[0], 0x50);
    EXPECT_EQ(bytes[1], 0x4B);
    EXPECT_EQ(bytes[2], third[i]);
    EXPECT_EQ(bytes[3], fourth[i]);
  }
}

TEST(ZipRecords, DosDateAndTimePackIntoOneValue) {
  // 2024-05-06 07:08:10: date (44 << 9) | (5 << 5) | 6, time (7 << 11) | (8 << 5) | 5.
  const uint16_t date = (44 << 9) | (5 << 5) | 6;
  const uint16_t time = (7 << 11) | (8 << 5) | 5;
  const int32_t packed = PackDosDate(date, time);
  EXPECT_EQ(static_cast<uint32_t>(packed), 0x58A63905u);
  EXPECT_EQ(DosDateWord(packed), date);
  EXPECT_EQ(DosTimeWord(packed), time);
  // Dates after 2043 set the sign bit; the words survive.
  EXPECT_LT(PackDosDate(0xFFFF, 0xBF7D), 0);
  EXPECT_EQ(DosDateWord(PackDosDate(0xFFFF, 0xBF7D)), 0xFFFF);
}

std::vector<uint8_t> Block(uint16_t id, std::vector<uint8_t> data, int claimed = -1) {
  const uint16_t size = static_cast<uint16_t>(claimed < 0 ? data.size() : claimed);
  std::vector<uint8_t> out = {uint8_t(id), uint8_t(id >> 8), uint8_t(size), uint8_t(size >> 8)};
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

std::vector<uint8_t> Le(uint64_t v, int width) {
  std::vector<uint8_t> out;
  for (int i = 0; i < width; ++i) out.push_back(uint8_t(v >> (8 * i)));
  return out;
}

TEST(ExtraFields, SplitsBlocksInStoredOrderAndShortensOverlongOnes) {
  std::vector<uint8_t> area = Block(0x000A, {1, 2, 3});
  const auto second = Block(0x7875, {9});
  area.insert(area.end(), second.begin(), second.end());
  const auto last = Block(0x1234, std::vector<uint8_t>(10, 0xEE), 100);  // claims 100, holds 10
  area.insert(area.end(), last.begin(), last.end());
  area.push_back(0x55);  // too few bytes for another header

  const TZAExtraFields blocks = SplitExtraArea(area.data(), area.size());
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[0].headerID, 0x000A);
  EXPECT_EQ(blocks[0].pData, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(blocks[1].headerID, 0x7875);
  EXPECT_EQ(blocks[2].headerID, 0x1234);
  EXPECT_EQ(blocks[2].dataSize, 11);  // the ten bytes and the stray one
  EXPECT_EQ(blocks[2].pData.size(), 11u);
  EXPECT_TRUE(SplitExtraArea(area.data(), 3).empty());
}

TEST(ExtraFields, Zip64ValuesFollowTheEscapedFields) {
  TZAZipCentralDir header{};
  TZAExtraFieldDataBlock block;
  block.headerID = ZipExtraZip64;

  // Only the compressed size escaped: the first value is the compressed size.
  header.compSize = Zip64Escape32;
  block.pData = Le(0x123456789A, 8);
  TZAZip64ExtendedInfo info = ReadZip64ExtendedInfo(header, block);
  EXPECT_EQ(info.compSize, 0x123456789A);
  EXPECT_EQ(info.uncompSize, 0);

  // All four, in their fixed order; the disk number keeps its low 16 bits.
  header.unCompSize = Zip64Escape32;
  header.relOffsetLH = Zip64Escape32;
  header.diskNumberStart = Zip64Escape16;
  block.pData = Le(1, 8);
  for (auto v : {Le(2, 8), Le(3, 8), Le(0x00010002, 4)}) block.pData.insert(block.pData.end(), v.begin(), v.end());
  info = ReadZip64ExtendedInfo(header, block);
  EXPECT_EQ(info.uncompSize, 1);
  EXPECT_EQ(info.compSize, 2);
  EXPECT_EQ(info.relOffsetLH, 3);
  EXPECT_EQ(info.diskNumberStart, 2u);

  // A block shorter than its values: read as far as it goes, the rest stays 0.
  block.pData = Le(0x0807060504030201, 8);
  block.pData.push_back(0x11);
  block.pData.push_back(0x22);
  info = ReadZip64ExtendedInfo(header, block);
  EXPECT_EQ(info.uncompSize, 0x0807060504030201);
  EXPECT_EQ(info.compSize, 0x2211);
  EXPECT_EQ(info.relOffsetLH, 0);
  EXPECT_EQ(info.diskNumberStart, 0u);
}

TEST(ExtraFields, AesAndUnicodeNameBlocks) {
  TZAExtraFieldDataBlock aes;
  aes.headerID = ZipExtraAes;
  aes.pData = {0x02, 0x00, 'A', 'E', 0x03, 0x08, 0x00};
  TZAAesExtraInfo info{};
  ASSERT_TRUE(ReadAesExtraInfo(aes, info));
  EXPECT_EQ(info.vendorVersion, 2);
  EXPECT_EQ(info.vendorID, 'A' | ('E' << 8));
  EXPECT_EQ(info.keyStrength, 3);
  EXPECT_EQ(info.actualMethod, 8);
  aes.pData.pop_back();
  EXPECT_FALSE(ReadAesExtraInfo(aes, info));

  TZAExtraFieldDataBlock unicode;
  unicode.headerID = ZipExtraUnicodeName;
  unicode.pData = Le(ZipUnicodeNameSignature, 4);
  for (auto v : {Le(2, 4), Le(0x00E9, 2), Le(0x4E2D, 2)}) unicode.pData.insert(unicode.pData.end(), v.begin(), v.end());
  String name;
  ASSERT_TRUE(ReadUnicodeNameBlock(unicode, name));
  EXPECT_EQ(name, u"\u00e9\u4e2d");

  // A count far beyond the block yields the units present.
  std::copy_n(Le(0x7FFFFFFF, 4).begin(), 4, unicode.pData.begin() + 4);
  ASSERT_TRUE(ReadUnicodeNameBlock(unicode, name));
  EXPECT_EQ(name, u"\u00e9\u4e2d");
  std::copy_n(Le(0xFFFFFFFF, 4).begin(), 4, unicode.pData.begin() + 4);  // negative
  EXPECT_FALSE(ReadUnicodeNameBlock(unicode, name));
  unicode.pData[0] ^= 1;  // another signature: an ordinary block
  EXPECT_FALSE(ReadUnicodeNameBlock(unicode, name));
}

}  // namespace
