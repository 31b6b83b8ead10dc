// Recognising self-extractors and multi-volume archives while opening, and
// making a volume the current archive stream.
#include "Dialogs.h"
#include "FileStream.h"
#include "FileSystem.h"
#include "Format.h"
#include "ZADirManager.h"
#include "ZAExcept.h"
#include "ZAStrFunc.h"
#include "ZipArchiver.h"

namespace {

// Restores OpenCorruptedArchives however the opening routine ends.
class TRestoreFlag {
 public:
  explicit TRestoreFlag(bool& Flag) : FFlag(Flag), FSaved(Flag) {}
  ~TRestoreFlag() { FFlag = FSaved; }

 private:
  bool& FFlag;
  bool FSaved;
};

String ZeroPadded(int Value, int Width) {
  String digits = IntToStr(Value);
  if (static_cast<int>(digits.size()) < Width) digits.insert(0, Width - digits.size(), u'0');
  return digits;
}

bool Confirmed(const String& Text) {
  return Dialogs().MessageDlg(Text, TMsgDlgType::mtConfirmation, mbOK | mbCancel) == mrOk;
}

TZAVolumeNumberInfo LastVolumeDesignation() {
  TZAVolumeNumberInfo last;
  last.SetLastVolume(true);
  return last;
}

}  // namespace

void TZABaseArchiver::OpenArchiveVolumes() {
  TRestoreFlag restore(FOpenCorruptedArchives);
  FOpenCorruptedArchives = false;
  bool found;
  do {
    if (!FileIsPresent(FFileName) && IsRemovableDrive(FFileName)) FSpanningMode = smSpanning;
    found = ProbeLastVolume();
  } while (!found && FSpanningMode != smNone);
}

bool TZABaseArchiver::ProbeLastVolume() {
  DMHandle.reset();
  FVolumeNumberInfo->Init();
  OpenVolume(LastVolumeDesignation());
  DMHandle = std::make_unique<TZADirManager>(FCompressedStream, false, this);
  const bool found = DMHandle->HasCentralDirEnd();
  DetectSpanningMode();
  return found;
}

void TZABaseArchiver::OpenExecutableArchive() {
  TRestoreFlag restore(FOpenCorruptedArchives);
  OpenVolume(LastVolumeDesignation());
  DMHandle = std::make_unique<TZADirManager>(FCompressedStream, false, this);
  FOpenCorruptedArchives = false;
  if (DMHandle->HasCentralDirEnd()) {
    DetectSpanningMode();
    return;
  }
  // The first part of a split set whose last part is a .ZIP file beside it.
  DMHandle.reset();
  FSpanningMode = smSplitting;
  String lastName = FFileName;
  GetVolumeFileName(lastName, -1, false);
  if (FileIsPresent(lastName)) {
    FVolumeNumberInfo->Init();
    OpenVolume(LastVolumeDesignation());
  }
  FSpanningMode = smNone;
  while (!ProbeLastVolume() && FSpanningMode != smNone) {
  }
}

void TZABaseArchiver::DetectSpanningMode() {
  const TZAZipCentralDirEnd& end = DMHandle->CentralDirEnd;
  if (end.signature == 0) {
    FSpanningMode = IsRemovableDrive(FFileName) ? smSpanning : smNone;
    return;
  }
  const int diskNumber = end.diskNumber;
  if (diskNumber == 0 && DMHandle->HasCentralDirEnd()) {
    FSpanningMode = smNone;
    return;
  }
  FSpanningMode = smSplitting;
  auto volumeExists = [&] {
    String name = FFileName;
    GetVolumeFileName(name, diskNumber - 1, false);
    return FileIsPresent(name);
  };
  if (volumeExists()) {
    if (diskNumber == 0) FSpanningMode = smNone;
    return;
  }
  FSpanningOptions->SetAdvancedNaming(!FSpanningOptions->AdvancedNaming());
  if (volumeExists()) return;
  FSpanningOptions->SetAdvancedNaming(!FSpanningOptions->AdvancedNaming());
  if (LowerCaseAscii(FFileName).find(u".exe") != String::npos)
    FSpanningMode = smNone;
  else if (diskNumber > 0 || IsRemovableDrive(FFileName))
    FSpanningMode = smSpanning;
  else
    FSpanningMode = smNone;
}

void TZABaseArchiver::OpenVolume(const TZAVolumeNumberInfo& Info) {
  if (FSpanningMode == smNone || FileOpenMode == fmCreate) {
    if (!FCompressedStream) OpenVolumeStream(FFileName);
    FVolumeNumberInfo->TakeVolume(Info);
    return;
  }
  if (FVolumeNumberInfo->IsEqualTo(Info)) return;
  bool Cancel;
  for (;;) {
    String name = FFileName;
    Cancel = true;
    if (Info.FirstVolume())
      DoRequestFirstVolume(name, Cancel);
    else if (Info.LastVolume())
      DoRequestLastVolume(name, Cancel);
    else
      DoRequestMiddleVolume(Info.VolumeNumber(), name, Cancel);
    if (Cancel) break;
    if (name.empty() && FSpanningMode != smSpanning) break;
    if (FileIsPresent(name)) {
      OpenVolumeStream(name);
      FVolumeNumberInfo->TakeVolume(Info);
      break;
    }
  }
  if (Cancel) throw EZAException(45, this);
}

void TZABaseArchiver::GetVolumeFileName(String& Name, int Index, bool CheckExistence) const {
  const String path = FolderPart(Name);
  const String ext = ExtensionPart(Name);
  const String fileName = FileNamePart(Name);
  const String base = fileName.substr(0, fileName.size() - ext.size());
  const bool selfExtractor =
      (DMHandle && DMHandle->StubSize != 0) || !FSFXStub.empty() || IsExecutableName(Name);
  const bool advanced = FSpanningOptions->AdvancedNaming();

  if (FSpanningMode == smSpanning && Index != -1) {
    const String volumeExt = selfExtractor ? String(u".exe") : ext;
    const String numbered = path + base + u"_" + ZeroPadded(Index + 1, 3) + volumeExt;
    const String plain = path + base + volumeExt;
    Name = advanced ? numbered : plain;
    const String& other = advanced ? plain : numbered;
    if (CheckExistence && !FileIsPresent(Name) && FileIsPresent(other)) Name = other;
  } else if (FSpanningMode == smSplitting) {
    if (Index == 0 && selfExtractor)
      Name = path + base + u".exe";
    else if (Index != -1)
      Name = advanced ? path + base + u"_" + ZeroPadded(Index + 1, 3) + ext
                      : path + base + u".Z" + ZeroPadded(Index + 1, 2);
    else if (selfExtractor)
      Name = path + base + u".ZIP";
  }
  // Volume names compare without case, also where the file system does not.
  Name = MatchFileNameCase(Name);
}

void TZABaseArchiver::DoRequestFirstVolume(String& VolumeFileName, bool& Cancel) {
  const String passed = VolumeFileName;
  GetVolumeFileName(VolumeFileName, 0, !OnRequestFirstVolume);
  Cancel = false;
  if (OnRequestFirstVolume) {
    OnRequestFirstVolume(this, VolumeFileName, Cancel);
  } else if (FSpanningMode == smSpanning) {
    Cancel = !Confirmed(u"Please insert the first disk");
    VolumeFileName = passed;
    GetVolumeFileName(VolumeFileName, 0, true);
  } else {
    Cancel = !(FileIsPresent(VolumeFileName) || FileOpenMode == fmCreate);
  }
}

void TZABaseArchiver::DoRequestLastVolume(String& VolumeFileName, bool& Cancel) {
  GetVolumeFileName(VolumeFileName, -1, true);
  Cancel = false;
  if (OnRequestLastVolume) {
    OnRequestLastVolume(this, VolumeFileName, Cancel);
  } else if (FSpanningMode == smSpanning) {
    Cancel = !Confirmed(u"Please insert the last disk");
    while (!Cancel && !FileIsPresent(VolumeFileName))
      Cancel = !Confirmed(Format(
          u"File '%s' not found on inserted disk. Please insert last disk with required file",
          {VolumeFileName}));
  } else {
    Cancel = !FileIsPresent(VolumeFileName);
  }
}

void TZABaseArchiver::DoRequestMiddleVolume(int VolumeNumber, String& VolumeFileName,
                                            bool& Cancel) {
  const String passed = VolumeFileName;
  GetVolumeFileName(VolumeFileName, VolumeNumber, !OnRequestMiddleVolume);
  Cancel = false;
  if (OnRequestMiddleVolume) {
    OnRequestMiddleVolume(this, VolumeNumber + 1, VolumeFileName, Cancel);
    return;
  }
  if (FSpanningMode == smSpanning)
    Cancel = !Confirmed(Format(u"Please insert disk #%d", {VolumeNumber + 1}));
  else
    Cancel = !FileIsPresent(VolumeFileName);
  VolumeFileName = passed;
  GetVolumeFileName(VolumeFileName, VolumeNumber, true);
}
