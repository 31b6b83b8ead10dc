#include "ZAStrFunc.h"

#include <vector>

#include "Exceptions.h"
#include "FileSystem.h"
#include "TextCodec.h"

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

String DestinationRoot(const String& BaseDir, const String& CurrentDir) {
  return AddBackslash(BaseDir.empty() ? CurrentDir : BaseDir);
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

int64_t TextByteLength(const String& S) { return 2 * static_cast<int64_t>(S.size()); }

namespace {

// Whether the bytes from the first one of 0x80 or above walk as UTF-8 to the end.
bool WalksAsUtf8(const AnsiString& Bytes) {
  const size_t size = Bytes.size();
  size_t i = 0;
  while (i < size && static_cast<uint8_t>(Bytes[i]) < 0x80) ++i;
  if (i == size) return false;  // plain ASCII
  auto byteAt = [&](size_t at) { return static_cast<uint8_t>(Bytes[at]); };
  auto inRange = [&](size_t at, uint8_t low, uint8_t high) {
    return at < size && byteAt(at) >= low && byteAt(at) <= high;
  };
  while (i < size) {
    const uint8_t lead = byteAt(i);
    size_t length;
    uint8_t secondLow = 0x80, secondHigh = 0xBF;
    if (lead < 0x80) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) secondLow = 0xA0;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) secondLow = 0x90;
      if (lead == 0xF4) secondHigh = 0x8F;
    } else {
      return false;
    }
    if (length > 1 && !inRange(i + 1, secondLow, secondHigh)) return false;
    for (size_t k = 2; k < length; ++k)
      if (!inRange(i + k, 0x80, 0xBF)) return false;
    i += length;
  }
  return true;
}

}  // namespace

bool DecodeNameBytes(const AnsiString& Bytes, String& Text) {
  if (WalksAsUtf8(Bytes)) {
    Text = Utf8ToString(Bytes);
    return true;
  }
  Text = AnsiToString(Bytes);
  return false;
}

String UpperCaseAscii(String S) {
  for (auto& c : S)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c & ~0x20);
  return S;
}

bool FileIsPresent(const String& Path) { return FileExists(Path); }

bool FolderIsPresent(const String& Path) { return DirectoryExists(Path); }

String CurrentFolder() { return GetCurrentDir(); }

namespace {

// A bare drive ("C:") or the root needs no creating.
bool IsBareRoot(const String& Path) {
#ifdef _WIN32
  return Path.size() <= 2;
#else
  return Path.empty();
#endif
}

}  // namespace

bool MakeFolders(const String& Path) {
  if (Path.empty()) throw EInOutError(u"Unable to create directory", 0);
  // Iterative: a stored name may nest folders thousands deep.
  std::vector<String> missing;
  for (String folder = RemoveBackslash(Path);; folder = RemoveBackslash(FolderPart(folder))) {
    if (IsBareRoot(folder) || FolderIsPresent(folder) || FolderPart(folder) == folder) break;
    missing.push_back(folder);
    // A relative name's parent is the current folder, which exists.
    if (FolderPart(folder).empty()) break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it)
    if (!CreateDir(*it) && !FolderIsPresent(*it)) return false;  // "x/." exists once "x" does
  return true;
}

bool DeletePath(const String& Path) {
  if (EraseFile(Path)) return true;
  const int error = LastOSError();
  constexpr int32_t kFolderLink = 0x400 | faDirectory;
  const int32_t attr = FileGetAttr(Path);
  if (attr != -1 && (attr & kFolderLink) == kFolderLink) return RemoveDir(Path);
  SetLastOSError(error);
  return false;
}

int32_t ReadAttributes(const String& Path) {
  const int32_t attr = FileGetAttr(Path);
  if (attr != -1) return attr;
  return FileIsPresent(Path) ? static_cast<int32_t>(faSysFile) : -1;
}

bool WriteAttributes(const String& Path, uint32_t Attr) { return FileSetAttr(Path, Attr); }

int32_t FileDosTime(const String& Path) {
  if (!FileIsPresent(Path)) return -1;
  return FileGetDosTime(Path);
}

bool IsFloppyDrive(const String& Path) {
  const String drive = UpperCaseAscii(DrivePart(Path));
  return drive == u"A:" || drive == u"B:";
}

bool IsRemovableDrive(const String& Path) {
  if (IsFloppyDrive(Path)) return true;
  const String drive = DrivePart(Path);
  return DriveTypeOf(drive.empty() ? Path : AddBackslash(drive)) == TDriveType::dtRemovable;
}
