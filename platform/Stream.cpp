#include "Stream.h"

#include <algorithm>
#include <cstring>

#include "Exceptions.h"
#include "FileStream.h"

namespace {
// Pieces of a copy: large enough to be quick, small enough for any stack of callers.
constexpr int64_t CopyBufferSize = 0xF000;
}  // namespace

TStream::~TStream() = default;

int64_t TStream::Size() {
  const int64_t pos = Seek(0, TSeekOrigin::soCurrent);
  const int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(pos, TSeekOrigin::soBeginning);
  return size;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError();
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  if (Count <= 0) return 0;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(Count, CopyBufferSize)));
  for (int64_t left = Count; left > 0;) {
    const int64_t piece = std::min(left, CopyBufferSize);
    Source.ReadBuffer(buffer.data(), piece);
    WriteBuffer(buffer.data(), piece);
    left -= piece;
  }
  return Count;
}

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  const int64_t size = Size();
  if (Count <= 0 || FPosition < 0 || FPosition >= size) return 0;
  const int64_t n = std::min(Count, size - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition < 0) return 0;
  const int64_t end = FPosition + Count;
  // A write past the end leaves a zero-filled gap, as a file does.
  if (end > Size()) FData.resize(static_cast<size_t>(end));
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = end;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case TSeekOrigin::soBeginning: FPosition = Offset; break;
    case TSeekOrigin::soCurrent: FPosition += Offset; break;
    case TSeekOrigin::soEnd: FPosition = Size() + Offset; break;
  }
  return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  FData.resize(static_cast<size_t>(std::max<int64_t>(NewSize, 0)));
  if (FPosition > Size()) FPosition = Size();
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Source) {
  Source.SetPosition(0);
  const int64_t count = Source.Size();
  SetSize(count);
  if (count > 0) Source.ReadBuffer(FData.data(), count);
}

void TMemoryStream::SaveToStream(TStream& Dest) {
  if (!FData.empty()) Dest.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::LoadFromFile(const String& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const String& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(file);
}
