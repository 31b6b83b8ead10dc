#pragma once
// Files and folders: existence, attributes, times, creation and deletion,
// temporary files, the current folder and drive types.
#include <cstdint>

#include "Types.h"

// File attributes as Windows gives them; POSIX maps 0x01 to the absence of
// write permission and 0x10 to a directory.
enum : uint32_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faVolumeID = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
};

bool FileExists(const String& FileName);       // an existing file, not a folder
bool DirectoryExists(const String& DirName);
// -1 when the file does not exist.
int32_t FileGetAttr(const String& FileName);
// On POSIX, a Unix mode in bits 16 to 31 is applied as it stands.
bool FileSetAttr(const String& FileName, uint32_t Attr);

// Last-write time as a packed MS-DOS date and time in local time; -1 on failure.
int32_t FileGetDosTime(const String& FileName);
bool FileSetDosTime(const String& FileName, int32_t DosTime);

bool CreateDir(const String& DirName);         // one level
bool RemoveDir(const String& DirName);         // an empty folder
bool EraseFile(const String& FileName);     // a file, not a folder
// Path itself when it exists; else, where file names are case-sensitive,
// an existing file in the same folder whose name differs only in ASCII case.
// Windows compares names without case already: Path.
String MatchFileNameCase(const String& Path);
// Renames, replacing an existing NewName.
bool RenameFile(const String& OldName, const String& NewName);
int64_t FileSizeOf(const String& FileName);    // -1 when missing

String GetCurrentDir();
bool SetCurrentDir(const String& DirName);
// An absolute form of FileName, relative to the current folder.
String ExpandFileName(const String& FileName);
// The long form of a path (Windows expands 8.3 names); the path itself when
// it cannot be resolved.
String LongPathName(const String& Path);

// The user's temporary folder, with a trailing delimiter.
String TempFolder();
// Creates a new empty file with a unique name "<Prefix>…" in Folder and
// returns its name; empty when no file could be created.
String CreateUniqueTempFile(const String& Folder, const String& Prefix);

enum class TDriveType { dtUnknown, dtNoRootDir, dtRemovable, dtFixed, dtRemote, dtCDROM, dtRAMDisk };
// The type of the drive that holds Path; POSIX has no removable drives.
TDriveType DriveTypeOf(const String& Path);
bool IsRemovablePath(const String& Path);
// Free bytes on the drive that holds Path; -1 when unknown.
int64_t DiskFreeOf(const String& Path);

// The system's text for an OS error number.
String SysErrorMessage(int ErrorCode);
int LastOSError();
// Restores an error kept from an earlier call as the thread's last error.
void SetLastOSError(int ErrorCode);
