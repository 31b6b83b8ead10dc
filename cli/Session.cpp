#include "Session.h"

#include <cmath>
#include <cstdio>

#include "Exceptions.h"
#include "FileSystem.h"
#include "TextCodec.h"
#include "ZAExcept.h"

namespace {

constexpr int AllItems = 10431;  // the default search value: admits every item
// The engine's end-record search failed and it was asked not to rebuild.
constexpr int NativeNoEndRecord = 48;
constexpr int NativeFileNotFound = 12;

// The record drops a folder's trailing "/", so folders are known by their
// attributes: the MS-DOS bit, or a Unix directory mode in the high half.
bool IsFolder(uint32_t Attributes) {
  constexpr uint32_t UnixTypeMask = 0170000, UnixDirectory = 0040000;
  return (Attributes & faDirectory) != 0 || ((Attributes >> 16) & UnixTypeMask) == UnixDirectory;
}

std::string Num(int64_t Value) { return std::to_string(Value); }

std::string PadLeft(const std::string& Text, size_t Width) {
  return Text.size() >= Width ? Text : std::string(Width - Text.size(), ' ') + Text;
}

// unzip's ratio: per mille rounded, then to whole per cent, half away from zero.
int RatioPercent(int64_t Size, int64_t Packed) {
  if (Size <= 0) return 0;
  const double permille = std::round(1000.0 * static_cast<double>(Size - Packed) / static_cast<double>(Size));
  return static_cast<int>(permille >= 0 ? (permille + 5) / 10 : (permille - 5) / 10);
}

std::string Files(int Count) { return Num(Count) + (Count == 1 ? " file" : " files"); }

// The component's item record carries no compression method: only a stored
// item is recognisable, by its sizes (deflate never yields the same size).
std::string MethodOf(const TZAArchiveItem& F) {
  return !F.Encrypted && F.CompressedSize == F.UncompressedSize ? "Stored" : "Packed";
}

std::string Two(int Value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", Value % 100);
  return buf;
}

std::string Hex8(int32_t Value) {
  char buf[12];
  std::snprintf(buf, sizeof buf, "%08x", static_cast<uint32_t>(Value));
  return buf;
}

}  // namespace

std::string DosDate(uint16_t Date) {
  return std::to_string(1980 + (Date >> 9)) + "-" + Two((Date >> 5) & 15) + "-" + Two(Date & 31);
}

std::string DosTime(uint16_t Time) { return Two(Time >> 11) + ":" + Two((Time >> 5) & 63); }

std::string DecodeComment(const AnsiString& Bytes) {
  // Tools on Unix write UTF-8; older ones the OEM code page, as names.
  return IsValidUtf8(Bytes) ? Bytes : StringToUtf8(OemToString(Bytes));
}

std::string TSession::DisplayName(const String& EventName) {
  String name = EventName;
  for (auto& c : name)
    if (c == PathDelim) c = u'/';
  return StringToUtf8(name);
}

std::string TSession::Pad(const std::string& Text, size_t Width) {
  // Columns count characters, not UTF-8 bytes.
  size_t chars = 0;
  for (unsigned char c : Text) chars += (c & 0xC0) != 0x80;
  return chars >= Width ? Text : Text + std::string(Width - chars, ' ');
}

TSession::TSession(const TVunzipOptions& Options, TConsole& Console) : FOpt(Options), FCon(Console) {}

int TSession::Open() {
  FArchiveName = StringToUtf8(FOpt.Archive);
  String path = FOpt.Archive;
  if (!FileExists(path)) {
    if (!FileExists(path + u".zip")) {
      Warn("vunzip: cannot find or open " + FArchiveName + " or " + FArchiveName + ".zip");
      return exNotFound;
    }
    path += u".zip";
    FArchiveName += ".zip";
  }
  FArc.SetFileName(path);
  FArc.OnPassword = [this](TZABaseArchiver*, const String& FileName, AnsiString& NewPassword,
                           bool& SkipFile) { AskPassword(FileName, NewPassword, SkipFile); };
  if (FOpt.Password) FArc.SetPassword(StringToAnsi(*FOpt.Password));

  // First as unzip reads archives, by their end record; only when that is
  // missing does the engine rebuild the directory from the local headers.
  FArc.SetOpenCorruptedArchives(false);
  for (;;) {
    try {
      FArc.OpenArchive(64);
      break;
    } catch (const EZAException& e) {
      if (e.NativeError == NativeFileNotFound) {
        Warn("vunzip: cannot find or open " + FArchiveName);
        return exNotFound;
      }
      if (e.NativeError == NativeNoEndRecord && !FArc.OpenCorruptedArchives()) {
        FArc.SetOpenCorruptedArchives(true);
        FRecovered = true;
        continue;
      }
      Warn("vunzip: " + FArchiveName + ": " + StringToUtf8(e.Message()));
      return exBadArchive;
    } catch (const Exception& e) {
      Warn("vunzip: " + FArchiveName + ": " + StringToUtf8(e.Message()));
      return exBadArchive;
    }
  }
  return exOk;
}

void TSession::Select() {
  TZAArchiveItem F;
  std::vector<int> indexOf;  // item number -> position in FItems
  for (bool found = FArc.FindFirst(u"*.*", F, AllItems, u""); found; found = FArc.FindNext(F)) {
    TItemInfo info;
    info.F = F;
    info.Folder = IsFolder(F.ExternalFileAttributes);
    info.Name = DisplayName(F.StoredPath + F.FileName) + (info.Folder ? "/" : "");
    const int no = F.Handle.ItemNo;
    if (no >= static_cast<int>(indexOf.size())) indexOf.resize(static_cast<size_t>(no) + 1, -1);
    indexOf[static_cast<size_t>(no)] = static_cast<int>(FItems.size());
    FItems.push_back(std::move(info));
  }
  if (FRecovered) {
    if (FItems.empty()) {
      Warn("vunzip: " + FArchiveName + " is not a ZIP archive, or only one part of a split set");
      return;
    }
    Warn("vunzip: warning: " + FArchiveName +
         " is damaged: its directory could not be read, its items were recovered from their local headers");
  }

  // Masks go through the engine's own matcher, one search per mask.
  const auto mark = [&](const String& Mask, bool Value) {
    bool any = false;
    for (bool found = FArc.FindFirst(Mask, F, AllItems, u""); found; found = FArc.FindNext(F)) {
      const int no = F.Handle.ItemNo;
      if (no < static_cast<int>(indexOf.size()) && indexOf[static_cast<size_t>(no)] >= 0)
        FSelected[static_cast<size_t>(indexOf[static_cast<size_t>(no)])] = Value;
      any = true;
    }
    return any;
  };
  FSelected.assign(FItems.size(), FOpt.Masks.empty());
  for (const String& mask : FOpt.Masks) {
    if (!mark(mask, true)) {
      Warn("caution: filename not matched:  " + StringToUtf8(mask));
      FUnmatched = true;
    }
  }
  for (const String& mask : FOpt.Exclusions) mark(mask, false);
  FSelectedCount = 0;
  for (bool s : FSelected) FSelectedCount += s;
}

void TSession::ArchiveHeader() {
  if (FOpt.Quiet) return;
  FCon.Out("Archive:  " + FArchiveName + "\n");
  PrintComment();
}

void TSession::PrintComment() {
  const AnsiString comment = FArc.Comment();
  if (comment.empty()) return;
  std::string text = DecodeComment(comment);
  if (text.back() != '\n') text += '\n';
  FCon.Out(text);
}

int TSession::FinalStatus(int ItemsDone, int PasswordSkips, int Problems) const {
  if (FRecovered) return exBadArchive;
  if (FUnmatched) return exNoMatch;
  if (PasswordSkips > 0 && ItemsDone == 0) return exBadPassword;
  if (PasswordSkips > 0 || Problems > 0) return exWarning;
  return exOk;
}

int TSession::List() {
  if (FRecovered && FItems.empty()) return FinalStatus(0, 0, 0);
  const bool verbose = FOpt.Mode == TVunzipMode::Verbose;
  ArchiveHeader();
  int64_t size = 0, packed = 0;
  int count = 0;
  if (verbose) {
    FCon.Out(" Length   Method    Size  Cmpr    Date    Time   CRC-32   Name\n"
             "--------  ------  ------- ---- ---------- ----- --------  ----\n");
  } else {
    FCon.Out("  Length      Date    Time    Name\n"
             "---------  ---------- -----   ----\n");
  }
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (!FSelected[i]) continue;
    const TZAArchiveItem& F = FItems[i].F;
    const std::string when = DosDate(F.LastModFileDate) + " " + DosTime(F.LastModFileTime);
    if (verbose) {
      FCon.Out(PadLeft(Num(F.UncompressedSize), 8) + "  " + Pad(MethodOf(F), 6) + " " +
               PadLeft(Num(F.CompressedSize), 8) + " " +
               PadLeft(Num(RatioPercent(F.UncompressedSize, F.CompressedSize)), 3) + "% " + when + " " +
               Hex8(F.CRC) + (F.Encrypted ? " *" : "  ") + FItems[i].Name + "\n");
    } else {
      FCon.Out(PadLeft(Num(F.UncompressedSize), 9) + "  " + when + "   " + FItems[i].Name + "\n");
    }
    size += F.UncompressedSize;
    packed += F.CompressedSize;
    ++count;
  }
  if (verbose) {
    FCon.Out("--------          -------  ---                            -------\n" +
             PadLeft(Num(size), 8) + std::string(9, ' ') + PadLeft(Num(packed), 8) + " " +
             PadLeft(Num(RatioPercent(size, packed)), 3) + "%" + std::string(28, ' ') + Files(count) + "\n");
  } else {
    FCon.Out("---------                     -------\n" + PadLeft(Num(size), 9) + std::string(21, ' ') +
             Files(count) + "\n");
  }
  return FinalStatus(count, 0, 0);
}

int TSession::ListNames() {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FSelected[i]) FCon.Out(FItems[i].Name + "\n");
  return FinalStatus(FSelectedCount, 0, 0);
}

int TSession::ShowComment() {
  if (FOpt.Quiet)
    PrintComment();
  else
    ArchiveHeader();
  return FRecovered ? exBadArchive : exOk;
}

void TSession::AskPassword(const String& FileName, AnsiString& NewPassword, bool& SkipFile) {
  const std::string name = DisplayName(FileName);
  ++FPasswordAsks;
  if (FCon.InputIsTerminal()) {
    FCon.Err(FPasswordAsks == 1 ? "[" + FArchiveName + "] " + name + " password: "
                                : "password incorrect--reenter: ");
    std::string line;
    if (FCon.ReadSecret(line) && !line.empty()) {
      NewPassword = StringToAnsi(Utf8ToString(line));
      return;
    }
    SkipFile = true;
    FPasswordSkipped = true;
    Warn("   skipping: " + Pad(name, 23) + " no password given");
    return;
  }
  // Nobody to ask: the password given (if any) did not open this item.
  SkipFile = true;
  FPasswordSkipped = true;
  Warn("   skipping: " + Pad(name, 23) + (NewPassword.empty() ? " unable to get password" : " incorrect password"));
}

int TSession::Test() {
  if (FRecovered && FItems.empty()) return FinalStatus(0, 0, 0);
  ArchiveHeader();
  int tested = 0, testedFiles = 0, errors = 0, skipped = 0;
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (!FSelected[i]) continue;
    const TItemInfo& item = FItems[i];
    FPasswordAsks = 0;
    FPasswordSkipped = false;
    std::string failure;
    try {
      FArc.TestItem(item.F.Handle.ItemNo);
    } catch (const Exception& e) {
      failure = StringToUtf8(e.Message());
    } catch (const std::exception& e) {
      failure = e.what();
    }
    if (FPasswordSkipped) {
      ++skipped;
    } else if (!failure.empty()) {
      ++errors;
      FCon.Out("    testing: " + Pad(item.Name, 24) + " " + failure + "\n");
    } else {
      ++tested;
      testedFiles += !item.Folder;
      if (!FOpt.Quiet) FCon.Out("    testing: " + Pad(item.Name, 24) + " OK\n");
    }
  }
  if (errors > 0)
    FCon.Out(Files(errors) + " with errors in compressed data of " + FArchiveName + ".\n");
  else if (skipped == 0)
    FCon.Out("No errors detected in compressed data of " + FArchiveName + ".\n");
  else
    FCon.Out("No errors detected in " + FArchiveName + " for the " + Files(tested) + " tested.\n");
  if (skipped > 0) FCon.Out(Files(skipped) + " skipped without a working password.\n");
  // As for extraction, folders alone do not count as something done.
  return FinalStatus(testedFiles + errors, skipped, errors);
}
