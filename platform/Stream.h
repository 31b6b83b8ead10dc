#pragma once
// Byte streams: the abstract TStream with exact reads and writes, and the
// memory stream. File streams are in FileStream.h.
#include <cstdint>
#include <vector>

#include "Types.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream();

  // Read and Write move at most Count bytes and return how many moved.
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
  virtual int64_t Size();
  virtual void SetSize(int64_t NewSize) = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, TSeekOrigin::soBeginning); }

  // Exact transfers: a short read raises EReadError, a short write EWriteError.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);
  // Copies Count bytes from Source's position (Count 0: all of Source from
  // its start); returns the bytes copied.
  int64_t CopyFrom(TStream& Source, int64_t Count);
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t NewSize) override;

  uint8_t* Memory() { return FData.data(); }
  const std::vector<uint8_t>& Bytes() const { return FData; }
  void Clear();
  void LoadFromStream(TStream& Source);
  void SaveToStream(TStream& Dest);
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);

 private:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};
