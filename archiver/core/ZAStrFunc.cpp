#include "ZAStrFunc.h"

#include "FileSystem.h"

namespace {

bool IsSeparator(char16_t c) { return c == PathDelim || (DriveDelim != u'\0' && c == DriveDelim); }

// Position of the last separator, or npos.
size_t LastSeparator(const String& Path) {
  for (size_t i = Path.size(); i-- > 0;)
    if (IsSeparator(Path[i])) return i;
  return String::npos;
}

}  // namespace

String DrivePart(const String& Path) {
#ifdef _WIN32
  if (Path.size() >= 2 && Path[1] == u':') return Path.substr(0, 2);
  if (Path.size() >= 2 && Path[0] == u'\\' && Path[1] == u'\\') {
    // 1-based walk from the third character to the second backslash after "\\".
    size_t i = 3;
    int count = 0;
    while (i < Path.size() && count < 2) {
      if (Path[i - 1] == u'\\') ++count;
      if (count < 2) ++i;
    }
    if (i <= Path.size() && Path[i - 1] == u'\\') --i;
    return Path.substr(0, i);
  }
#endif
  (void)Path;
  return String();
}

String FolderPart(const String& Path) {
  const size_t sep = LastSeparator(Path);
  return sep == String::npos ? String() : Path.substr(0, sep + 1);
}

String FileNamePart(const String& Path) {
  const size_t sep = LastSeparator(Path);
  return sep == String::npos ? Path : Path.substr(sep + 1);
}

String ExtensionPart(const String& Path) {
  const size_t sep = LastSeparator(Path);
  const size_t dot = Path.rfind(u'.');
  if (dot == String::npos || (sep != String::npos && dot < sep)) return String();
  return Path.substr(dot);
}

String AddBackslash(const String& S) {
  if (!S.empty() && S.back() == PathDelim) return S;
  return S + PathDelim;
}

String RemoveBackslash(const String& S) {
  if (!S.empty() && S.back() == PathDelim) return S.substr(0, S.size() - 1);
  return S;
}

String LowerCaseAscii(String S) {
  for (auto& c : S)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c | 0x20);
  return S;
}

String ReplaceText(const String& S, const String& Old, const String& New, bool All) {
  if (Old.empty()) return S;
  String result;
  size_t from = 0;
  for (size_t at; (at = S.find(Old, from)) != String::npos;) {
    result.append(S, from, at - from).append(New);
    from = at + Old.size();
    if (!All) break;
  }
  return result.append(S, from, String::npos);
}

String ToPlatformDelimiters(const String& StoredName) {
  return ReplaceText(StoredName, u"/", String(1, PathDelim), true);
}

String UpperCaseAscii(String S) {
  for (auto& c : S)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c & ~0x20);
  return S;
}

bool FileIsPresent(const String& Path) { return FileExists(Path); }

bool FolderIsPresent(const String& Path) { return DirectoryExists(Path); }

String CurrentFolder() { return GetCurrentDir(); }

bool IsFloppyDrive(const String& Path) {
  const String drive = UpperCaseAscii(DrivePart(Path));
  return drive == u"A:" || drive == u"B:";
}

bool IsRemovableDrive(const String& Path) {
  if (IsFloppyDrive(Path)) return true;
  const String drive = DrivePart(Path);
  return DriveTypeOf(drive.empty() ? Path : AddBackslash(drive)) == TDriveType::dtRemovable;
}
