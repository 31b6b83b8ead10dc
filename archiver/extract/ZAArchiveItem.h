#pragma once
// The public description of one archive item, as FindFirst and FindNext
// return it, with the search state that carries an enumeration between calls.
#include <cstdint>

#include "Types.h"

inline constexpr int ZAMaxFindMask = 260;  // characters of CFindMask, terminator included

struct TInternalSearchRec {
  int32_t ItemNo = 0;  // the item found last; FindNext starts after it
  char16_t CFindMask[ZAMaxFindMask] = {};
  bool FWildCards = false;
  int32_t FFindAttr = 0;
  String ExclusionMask;  // as the caller gave it
  bool UseProperties = false;
};

struct TZAArchiveItem {
  String FileName;    // after the last folder separator
  String StoredPath;  // the folders, ending in a delimiter; empty in the root
  int64_t CompressedSize = 0;
  int64_t UncompressedSize = 0;
  double CompressionRate = 0;
  bool Encrypted = false;
  uint16_t LastModFileDate = 0;
  uint16_t LastModFileTime = 0;
  int32_t CRC = 0;
  uint32_t ExternalFileAttributes = 0;
  AnsiString Comment;
  TInternalSearchRec Handle;
};
