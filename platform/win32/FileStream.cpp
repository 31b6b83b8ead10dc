// THandleStream and TFileStream over Win32 file handles.
#include "FileStream.h"

#include <algorithm>

#include "Exceptions.h"
#include "FileSystem.h"
#include "Format.h"
#include "WideString.h"

namespace {

HANDLE AsHandle(intptr_t Handle) { return reinterpret_cast<HANDLE>(Handle); }

bool IsCreateMode(uint16_t Mode) { return (Mode & fmCreate) == fmCreate; }

DWORD DesiredAccess(uint16_t Mode) {
  if (IsCreateMode(Mode)) return GENERIC_READ | GENERIC_WRITE;
  switch (Mode & 0x03) {
    case fmOpenWrite: return GENERIC_WRITE;
    case fmOpenReadWrite: return GENERIC_READ | GENERIC_WRITE;
    default: return GENERIC_READ;
  }
}

// Compatibility mode has no Win32 equivalent; like the runtime, it shares nothing.
DWORD ShareMode(uint16_t Mode) {
  switch (Mode & 0xF0) {
    case fmShareDenyWrite: return FILE_SHARE_READ;
    case fmShareDenyRead: return FILE_SHARE_WRITE;
    case fmShareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: return 0;
  }
}

// Windows refuses to write a read-only file even to administrators, and
// callers rely on that to fall back to reading; Wine run as root would write.
bool IsReadOnlyFile(const String& FileName) {
  const DWORD Attr = GetFileAttributesW(W(FileName));
  return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_READONLY) != 0 &&
         (Attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

HANDLE OpenHandle(const String& FileName, uint16_t Mode, DWORD Disposition, DWORD Flags) {
  if (!IsCreateMode(Mode) && (Mode & 0x03) == 0x03) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if ((DesiredAccess(Mode) & GENERIC_WRITE) != 0 && IsReadOnlyFile(FileName)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileW(W(FileName), DesiredAccess(Mode), ShareMode(Mode), nullptr, Disposition, Flags,
                     nullptr);
}

HANDLE OpenHandle(const String& FileName, uint16_t Mode) {
  return OpenHandle(FileName, Mode, IsCreateMode(Mode) ? CREATE_ALWAYS : OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL);
}

// ReadFile and WriteFile move at most 4 GiB - 1 per call.
constexpr int64_t MaxChunk = 1 << 30;

}  // namespace

THandleStream::~THandleStream() {
  if (FHandle != -1) CloseHandle(AsHandle(FHandle));
}

int64_t THandleStream::Read(void* Buffer, int64_t Count) {
  int64_t Total = 0;
  auto* Bytes = static_cast<uint8_t*>(Buffer);
  while (Total < Count) {
    DWORD Done = 0;
    const auto Chunk = static_cast<DWORD>(std::min(Count - Total, MaxChunk));
    if (!ReadFile(AsHandle(FHandle), Bytes + Total, Chunk, &Done, nullptr) || Done == 0) break;
    Total += Done;
  }
  return Total;
}

int64_t THandleStream::Write(const void* Buffer, int64_t Count) {
  int64_t Total = 0;
  const auto* Bytes = static_cast<const uint8_t*>(Buffer);
  while (Total < Count) {
    DWORD Done = 0;
    const auto Chunk = static_cast<DWORD>(std::min(Count - Total, MaxChunk));
    if (!WriteFile(AsHandle(FHandle), Bytes + Total, Chunk, &Done, nullptr) || Done == 0) break;
    Total += Done;
  }
  return Total;
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  DWORD Method = FILE_BEGIN;
  if (Origin == TSeekOrigin::soCurrent) Method = FILE_CURRENT;
  if (Origin == TSeekOrigin::soEnd) Method = FILE_END;
  LARGE_INTEGER Distance, NewPosition;
  Distance.QuadPart = Offset;
  if (!SetFilePointerEx(AsHandle(FHandle), Distance, &NewPosition, Method)) return -1;
  return NewPosition.QuadPart;
}

void THandleStream::SetSize(int64_t NewSize) {
  Seek(NewSize, TSeekOrigin::soBeginning);
  if (!SetEndOfFile(AsHandle(FHandle))) {
    const DWORD Error = GetLastError();
    throw EInOutError(SysErrorMessage(static_cast<int>(Error)), static_cast<int>(Error));
  }
}

void THandleStream::Flush() { FlushFileBuffers(AsHandle(FHandle)); }

TFileStream::TFileStream(const String& FileName, uint16_t Mode) : FFileName(FileName) {
  const HANDLE Handle = OpenHandle(FileName, Mode);
  if (Handle == INVALID_HANDLE_VALUE) {
    const String Reason = SysErrorMessage(static_cast<int>(GetLastError()));
    if (IsCreateMode(Mode))
      throw EFCreateError(Format(u"Cannot create file \"%s\". %s", {ExpandFileName(FileName), Reason}));
    throw EFOpenError(Format(u"Cannot open file \"%s\". %s", {ExpandFileName(FileName), Reason}));
  }
  FHandle = reinterpret_cast<intptr_t>(Handle);
}

bool CanOpenFile(const String& FileName, uint16_t Mode) {
  HANDLE Handle;
  if (IsCreateMode(Mode)) {
    // Asking must not truncate: a new file goes away again, an existing one
    // only needs to open for writing.
    Handle = OpenHandle(FileName, Mode, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE);
    if (Handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS)
      Handle = OpenHandle(FileName, Mode, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  } else {
    Handle = OpenHandle(FileName, Mode);
  }
  if (Handle == INVALID_HANDLE_VALUE) return false;
  CloseHandle(Handle);
  return true;
}
