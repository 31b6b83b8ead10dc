#pragma once
// The directory manager of an open archive: finds the end record, loads the
// directory, and writes the directory of a new archive.
#include <cstdint>

#include "Stream.h"
#include "Types.h"
#include "ZipRecords.h"

class TZABaseArchiver;

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
  // Writes the central directory and end record at the end of Stream.
  void SaveDir(bool RecreateCDirEnd, TStream* Stream);

  TZAZipCentralDirEnd CentralDirEnd{};
  AnsiString ArchiveComment;
  int64_t StubSize = 0;
  int64_t CentralDirOffset = 0;

 private:
  void ResetDir();
  bool FindCentralDirEnd(TZAZipCentralDirEnd& End, int64_t& EndPos);
  bool IsValidCentralDirEnd(int64_t c, TZAZipCentralDirEnd& End);

  TStream* FCompressedStream;
  bool FIsCustomStream;
  TZABaseArchiver* FArc;
};
