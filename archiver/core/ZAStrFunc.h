#pragma once
// Path splitting, ASCII case folding and thin file-system wrappers shared by
// the engine. Separators are the platform's: "\" and the drive colon on
// Windows, "/" on POSIX (which has no drives). "/" in stored names is not a
// separator on Windows.
#include "Types.h"

String DrivePart(const String& Path);
String FolderPart(const String& Path);
String FileNamePart(const String& Path);
String ExtensionPart(const String& Path);
String AddBackslash(const String& S);
String RemoveBackslash(const String& S);

String LowerCaseAscii(String S);
// Case-sensitive, left to right, without overlap; every occurrence when All.
String ReplaceText(const String& S, const String& Old, const String& New, bool All);
// A stored name ("/" between folders) with the platform's delimiter.
String ToPlatformDelimiters(const String& StoredName);
String UpperCaseAscii(String S);

bool FileIsPresent(const String& Path);
bool FolderIsPresent(const String& Path);
String CurrentFolder();
bool IsFloppyDrive(const String& Path);
bool IsRemovableDrive(const String& Path);
