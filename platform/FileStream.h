#pragma once
// File streams with the runtime's open modes: an access part (low bits) and a
// sharing part, or fmCreate. The archive uses 34 (read/write, deny write),
// 64 (read only, deny none) and 65280 (create).
#include <cstdint>

#include "Stream.h"

enum : uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

class THandleStream : public TStream {
 public:
  ~THandleStream() override;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;

  // Writes the OS's buffers of this file to the disk.
  void Flush();
  intptr_t Handle() const { return FHandle; }

 protected:
  THandleStream() = default;
  intptr_t FHandle = -1;
};

class TFileStream : public THandleStream {
 public:
  // Raises EFOpenError or EFCreateError with the expanded name and the
  // system's text for the error.
  TFileStream(const String& FileName, uint16_t Mode);
  const String& FileName() const { return FFileName; }

 private:
  String FFileName;
};

// Whether the file can be opened with Mode right now (opened and closed again).
bool CanOpenFile(const String& FileName, uint16_t Mode);
