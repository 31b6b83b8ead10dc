// File streams over POSIX descriptors. Sharing bits are ignored: POSIX has no
// writer exclusion.
#include "FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "Exceptions.h"
#include "FileSystem.h"
#include "Format.h"
#include "TextCodec.h"

namespace {

// fmCreate may carry sharing bits, as in fmCreate | fmShareExclusive.
bool IsCreate(uint16_t Mode) { return (Mode & fmCreate) == fmCreate; }

bool WantsWrite(uint16_t Mode) { return IsCreate(Mode) || (Mode & 3) != fmOpenRead; }

// Root may write anything, but a file without its owner's write bit reads as
// read-only (faReadOnly) and must refuse writing as a read-only file does on
// Windows, so that callers fall back to opening it for reading.
bool ReadOnlyForRoot(int fd) {
  struct stat st;
  return geteuid() == 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR);
}

// Opens FileName as TFileStream would; -1 with errno set on failure.
int OpenFile(const String& FileName, uint16_t Mode) {
  const AnsiString name = StringToUtf8(FileName);
  int flags;
  if (IsCreate(Mode)) {
    flags = O_RDWR | O_CREAT;
  } else {
    static constexpr int Access[] = {O_RDONLY, O_WRONLY, O_RDWR};
    if ((Mode & 3) == 3) {
      errno = EINVAL;
      return -1;
    }
    flags = Access[Mode & 3];
  }
  int fd;
  do {
    fd = open(name.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;

  struct stat st;
  int error = 0;
  if (fstat(fd, &st) != 0)
    error = errno;
  else if (S_ISDIR(st.st_mode))
    error = EISDIR;  // a folder opens for reading on POSIX, never as a file stream
  else if (WantsWrite(Mode) && ReadOnlyForRoot(fd))
    error = EACCES;
  // Truncate only once the checks passed: a refused create leaves the file alone.
  else if (IsCreate(Mode) && ftruncate(fd, 0) != 0)
    error = errno;
  if (error) {
    close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace

THandleStream::~THandleStream() {
  if (FHandle >= 0) close(static_cast<int>(FHandle));
}

int64_t THandleStream::Read(void* Buffer, int64_t Count) {
  auto* p = static_cast<char*>(Buffer);
  int64_t done = 0;
  // Loop so that a short count means the end of the file.
  while (done < Count) {
    const ssize_t n = read(static_cast<int>(FHandle), p + done, static_cast<size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t THandleStream::Write(const void* Buffer, int64_t Count) {
  const auto* p = static_cast<const char*>(Buffer);
  int64_t done = 0;
  while (done < Count) {
    const ssize_t n = write(static_cast<int>(FHandle), p + done, static_cast<size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  static constexpr int Whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  return lseek(static_cast<int>(FHandle), static_cast<off_t>(Offset),
               Whence[static_cast<int>(Origin)]);
}

void THandleStream::SetSize(int64_t NewSize) {
  if (ftruncate(static_cast<int>(FHandle), static_cast<off_t>(NewSize)) != 0) {
    const int error = errno;
    throw EInOutError(SysErrorMessage(error), error);
  }
  Seek(NewSize, TSeekOrigin::soBeginning);
}

void THandleStream::Flush() {
  // EINVAL: the descriptor (a pipe, a terminal) has nothing to write back.
  if (fsync(static_cast<int>(FHandle)) != 0 && errno != EINVAL) {
    const int error = errno;
    throw EInOutError(SysErrorMessage(error), error);
  }
}

TFileStream::TFileStream(const String& FileName, uint16_t Mode) : FFileName(FileName) {
  FHandle = OpenFile(FileName, Mode);
  if (FHandle >= 0) return;
  const int error = errno;
  const FormatArg name = ExpandFileName(FileName), reason = SysErrorMessage(error);
  if (IsCreate(Mode)) throw EFCreateError(Format(u"Cannot create file \"%s\". %s", {name, reason}));
  throw EFOpenError(Format(u"Cannot open file \"%s\". %s", {name, reason}));
}

bool CanOpenFile(const String& FileName, uint16_t Mode) {
  if (IsCreate(Mode)) {
    // Creating must not truncate: an existing file needs write access, a new
    // one is created exclusively and removed again.
    const AnsiString name = StringToUtf8(FileName);
    const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return errno == EEXIST && CanOpenFile(FileName, fmOpenReadWrite);
    close(fd);
    unlink(name.c_str());
    return true;
  }
  const int fd = OpenFile(FileName, Mode);
  if (fd < 0) return false;
  close(fd);
  return true;
}
