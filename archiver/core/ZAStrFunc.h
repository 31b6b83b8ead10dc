#pragma once
// Path splitting, ASCII case folding and thin file-system wrappers shared by
// the engine. Separators are the platform's: "\" and the drive colon on
// Windows, "/" on POSIX (which has no drives). "/" in stored names is not a
// separator on Windows.
#include <cstdint>

#include "Types.h"

String DrivePart(const String& Path);
String FolderPart(const String& Path);
String FileNamePart(const String& Path);
String ExtensionPart(const String& Path);
String AddBackslash(const String& S);
String RemoveBackslash(const String& S);
// BaseDir, else CurrentDir, with a trailing delimiter: the root of relative
// item paths on extraction.
String DestinationRoot(const String& BaseDir, const String& CurrentDir);

String LowerCaseAscii(String S);
// Case-sensitive, left to right, without overlap; every occurrence when All.
String ReplaceText(const String& S, const String& Old, const String& New, bool All);
// A stored name ("/" between folders) with the platform's delimiter.
String ToPlatformDelimiters(const String& StoredName);
// Twice the code units: the size of the UTF-16 text without terminator.
int64_t TextByteLength(const String& S);
// Decodes the bytes of a stored name as UTF-8 when they are well-formed
// UTF-8 with at least one byte of 0x80 or above, else from the ANSI code
// page. True when the UTF-8 branch was taken.
bool DecodeNameBytes(const AnsiString& Bytes, String& Text);
String UpperCaseAscii(String S);

bool FileIsPresent(const String& Path);
bool FolderIsPresent(const String& Path);
// Creates Path and its missing parents; an empty Path raises EInOutError.
bool MakeFolders(const String& Path);
// Deletes a file, or a folder link that cannot be deleted as a file.
bool DeletePath(const String& Path);
// The attribute bits; 4 (system) when they cannot be read but the file is
// there; -1 when there is no such file.
int32_t ReadAttributes(const String& Path);
bool WriteAttributes(const String& Path, uint32_t Attr);
// The last-write time as a local DOS date and time; -1 for a folder, a
// missing file, or a time that does not convert.
int32_t FileDosTime(const String& Path);
String CurrentFolder();
bool IsFloppyDrive(const String& Path);
bool IsRemovableDrive(const String& Path);
