#pragma once
// The directory manager of an open archive: finds the end record, loads the
// central directory into the item list (or rebuilds it from local headers
// when it is damaged), finds a self-extractor stub, and writes the directory
// of a new archive.
#include <cstdint>
#include <memory>

#include "Stream.h"
#include "Types.h"
#include "ZADirArray.h"
#include "ZipRecords.h"

class TZABaseArchiver;
class TZAVolumeNumberInfo;

// The name of a Unicode name block.
class TUnicodeExtendedInfo {
 public:
  bool Load(const uint8_t* Data, int32_t Size);
  bool LoadFromStream(TStream& Stream);
  const String& Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }

 private:
  String FName;
  int32_t FAdditionalSignature = 0;
};

class TZADirManager {
 public:
  // Stream is not owned. With bCreate the archiver's current volume becomes
  // the first one (a new archive).
  TZADirManager(TStream* Stream, bool bCreate, TZABaseArchiver* Arc);
  TZADirManager(const TZADirManager&) = delete;
  TZADirManager& operator=(const TZADirManager&) = delete;
  ~TZADirManager();

  // Searches for the end record; true when found or when the archiver opens
  // damaged archives.
  bool HasCentralDirEnd();
  void LoadDir();
  void ApplyStubOffset();
  // Writes the central directory and end record at the end of Stream.
  void SaveDir(bool RecreateCDirEnd, TStream* Stream);
  // Makes the archiver open the volume Info names; the stream follows.
  void SwitchVolume(const TZAVolumeNumberInfo& Info);

  TStream* CompressedStream() const { return FCompressedStream; }

  TZADirArray CDir;
  TZADirArray RBCDir;  // the writing side's; empty when reading
  AnsiString ArchiveComment;
  TZAZip64CentralDirEndLocator Zip64CentralDirEndLocator{};
  TZAZip64CentralDirEnd Zip64CentralDirEnd{};
  TZAZipCentralDirEnd CentralDirEnd{};
  int64_t StubSize = 0;
  bool FZip64 = false;
  // Where the central directory starts; the stream size after a rebuild.
  // Entry data never reaches past it in a single-volume archive.
  int64_t CentralDirOffset = 0;

 private:
  void ResetDir();
  bool FindCentralDirEnd(TZAZipCentralDirEnd& End, int64_t& EndPos);
  bool IsValidCentralDirEnd(int64_t c, TZAZipCentralDirEnd& End);
  void ReadCentralRecords(TZAVolumeNumberInfo& Volume, int32_t Entries);
  void ReadCentralRecordsInMemory(int32_t Entries);
  String DecodeEntryName(const AnsiString& Bytes, uint16_t Flags) const;
  void ParseExtraFields(int32_t i, uint16_t ExtraLength);
  void RebuildFromLocalHeaders();
  // The first Pattern at or after From, read in windows of Window bytes.
  int64_t ScanForSignature(int64_t From, uint32_t Pattern, int64_t Window);
  int64_t FindNextLocalHeader(int64_t From);
  bool FindDataDescriptor(int64_t From, TZADataDescriptor& Descriptor);
  void CheckCompressedSizes();
  void DetectStubSize(int64_t Pos);
  int64_t FindSignature(int64_t Start, uint32_t Pattern);
  bool LocalHeaderMatches(int64_t c);
  bool OffsetsIncludeStub() const;

  TStream* FCompressedStream;
  bool FIsCustomStream;
  TZABaseArchiver* FArc;
};
