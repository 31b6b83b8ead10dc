// Files and folders through the W APIs, so every name is Unicode.
#include "FileSystem.h"

#include <vector>

#include "Format.h"
#include "WideString.h"

namespace {

// Runs a W API of the "fill a buffer, or return the size needed" kind.
template <typename Fill>
String BufferedString(Fill fill) {
  std::vector<wchar_t> Buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD Length = fill(Buffer.data(), static_cast<DWORD>(Buffer.size()));
    if (Length == 0) return String();
    if (Length < Buffer.size()) return FromW(Buffer.data(), Length);
    Buffer.resize(Length + 1);
  }
}

bool GetAttributeData(const String& FileName, WIN32_FILE_ATTRIBUTE_DATA& Data) {
  return GetFileAttributesExW(W(FileName), GetFileExInfoStandard, &Data) != 0;
}

bool IsDelimiter(char16_t C) { return C == u'\\' || C == u'/'; }

// The root of the drive that holds Path: "C:\" or "\\server\share\".
String RootOf(const String& Path) {
  String Full = ExpandFileName(Path);
  if (Full.empty()) Full = Path;
  if (Full.size() >= 2 && Full[1] == u':') return Full.substr(0, 2) + u'\\';
  if (Full.size() >= 2 && IsDelimiter(Full[0]) && IsDelimiter(Full[1])) {
    size_t Server = Full.find_first_of(u"\\/", 2);
    if (Server == String::npos) return Full + u'\\';
    size_t Share = Full.find_first_of(u"\\/", Server + 1);
    if (Share == String::npos) return Full + u'\\';
    return Full.substr(0, Share + 1);
  }
  return Full;
}

}  // namespace

bool FileExists(const String& FileName) {
  const DWORD Attr = GetFileAttributesW(W(FileName));
  return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const String& DirName) {
  const DWORD Attr = GetFileAttributesW(W(DirName));
  return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int32_t FileGetAttr(const String& FileName) {
  return static_cast<int32_t>(GetFileAttributesW(W(FileName)));
}

// Bits 16 to 31 may hold a Unix mode from the archive, which Windows has no use for.
bool FileSetAttr(const String& FileName, uint32_t Attr) {
  return SetFileAttributesW(W(FileName), Attr & 0xFFFF) != 0;
}

int32_t FileGetDosTime(const String& FileName) {
  WIN32_FILE_ATTRIBUTE_DATA Data;
  FILETIME Local;
  WORD Date, Time;
  if (!GetAttributeData(FileName, Data) || !FileTimeToLocalFileTime(&Data.ftLastWriteTime, &Local) ||
      !FileTimeToDosDateTime(&Local, &Date, &Time))
    return -1;
  return static_cast<int32_t>((static_cast<uint32_t>(Date) << 16) | Time);
}

bool FileSetDosTime(const String& FileName, int32_t DosTime) {
  const auto Packed = static_cast<uint32_t>(DosTime);
  FILETIME Local, Utc;
  if (!DosDateTimeToFileTime(static_cast<WORD>(Packed >> 16), static_cast<WORD>(Packed), &Local) ||
      !LocalFileTimeToFileTime(&Local, &Utc))
    return false;
  // Backup semantics let folders take a time too.
  const HANDLE Handle =
      CreateFileW(W(FileName), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (Handle == INVALID_HANDLE_VALUE) return false;
  const bool Done = SetFileTime(Handle, nullptr, nullptr, &Utc) != 0;
  CloseHandle(Handle);
  return Done;
}

bool CreateDir(const String& DirName) { return CreateDirectoryW(W(DirName), nullptr) != 0; }

bool RemoveDir(const String& DirName) { return RemoveDirectoryW(W(DirName)) != 0; }

bool EraseFile(const String& FileName) { return DeleteFileW(W(FileName)) != 0; }

bool RenameFile(const String& OldName, const String& NewName) {
  return MoveFileExW(W(OldName), W(NewName), MOVEFILE_REPLACE_EXISTING) != 0;
}

int64_t FileSizeOf(const String& FileName) {
  WIN32_FILE_ATTRIBUTE_DATA Data;
  if (!GetAttributeData(FileName, Data) || (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return -1;
  return (static_cast<int64_t>(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow;
}

String GetCurrentDir() {
  return BufferedString([](wchar_t* Buffer, DWORD Size) { return GetCurrentDirectoryW(Size, Buffer); });
}

bool SetCurrentDir(const String& DirName) { return SetCurrentDirectoryW(W(DirName)) != 0; }

String ExpandFileName(const String& FileName) {
  if (FileName.empty()) return String();
  return BufferedString([&](wchar_t* Buffer, DWORD Size) {
    return GetFullPathNameW(W(FileName), Size, Buffer, nullptr);
  });
}

String LongPathName(const String& Path) {
  if (Path.empty()) return Path;
  const String Long = BufferedString([&](wchar_t* Buffer, DWORD Size) {
    return GetLongPathNameW(W(Path), Buffer, Size);
  });
  return Long.empty() ? Path : Long;
}

String TempFolder() {
  String Folder = BufferedString([](wchar_t* Buffer, DWORD Size) { return GetTempPathW(Size, Buffer); });
  if (Folder.empty() || !IsDelimiter(Folder.back())) Folder += PathDelim;
  return Folder;
}

String CreateUniqueTempFile(const String& Folder, const String& Prefix) {
  wchar_t Name[MAX_PATH + 1];
  if (GetTempFileNameW(W(Folder), W(Prefix), 0, Name) == 0) return String();
  return FromW(Name);
}

TDriveType DriveTypeOf(const String& Path) {
  switch (GetDriveTypeW(W(RootOf(Path)))) {
    case DRIVE_NO_ROOT_DIR: return TDriveType::dtNoRootDir;
    case DRIVE_REMOVABLE: return TDriveType::dtRemovable;
    case DRIVE_FIXED: return TDriveType::dtFixed;
    case DRIVE_REMOTE: return TDriveType::dtRemote;
    case DRIVE_CDROM: return TDriveType::dtCDROM;
    case DRIVE_RAMDISK: return TDriveType::dtRAMDisk;
    default: return TDriveType::dtUnknown;
  }
}

bool IsRemovablePath(const String& Path) { return DriveTypeOf(Path) == TDriveType::dtRemovable; }

int64_t DiskFreeOf(const String& Path) {
  ULARGE_INTEGER Available;
  if (!GetDiskFreeSpaceExW(W(RootOf(Path)), &Available, nullptr, nullptr)) return -1;
  return static_cast<int64_t>(Available.QuadPart);
}

// The runtime drops the trailing line break and full stop, so the text can
// end a sentence of ours.
String SysErrorMessage(int ErrorCode) {
  wchar_t* Buffer = nullptr;
  DWORD Length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                    FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                nullptr, static_cast<DWORD>(ErrorCode), 0,
                                reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
  if (Buffer == nullptr) return Format(u"System error %d", {static_cast<int64_t>(ErrorCode)});
  while (Length > 0 && (Buffer[Length - 1] <= L' ' || Buffer[Length - 1] == L'.')) --Length;
  String Text = FromW(Buffer, Length);
  LocalFree(Buffer);
  return Text;
}

String MatchFileNameCase(const String& Path) { return Path; }

int LastOSError() { return static_cast<int>(GetLastError()); }

void SetLastOSError(int ErrorCode) { SetLastError(static_cast<DWORD>(ErrorCode)); }
