#pragma once
// The archive component: settings, events, lifecycle, opening and closing.
// TZABaseArchiver holds the state and behaviour; TZipArchiver fixes the
// format to standard ZIP.
#include <cstdint>
#include <memory>

#include "Component.h"
#include "Stream.h"
#include "StringList.h"
#include "ZAArchiveItem.h"
#include "ZAOptions.h"
#include "ZASpanning.h"
#include "ZATypes.h"

class TZADirManager;

class TZABaseArchiver : public TComponent {
 public:
  explicit TZABaseArchiver(TComponent* AOwner);
  ~TZABaseArchiver() override;
  const char* ClassName() const override { return "TZABaseArchiver"; }

  // Lifecycle.
  void OpenArchive();
  void OpenArchive(uint16_t Mode);
  void CloseArchive();
  void CancelUpdate();

  // Published properties.
  const String& FileName() const { return FFileName; }
  void SetFileName(const String& Value) { FFileName = Value; }
  const String& BaseDir() const { return FBaseDir; }
  void SetBaseDir(const String& Value) { FBaseDir = Value; }
  const String& TempDir() const { return FTempDir; }
  void SetTempDir(const String& Value) { FTempDir = Value; }
  const String& SFXStub() const { return FSFXStub; }
  void SetSFXStub(const String& Value) { FSFXStub = Value; }
  TZAOptions& Options() { return *FOptions; }
  void SetOptions(const TZAOptions& Value);
  TZASpanningOptions& SpanningOptions() { return *FSpanningOptions; }
  void SetSpanningOptions(const TZASpanningOptions& Value);
  TStringList& FileMasks() { return *FFileMasks; }
  void SetFileMasks(const TStringList& Value);
  TStringList& ExclusionMasks() { return *FExclusionMasks; }
  void SetExclusionMasks(const TStringList& Value);
  TStringList& NoCompressionMasks() { return *FNoCompressionMasks; }
  void SetNoCompressionMasks(const TStringList& Value);
  bool InMemory() const { return FInMemory; }
  void SetInMemory(bool Value);
  TZASpanningMode SpanningMode() const { return FSpanningMode; }
  void SetSpanningMode(TZASpanningMode Value);
  TZACompressionLevel CompressionLevel() const { return FCompressionLevel; }
  void SetCompressionLevel(TZACompressionLevel Value);
  uint8_t CompressionMode() const { return FCompressionMode; }
  void SetCompressionMode(uint8_t Value);
  const AnsiString& Password() const { return FPassword; }
  virtual void SetPassword(const AnsiString& Value);
  String CurrentVersion() const;
  void SetCurrentVersion(const String&) {}
  bool ExtractCorruptedFiles() const { return FExtractCorruptedFiles; }
  void SetExtractCorruptedFiles(bool Value) { FExtractCorruptedFiles = Value; }

  // Public properties.
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  bool Exists() const;
  int64_t Size();
  bool InUpdate() const { return FUpdateCount > 0; }
  AnsiString Comment() const;
  bool OpenCorruptedArchives() const { return FOpenCorruptedArchives; }
  void SetOpenCorruptedArchives(bool Value) { FOpenCorruptedArchives = Value; }
  const TZAVolumeNumberInfo& VolumeNumberInfo() const { return *FVolumeNumberInfo; }
  uint16_t CompressionMethod() const { return FCompressionMethod; }

  // Events.
  TZAFileProgressEvent OnFileProgress;
  TZAProgressEvent OnOverallProgress;
  TZACopyTempFileProgressEvent OnCopyTempFileProgress;
  TZAConfirmOverwriteEvent OnConfirmOverwrite;
  TZAConfirmProcessFileEvent OnConfirmProcessFile;
  TNotifyEvent AfterOpen;
  TZAOnPasswordEvent OnPassword;
  TZAProcessFileFailureEvent OnProcessFileFailure;
  TZAOnRequestFirstVolumeEvent OnRequestFirstVolume;
  TZAOnRequestLastVolumeEvent OnRequestLastVolume;
  TZAOnRequestMiddleVolumeEvent OnRequestMiddleVolume;
  TZAOnRequestBlankVolumeEvent OnRequestBlankVolume;
  TZAOnDiskFullEvent OnDiskFull;
  TZAOnProcessVolumeFailureEvent OnProcessVolumeFailure;  // raised only while writing volumes
  TZAOnStoreFileEvent OnStoreFile;
  TZAOnExtractFileEvent OnExtractFile;

 // ---- Search and extraction (defined under archiver/extract) ----------------
 public:
  bool FindFirst(const String& FileMask, TZAArchiveItem& F, int SearchAttr,
                 const String& ExclusionMask);
  bool FindNext(TZAArchiveItem& F);
  void ExtractFiles(const String& FileMask, int SearchAttr, const String& ExclusionMask);
  int FileCount();

 protected:
  bool SearchItems(TZAArchiveItem& F);
  bool IsItemMatch(int ItemNo, const TInternalSearchRec& Handle);
  void TagItems(const String& FileMask, int SearchAttr, const String& ExclusionMask);
  void ProcessTaggedItems(TZAProcessOperation Operation, int ItemNo);
  void ExtractItem(int ItemNo, String Name, String Base);
  // Decodes one item into Output; raises EZAException when it fails.
  void DecodeItem(int ItemNo, TStream& Output);
  friend class TZAItemDecoder;
  // ---- end of search and extraction -------------------------------------

 protected:
  // The dispatchers: each event is raised only through its slot, so that a
  // descendant can change the default.
  virtual void UpdateCompressionMethod();
  virtual void DoOverallProgress(double Progress, TZAProcessOperation Operation,
                                 TZAProgressPhase ProgressPhase, bool& Cancel);
  virtual void DoFileProgress(const String& FileName, double Progress,
                              TZAProcessOperation Operation, TZAProgressPhase ProgressPhase,
                              bool& Cancel);
  virtual void DoCopyTempFileProgress(double Progress, TZAProgressPhase ProgressPhase,
                                      bool& Cancel);
  virtual void DoConfirmOverwrite(const String& SourceFileName, String& DestFileName,
                                  bool& Confirm);
  virtual void DoConfirmProcessFile(const String& FileName, TZAProcessOperation Operation,
                                    bool& Confirm);
  virtual void DoPassword(const String& FileName, AnsiString& NewPassword, bool& SkipFile);
  virtual void DoProcessFileFailure(const String& FileName, TZAProcessOperation Operation,
                                    int NativeError, int ErrorCode, const String& ErrorMessage,
                                    TZAAction& Action);
  virtual void DoRequestBlankVolume(int VolumeNumber, String& VolumeFileName, bool& Cancel);
  virtual void DoRequestFirstVolume(String& VolumeFileName, bool& Cancel);
  virtual void DoRequestLastVolume(String& VolumeFileName, bool& Cancel);
  virtual void DoRequestMiddleVolume(int VolumeNumber, String& VolumeFileName, bool& Cancel);
  virtual void DoDiskFull(int VolumeNumber, const String& VolumeFileName, bool& Cancel);
  virtual void DoProcessVolumeFailure(TZAProcessOperation Operation, int VolumeNumber,
                                      const String& VolumeFileName, bool& Cancel);
  virtual void DoStoreFile(String& FileName, int& FileAttr, AnsiString& Comment,
                           const String& OriginalFileName);
  virtual void DoExtractFile(String& FileName, uint32_t& FileAttr, const AnsiString& Comment);

  // The opening road.
  void InternalOpenArchive();
  void CreateNewArchive();
  static bool IsExecutableName(const String& Name);
  void OpenVolumeStream(const String& Name);
  void DoAfterOpen();
  void OpenArchiveVolumes();
  void OpenExecutableArchive();
  void DetectSpanningMode();
  // Opens the last volume, searches it for the end record and detects the
  // layout from what was found; true when the record was found.
  bool ProbeLastVolume();
  void OpenVolume(const TZAVolumeNumberInfo& Info);
  void GetVolumeFileName(String& Name, int Index, bool CheckExistence) const;
  void CheckActive() const;
  void CheckNotInUpdate() const;
  void CommitUpdate();

  friend class TZADirManager;

  String FCurrentDir;
  int FUpdateCount = 0;
  bool FActive = false;
  bool isZIPFormat = false;
  bool IsCustomStream = false;
  String FFileName;
  String VolumeFileName;
  std::unique_ptr<TZAVolumeNumberInfo> FVolumeNumberInfo;
  uint16_t FileOpenMode = 0;
  String FTempDir;
  String FBaseDir;
  String FSFXStub;
  std::unique_ptr<TZAOptions> FOptions;
  std::unique_ptr<TStringList> FFileMasks;
  std::unique_ptr<TStringList> FExclusionMasks;
  std::unique_ptr<TStringList> FNoCompressionMasks;
  bool FInMemory = false;
  int FProcessedFileNo = 0;
  int FProcessedFileCount = 0;
  int64_t FProcessedFilesTotalSize = 0;
  int64_t FProcessedFilesSize = 0;
  bool FProgressCancel = false;
  bool FProgressEnabled = false;
  bool FSkipFile = false;
  TZASpanningMode FSpanningMode = smNone;
  std::unique_ptr<TZASpanningOptions> FSpanningOptions;
  bool FExtractCorruptedFiles = false;
  bool FOpenCorruptedArchives = true;
  bool FUnicodeFilenames = false;
  int64_t FProgress = 0;
  int64_t FProgressMax = 0;
  bool FSuppressPasswordEvent = false;
  std::unique_ptr<TZADirManager> DMHandle;
  uint16_t FCompressionMethod = 0;
  TZACryptoAlgorithm FZACryptoAlgorithm = caPkzipClassic;
  uint8_t FCompressionMode = 1;
  TZACompressionLevel FCompressionLevel = clFastest;
  AnsiString FPassword;
  // The archive stream; FOwnedStream holds it unless it is a caller's stream.
  TStream* FCompressedStream = nullptr;
  std::unique_ptr<TStream> FOwnedStream;
  TZip64Mode FZip64Mode = zmAuto;

 private:
  void ReleaseStream();
  void ReleaseDirManager();
};

class TZipArchiver : public TZABaseArchiver {
 public:
  explicit TZipArchiver(TComponent* AOwner);
  const char* ClassName() const override { return "TZipArchiver"; }

  void SetPassword(const AnsiString& Value) override;

  TZip64Mode Zip64Mode() const { return FZip64Mode; }
  void SetZip64Mode(TZip64Mode Value) { FZip64Mode = Value; }
  bool UnicodeFilenames() const { return FUnicodeFilenames; }
  void SetUnicodeFilenames(bool Value) { FUnicodeFilenames = Value; }
  TZACryptoAlgorithm EncryptionMethod() const { return FZACryptoAlgorithm; }
  void SetEncryptionMethod(TZACryptoAlgorithm Value) { FZACryptoAlgorithm = Value; }

 protected:
  void UpdateCompressionMethod() override;
};
