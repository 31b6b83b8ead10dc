// vunzip run in-process: golden transcripts of what it prints and returns,
// prompts answered from a script, and the files it leaves.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <optional>

#include "Console.h"
#include "Options.h"
#include "TestSupport.h"
#include "TextCodec.h"
#include "Vunzip.h"
#include "ZipBuilder.h"

namespace {

using namespace testing_support;
using zipbuild::Bytes;

// A console whose input is a script and whose two output streams land in
// one transcript, stderr lines marked "2> " and answers marked "<< ".
class TScriptedConsole : public TConsole {
 public:
  bool StdinTerminal = false;
  bool StderrTerminal = false;
  std::deque<std::optional<std::string>> Answers;  // nullopt: end of input
  std::string Transcript;
  std::string ErrText;  // stderr alone, unmarked
  std::chrono::milliseconds Tick{0};  // how far the clock moves at each look

  void Out(std::string_view Text) override { Emit(Text, false); }
  void Err(std::string_view Text) override {
    ErrText += Text;
    Emit(Text, true);
  }
  bool InputIsTerminal() override { return StdinTerminal; }
  bool ErrorIsTerminal() override { return StderrTerminal; }
  bool ReadLine(std::string& Line) override { return Answer(Line, ""); }
  bool ReadSecret(std::string& Line) override { return Answer(Line, "(hidden) "); }
  int Width() override { return 60; }
  std::chrono::steady_clock::time_point Now() override { return FClock += Tick; }

 private:
  void Emit(std::string_view Text, bool Error) {
    for (char c : Text) {
      if (!FAtLineStart && Error != FLastError) NewLine();
      if (FAtLineStart && Error) Transcript += "2> ";
      FLastError = Error;
      if (c == '\r') {
        Transcript += "<CR>";
        continue;
      }
      Transcript += c;
      FAtLineStart = c == '\n';
    }
  }
  void NewLine() {
    Transcript += '\n';
    FAtLineStart = true;
  }
  bool Answer(std::string& Line, const char* Mark) {
    EXPECT_FALSE(Answers.empty()) << "an unexpected prompt:\n" << Transcript;
    std::optional<std::string> next;
    if (!Answers.empty()) {
      next = Answers.front();
      Answers.pop_front();
    }
    Transcript += "<< " + (!next ? "(end of input)" : next->empty() ? "(empty)" : Mark + *next) + "\n";
    FAtLineStart = true;
    if (!next) return false;
    Line = *next;
    return true;
  }

  bool FAtLineStart = true;
  bool FLastError = false;
  std::chrono::steady_clock::time_point FClock{};
};

struct TCommand {
  std::vector<std::string> Args;  // "$TMP" stands for the scratch folder
  std::deque<std::optional<std::string>> Answers = {};
  bool Terminal = false;           // stdin is a terminal
};

std::string Replace(std::string Text, const std::string& From, const std::string& To) {
  if (From.empty()) return Text;
  for (size_t at = Text.find(From); at != std::string::npos; at = Text.find(From, at + To.size()))
    Text.replace(at, From.size(), To);
  return Text;
}

class Vunzip : public ::testing::Test {
 protected:
  std::string Tmp() const { return StringToUtf8(ToStr(Dir.Path())); }
  fs::path TmpPath(const std::string& Relative) const { return Dir.Path() / fs::u8path(Relative); }

  // Runs one command; its transcript is appended to Transcript.
  int Run(const TCommand& Command, TScriptedConsole& Console) {
    std::vector<String> args;
    std::string shown = "$";
    for (const std::string& a : Command.Args) {
      args.push_back(Utf8ToString(Replace(a, "$TMP", Tmp())));
      shown += " " + (a.find(' ') != std::string::npos ? "'" + a + "'" : a);
    }
    Console.StdinTerminal = Command.Terminal;
    Console.Answers = Command.Answers;
    Console.Transcript = shown.replace(0, 1, Command.Terminal ? "$ (terminal) vunzip" : "$ vunzip") + "\n";
    const int status = VunzipMain(args, Console);
    EXPECT_TRUE(Console.Answers.empty()) << "answers left over after " << shown;
    Transcript += Normalise(Console.Transcript) + "[exit " + std::to_string(status) + "]\n\n";
    return status;
  }
  int Run(const TCommand& Command) {
    TScriptedConsole console;
    return Run(Command, console);
  }

  // The scratch folder, whichever delimiter shows it, becomes $TMP.
  std::string Normalise(const std::string& Text) const {
    std::string slashed = Tmp();
    for (auto& c : slashed)
      if (c == '\\') c = '/';
    return Replace(Replace(Text, Tmp(), "$TMP"), slashed, "$TMP");
  }

  // Compares Transcript with tests/cli/golden/Name.txt, or rewrites the file
  // when VUNZIP_UPDATE_GOLDEN is set.
  void ExpectGolden(const std::string& Name) {
    const fs::path golden = fs::path("..") / "cli" / "golden" / (Name + ".txt");
    if (std::getenv("VUNZIP_UPDATE_GOLDEN")) {
      WriteAll(golden, Bytes(Transcript.begin(), Transcript.end()));
      return;
    }
    const Bytes expected = ReadAll(golden);
    EXPECT_EQ(std::string(expected.begin(), expected.end()), Transcript) << "golden " << golden.string();
  }

  void WriteArchive(const std::string& Name, const zipbuild::Archive& Archive) {
    WriteAll(TmpPath(Name), Archive.Build());
  }

  std::string Content(const std::string& Relative) const {
    const Bytes b = ReadAll(TmpPath(Relative));
    return std::string(b.begin(), b.end());
  }

  TScratchDir Dir;
  std::string Transcript;
};

zipbuild::Entry Item(const std::string& Name, const std::string& Text, uint16_t Method = 8) {
  zipbuild::Entry e;
  e.Name = Name;
  e.Content = zipbuild::ToBytes(Text);
  e.Method = Method;
  return e;
}

TEST_F(Vunzip, ListingsAndTestsOfPeerArchives) {
  const std::vector<TCommand> commands = {
      {{"-l", "zip/infozip-comment.zip"}},
      {{"-l", "extract/7zz.zip", "*.txt", "-x", "deep/*", "space*"}},
      {{"-v", "extract/bsdtar.zip"}},
      {{"-v", "crypt/7zz-zipcrypto.zip"}},
      {{"-1", "extract/python.zip"}},
      {{"-1", "extract/infozip.zip", "*.txt", "-x", "docs/*", "-x", "hello*"}},
      {{"-z", "zip/infozip-comment.zip"}},
      {{"-t", "extract/split.zip"}},
      {{"-tq", "extract/infozip-stream.zip"}},
      {{"-t", "-P", "Pa55 word", "crypt/7zz-aes256.zip"}},
      {{"-l", "open/wiped-end.zip"}},
  };
  for (const TCommand& c : commands) Run(c);
  ExpectGolden("listings");
}

TEST_F(Vunzip, ExitStatuses) {
  WriteAll(TmpPath("text.zip"), zipbuild::ToBytes("not an archive at all\n"));
  const std::vector<std::pair<TCommand, int>> cases = {
      {{{"-l", "zip/infozip-comment.zip"}}, 0},
      {{{"-l", "$TMP/missing.zip"}}, 9},
      {{{"-l", "zip/infozip-comment"}}, 0},  // ".zip" is tried as unzip does
      {{{"-k", "zip/infozip-comment.zip"}}, 10},
      {{{"-lt", "zip/infozip-comment.zip"}}, 10},
      {{{"-on", "zip/infozip-comment.zip"}}, 10},
      {{{"zip/infozip-comment.zip", "-d"}}, 10},
      {{{"-q"}}, 10},
      {{{"-l", "zip/infozip-comment.zip", "nothing*"}}, 11},
      {{{"-l", "zip/infozip-comment.zip", "hello.txt", "nothing*"}}, 11},
      {{{"-t", "$TMP/text.zip"}}, 2},
      {{{"-t", "open/truncated-directory.zip"}}, 2},
      {{{"-t", "-P", "wrong", "crypt/infozip-classic.zip"}}, 82},
      {{{"-P", "wrong", "-d", "$TMP/out", "crypt/bsdtar-aes256.zip"}}, 82},
  };
  for (const auto& [command, status] : cases)
    EXPECT_EQ(Run(command), status) << command.Args.front() << " " << command.Args.back();
  ExpectGolden("exit-statuses");
}

TEST_F(Vunzip, HelpAndVersion) {
  TScriptedConsole console;
  EXPECT_EQ(Run({{"--version"}}, console), 0);
  EXPECT_EQ(console.Transcript.rfind("$ vunzip --version\nvunzip ", 0), 0u) << console.Transcript;
  EXPECT_NE(console.Transcript.find("ZIP engine 6.00"), std::string::npos);
  Transcript.clear();
  Run({{}});
  Run({{"-h"}});
  ExpectGolden("help");
}

TEST_F(Vunzip, FailedItemsAreReportedAndTheRestGoesOn) {
  zipbuild::Archive a;
  a.Entries = {Item("first.txt", "first\n"), Item("bad.txt", "this item's CRC-32 is wrong\n"),
               Item("cut.txt", "its local header lies beyond the end\n"), Item("last.txt", "last\n", 0)};
  a.Entries[1].Crc = 0x12345678;
  // A stream error, unlike the engine's own, ends the engine's batch: the
  // items after it still get their turn.
  a.Entries[2].RelOffset = static_cast<uint32_t>(a.Build().size() - 10);
  WriteArchive("bad.zip", a);
  EXPECT_EQ(Run({{"-t", "$TMP/bad.zip"}}), 1);
  EXPECT_EQ(Run({{"-d", "$TMP/out", "$TMP/bad.zip"}}), 1);
  ExpectGolden("failed-items");
  EXPECT_EQ(Content("out/first.txt"), "first\n");
  EXPECT_EQ(Content("out/last.txt"), "last\n");
  EXPECT_FALSE(fs::exists(TmpPath("out/bad.txt")));
  EXPECT_FALSE(fs::exists(TmpPath("out/cut.txt")));
}

TEST_F(Vunzip, WithoutATerminalNothingIsAsked) {
  const std::string out = "$TMP/out";
  EXPECT_EQ(Run({{"-d", out, "zip/infozip-comment.zip"}}), 0);
  WriteAll(TmpPath("out/hello.txt"), zipbuild::ToBytes("mine\n"));
  EXPECT_EQ(Run({{"-d", out, "zip/infozip-comment.zip"}}), 1);  // existing files kept, with a warning
  EXPECT_EQ(Content("out/hello.txt"), "mine\n");
  EXPECT_EQ(Run({{"-n", "-d", out, "zip/infozip-comment.zip"}}), 0);  // kept, as asked
  EXPECT_EQ(Content("out/hello.txt"), "mine\n");
  EXPECT_EQ(Run({{"-u", "-d", out, "zip/infozip-comment.zip"}}), 0);  // mine is newer
  EXPECT_EQ(Content("out/hello.txt"), "mine\n");
  EXPECT_EQ(Run({{"-o", "-d", out, "zip/infozip-comment.zip", "hello.txt"}}), 0);
  EXPECT_EQ(Content("out/hello.txt"), "hello, world\n");

  const std::string crypt = "$TMP/crypt";
  EXPECT_EQ(Run({{"-d", crypt, "crypt/infozip-classic.zip"}}), 82);  // no password, no prompt
  EXPECT_EQ(Run({{"-d", crypt, "-P", "Pa55 word", "crypt/infozip-classic.zip"}}), 0);
  EXPECT_EQ(Content("crypt/hello.txt"), "hello, secret world\n");
  ExpectGolden("non-terminal");
}

TEST_F(Vunzip, OverwritePromptOnATerminal) {
  const std::string out = "$TMP/out";
  Run({{"-qd", out, "extract/infozip.zip"}});
  // An unknown answer asks again; y and n answer one file; A all the rest.
  Run({{"-d", out, "extract/infozip.zip", "*.txt"}, {"x", "y", "n", "A"}, true});
  // N keeps the rest; the end of input does the same.
  Run({{"-d", out, "extract/infozip.zip", "*.txt"}, {"n", "N"}, true});
  Run({{"-d", out, "extract/infozip.zip", "*.txt"}, {std::nullopt}, true});
  ExpectGolden("overwrite-prompt");
}

TEST_F(Vunzip, PasswordPromptOnATerminal) {
  // A wrong answer asks again; the accepted password opens the later items.
  EXPECT_EQ(Run({{"-d", "$TMP/a", "crypt/7zz-zipcrypto.zip"}, {"guess", "Pa55 word"}, true}), 0);
  EXPECT_EQ(Content("a/docs/numbers.txt").size(), 13893u);
  // An empty answer skips that item only.
  EXPECT_EQ(Run({{"-d", "$TMP/b", "crypt/7zz-aes128.zip"}, {"", "Pa55 word"}, true}), 1);
  EXPECT_FALSE(fs::exists(TmpPath("b/docs/numbers.txt")));
  EXPECT_TRUE(fs::exists(TmpPath("b/hello.txt")));
  // Skipping every one is the bad-password status.
  EXPECT_EQ(Run({{"-t", "crypt/bsdtar-classic.zip"}, {"", "", ""}, true}), 82);
  ExpectGolden("password-prompt");
}

TEST_F(Vunzip, NamesOutsideTheDestinationAreRefused) {
  zipbuild::Archive a;
  a.Entries = {Item("../escaped.txt", "out\n"), Item("inside.txt", "in\n")};
  WriteArchive("evil.zip", a);
  TScriptedConsole console;
  EXPECT_EQ(Run({{"-d", "$TMP/out", "$TMP/evil.zip"}}, console), 1);
  EXPECT_NE(console.ErrText.find("Native error: 00019"), std::string::npos) << console.ErrText;
  EXPECT_FALSE(fs::exists(TmpPath("escaped.txt")));
  EXPECT_EQ(Content("out/inside.txt"), "in\n");
}

TEST_F(Vunzip, UnicodeNamesAndJunkedFolders) {
  zipbuild::Archive a;
  a.Entries = {Item("Grüße/日本語.txt", "unicode\n"), Item("plain/a.txt", "a\n")};
  for (auto& e : a.Entries) e.Flags = 0x0800;  // names in UTF-8
  WriteArchive("unicode.zip", a);
  Run({{"-1", "$TMP/unicode.zip"}});
  Run({{"-d", "$TMP/Ziel ü", "$TMP/unicode.zip"}});
  Run({{"-j", "-d", "$TMP/flat", "$TMP/unicode.zip", "*.txt"}});
  ExpectGolden("unicode");
  EXPECT_EQ(Content("Ziel ü/Grüße/日本語.txt"), "unicode\n");
  EXPECT_EQ(Content("flat/日本語.txt"), "unicode\n");
  EXPECT_EQ(Content("flat/a.txt"), "a\n");
  EXPECT_FALSE(fs::exists(TmpPath("flat/Grüße")));
}

TEST_F(Vunzip, ProgressBarOnlyOnATerminalAndOnlyForLongRuns) {
  const auto run = [&](bool ErrTerminal, std::chrono::milliseconds Tick, std::vector<std::string> Args) {
    TScriptedConsole console;
    console.StderrTerminal = ErrTerminal;
    console.Tick = Tick;
    Args.insert(Args.end(), {"-o", "-d", "$TMP/out", "extract/infozip.zip"});
    EXPECT_EQ(Run({Args}, console), 0);
    return console.ErrText;
  };
  const std::string slow = run(true, std::chrono::milliseconds(300), {});
  EXPECT_NE(slow.find("] 100%  "), std::string::npos) << slow;
  EXPECT_NE(slow.find("bin/random.bin"), std::string::npos) << slow;
  EXPECT_EQ(slow.substr(slow.size() - 61), "\r" + std::string(59, ' ') + "\r");  // cleared at the end
  EXPECT_EQ(run(true, std::chrono::milliseconds(0), {}), "");  // a quick run shows nothing
  EXPECT_EQ(run(false, std::chrono::milliseconds(300), {}), "");
  EXPECT_EQ(run(true, std::chrono::milliseconds(300), {"-q"}), "");
}

TEST(VunzipOptions, UnzipStyleCommandLines) {
  struct TCase {
    std::vector<std::string> Args;
    bool Ok;
    TVunzipMode Mode;
    std::vector<std::string> Masks, Exclusions;
    std::string Dir, Password;
  };
  using M = TVunzipMode;
  const TCase cases[] = {
      {{"a.zip"}, true, M::Extract, {}, {}, "", ""},
      {{"-qojd", "out", "a.zip", "x*"}, true, M::Extract, {"x*"}, {}, "out", ""},
      {{"a.zip", "-dout", "-Psecret"}, true, M::Extract, {}, {}, "out", "secret"},
      {{"-lv", "a.zip"}, true, M::Verbose, {}, {}, "", ""},
      {{"a.zip", "m1", "-x", "e1", "e2", "-q", "m2", "-x", "e3"}, true, M::Extract, {"m1", "m2"}, {"e1", "e2", "e3"}, "", ""},
      {{"--", "-l.zip", "-x"}, true, M::Extract, {"-x"}, {}, "", ""},
      {{"-1z", "a.zip"}, false, M::Extract, {}, {}, "", ""},
      {{"-xa", "a.zip"}, false, M::Extract, {}, {}, "", ""},
      {{"-P"}, false, M::Extract, {}, {}, "", ""},
      {{"--list", "a.zip"}, false, M::Extract, {}, {}, "", ""},
  };
  for (const TCase& c : cases) {
    std::vector<String> args;
    for (const auto& a : c.Args) args.push_back(Utf8ToString(a));
    TVunzipOptions o;
    std::string error;
    const std::string shown = c.Args.front() + " ...";
    ASSERT_EQ(ParseArguments(args, o, error), c.Ok) << shown << ": " << error;
    if (!c.Ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(o.Mode, c.Mode) << shown;
    std::vector<std::string> masks, exclusions;
    for (const auto& m : o.Masks) masks.push_back(StringToUtf8(m));
    for (const auto& m : o.Exclusions) exclusions.push_back(StringToUtf8(m));
    EXPECT_EQ(masks, c.Masks) << shown;
    EXPECT_EQ(exclusions, c.Exclusions) << shown;
    EXPECT_EQ(StringToUtf8(o.Dir), c.Dir) << shown;
    EXPECT_EQ(o.Password ? StringToUtf8(*o.Password) : "", c.Password) << shown;
  }
}

}  // namespace
