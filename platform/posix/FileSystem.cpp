// Files and folders on POSIX. Names are UTF-8 on disk.
#include "FileSystem.h"

#include <dirent.h>
#include <strings.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "DosTime.h"
#include "TextCodec.h"

namespace {

AnsiString Native(const String& Name) { return StringToUtf8(Name); }

bool StatOf(const String& Name, struct stat& st) { return stat(Native(Name).c_str(), &st) == 0; }

// The path itself or its nearest existing parent: what a drive query asks about.
bool StatNearest(const String& Path, AnsiString& found) {
  AnsiString p = Native(ExpandFileName(Path.empty() ? u"." : Path));
  struct stat st;
  while (stat(p.c_str(), &st) != 0) {
    const size_t slash = p.find_last_of('/');
    if (slash == AnsiString::npos || p == "/") return false;
    p.erase(slash == 0 ? 1 : slash);
  }
  found = p;
  return true;
}

// strerror_r comes in a GNU and an XSI flavour; take whichever is declared.
[[maybe_unused]] const char* ErrorText(int result, const char* buffer) {
  return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* ErrorText(const char* result, const char*) { return result; }

}  // namespace

bool FileExists(const String& FileName) {
  struct stat st;
  return StatOf(FileName, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& DirName) {
  struct stat st;
  return StatOf(DirName, st) && S_ISDIR(st.st_mode);
}

int32_t FileGetAttr(const String& FileName) {
  struct stat st;
  if (!StatOf(FileName, st)) return -1;
  int32_t attr = 0;
  if (S_ISDIR(st.st_mode)) attr |= faDirectory;
  if (S_ISREG(st.st_mode)) attr |= faArchive;
  if (!(st.st_mode & S_IWUSR)) attr |= faReadOnly;
  return attr;
}

bool FileSetAttr(const String& FileName, uint32_t Attr) {
  const AnsiString name = Native(FileName);
  if (Attr >> 16) return chmod(name.c_str(), (Attr >> 16) & 07777) == 0;
  struct stat st;
  if (stat(name.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  // Clearing read-only gives the owner write access back, and nobody else.
  if (Attr & faReadOnly)
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else
    mode |= S_IWUSR;
  // No chmod when nothing changes: it would fail on someone else's file.
  return mode == (st.st_mode & 07777) || chmod(name.c_str(), mode) == 0;
}

int32_t FileGetDosTime(const String& FileName) {
  struct stat st;
  if (!StatOf(FileName, st)) return -1;
  return UnixTimeToDosDateTime(static_cast<int64_t>(st.st_mtime));
}

bool FileSetDosTime(const String& FileName, int32_t DosTime) {
  const TDosDateTimeParts p = UnpackDosDateTime(DosTime);
  if (p.Month < 1 || p.Month > 12 || p.Day < 1 || p.Hour > 23 || p.Minute > 59 || p.Second > 59)
    return false;
  const int64_t t = DosDateTimeToUnixTime(DosTime);
  if (t == -1) return false;
  // The last-write time only, as on Windows; the access time stays.
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(t);
  times[1].tv_nsec = 0;
  return utimensat(AT_FDCWD, Native(FileName).c_str(), times, 0) == 0;
}

String MatchFileNameCase(const String& Path) {
  if (FileExists(Path)) return Path;
  const size_t slash = Path.rfind(u'/');
  const String folder = slash == String::npos ? String() : Path.substr(0, slash + 1);
  const AnsiString leaf = Native(slash == String::npos ? Path : Path.substr(slash + 1));
  DIR* dir = opendir(folder.empty() ? "." : Native(folder).c_str());
  if (!dir) return Path;
  String match = Path;
  while (dirent* entry = readdir(dir)) {
    if (strcasecmp(entry->d_name, leaf.c_str()) == 0 && FileExists(folder + Utf8ToString(entry->d_name))) {
      match = folder + Utf8ToString(entry->d_name);
      break;
    }
  }
  closedir(dir);
  return match;
}

bool CreateDir(const String& DirName) { return mkdir(Native(DirName).c_str(), 0777) == 0; }

bool RemoveDir(const String& DirName) { return rmdir(Native(DirName).c_str()) == 0; }

bool EraseFile(const String& FileName) {
  // unlink would take a folder on some systems; this removes files only.
  if (DirectoryExists(FileName)) {
    errno = EISDIR;
    return false;
  }
  return unlink(Native(FileName).c_str()) == 0;
}

bool RenameFile(const String& OldName, const String& NewName) {
  return rename(Native(OldName).c_str(), Native(NewName).c_str()) == 0;
}

int64_t FileSizeOf(const String& FileName) {
  struct stat st;
  if (!StatOf(FileName, st) || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

String GetCurrentDir() {
  std::vector<char> buffer(PATH_MAX);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return String();
    buffer.resize(buffer.size() * 2);
  }
  return Utf8ToString(buffer.data());
}

bool SetCurrentDir(const String& DirName) { return chdir(Native(DirName).c_str()) == 0; }

String ExpandFileName(const String& FileName) {
  if (FileName.empty()) return String();
  const String full = FileName[0] == u'/' ? FileName : GetCurrentDir() + u'/' + FileName;
  std::vector<String> parts;
  for (size_t start = 0; start <= full.size();) {
    size_t end = full.find(u'/', start);
    if (end == String::npos) end = full.size();
    const String part = full.substr(start, end - start);
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != u".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  String result;
  for (const String& part : parts) result += u'/' + part;
  if (result.empty() || FileName.back() == u'/') result += u'/';
  return result;
}

String LongPathName(const String& Path) {
  char* resolved = realpath(Native(Path).c_str(), nullptr);
  if (!resolved) return Path;
  const String result = Utf8ToString(resolved);
  std::free(resolved);
  return result;
}

String TempFolder() {
  const char* dir = std::getenv("TMPDIR");
  String folder = Utf8ToString(dir && *dir ? dir : "/tmp");
  if (folder.back() != u'/') folder += u'/';
  return folder;
}

String CreateUniqueTempFile(const String& Folder, const String& Prefix) {
  String pattern = Folder;
  if (!pattern.empty() && pattern.back() != u'/') pattern += u'/';
  AnsiString name = Native(pattern + Prefix) + "XXXXXX";
  const int fd = mkstemp(name.data());
  if (fd < 0) return String();
  close(fd);
  return Utf8ToString(name);
}

TDriveType DriveTypeOf(const String& Path) {
  AnsiString found;
  return StatNearest(Path, found) ? TDriveType::dtFixed : TDriveType::dtNoRootDir;
}

bool IsRemovablePath(const String&) { return false; }

int64_t DiskFreeOf(const String& Path) {
  AnsiString found;
  struct statvfs vfs;
  if (!StatNearest(Path, found) || statvfs(found.c_str(), &vfs) != 0) return -1;
  return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
}

String SysErrorMessage(int ErrorCode) {
  char buffer[256] = "";
  const char* text = ErrorText(strerror_r(ErrorCode, buffer, sizeof buffer), buffer);
  return Utf8ToString(text ? text : "Unknown error");
}

int LastOSError() { return errno; }

void SetLastOSError(int ErrorCode) { errno = ErrorCode; }
