#pragma once
// One run of the command on one open archive: the items in central-directory
// order, which of them the masks select, the password prompts shared by
// extraction and testing, and the exit status gathered on the way.
#include <string>
#include <vector>

#include "Console.h"
#include "Options.h"
#include "TestArchiver.h"
#include "ZAArchiveItem.h"

// unzip's exit statuses.
enum TExitStatus {
  exOk = 0,
  exWarning = 1,      // some items skipped or failed, the rest completed
  exBadArchive = 2,   // damaged, or not an archive
  exNotFound = 9,
  exBadOptions = 10,
  exNoMatch = 11,
  exBadPassword = 82,  // nothing extracted because of bad or missing passwords
};

struct TItemInfo {
  TZAArchiveItem F;
  std::string Name;  // stored form: "/" between folders, folders end in "/"
  bool Folder = false;
};

class TSession {
 public:
  TSession(const TVunzipOptions& Options, TConsole& Console);

  // Opens the archive (or ARCHIVE.zip) read-only; on failure reports it and
  // returns the exit status, else 0.
  int Open();
  // Reads every item and applies the masks; warns of masks that match nothing.
  void Select();

  int List();
  int ListNames();
  int ShowComment();
  int Test();
  int Extract();

  // The item name as the engine hands it to events, in stored form.
  static std::string DisplayName(const String& EventName);
  static std::string Pad(const std::string& Text, size_t Width);

 private:
  friend class TExtractRun;

  void ArchiveHeader();
  void PrintComment();
  // The OnPassword handler: prompts on a terminal, else skips the item.
  void AskPassword(const String& FileName, AnsiString& NewPassword, bool& SkipFile);
  void Warn(const std::string& Line) { FCon.Err(Line + "\n"); }
  // The status once the run is over, from what was counted.
  int FinalStatus(int ItemsDone, int PasswordSkips, int Problems) const;

  const TVunzipOptions& FOpt;
  TConsole& FCon;
  TVunzipArchiver FArc{nullptr};
  std::string FArchiveName;  // as the user gave it
  bool FRecovered = false;   // opened without its end record
  bool FUnmatched = false;   // a mask matched nothing
  std::vector<TItemInfo> FItems;
  std::vector<bool> FSelected;
  int FSelectedCount = 0;
  // Password prompting for the item at hand.
  int FPasswordAsks = 0;
  bool FPasswordSkipped = false;
};

// Formatting shared by the listings.
std::string DosDate(uint16_t Date);
std::string DosTime(uint16_t Time);
std::string DecodeComment(const AnsiString& Bytes);
