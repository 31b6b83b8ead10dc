#include "ZipArchiver.h"

#include "Dialogs.h"
#include "FileStream.h"
#include "FileSystem.h"
#include "Format.h"
#include "ZADirManager.h"
#include "ZAExcept.h"
#include "ZAStrFunc.h"

TZABaseArchiver::TZABaseArchiver(TComponent* AOwner)
    : TComponent(AOwner),
      FVolumeNumberInfo(std::make_unique<TZAVolumeNumberInfo>()),
      FOptions(std::make_unique<TZAOptions>()),
      FFileMasks(std::make_unique<TStringList>()),
      FExclusionMasks(std::make_unique<TStringList>()),
      FNoCompressionMasks(std::make_unique<TStringList>()),
      FSpanningOptions(std::make_unique<TZASpanningOptions>()) {
  SetCompressionLevel(clFastest);
}

TZABaseArchiver::~TZABaseArchiver() { CloseArchive(); }

void TZABaseArchiver::SetOptions(const TZAOptions& Value) { FOptions->Assign(Value); }

void TZABaseArchiver::SetSpanningOptions(const TZASpanningOptions& Value) {
  FSpanningOptions->Assign(Value);
}

void TZABaseArchiver::SetFileMasks(const TStringList& Value) { FFileMasks->Assign(Value); }

void TZABaseArchiver::SetExclusionMasks(const TStringList& Value) {
  FExclusionMasks->Assign(Value);
}

void TZABaseArchiver::SetNoCompressionMasks(const TStringList& Value) {
  FNoCompressionMasks->Assign(Value);
}

void TZABaseArchiver::SetSpanningMode(TZASpanningMode Value) {
  if (FActive) throw Exception(u"Cannot set spanning mode on open archive");
  FSpanningMode = Value;
}

void TZABaseArchiver::SetCompressionLevel(TZACompressionLevel Value) {
  FCompressionLevel = Value;
  switch (Value) {
    case clNone: FCompressionMode = 0; break;
    case clFastest: FCompressionMode = 1; break;
    case clNormal: FCompressionMode = 6; break;
    case clMax: FCompressionMode = 9; break;
  }
  UpdateCompressionMethod();
}

void TZABaseArchiver::SetCompressionMode(uint8_t Value) {
  if (Value > 9) throw EZAException(5, this);
  FCompressionMode = Value;
  if (Value == 0)
    FCompressionLevel = clNone;
  else if (Value <= 3)
    FCompressionLevel = clFastest;
  else if (Value <= 6)
    FCompressionLevel = clNormal;
  else
    FCompressionLevel = clMax;
  UpdateCompressionMethod();
}

void TZABaseArchiver::SetPassword(const AnsiString& Value) { FPassword = Value; }

// Independent of the user's locale: always a full stop.
String TZABaseArchiver::CurrentVersion() const { return u"6.00 "; }

void TZABaseArchiver::SetActive(bool Value) {
  if (Value == FActive) return;
  if (Value)
    OpenArchive();
  else
    CloseArchive();
}

bool TZABaseArchiver::Exists() const { return FileIsPresent(FFileName); }

int64_t TZABaseArchiver::Size() {
  CheckActive();
  return FCompressedStream->Size();
}

AnsiString TZABaseArchiver::Comment() const {
  return FActive && DMHandle ? DMHandle->ArchiveComment : AnsiString();
}

void TZABaseArchiver::CancelUpdate() {
  if (FUpdateCount > 0) FUpdateCount = 0;
}

void TZABaseArchiver::CheckActive() const {
  if (!FActive) throw EZAException(13, this);
}

void TZABaseArchiver::CheckNotInUpdate() const {
  if (FUpdateCount > 0) throw EZAException(26, this);
}

// Writing updates is not part of this engine: there is never a pending one.
void TZABaseArchiver::CommitUpdate() {}

void TZABaseArchiver::UpdateCompressionMethod() { FCompressionMethod = 65535; }

// ---- Opening and closing -------------------------------------------------

void TZABaseArchiver::OpenArchive() {
  if (!FInMemory && FileNamePart(FFileName).empty()) throw EZAException(9, this);
  uint16_t mode;
  if (FInMemory || !FileIsPresent(FFileName))
    mode = fmCreate;
  else
    mode = CanOpenFile(FFileName, fmOpenReadWrite | fmShareDenyWrite)
               ? uint16_t(fmOpenReadWrite | fmShareDenyWrite)
               : uint16_t(fmOpenRead | fmShareDenyNone);
  OpenArchive(mode);
}

void TZABaseArchiver::OpenArchive(uint16_t Mode) {
  if (!FInMemory && FileNamePart(FFileName).empty()) throw EZAException(10, this);
  if (Mode != fmCreate && !FileIsPresent(FFileName) && FSpanningMode != smSpanning &&
      !IsRemovableDrive(FFileName))
    throw EZAException(12, {FFileName}, this);
  if (Mode != fmCreate && FInMemory) throw EZAException(28, {FFileName}, this);
  CloseArchive();
  IsCustomStream = false;
  FileOpenMode = Mode;
  InternalOpenArchive();
}

void TZABaseArchiver::InternalOpenArchive() {
  if (FileOpenMode == fmCreate || FInMemory) {
    CreateNewArchive();
  } else {
    FSpanningMode = smNone;
    FVolumeNumberInfo->Init();
    if (IsExecutableName(FFileName))
      OpenExecutableArchive();
    else
      OpenArchiveVolumes();
    if (DMHandle->HasCentralDirEnd() || FOpenCorruptedArchives) {
      DMHandle->LoadDir();
    } else {
      ReleaseStream();
      throw EZAException(48, this);
    }
  }
  FActive = true;
  DoAfterOpen();
}

void TZABaseArchiver::CreateNewArchive() {
  if (FInMemory) {
    ReleaseStream();
    FOwnedStream = std::make_unique<TMemoryStream>();
    FCompressedStream = FOwnedStream.get();
  } else {
    TZAVolumeNumberInfo first;
    first.SetFirstVolume(true);
    OpenVolume(first);
  }
  DMHandle = std::make_unique<TZADirManager>(FCompressedStream, true, this);
}

bool TZABaseArchiver::IsExecutableName(const String& Name) {
  return LowerCaseAscii(ExtensionPart(Name)).find(u".exe") != String::npos;
}

void TZABaseArchiver::OpenVolumeStream(const String& Name) {
  ReleaseStream();
  FOwnedStream = std::make_unique<TFileStream>(Name, FileOpenMode);
  FCompressedStream = FOwnedStream.get();
  VolumeFileName = Name;
}

void TZABaseArchiver::DoAfterOpen() {
  if (AfterOpen) AfterOpen(this);
}

void TZABaseArchiver::CloseArchive() {
  if (FActive) {
    try {
      CommitUpdate();
      if (FCompressedStream && DMHandle && FCompressedStream->Size() == DMHandle->StubSize)
        DMHandle->SaveDir(true, FCompressedStream);
    } catch (...) {
      // Closing never raises: a directory that cannot be written is lost.
    }
    FActive = false;
  }
  ReleaseStream();
  ReleaseDirManager();
}

void TZABaseArchiver::ReleaseStream() {
  FOwnedStream.reset();
  FCompressedStream = nullptr;
}

void TZABaseArchiver::ReleaseDirManager() { DMHandle.reset(); }

void TZABaseArchiver::SetInMemory(bool Value) {
  if (Value == FInMemory) return;
  if (FActive) {
    if (!Value) {
      if (FFileName.empty()) throw EZAException(29, this);
      // The file gets the archive as closing would leave it: a new archive
      // that is still empty has its directory written first, so that the
      // file reopens as a valid archive.
      if (FCompressedStream->Size() == DMHandle->StubSize) DMHandle->SaveDir(true, FCompressedStream);
      {
        TFileStream file(FFileName, fmCreate);
        file.CopyFrom(*FCompressedStream, 0);
      }
      CloseArchive();
      FInMemory = false;
      OpenArchive();
    } else {
      CloseArchive();
      FInMemory = true;
      OpenArchive();
    }
  }
  FInMemory = Value;
}

// ---- Dispatchers ---------------------------------------------------------
// DoConfirmOverwrite, DoProcessFileFailure and DoDiskFull, with their
// default prompts, are defined with extraction (archiver/extract).

void TZABaseArchiver::DoOverallProgress(double Progress, TZAProcessOperation Operation,
                                        TZAProgressPhase ProgressPhase, bool& Cancel) {
  if (OnOverallProgress)
    OnOverallProgress(this, Progress, Operation, ProgressPhase, Cancel);
  else
    Cancel = false;
}

void TZABaseArchiver::DoFileProgress(const String& FileName, double Progress,
                                     TZAProcessOperation Operation,
                                     TZAProgressPhase ProgressPhase, bool& Cancel) {
  if (OnFileProgress) {
    OnFileProgress(this, ToPlatformDelimiters(FileName), Progress, Operation, ProgressPhase,
                   Cancel);
  } else {
    Cancel = false;
  }
}

void TZABaseArchiver::DoCopyTempFileProgress(double Progress, TZAProgressPhase ProgressPhase,
                                             bool& Cancel) {
  if (OnCopyTempFileProgress) OnCopyTempFileProgress(this, Progress, ProgressPhase, Cancel);
}

void TZABaseArchiver::DoConfirmProcessFile(const String& FileName, TZAProcessOperation Operation,
                                           bool& Confirm) {
  if (OnConfirmProcessFile)
    OnConfirmProcessFile(this, FileName, Operation, Confirm);
  else
    Confirm = true;
}

void TZABaseArchiver::DoRequestBlankVolume(int VolumeNumber, String& VolumeFileName,
                                           bool& Cancel) {
  if (OnRequestBlankVolume) OnRequestBlankVolume(this, VolumeNumber, VolumeFileName, Cancel);
}

void TZABaseArchiver::DoProcessVolumeFailure(TZAProcessOperation Operation, int VolumeNumber,
                                             const String& VolumeFileName, bool& Cancel) {
  if (OnProcessVolumeFailure)
    OnProcessVolumeFailure(this, Operation, VolumeNumber, VolumeFileName, Cancel);
}

void TZABaseArchiver::DoStoreFile(String& FileName, int& FileAttr, AnsiString& Comment,
                                  const String& OriginalFileName) {
  if (OnStoreFile) OnStoreFile(this, FileName, FileAttr, Comment, OriginalFileName);
}

void TZABaseArchiver::DoExtractFile(String& FileName, uint32_t& FileAttr,
                                    const AnsiString& Comment) {
  FileName = ToPlatformDelimiters(FileName);
  if (OnExtractFile) OnExtractFile(this, FileName, FileAttr, Comment);
}

// ---- TZipArchiver --------------------------------------------------------

TZipArchiver::TZipArchiver(TComponent* AOwner) : TZABaseArchiver(AOwner) {
  isZIPFormat = true;
  FZip64Mode = zmDisabled;
  // The base constructor's call could not reach this class's override yet.
  UpdateCompressionMethod();
}

void TZipArchiver::SetPassword(const AnsiString& Value) { FPassword = Value; }

void TZipArchiver::UpdateCompressionMethod() { FCompressionMethod = FCompressionMode != 0 ? 8 : 0; }
