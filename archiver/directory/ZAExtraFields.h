#pragma once
// Extra blocks of local and central headers, and the reading of the three
// block types the engine interprets.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Types.h"
#include "ZipRecords.h"

struct TZAExtraFieldDataBlock {
  uint16_t headerID = 0;
  uint16_t dataSize = 0;
  std::vector<uint8_t> pData;  // exactly dataSize bytes
};
using TZAExtraFields = std::vector<TZAExtraFieldDataBlock>;

// Every block of an extra area in stored order. A block that claims more
// bytes than remain is shortened to them; trailing bytes too few for a block
// header are dropped.
TZAExtraFields SplitExtraArea(const uint8_t* Data, size_t Size);

// The values of a ZIP64 block, present only for the fields of Header that
// hold their escape value, in the fixed order. A value is read as far as the
// block's data goes; the disk number keeps its low 16 bits.
TZAZip64ExtendedInfo ReadZip64ExtendedInfo(const TZAZipCentralDir& Header,
                                           const TZAExtraFieldDataBlock& Block);

struct TZAAesExtraInfo {
  uint16_t vendorVersion;
  uint16_t vendorID;
  uint8_t keyStrength;  // 1, 2, 3: 128, 192, 256 bits
  uint16_t actualMethod;
};
// False when the block is too short to hold its 7 bytes.
bool ReadAesExtraInfo(const TZAExtraFieldDataBlock& Block, TZAAesExtraInfo& Info);

// The UTF-16 name of a Unicode name block; false when the additional
// signature differs or the count is negative. A count beyond the block's
// bytes yields the code units present.
bool ReadUnicodeNameBlock(const TZAExtraFieldDataBlock& Block, String& Name);
