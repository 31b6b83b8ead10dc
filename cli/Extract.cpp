// Extraction: one ExtractFiles batch over every item, with the masks applied
// through the confirmation event, unzip's per-item lines, the overwrite and
// password prompts, failures reported and passed over, and the progress bar.
#include <exception>

#include "Exceptions.h"
#include "FileSystem.h"
#include "ProgressBar.h"
#include "Session.h"
#include "TextCodec.h"

namespace {

constexpr int AllItems = 10431;

String FileNamePart(const String& Name) {
  const size_t slash = Name.find_last_of(PathDelim);
  return slash == String::npos ? Name : Name.substr(slash + 1);
}

// Creates Dir and its missing parents; false when it still is no folder.
bool ForceFolders(const String& Dir) {
  if (Dir.empty() || DirectoryExists(Dir)) return true;
  const size_t slash = Dir.find_last_of(PathDelim == u'/' ? u"/" : u"\\/");
  if (slash != String::npos && slash > 0 && !ForceFolders(Dir.substr(0, slash))) return false;
  return CreateDir(Dir) || DirectoryExists(Dir);
}

std::string WithoutTrailingSlash(std::string Name) {
  if (!Name.empty() && Name.back() == '/') Name.pop_back();
  return Name;
}

std::string MessageOf(const std::exception& E) {
  if (const auto* e = dynamic_cast<const Exception*>(&E)) return StringToUtf8(e->Message());
  return E.what();
}

}  // namespace

class TExtractRun {
 public:
  explicit TExtractRun(TSession& Session)
      : S(Session),
        FBar(Session.FCon, !Session.FOpt.Quiet && Session.FCon.ErrorIsTerminal()),
        FPolicy(Session.FOpt.Overwrite) {}

  int Run();

 private:
  struct TCurrent {
    int Index = -1;      // in S.FItems; -1 when unknown
    std::string Line;    // printed when the item ends well; empty: nothing written
    bool Folder = false;
    bool Failed = false;
  };

  void Configure();
  void ConfirmProcessFile(const String& FileName, bool& Confirm);
  void ExtractFile(const String& FileName, uint32_t Attr);
  void ConfirmOverwrite(const String& SourceFileName, const String& DestFileName, bool& Confirm);
  void ItemEnded();
  void Announce(const std::string& Line) { FCur.Line = Line; }
  TZAOverwriteMode ModeOf(TOverwritePolicy Policy) const;

  TSession& S;
  TProgressBar FBar;
  TOverwritePolicy FPolicy;
  String FBase;         // the destination prefix, as the engine composes it
  int FNext = 0;        // the item the next confirmation is about
  int FDoneUpTo = -1;   // items already visited by a batch that ended early
  TCurrent FCur;
  int FFiles = 0;       // files written
  int FPasswordSkips = 0;
  int FProblems = 0;    // failures and skips nobody asked for
};

TZAOverwriteMode TExtractRun::ModeOf(TOverwritePolicy Policy) const {
  switch (Policy) {
    case TOverwritePolicy::Always: return omAlways;
    case TOverwritePolicy::Never: return omNever;
    case TOverwritePolicy::IfNewer: return omIfNewer;
    case TOverwritePolicy::Ask: break;
  }
  return omPrompt;
}

void TExtractRun::Configure() {
  TVunzipArchiver& arc = S.FArc;
  const String& dir = S.FOpt.Dir;
  if (!dir.empty()) {
    // unzip makes the destination even when -j tells the engine to make no folders.
    if (!ForceFolders(dir)) S.Warn("vunzip: cannot create folder " + StringToUtf8(dir));
    arc.SetBaseDir(dir);
    FBase = dir;
    if (FBase.back() != PathDelim && FBase.back() != u'/') FBase += PathDelim;
  }
  arc.Options().SetCreateDirs(!S.FOpt.NoPaths);
  arc.Options().SetOverwriteMode(ModeOf(FPolicy));

  arc.OnConfirmProcessFile = [this](TZABaseArchiver*, const String& FileName, TZAProcessOperation,
                                    bool& Confirm) { ConfirmProcessFile(FileName, Confirm); };
  arc.OnExtractFile = [this](TZABaseArchiver*, String& FileName, uint32_t& Attr, const AnsiString&) {
    ExtractFile(FileName, Attr);
  };
  arc.OnConfirmOverwrite = [this](TZABaseArchiver*, const String& Source, String& Dest, bool& Confirm) {
    ConfirmOverwrite(Source, Dest, Confirm);
  };
  arc.OnPassword = [this](TZABaseArchiver*, const String& FileName, AnsiString& NewPassword, bool& SkipFile) {
    FBar.Clear();
    S.AskPassword(FileName, NewPassword, SkipFile);
    FBar.Restart();
  };
  arc.OnFileProgress = [this](TZABaseArchiver*, const String& FileName, double, TZAProcessOperation,
                              TZAProgressPhase Phase, bool&) {
    if (Phase == ppEnd)
      ItemEnded();
    else
      FBar.Item(TSession::DisplayName(FileName));
  };
  arc.OnOverallProgress = [this](TZABaseArchiver*, double Progress, TZAProcessOperation, TZAProgressPhase,
                                 bool&) { FBar.Overall(Progress); };
  arc.OnProcessFileFailure = [this](TZABaseArchiver*, const String& FileName, TZAProcessOperation, int,
                                    int, const String& ErrorMessage, TZAAction& Action) {
    Action = fxaIgnore;
    FCur.Failed = true;
    ++FProblems;
    FBar.Clear();
    S.Warn("error:  " + TSession::DisplayName(FileName) + ": " + StringToUtf8(ErrorMessage));
  };
}

void TExtractRun::ConfirmProcessFile(const String& FileName, bool& Confirm) {
  // Every item is visited in central-directory order, so the n-th
  // confirmation is about the n-th item; the name guards that assumption.
  const std::string name = WithoutTrailingSlash(TSession::DisplayName(FileName));
  int index = FNext++;
  const auto& items = S.FItems;
  if (index >= static_cast<int>(items.size()) || WithoutTrailingSlash(items[static_cast<size_t>(index)].Name) != name) {
    index = -1;
    for (size_t i = 0; i < items.size(); ++i)
      if (static_cast<int>(i) > FDoneUpTo && WithoutTrailingSlash(items[i].Name) == name) {
        index = static_cast<int>(i);
        break;
      }
  }
  FCur = TCurrent{};
  FCur.Index = index;
  S.FPasswordAsks = 0;
  S.FPasswordSkipped = false;
  Confirm = index > FDoneUpTo && S.FSelected[static_cast<size_t>(index)];
}

void TExtractRun::ExtractFile(const String& FileName, uint32_t Attr) {
  FCur.Folder = (Attr & faDirectory) != 0 || (!FileName.empty() && FileName.back() == PathDelim);
  if (FCur.Folder) {
    String folder = FBase + FileName;
    if (!folder.empty() && folder.back() == PathDelim) folder.pop_back();
    if (!S.FOpt.NoPaths && !DirectoryExists(folder))
      Announce("   creating: " + WithoutTrailingSlash(TSession::DisplayName(FileName)) + "/");
    return;
  }
  const String written = S.FOpt.NoPaths ? FileNamePart(FileName) : FileName;
  const std::string line = " extracting: " + TSession::DisplayName(written);
  // Which existing files the engine keeps under -n and -u: it skips them
  // without an event, and unzip names only the files it writes.
  const String dest = FBase + written;
  if (!FileExists(dest)) return Announce(line);
  switch (FPolicy) {
    case TOverwritePolicy::Always:
      return Announce(line);
    case TOverwritePolicy::Never:
      return;
    case TOverwritePolicy::IfNewer: {
      if (FCur.Index < 0) return;
      const TZAArchiveItem& F = S.FItems[static_cast<size_t>(FCur.Index)].F;
      const int32_t itemTime = static_cast<int32_t>((static_cast<uint32_t>(F.LastModFileDate) << 16) | F.LastModFileTime);
      if (FileGetDosTime(dest) < itemTime) Announce(line);
      return;
    }
    case TOverwritePolicy::Ask:
      return;  // the overwrite prompt decides
  }
}

void TExtractRun::ConfirmOverwrite(const String& SourceFileName, const String& DestFileName, bool& Confirm) {
  const std::string line = " extracting: " + TSession::DisplayName(S.FOpt.NoPaths ? FileNamePart(SourceFileName) : SourceFileName);
  Confirm = false;
  if (!S.FCon.InputIsTerminal()) {
    ++FProblems;
    S.Warn("   skipping: " + TSession::Pad(TSession::DisplayName(SourceFileName), 23) +
           " exists (-o replaces it, -n keeps it quietly)");
    return;
  }
  FBar.Clear();
  for (;;) {
    S.FCon.Err("replace " + TSession::DisplayName(DestFileName) + "? [y]es, [n]o, [A]ll, [N]one: ");
    std::string answer;
    if (!S.FCon.ReadLine(answer)) answer = "N";  // the end of input answers for the rest, as unzip does
    if (answer == "y" || answer == "Y" || answer == "yes") {
      Confirm = true;
    } else if (answer == "n" || answer == "no") {
      Confirm = false;
    } else if (answer == "A") {
      Confirm = true;
      FPolicy = TOverwritePolicy::Always;
      S.FArc.Options().SetOverwriteMode(omAlways);
    } else if (answer == "N") {
      FPolicy = TOverwritePolicy::Never;
      S.FArc.Options().SetOverwriteMode(omNever);
    } else {
      continue;
    }
    break;
  }
  FBar.Restart();
  if (Confirm) Announce(line);
}

void TExtractRun::ItemEnded() {
  if (S.FPasswordSkipped) {
    ++FPasswordSkips;
    return;
  }
  if (FCur.Line.empty() || FCur.Failed) return;
  if (!FCur.Folder) ++FFiles;
  if (S.FOpt.Quiet) return;
  FBar.Clear();
  S.FCon.Out(FCur.Line + "\n");
}

int TExtractRun::Run() {
  Configure();
  if (!S.FItems.empty() || !S.FRecovered) S.ArchiveHeader();
  if (S.FRecovered && S.FItems.empty()) return S.FinalStatus(0, 0, 0);
  for (;;) {
    try {
      S.FArc.ExtractFiles(u"*.*", AllItems, u"");
      break;
    } catch (const std::exception& e) {
      // Errors of other kinds than the engine's end the batch; the items
      // after the one that raised it still deserve their turn.
      FBar.Clear();
      const bool atItem = FCur.Index > FDoneUpTo;
      S.Warn("error:  " + (atItem ? S.FItems[static_cast<size_t>(FCur.Index)].Name + ": " : std::string()) +
             MessageOf(e));
      if (!atItem) return exBadArchive;
      ++FProblems;
      FDoneUpTo = FCur.Index;
      FNext = 0;
    }
  }
  FBar.Clear();
  return S.FinalStatus(FFiles, FPasswordSkips, FProblems);
}

int TSession::Extract() {
  TExtractRun run(*this);
  return run.Run();
}
