// Item search: FindFirst and FindNext over the item list, the tagging that
// precedes a batch, and FileCount.
#include <algorithm>

#include "FileSystem.h"
#include "ZADirManager.h"
#include "ZAExcept.h"
#include "ZAMasks.h"
#include "ZAStrFunc.h"
#include "ZipArchiver.h"

namespace {

int64_t PackedSizeOf(const TDirItem& Item) {
  return Item.CentralDir.compSize == Zip64Escape32 ? Item.Zip64ExtInfo.compSize
                                                   : Item.CentralDir.compSize;
}

int64_t UnpackedSizeOf(const TDirItem& Item) {
  return Item.CentralDir.unCompSize == Zip64Escape32 ? Item.Zip64ExtInfo.uncompSize
                                                     : Item.CentralDir.unCompSize;
}

String DropTrailing(const String& S, std::initializer_list<char16_t> Chars) {
  if (!S.empty() && std::find(Chars.begin(), Chars.end(), S.back()) != Chars.end())
    return S.substr(0, S.size() - 1);
  return S;
}

void Describe(const TDirItem& Item, TZAArchiveItem& F) {
  const String path = RemoveBackslash(ToPlatformDelimiters(Item.Name));
  F.FileName = FileNamePart(path);
  F.StoredPath = FolderPart(path);
  F.CompressedSize = PackedSizeOf(Item);
  F.UncompressedSize = UnpackedSizeOf(Item);
  if (F.UncompressedSize > 0) {
    const double rate =
        (1.0 - static_cast<double>(F.CompressedSize) / static_cast<double>(F.UncompressedSize)) * 100;
    F.CompressionRate = rate < 0 ? 0 : rate;
  } else {
    F.CompressionRate = 100;
  }
  const TZAZipCentralDir& header = Item.CentralDir;
  F.Encrypted = (header.genPurposeFlag & ZipFlagEncrypted) != 0;
  F.LastModFileDate = header.lastModDate;
  F.LastModFileTime = header.lastModTime;
  F.CRC = static_cast<int32_t>(header.crc32);
  F.ExternalFileAttributes = header.externalAttr;
  F.Comment = Item.Comment;
}

// Restores Options.Recurse however the count ends.
class TRestoreRecurse {
 public:
  explicit TRestoreRecurse(TZAOptions& Options) : FOptions(Options), FSaved(Options.Recurse()) {}
  ~TRestoreRecurse() { FOptions.SetRecurse(FSaved); }

 private:
  TZAOptions& FOptions;
  bool FSaved;
};

}  // namespace

bool TZABaseArchiver::FindFirst(const String& FileMask, TZAArchiveItem& F, int SearchAttr,
                                const String& ExclusionMask) {
  CheckActive();
  String mask = FileMask;
  const String drive = DrivePart(mask);
  if (!drive.empty() && FOptions->StorePath() != spFullPathWithDrive) mask.erase(0, drive.size());
  mask = ReplaceText(mask, u"\\", u"/", true);
  TInternalSearchRec& h = F.Handle;
  // A mask that does not fit the record is stored empty, and an empty mask
  // finds nothing: never a longer or shorter mask than the caller gave.
  if (mask.size() >= static_cast<size_t>(ZAMaxFindMask)) mask.clear();
  std::fill(std::begin(h.CFindMask), std::end(h.CFindMask), u'\0');
  std::copy(mask.begin(), mask.end(), h.CFindMask);
  h.ExclusionMask = ExclusionMask;
  h.UseProperties = false;
  h.FWildCards = mask.find_first_of(u"*?") != String::npos;
  h.FFindAttr = SearchAttr;
  h.ItemNo = 0;
  return SearchItems(F);
}

bool TZABaseArchiver::FindNext(TZAArchiveItem& F) {
  CheckActive();
  if (F.Handle.ItemNo >= DMHandle->CDir.Count()) return false;
  ++F.Handle.ItemNo;
  return SearchItems(F);
}

bool TZABaseArchiver::SearchItems(TZAArchiveItem& F) {
  TInternalSearchRec& h = F.Handle;
  const String mask(h.CFindMask);
  if (mask.empty()) return false;
  const TZADirArray& items = DMHandle->CDir;
  const bool recurse = FOptions->Recurse();
  int32_t found = -1;
  if (!h.FWildCards && !recurse) {
    int32_t itemNo = -1;
    items.FileExists(mask, itemNo);
    if (itemNo >= 0 && itemNo >= h.ItemNo) found = itemNo;
  } else {
    const String maskFolder = LowerCaseAscii(FolderPart(ToPlatformDelimiters(mask)));
    for (int32_t i = std::max(h.ItemNo, 0); i < items.Count() && found < 0; ++i) {
      const TDirItem& item = items.ItemPtr(i);
      if (!recurse) {
        const String name = ToPlatformDelimiters(DropTrailing(item.Name, {u'/'}));
        if (LowerCaseAscii(FolderPart(name)) != maskFolder) continue;
      }
      if (IsItemMatch(i, h) && IsAttrAccepted(item.CentralDir.externalAttr, h.FFindAttr)) found = i;
    }
  }
  if (found < 0) return false;
  h.ItemNo = found;
  Describe(items.ItemPtr(found), F);
  return true;
}

bool TZABaseArchiver::IsItemMatch(int ItemNo, const TInternalSearchRec& Handle) {
  const String name = DropTrailing(DMHandle->CDir.ItemPtr(ItemNo).Name, {u'\\', u'/'});
  const String mask(Handle.CFindMask);
  const bool matches = IsMaskMatch(name, mask) ||
                       IsMaskMatch(FileNamePart(ToPlatformDelimiters(name)), mask);
  return matches && !IsMaskMatch(name, Handle.ExclusionMask);
}

void TZABaseArchiver::TagItems(const String& FileMask, int SearchAttr, const String& ExclusionMask) {
  DMHandle->CDir.ClearTags();
  TZAArchiveItem F;
  for (bool found = FindFirst(FileMask, F, SearchAttr, ExclusionMask); found; found = FindNext(F))
    DMHandle->CDir.ItemPtr(F.Handle.ItemNo).Tagged = true;
}

int TZABaseArchiver::FileCount() {
  CheckActive();
  TRestoreRecurse restore(*FOptions);
  FOptions->SetRecurse(true);
  int folders = 0;
  TZAArchiveItem F;
  for (bool found = FindFirst(u"*.*", F, faDirectory, u""); found; found = FindNext(F))
    if (F.ExternalFileAttributes & faDirectory) ++folders;
  return DMHandle->CDir.Count() - folders;
}
