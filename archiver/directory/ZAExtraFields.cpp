#include "ZAExtraFields.h"

#include <algorithm>

namespace {

// Little-endian value of Width bytes at Offset, as far as the data goes.
uint64_t ReadPartial(const std::vector<uint8_t>& Data, size_t Offset, size_t Width) {
  uint64_t value = 0;
  const size_t available = Offset < Data.size() ? std::min(Width, Data.size() - Offset) : 0;
  for (size_t i = 0; i < available; ++i) value |= static_cast<uint64_t>(Data[Offset + i]) << (8 * i);
  return value;
}

}  // namespace

TZAExtraFields SplitExtraArea(const uint8_t* Data, size_t Size) {
  TZAExtraFields blocks;
  size_t at = 0;
  while (Size - at >= 4) {
    TZAExtraFieldDataBlock block;
    block.headerID = static_cast<uint16_t>(Data[at] | (Data[at + 1] << 8));
    const size_t claimed = static_cast<size_t>(Data[at + 2] | (Data[at + 3] << 8));
    at += 4;
    block.dataSize = static_cast<uint16_t>(std::min(claimed, Size - at));
    block.pData.assign(Data + at, Data + at + block.dataSize);
    at += block.dataSize;
    blocks.push_back(std::move(block));
  }
  return blocks;
}

TZAZip64ExtendedInfo ReadZip64ExtendedInfo(const TZAZipCentralDir& Header,
                                           const TZAExtraFieldDataBlock& Block) {
  TZAZip64ExtendedInfo info{};
  size_t at = 0;
  auto take = [&](size_t width) {
    const uint64_t value = ReadPartial(Block.pData, at, width);
    at += width;
    return value;
  };
  if (Header.unCompSize == Zip64Escape32) info.uncompSize = static_cast<int64_t>(take(8));
  if (Header.compSize == Zip64Escape32) info.compSize = static_cast<int64_t>(take(8));
  if (Header.relOffsetLH == Zip64Escape32) info.relOffsetLH = static_cast<int64_t>(take(8));
  if (Header.diskNumberStart == Zip64Escape16) info.diskNumberStart = take(4) & 0xFFFF;
  return info;
}

bool ReadAesExtraInfo(const TZAExtraFieldDataBlock& Block, TZAAesExtraInfo& Info) {
  if (Block.pData.size() < 7) return false;
  Info.vendorVersion = static_cast<uint16_t>(ReadPartial(Block.pData, 0, 2));
  Info.vendorID = static_cast<uint16_t>(ReadPartial(Block.pData, 2, 2));
  Info.keyStrength = Block.pData[4];
  Info.actualMethod = static_cast<uint16_t>(ReadPartial(Block.pData, 5, 2));
  return true;
}

bool ReadUnicodeNameBlock(const TZAExtraFieldDataBlock& Block, String& Name) {
  if (Block.pData.size() < 8 || ReadPartial(Block.pData, 0, 4) != ZipUnicodeNameSignature)
    return false;
  const auto count = static_cast<int32_t>(ReadPartial(Block.pData, 4, 4));
  if (count < 0) return false;
  const size_t units = std::min<size_t>(static_cast<size_t>(count), (Block.pData.size() - 8) / 2);
  Name.resize(units);
  for (size_t i = 0; i < units; ++i)
    Name[i] = static_cast<char16_t>(ReadPartial(Block.pData, 8 + 2 * i, 2));
  return true;
}
