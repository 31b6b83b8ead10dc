// The extraction driver: the batch over tagged items under the process
// lock, and the road of one item from its destination name to the written
// file with its time and attributes.
#include <exception>
#include <memory>

#include "FileStream.h"
#include "FileSystem.h"
#include "Lock.h"
#include "ZADirManager.h"
#include "ZAExcept.h"
#include "ZAExtractPaths.h"
#include "ZAStrFunc.h"
#include "ZipArchiver.h"

namespace {

constexpr int DefaultSearchAttr = 10431;

bool IsFolderEntry(const TDirItem& Item) {
  return (Item.CentralDir.externalAttr & faDirectory) != 0 ||
         (!Item.Name.empty() && Item.Name.back() == u'/');
}

}  // namespace

void TZABaseArchiver::ExtractFiles(const String& FileMask, int SearchAttr,
                                   const String& ExclusionMask) {
  CheckActive();
  CheckNotInUpdate();
  if (FOptions->Recurse() || FileMask.find_first_of(u"*?") != String::npos ||
      !ExclusionMask.empty() || SearchAttr != DefaultSearchAttr) {
    TagItems(FileMask, SearchAttr, ExclusionMask);
    ProcessTaggedItems(poExtract, -1);
    return;
  }
  TZAArchiveItem F;
  if (!FindFirst(FileMask, F, SearchAttr, ExclusionMask)) return;
  DMHandle->CDir.ItemPtr(F.Handle.ItemNo).Tagged = true;
  ProcessTaggedItems(poExtract, F.Handle.ItemNo);
}

void TZABaseArchiver::ProcessTaggedItems(TZAProcessOperation Operation, int ItemNo) {
  TProcessLockGuard lock;
  FProcessedFileNo = 0;
  FProcessedFileCount = 0;
  FProgressCancel = false;
  FProgressEnabled = true;
  const bool single = ItemNo != -1;
  if (single) {
    FProcessedFileCount = 1;
  } else {
    for (int32_t i = 0; i < DMHandle->CDir.Count(); ++i)
      if (DMHandle->CDir.ItemPtr(i).Tagged) ++FProcessedFileCount;
  }

  DoOverallProgress(0, Operation, ppStart, FProgressCancel);
  if (FProgressCancel) return;

  for (int32_t i = single ? ItemNo : 0; i < DMHandle->CDir.Count(); ++i) {
    if (!DMHandle->CDir.ItemPtr(i).Tagged) {
      if (single) break;
      continue;
    }
    DMHandle->CDir.ItemPtr(i).Operation = Operation;
    TZAAction Action;
    do {
      Action = fxaIgnore;
      String name;
      try {
        const String stored = DMHandle->CDir.ItemPtr(i).Name;
        name = ToPlatformDelimiters(stored);
        bool Confirm = true;
        DoConfirmProcessFile(name, Operation, Confirm);
        if (!Confirm) break;
        if (FCurrentDir.empty()) FCurrentDir = CurrentFolder();
        const String base = DestinationRoot(FBaseDir, FCurrentDir);
        DoFileProgress(stored, 0, Operation, ppStart, FProgressCancel);
        if (FProgressCancel) break;
        ExtractItem(i, name, base);
        const bool cancelled = FProgressCancel;
        DoFileProgress(stored, 100, Operation, ppEnd, FProgressCancel);
        FProgressCancel = FProgressCancel || cancelled;
        if (FProgressCancel) break;
        ++FProcessedFileNo;
      } catch (const EZAException& E) {
        DoProcessFileFailure(name, Operation, E.NativeError, E.ErrorCode, E.Message(), Action);
      }
    } while (Action == fxaRetry);
    if (Action == fxaAbort || FProgressCancel || single) break;
  }

  const bool cancelled = FProgressCancel;
  DoOverallProgress(100, Operation, ppEnd, FProgressCancel);
  FProgressCancel = FProgressCancel || cancelled;
}

void TZABaseArchiver::ExtractItem(int ItemNo, String Name, String Base) {
  TDirItem item;
  DMHandle->CDir.GetItem(ItemNo, item);
  uint32_t attr = item.CentralDir.externalAttr;
  const String fromArchive = Name;
  DoExtractFile(Name, attr, item.Comment);
  // Names a handler sets are the host's choice; the archive's own must stay inside.
  if (Name == fromArchive && NameEscapesBase(Name)) throw EZAException(19, {Base + Name}, this);
  if (IsCompletePath(Name)) Base.clear();

  if (!FOptions->CreateDirs()) {
    Name = FileNamePart(Name);
  } else {
    const String folder = Base + FolderPart(Name);
    bool made;
    try {
      made = MakeFolders(folder);
    } catch (const Exception&) {
      made = false;
    }
    if (!made) throw EZAException(20, {folder}, this);
  }
  if (IsFolderEntry(item)) return;

  String dest = Base + Name;
  const int32_t itemTime = PackDosDate(item.CentralDir.lastModDate, item.CentralDir.lastModTime);
  if (FileIsPresent(dest)) {
    if (!FOptions->ReplaceReadOnly()) {
      const int32_t present = ReadAttributes(dest);
      if (present != -1 && (present & faReadOnly)) return;
    }
    switch (FOptions->OverwriteMode()) {
      case omPrompt: {
        bool Confirm = false;
        DoConfirmOverwrite(Name, dest, Confirm);
        if (!Confirm) return;
        break;
      }
      case omAlways:
        break;
      case omNever:
        return;
      case omIfNewer:
        if (!(FileDosTime(dest) < itemTime)) return;
        break;
      case omIfOlder:
        if (!(FileDosTime(dest) > itemTime)) return;
        break;
    }
  }

  // An existing file is replaced only by a complete new one: the item goes
  // to a file beside it that takes its place when the item succeeded.
  const bool replacing = FileIsPresent(dest);
  const String target = replacing ? TemporaryNameBeside(dest) : dest;
  std::unique_ptr<TFileStream> output;
  try {
    output = std::make_unique<TFileStream>(target, fmCreate);
  } catch (const Exception&) {
    throw EZAException(19, {dest}, this);
  }

  std::exception_ptr failure;
  try {
    DecodeItem(ItemNo, *output);
  } catch (...) {
    failure = std::current_exception();
  }
  if (FOptions->FlushBuffers() && IsRemovableDrive(dest)) {
    try {
      output->Flush();
    } catch (const Exception&) {
      // As the system's flush: a failure is not reported.
    }
  }
  output.reset();
  // Set by name once closed: the open file shares nothing, not even its time.
  FileSetDosTime(target, itemTime);

  if (FSkipFile || FProgressCancel || failure) {
    DeletePath(target);
    if (failure) std::rethrow_exception(failure);
    return;
  }
  if (replacing) {
    const int32_t previous = ReadAttributes(dest);
    // A read-only file refuses to be replaced on Windows.
    WriteAttributes(dest, 0);
    if (!RenameFile(target, dest)) {
      if (previous != -1) WriteAttributes(dest, static_cast<uint32_t>(previous));
      DeletePath(target);
      throw EZAException(19, {dest}, this);
    }
  }
  if (FOptions->SetAttributes()) WriteAttributes(dest, attr);
}
