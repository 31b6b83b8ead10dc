#include "ZADirManager.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ZipArchiver.h"

namespace {
// The end record may lie behind a comment of up to 65535 bytes and a little more.
constexpr int64_t kEndSearchWindow = 65600;
}  // namespace

TZADirManager::TZADirManager(TStream* Stream, bool bCreate, TZABaseArchiver* Arc)
    : FCompressedStream(Stream), FIsCustomStream(Stream != Arc->FCompressedStream), FArc(Arc) {
  ResetDir();
  if (bCreate) FArc->FVolumeNumberInfo->SetFirstVolume(true);
}

TZADirManager::~TZADirManager() = default;

void TZADirManager::ResetDir() {
  CentralDirEnd = TZAZipCentralDirEnd{};
  CentralDirEnd.signature = ZipCentralDirEndSignature;
}

bool TZADirManager::HasCentralDirEnd() {
  int64_t pos;
  const bool found = FindCentralDirEnd(CentralDirEnd, pos);
  return FArc->FOpenCorruptedArchives || found;
}

bool TZADirManager::FindCentralDirEnd(TZAZipCentralDirEnd& End, int64_t& EndPos) {
  EndPos = -1;
  ArchiveComment.clear();
  End = TZAZipCentralDirEnd{};
  const int64_t size = FCompressedStream->Size();
  const int64_t window = std::min(size, kEndSearchWindow);
  std::vector<uint8_t> buffer(static_cast<size_t>(window));
  FCompressedStream->SetPosition(size - window);
  FCompressedStream->ReadBuffer(buffer.data(), window);
  for (int64_t i = window - 1; i >= 3; --i) {
    if (buffer[i - 3] != 0x50 || buffer[i - 2] != 0x4B || buffer[i - 1] != 0x05 || buffer[i] != 0x06)
      continue;
    const int64_t c = (size - window) + (i - 3);
    if (!IsValidCentralDirEnd(c, End)) continue;
    EndPos = c;
    if (End.commentLength > 0) {
      ArchiveComment.resize(End.commentLength);
      FCompressedStream->SetPosition(c + sizeof(TZAZipCentralDirEnd));
      FCompressedStream->ReadBuffer(ArchiveComment.data(), End.commentLength);
    }
    return true;
  }
  return false;
}

bool TZADirManager::IsValidCentralDirEnd(int64_t c, TZAZipCentralDirEnd& End) {
  const int64_t size = FCompressedStream->Size();
  const int64_t recordEnd = c + static_cast<int64_t>(sizeof(TZAZipCentralDirEnd));
  if (size - c < static_cast<int64_t>(sizeof(TZAZipCentralDirEnd))) return false;
  const int64_t saved = FCompressedStream->Position();
  FCompressedStream->SetPosition(c);
  FCompressedStream->ReadBuffer(&End, sizeof(End));
  FCompressedStream->SetPosition(saved);
  if (End.startDiskNumber > End.diskNumber) return false;
  if (End.entriesOnDisk > End.entriesCentralDir) return false;
  if (End.centralDirSize != 0xFFFFFFFF && End.centralDirSize >= recordEnd) return false;
  if (End.startDiskNumber == End.diskNumber && End.offsetStartDir != 0xFFFFFFFF &&
      static_cast<int64_t>(End.offsetStartDir) >=
          recordEnd - static_cast<int64_t>(End.centralDirSize))
    return false;
  if (End.commentLength > size - recordEnd) return false;
  return true;
}

// Until the directory reader lands, loading keeps the end record and comment.
void TZADirManager::LoadDir() {
  ResetDir();
  StubSize = 0;
  int64_t pos;
  TZAZipCentralDirEnd end;
  if (FindCentralDirEnd(end, pos)) {
    CentralDirEnd = end;
    CentralDirOffset = end.offsetStartDir;
  } else {
    CentralDirOffset = FCompressedStream->Size();
  }
}

void TZADirManager::SaveDir(bool RecreateCDirEnd, TStream* Stream) {
  // A new archive holds no entries: its directory is the end record alone.
  TZAZipCentralDirEnd end{};
  end.signature = ZipCentralDirEndSignature;
  end.offsetStartDir = static_cast<uint32_t>(Stream->Size() - StubSize);
  end.commentLength = static_cast<uint16_t>(std::min<size_t>(ArchiveComment.size(), 0xFFFF));
  Stream->SetPosition(Stream->Size());
  Stream->WriteBuffer(&end, sizeof(end));
  if (end.commentLength) Stream->WriteBuffer(ArchiveComment.data(), end.commentLength);
}
