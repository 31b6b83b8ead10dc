#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include <zlib.h>

#include "Dialogs.h"
#include "DosTime.h"
#include "ExtractSupport.h"
#include "FileSystem.h"
#include "Lock.h"
#include "ZAStrFunc.h"

namespace {

using namespace extract_support;

zipbuild::Entry Item(const std::string& Name, const Bytes& Content, uint32_t Attr = 0x20,
                     uint16_t Method = 8) {
  zipbuild::Entry e;
  e.Name = Name;
  e.Content = Content;
  e.ExternalAttr = Attr;
  e.Method = Method;
  return e;
}

String Native(const std::string& relative) { return ToPlatformDelimiters(U(relative)); }

bool IsReadOnly(const fs::path& p) { return (FileGetAttr(ToStr(p)) & faReadOnly) != 0; }

class Extract : public ::testing::Test {
 protected:
  void Open(const zipbuild::Archive& Archive) {
    OpenBuilt(Arc, Dir, Archive);
    Arc.SetBaseDir(ToStr(Out()));
  }
  fs::path Out() const { return Dir.Path() / "out"; }
  fs::path OutFile(const std::string& relative) const { return Out() / fs::path(relative); }
  void Run(const std::string& Mask = "*.*") { Arc.ExtractFiles(U(Mask), 10431, u""); }

  // Every event of a batch, one line each.
  void RecordEvents() {
    Arc.OnOverallProgress = [this](TZABaseArchiver*, double Progress, TZAProcessOperation,
                                   TZAProgressPhase Phase, bool&) {
      if (Phase != ppProcess) Events.push_back("overall " + std::to_string(Phase) + " " + std::to_string(int(Progress)));
    };
    Arc.OnFileProgress = [this](TZABaseArchiver*, const String& Name, double Progress,
                                TZAProcessOperation Op, TZAProgressPhase Phase, bool&) {
      EXPECT_EQ(Op, poExtract);
      if (Phase != ppProcess) Events.push_back("file " + std::to_string(Phase) + " " + A(Name) + " " + std::to_string(int(Progress)));
    };
    Arc.OnConfirmProcessFile = [this](TZABaseArchiver*, const String& Name, TZAProcessOperation,
                                      bool&) { Events.push_back("confirm " + A(Name)); };
    Arc.OnExtractFile = [this](TZABaseArchiver*, String& Name, uint32_t&, const AnsiString&) {
      Events.push_back("extract " + A(Name));
    };
  }

  TScratchDir Dir;
  TTestArchiver Arc{nullptr};
  std::vector<std::string> Events;
};

// ---- Peer-tool archives ---------------------------------------------------

struct TManifestEntry {
  std::string Path;
  int64_t Size;
  uint32_t Crc;
  int32_t DosTime;
  bool ReadOnly;
};

std::vector<TManifestEntry> TreeManifest() {
  std::ifstream in("extract/tree.manifest");
  std::vector<TManifestEntry> entries;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream f(line);
    TManifestEntry e;
    std::string date, time;
    std::getline(f, e.Path, '\t');
    int readOnly;
    f >> e.Size >> std::hex >> e.Crc >> std::dec >> date >> time >> readOnly;
    TDosDateTimeParts p{};
    sscanf(date.c_str(), "%d-%d-%d", &p.Year, &p.Month, &p.Day);
    sscanf(time.c_str(), "%d:%d:%d", &p.Hour, &p.Minute, &p.Second);
    e.DosTime = PackDosDateTime(p);
    e.ReadOnly = readOnly != 0;
    entries.push_back(e);
  }
  return entries;
}

TEST_F(Extract, PeerToolArchivesGiveTheirSourceTree) {
  const auto manifest = TreeManifest();
  ASSERT_EQ(manifest.size(), 7u);
  struct {
    const char* Archive;
    bool DosReadOnlyBit;  // Windows applies only the attribute word, not a Unix mode
    const char* Only;     // the part of the tree the archive holds
  } archives[] = {
      {"infozip.zip", true, ""},    {"infozip-stream.zip", true, ""}, {"7zz.zip", true, ""},
      {"bsdtar.zip", false, ""},    {"python.zip", false, ""},        {"python-stream.zip", false, ""},
      {"split.zip", true, "bdocs"},
  };
  for (const auto& a : archives) {
    SCOPED_TRACE(a.Archive);
    TTestArchiver arc(nullptr);
    arc.SetFileName(U(std::string("extract/") + a.Archive));
    arc.OpenArchive(64);
    const fs::path out = Dir.Path() / a.Archive / "work";  // not there yet
    arc.SetBaseDir(ToStr(out));
    arc.ExtractFiles(u"*.*", 10431, u"");
    size_t expectedFiles = 0;
    for (const auto& m : manifest) {
      if (*a.Only && m.Path.rfind("bin/", 0) != 0 && m.Path.rfind("docs/", 0) != 0) continue;
      ++expectedFiles;
      SCOPED_TRACE(m.Path);
      const fs::path p = out / fs::path(m.Path);
      const Bytes data = ReadAll(p);
      EXPECT_EQ(static_cast<int64_t>(data.size()), m.Size);
      EXPECT_EQ(zipbuild::Crc32(data), m.Crc);
      EXPECT_EQ(FileGetDosTime(ToStr(p)), m.DosTime);
#ifdef _WIN32
      EXPECT_EQ(IsReadOnly(p), m.ReadOnly && a.DosReadOnlyBit);
#else
      EXPECT_EQ(IsReadOnly(p), m.ReadOnly);
#endif
    }
    size_t files = 0;
    for (auto& e : fs::recursive_directory_iterator(out))
      if (e.is_regular_file()) ++files;
    EXPECT_EQ(files, expectedFiles);  // nothing else, no temporary files
  }
}

// ---- Batch and events -----------------------------------------------------

TEST_F(Extract, EventsComeInTheirOrder) {
  zipbuild::Archive a;
  a.Entries = {Item("docs/", {}, 0x10), Item("docs/a.txt", Text("alpha"))};
  Open(a);
  RecordEvents();
  Run();
  const std::string docsA = A(Native("docs/a.txt"));
  EXPECT_EQ(Events, (std::vector<std::string>{
                        "overall 0 0", "confirm " + A(Native("docs/")), "file 0 " + A(Native("docs/")) + " 0",
                        "extract " + A(Native("docs/")), "file 2 " + A(Native("docs/")) + " 100",
                        "confirm " + docsA, "file 0 " + docsA + " 0", "extract " + docsA,
                        "file 2 " + docsA + " 100", "overall 2 100"}));
  EXPECT_TRUE(fs::is_directory(OutFile("docs")));
  EXPECT_EQ(ReadAll(OutFile("docs/a.txt")), Text("alpha"));
}

TEST_F(Extract, ProgressWhileDataFlows) {
  zipbuild::Archive a;
  a.Entries = {Item("s.bin", Pattern(200000), 0x20, 0), Item("t.bin", Pattern(10))};
  Open(a);
  std::vector<std::pair<int, int>> pairs;  // file, overall percent
  double file = -1;
  Arc.OnFileProgress = [&](TZABaseArchiver*, const String&, double P, TZAProcessOperation,
                           TZAProgressPhase Phase, bool&) {
    if (Phase == ppProcess) file = P;
  };
  Arc.OnOverallProgress = [&](TZABaseArchiver*, double P, TZAProcessOperation,
                              TZAProgressPhase Phase, bool&) {
    if (Phase == ppProcess) pairs.push_back({int(file), int(P)});
  };
  Run();
  // Stored data: one pair per 65,535-byte piece; overall covers two items.
  ASSERT_GE(pairs.size(), 5u);
  EXPECT_EQ(pairs[0], std::make_pair(65535 * 100 / 200000, 65535 * 50 / 200000));
  EXPECT_EQ(pairs[3], std::make_pair(100, 50));
}

TEST_F(Extract, EmptyArchiveRaisesOnlyTheOverallEvents) {
  Open(zipbuild::Archive{});
  RecordEvents();
  Run();
  EXPECT_EQ(Events, (std::vector<std::string>{"overall 0 0", "overall 2 100"}));
}

TEST_F(Extract, PlainNameNotInTheArchiveRaisesNothing) {
  zipbuild::Archive a;
  a.Entries = {Item("a.txt", Text("a"))};
  Open(a);
  RecordEvents();
  Arc.Options().SetRecurse(false);
  Run("b.txt");
  EXPECT_TRUE(Events.empty());
  Run("A.TXT");
  EXPECT_EQ(ReadAll(OutFile("a.txt")), Text("a"));
}

TEST_F(Extract, BatchHoldsTheProcessLock) {
  zipbuild::Archive a;
  a.Entries = {Item("a.txt", Text("a"))};
  Open(a);
  bool otherThreadGotIt = true;
  Arc.OnOverallProgress = [&](TZABaseArchiver*, double, TZAProcessOperation, TZAProgressPhase Phase, bool&) {
    if (Phase != ppStart) return;
    std::thread t([&] {
      otherThreadGotIt = ProcessLock().TryEnter();
      if (otherThreadGotIt) ProcessLock().Leave();
    });
    t.join();
  };
  Run();
  EXPECT_FALSE(otherThreadGotIt);
}

// ---- Overwriting ----------------------------------------------------------

constexpr int32_t kOld = (40 << 25) | (1 << 21) | (1 << 16);          // 2020-01-01
constexpr uint16_t kItemDate = (44 << 9) | (5 << 5) | 6;                // 2024-05-06
constexpr int32_t kNew = (46 << 25) | (1 << 21) | (1 << 16);            // 2026-01-01

TEST_F(Extract, OverwriteModes) {
  const int32_t same = PackDosDate(kItemDate, (12 << 11) | (34 << 5) | 28);
  struct {
    TZAOverwriteMode Mode;
    int32_t Existing;
    bool Replaced;
  } cases[] = {
      {omAlways, kNew, true},   {omNever, kOld, false},  {omIfNewer, kOld, true},
      {omIfNewer, same, false}, {omIfNewer, kNew, false}, {omIfOlder, kNew, true},
      {omIfOlder, same, false}, {omIfOlder, kOld, false},
  };
  zipbuild::Archive a;
  a.Entries = {Item("a.txt", Text("from archive"))};
  Open(a);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Mode) + " " + std::to_string(c.Existing));
    fs::create_directories(Out());
    WriteAll(OutFile("a.txt"), Text("existing"));
    ASSERT_TRUE(FileSetDosTime(ToStr(OutFile("a.txt")), c.Existing));
    Arc.Options().SetOverwriteMode(c.Mode);
    Run();
    EXPECT_EQ(ReadAll(OutFile("a.txt")), Text(c.Replaced ? "from archive" : "existing"));
  }
}

TEST_F(Extract, OverwritePromptHandlerMayRedirect) {
  zipbuild::Archive a;
  a.Entries = {Item("a.txt", Text("new"))};
  Open(a);
  fs::create_directories(Out());
  WriteAll(OutFile("a.txt"), Text("old"));
  Arc.Options().SetOverwriteMode(omPrompt);
  Arc.OnConfirmOverwrite = [&](TZABaseArchiver*, const String& Source, String& Dest, bool& Confirm) {
    EXPECT_FALSE(Confirm);
    EXPECT_EQ(Source, u"a.txt");
    EXPECT_EQ(Dest, ToStr(OutFile("a.txt")));
    Dest = ToStr(OutFile("b.txt"));
    Confirm = true;
  };
  Run();
  EXPECT_EQ(ReadAll(OutFile("a.txt")), Text("old"));
  EXPECT_EQ(ReadAll(OutFile("b.txt")), Text("new"));
}

TEST_F(Extract, DefaultOverwritePrompt) {
  TScriptedDialogs dialogs;
  zipbuild::Archive a;
  a.Entries = {Item("1", Text("n1")), Item("2", Text("n2")), Item("3", Text("n3")), Item("4", Text("n4"))};
  Open(a);
  auto reset = [&] {
    fs::create_directories(Out());
    for (const char* n : {"1", "2", "3", "4"}) WriteAll(OutFile(n), Text("old"));
  };
  struct {
    std::vector<int> Answers;
    const char* Result;  // per file: n new, o old
    TZAOverwriteMode After;
  } cases[] = {
      {{mrYes, mrNo, mrCancel, mrYes}, "noon", omPrompt},
      {{mrNo, mrNoToAll}, "oooo", omNever},
      {{mrYesToAll}, "nnnn", omAlways},
  };
  for (const auto& c : cases) {
    reset();
    dialogs.Provider->Shown.clear();
    dialogs.Provider->Answers.assign(c.Answers.begin(), c.Answers.end());
    Arc.Options().SetOverwriteMode(omPrompt);
    Run();
    std::string result;
    for (const char* n : {"1", "2", "3", "4"})
      result += ReadAll(OutFile(n)) == Text("old") ? 'o' : 'n';
    EXPECT_EQ(result, c.Result);
    EXPECT_EQ(dialogs.Provider->Shown.size(), c.Answers.size());  // none after an answer for all
    EXPECT_EQ(Arc.Options().OverwriteMode(), c.After);
  }
  const auto& first = dialogs.Provider->Shown.at(0);
  EXPECT_EQ(first.Text, u"Overwrite file \"" + ToStr(OutFile("1")) + u"\" with \"1\"");
  EXPECT_EQ(first.Buttons, static_cast<TMsgDlgButtons>(mbYes | mbNo | mbNoToAll | mbYesToAll));
}

TEST_F(Extract, ReadOnlyTargets) {
  zipbuild::Archive a;
  a.Entries = {Item("ro.txt", Text("new"), 0x20)};
  Open(a);
  fs::create_directories(Out());
  WriteAll(OutFile("ro.txt"), Text("old"));
  ASSERT_TRUE(FileSetAttr(ToStr(OutFile("ro.txt")), faReadOnly));
  Arc.Options().SetReplaceReadOnly(false);
  Arc.Options().SetOverwriteMode(omPrompt);
  bool prompted = false;
  Arc.OnConfirmOverwrite = [&](TZABaseArchiver*, const String&, String&, bool&) { prompted = true; };
  Run();
  EXPECT_FALSE(prompted);
  EXPECT_EQ(ReadAll(OutFile("ro.txt")), Text("old"));

  Arc.Options().SetReplaceReadOnly(true);
  Arc.Options().SetOverwriteMode(omAlways);
  Run();
  EXPECT_EQ(ReadAll(OutFile("ro.txt")), Text("new"));
  EXPECT_FALSE(IsReadOnly(OutFile("ro.txt")));  // the archive's attributes
}

// ---- Folders --------------------------------------------------------------

TEST_F(Extract, WithoutCreateDirsItemsGoIntoTheBaseFolder) {
  zipbuild::Archive a;
  a.Entries = {Item("docs/", {}, 0x10), Item("docs/a.txt", Text("first")),
               Item("other/a.txt", Text("second"))};
  Open(a);
  fs::create_directories(Out());
  Arc.Options().SetCreateDirs(false);
  Arc.Options().SetOverwriteMode(omNever);
  Run();
  EXPECT_EQ(ReadAll(OutFile("a.txt")), Text("first"));
  EXPECT_FALSE(fs::exists(OutFile("docs")));
  EXPECT_FALSE(fs::exists(OutFile("other")));
}

TEST_F(Extract, FolderEntryWithoutSlashCreatesOnlyItsParents) {
  zipbuild::Archive a;
  a.Entries = {Item("docs/sub", {}, 0x10), Item("empty/", {}, 0x20)};
  Open(a);
  Run();
  EXPECT_TRUE(fs::is_directory(OutFile("docs")));
  EXPECT_FALSE(fs::exists(OutFile("docs/sub")));
  EXPECT_TRUE(fs::is_directory(OutFile("empty")));  // the trailing "/" marks a folder too
}

TEST_F(Extract, EmptyBaseDirUsesTheFolderCurrentAtTheFirstBatch) {
  zipbuild::Archive a;
  a.Entries = {Item("a.txt", Text("a"))};
  Open(a);
  Arc.SetBaseDir(u"");
  const String previous = GetCurrentDir();
  fs::create_directories(Dir.Path() / "first");
  fs::create_directories(Dir.Path() / "second");
  ASSERT_TRUE(SetCurrentDir(ToStr(Dir.Path() / "first")));
  Run();
  ASSERT_TRUE(SetCurrentDir(ToStr(Dir.Path() / "second")));
  fs::remove(Dir.Path() / "first" / "a.txt");
  Run();
  SetCurrentDir(previous);
  EXPECT_TRUE(fs::exists(Dir.Path() / "first" / "a.txt"));
  EXPECT_FALSE(fs::exists(Dir.Path() / "second" / "a.txt"));
}

// ---- Failures -------------------------------------------------------------

zipbuild::Archive WithBadMiddle() {
  zipbuild::Archive a;
  auto bad = Item("bad.txt", Text("bad data"));
  bad.Crc = 0xBAD;
  a.Entries = {Item("one.txt", Text("1")), bad, Item("three.txt", Text("3"))};
  return a;
}

TEST_F(Extract, DefaultFailureBoxActions) {
  TScriptedDialogs dialogs;
  Open(WithBadMiddle());
  struct {
    std::vector<int> Answers;
    bool ThirdExtracted;
  } cases[] = {
      {{mrIgnore}, true},
      {{mrRetry, mrIgnore}, true},  // the item is decoded again
      {{mrAbort}, false},
      {{mrCancel}, false},          // any other close aborts
  };
  for (const auto& c : cases) {
    fs::remove_all(Out());
    dialogs.Provider->Shown.clear();
    dialogs.Provider->Answers.assign(c.Answers.begin(), c.Answers.end());
    EXPECT_NO_THROW(Run());
    EXPECT_EQ(dialogs.Provider->Shown.size(), c.Answers.size());
    EXPECT_TRUE(fs::exists(OutFile("one.txt")));
    EXPECT_FALSE(fs::exists(OutFile("bad.txt")));
    EXPECT_EQ(fs::exists(OutFile("three.txt")), c.ThirdExtracted);
  }
  const auto& box = dialogs.Provider->Shown.at(0);
  EXPECT_EQ(box.Buttons, static_cast<TMsgDlgButtons>(mbAbort | mbRetry | mbIgnore));
  EXPECT_EQ(box.Text, u"Invalid size or check sum of file or unsupported compression format - Native "
                      u"error: 00008. File processing error, possibly disk is full");
}

TEST_F(Extract, FailedItemLeavesAnExistingFileAsItWas) {
  Open(WithBadMiddle());
  fs::create_directories(Out());
  WriteAll(OutFile("bad.txt"), Text("kept"));
  std::vector<int> natives;
  Arc.OnProcessFileFailure = [&](TZABaseArchiver*, const String& Name, TZAProcessOperation Op,
                                 int Native, int Code, const String& Message, TZAAction& Action) {
    EXPECT_EQ(Name, u"bad.txt");
    EXPECT_EQ(Code, 4);
    EXPECT_EQ(Action, fxaIgnore);
    natives.push_back(Native);
  };
  Run();
  EXPECT_EQ(natives, std::vector<int>{8});
  EXPECT_EQ(ReadAll(OutFile("bad.txt")), Text("kept"));
  EXPECT_EQ(ReadAll(OutFile("three.txt")), Text("3"));

  // Asked to keep corrupted data, the decoded bytes replace it, time and all.
  Arc.SetExtractCorruptedFiles(true);
  Run();
  EXPECT_EQ(natives.size(), 1u);
  EXPECT_EQ(ReadAll(OutFile("bad.txt")), Text("bad data"));
  EXPECT_EQ(FileGetDosTime(ToStr(OutFile("bad.txt"))), PackDosDate(kItemDate, (12 << 11) | (34 << 5) | 28));
}

TEST_F(Extract, CancelDuringDecodingAndAtTheEnd) {
  zipbuild::Archive a;
  a.Entries = {Item("big.bin", Pattern(3 << 20), 0x20, 0), Item("next.txt", Text("n"))};
  Open(a);
  fs::create_directories(Out());
  WriteAll(OutFile("big.bin"), Text("existing"));
  TMemoryStream dummy;
  int overallEnd = 0;
  Arc.OnOverallProgress = [&](TZABaseArchiver*, double, TZAProcessOperation, TZAProgressPhase Phase, bool&) {
    overallEnd += Phase == ppEnd;
  };
  Arc.OnFileProgress = [&](TZABaseArchiver*, const String&, double, TZAProcessOperation,
                           TZAProgressPhase Phase, bool& Cancel) {
    if (Phase == ppProcess) Cancel = true;
  };
  EXPECT_NO_THROW(Run());
  EXPECT_EQ(ReadAll(OutFile("big.bin")), Text("existing"));
  EXPECT_FALSE(fs::exists(OutFile("next.txt")));
  EXPECT_EQ(overallEnd, 1);

  fs::remove(OutFile("big.bin"));
  Arc.OnFileProgress = [&](TZABaseArchiver*, const String&, double, TZAProcessOperation,
                           TZAProgressPhase Phase, bool& Cancel) {
    if (Phase == ppEnd) Cancel = true;
  };
  Run();
  EXPECT_EQ(fs::file_size(OutFile("big.bin")), 3u << 20);  // kept
  EXPECT_FALSE(fs::exists(OutFile("next.txt")));
}

TEST_F(Extract, NamesLeavingTheBaseFolderAreRefused) {
  // Any ".." component is refused, even one that would come back inside.
  std::vector<std::string> hostile = {"../evil.txt", "a/../../evil.txt", "/abs-evil.txt", "a/../evil.txt"};
#ifdef _WIN32
  for (const char* n : {"..\\evil.txt", "C:evil.txt", "C:/evil.txt", "\\\\server\\share\\evil.txt", "a\\... \\evil.txt"})
    hostile.push_back(n);
#endif
  zipbuild::Archive a;
  for (const auto& n : hostile) a.Entries.push_back(Item(n, Text("x")));
  a.Entries.push_back(Item("a..b/in..side.txt", Text("in")));  // dots inside names are fine
  Open(a);
  std::vector<int> natives;
  std::vector<String> messages;
  Arc.OnProcessFileFailure = [&](TZABaseArchiver*, const String&, TZAProcessOperation, int Native,
                                 int, const String& Message, TZAAction&) {
    natives.push_back(Native);
    messages.push_back(Message);
  };
  Run();
  EXPECT_EQ(natives, std::vector<int>(hostile.size(), 19));
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0].rfind(u"Cannot create file \"", 0), 0u);
  EXPECT_FALSE(fs::exists(Dir.Path() / "evil.txt"));
  EXPECT_EQ(ReadAll(OutFile("a..b/in..side.txt")), Text("in"));
  for (auto& e : fs::recursive_directory_iterator(Dir.Path()))
    EXPECT_EQ(e.path().filename().string().find("evil"), std::string::npos) << e.path();
}

TEST_F(Extract, HandlerMayPlaceAFileAnywhere) {
  zipbuild::Archive a;
  a.Entries = {Item("a.txt", Text("a"), 0x21)};
  Open(a);
  const String elsewhere = ToStr(Dir.Path() / "elsewhere" / "b.txt");
  Arc.OnExtractFile = [&](TZABaseArchiver*, String& Name, uint32_t& Attr, const AnsiString&) {
    Name = elsewhere;
    Attr = 0x20;
  };
  Run();
  EXPECT_EQ(ReadAll(fs::path(elsewhere)), Text("a"));
  EXPECT_FALSE(IsReadOnly(fs::path(elsewhere)));
  EXPECT_FALSE(fs::exists(OutFile("a.txt")));
}

}  // namespace
