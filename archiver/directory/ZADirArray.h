#pragma once
// The in-memory central directory: items in directory order, referred to by
// their number, with a name index kept in step for one-probe lookups.
#include <cstdint>
#include <memory>
#include <vector>

#include "Stream.h"
#include "Types.h"
#include "ZAExtraFields.h"
#include "ZATypes.h"
#include "ZAHashedStringList.h"
#include "ZipRecords.h"

struct TDirItem {
  TZAZipCentralDir CentralDir{};
  String Name;  // as decoded, separators as stored; change through SetItemName
  String OldName;
  AnsiString Comment;
  TZAExtraFields ExtraFields;
  TZACryptoAlgorithm ZAEncryptionAlgorithm = caPkzipClassic;
  bool bHugeFile = false;
  TZAZip64ExtendedInfo Zip64ExtInfo{};
  bool Modified = false;
  AnsiString Password;
  std::shared_ptr<TStream> Stream;  // source of an item being added
  bool bDestroyStream = false;
  int32_t Position = 0;
  bool Tagged = false;
  String SrcFileName;
  uint16_t CompressionMethod = 0;
  uint8_t CompressionMode = 0;
  TZAProcessOperation Operation = poAdd;
  bool UseOldRijndael = false;
};

class TZADirArray {
 public:
  TZADirArray();
  ~TZADirArray();
  TZADirArray(const TZADirArray&) = delete;
  TZADirArray& operator=(const TZADirArray&) = delete;

  int32_t Count() const { return ItemCount; }
  // Growing past the allocation grows by a step that doubles from 500 up to
  // 10000 (at least to Value); 0 releases the storage but keeps the index.
  void SetCount(int32_t Value);

  void GetItem(int32_t Index, TDirItem& Item) const;
  TDirItem& ItemPtr(int32_t Index);
  const TDirItem& ItemPtr(int32_t Index) const;
  void SetItem(int32_t Index, const TDirItem& Item);
  void Clear();
  void Assign(const TZADirArray& da);
  void DeleteItem(int32_t Index);
  void ClearTags();
  // Exact apart from ASCII case; the number of the item indexed last wins.
  bool FileExists(const String& FileName, int32_t& ItemNo) const;
  void SetItemName(int32_t Index, const String& Name);

  int32_t AllocItemCount() const { return FAllocItemCount; }
  const TZAHashedStringList& ItemNames() const { return FItemNamesList; }

 private:
  static constexpr int32_t MaxAllocBy = 10000;

  std::vector<TDirItem> FItems;
  TZAHashedStringList FItemNamesList;
  int32_t AllocBy = 500;
  int32_t FAllocItemCount = 0;
  int32_t ItemCount = 0;
};
