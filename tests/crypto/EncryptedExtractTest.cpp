// Encrypted entries through the whole extraction: peer-made archives, the
// password loop with the built-in window and with a handler, skipped and
// damaged entries, and entries larger than one decoding chunk.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "AESCryptoTransform.h"
#include "Dialogs.h"
#include "RawEntry.h"
#include "ZAClassicCrypt.h"
#include "ZAStrFunc.h"
#include "extract/ExtractSupport.h"

namespace {

using namespace extract_support;

const AnsiString Right = "Pa55 word";

struct TTreeFile {
  std::string Path;
  int64_t Size;
  uint32_t Crc;
};

std::vector<TTreeFile> CryptTree() {
  std::ifstream in("crypt/tree.manifest");
  std::vector<TTreeFile> files;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream f(line);
    TTreeFile t;
    std::getline(f, t.Path, '\t');
    f >> t.Size >> std::hex >> t.Crc;
    files.push_back(t);
  }
  return files;
}

class EncryptedExtract : public ::testing::Test {
 protected:
  // Extracts a fixture (or Bytes, when given) into a folder of its own;
  // failures are recorded and ignored.
  void Run(const std::string& Archive, const Bytes& Damaged = {}) {
    String name = U("crypt/" + Archive);
    if (!Damaged.empty()) {
      WriteAll(Dir.Path() / Archive, Damaged);
      name = Dir / Archive;
    }
    Out = Dir.Path() / ("out" + std::to_string(++Runs));
    Arc = std::make_unique<TTestArchiver>(nullptr);
    Arc->SetFileName(name);
    Arc->OpenArchive(64);
    Arc->SetBaseDir(ToStr(Out));
    Arc->SetPassword(Password);
    if (Handler) Arc->OnPassword = Handler;
    Arc->OnProcessFileFailure = [this](TZABaseArchiver*, const String& Name, TZAProcessOperation, int Native, int,
                                       const String&, TZAAction& Action) {
      Failures.push_back(A(Name) + " " + std::to_string(Native));
      Action = fxaIgnore;
    };
    Arc->ExtractFiles(u"*.*", 10431, u"");
  }

  // The tree's files that were extracted intact; a file that is there but
  // differs fails the test.
  std::vector<std::string> Extracted() const {
    std::vector<std::string> found;
    for (const auto& f : CryptTree()) {
      const fs::path p = Out / fs::path(f.Path);
      if (!fs::exists(p)) continue;
      const Bytes data = ReadAll(p);
      EXPECT_EQ(int64_t(data.size()), f.Size) << f.Path;
      EXPECT_EQ(zipbuild::Crc32(data), f.Crc) << f.Path;
      found.push_back(f.Path);
    }
    size_t files = 0;
    for (auto& e : fs::recursive_directory_iterator(Out))
      if (e.is_regular_file()) ++files;
    EXPECT_EQ(files, found.size()) << "no other files, no temporary ones";
    return found;
  }

  const std::vector<std::string> All = {"hello.txt", "docs/numbers.txt", "docs/random.bin"};
  TScratchDir Dir;
  TScriptedDialogs Dialogs;
  AnsiString Password;
  TZAOnPasswordEvent Handler;
  std::unique_ptr<TTestArchiver> Arc;
  fs::path Out;
  int Runs = 0;
  std::vector<std::string> Failures;
};

// Info-ZIP and bsdtar check the classic header against the time, 7-Zip
// against the CRC; 7-Zip's AES entries store no CRC, bsdtar's do.
const char* const PeerArchives[] = {
    "infozip-classic.zip", "bsdtar-classic.zip", "7zz-zipcrypto.zip", "7zz-aes128.zip",
    "7zz-aes192.zip",      "7zz-aes256.zip",     "bsdtar-aes256.zip",
};

TEST_F(EncryptedExtract, PeerArchivesGiveTheirTreeWithThePassword) {
  for (const char* archive : PeerArchives) {
    SCOPED_TRACE(archive);
    Password = Right;
    Run(archive);
    EXPECT_EQ(Extracted(), All);
    EXPECT_TRUE(Failures.empty());
  }
  EXPECT_TRUE(Dialogs.Provider->Shown.empty());
}

// Wrong passwords prompt again, without limit and without an error; the one
// accepted stays and opens the later entries without a prompt.
TEST_F(EncryptedExtract, WindowAsksAgainUntilThePasswordFits) {
  const struct {
    const char* Archive;
    const char* FirstEncrypted;
  } cases[] = {
      {"infozip-classic.zip", "hello.txt"},
      {"7zz-zipcrypto.zip", "docs/numbers.txt"},
      {"7zz-aes128.zip", "docs/numbers.txt"},
      {"bsdtar-aes256.zip", "./hello.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Archive);
    auto& shown = Dialogs.Provider->Shown;
    shown.clear();
    Dialogs.Provider->Passwords = {String(u"still wrong"), String(u"pa55 word"), String(u"Pa55 word")};
    Password = "wrong";
    Run(c.Archive);
    EXPECT_EQ(Extracted(), All);
    EXPECT_TRUE(Failures.empty());
    ASSERT_EQ(shown.size(), 3u);
    for (const auto& s : shown) {
      EXPECT_EQ(s.kind, TScriptedDialogProvider::TShown::Password);
      EXPECT_TRUE(s.Caption == u"Password for \"" + ToPlatformDelimiters(U(c.FirstEncrypted)) + u"\"");
      EXPECT_TRUE(s.Text == u"Enter password: ");
    }
    EXPECT_EQ(Arc->Password(), Right);
  }
}

TEST_F(EncryptedExtract, CancelSkipsTheEntryWithoutAnErrorAndLeavesNoFile) {
  for (const char* archive : {"infozip-classic.zip", "7zz-aes256.zip"}) {
    SCOPED_TRACE(archive);
    Dialogs.Provider->Shown.clear();
    // The first encrypted entry is cancelled; the next one asks again.
    Dialogs.Provider->Passwords = {std::nullopt, String(u"Pa55 word")};
    Password = "";
    Run(archive);
    const std::string skipped = std::string(archive) == "infozip-classic.zip" ? "hello.txt" : "docs/numbers.txt";
    std::vector<std::string> rest;
    for (const auto& f : All)
      if (f != skipped) rest.push_back(f);
    EXPECT_EQ(Extracted(), rest);
    EXPECT_TRUE(Failures.empty());
    EXPECT_EQ(Dialogs.Provider->Shown.size(), 2u);
  }
}

// A handler sees the current password and SkipFile false, and is asked again
// for as long as it neither fits nor skips.
TEST_F(EncryptedExtract, HandlerIsAskedUntilItFitsOrSkips) {
  const struct {
    const char* Archive;
    AnsiString Start;
    std::vector<AnsiString> Answers;  // then SkipFile for every further call
    size_t Calls;
    std::vector<std::string> Files;
  } cases[] = {
      // An empty password never opens a classic entry, even when answered.
      {"infozip-classic.zip", "", {"", "", "Pa55 word"}, 3, All},
      {"bsdtar-classic.zip", "", {}, 3, {}},
      {"7zz-aes192.zip", "", {"x", "Pa55 word"}, 2, All},
      {"7zz-aes256.zip", "wrong", std::vector<AnsiString>(40, "wrong"), 43, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Archive);
    size_t calls = 0;
    AnsiString current = c.Start;
    Handler = [&](TZABaseArchiver* Sender, const String& FileName, AnsiString& NewPassword, bool& SkipFile) {
      EXPECT_EQ(Sender, Arc.get());
      EXPECT_TRUE(FileName == ToPlatformDelimiters(FileName));
      EXPECT_EQ(NewPassword, current);
      EXPECT_FALSE(SkipFile);
      if (calls < c.Answers.size())
        current = NewPassword = c.Answers[calls];
      else
        SkipFile = true;
      ++calls;
    };
    Password = c.Start;
    Run(c.Archive);
    EXPECT_EQ(calls, c.Calls);
    EXPECT_EQ(Extracted(), c.Files);
    EXPECT_TRUE(Failures.empty());
  }
  EXPECT_TRUE(Dialogs.Provider->Shown.empty());
}

// A changed data byte fails a classic entry by its CRC and an AES entry by
// its authentication code, as does a changed code byte. An AES entry's CRC
// decides nothing.
TEST_F(EncryptedExtract, DamagedEntriesFailWithNativeCode8) {
  enum TWhere { DataByte, LastByte, CentralCrc };
  const struct {
    const char* Archive;
    const char* Entry;
    TWhere Where;
    bool Fails;
  } cases[] = {
      {"infozip-classic.zip", "docs/numbers.txt", DataByte, true},
      {"7zz-zipcrypto.zip", "hello.txt", DataByte, true},
      {"7zz-zipcrypto.zip", "docs/random.bin", CentralCrc, true},
      {"7zz-aes256.zip", "hello.txt", DataByte, true},
      {"7zz-aes256.zip", "docs/random.bin", LastByte, true},
      {"7zz-aes128.zip", "docs/numbers.txt", LastByte, true},
      {"bsdtar-aes256.zip", "./docs/random.bin", DataByte, true},
      {"bsdtar-aes256.zip", "./hello.txt", CentralCrc, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Archive << " " << c.Entry << " " << c.Where);
    Bytes zip = Fixture(std::string("crypt/") + c.Archive);
    const crypto_test::TRawEntry e = crypto_test::FindRawEntry(zip, c.Entry);
    switch (c.Where) {
      case DataByte: zip[e.DataOffset + 20] ^= 0x01; break;  // past every header
      case LastByte: zip[e.DataOffset + e.CompSize - 1] ^= 0x80; break;
      case CentralCrc: zip[e.CentralOffset + 16] ^= 0x01; break;
    }
    Failures.clear();
    Password = Right;
    Run(c.Archive, zip);
    std::string entry = c.Entry;
    if (entry.rfind("./", 0) == 0) entry.erase(0, 2);
    std::vector<std::string> expected;
    for (const auto& f : All)
      if (!c.Fails || f != entry) expected.push_back(f);
    EXPECT_EQ(Extracted(), expected);
    if (c.Fails)
      EXPECT_EQ(Failures, std::vector<std::string>{A(ToPlatformDelimiters(U(c.Entry))) + " 8"});
    else
      EXPECT_TRUE(Failures.empty());
  }
}

// ---- Entries larger than one decoding chunk --------------------------------

Bytes AesExtraBlock(uint8_t Strength, uint16_t Method) {
  return zipbuild::ExtraBlock(0x9901, {2, 0, 'A', 'E', Strength, uint8_t(Method), uint8_t(Method >> 8)});
}

// Written with the transform's own writing slots; reading them back is
// checked against peer archives above, so this is about the chunk loop.
zipbuild::Entry AesEntry(const std::string& Name, const Bytes& Content, const AnsiString& Key) {
  TAESCryptoTransform writer(256, 2, 0);
  writer.GenerateKey(Key);
  Bytes packed = writer.GetFileStorageStartBlock();
  Bytes data = Content;
  writer.EncryptBuffer(data.data(), 0, int32_t(data.size()), data.data(), 0);
  packed.insert(packed.end(), data.begin(), data.end());
  const Bytes code = writer.GetFileStorageEndBlock();
  packed.insert(packed.end(), code.begin(), code.end());
  zipbuild::Entry e;
  e.Name = Name;
  e.Content = Content;
  e.Method = 99;
  e.Packed = packed;
  e.Flags = 1;
  e.Version = 51;
  e.Crc = 0;
  e.LocalExtra = e.CentralExtra = AesExtraBlock(3, 0);
  return e;
}

zipbuild::Entry ClassicEntry(const std::string& Name, const Bytes& Content, const AnsiString& Key) {
  Bytes packed(ClassicHeaderSize, 0x33);
  packed.back() = uint8_t(zipbuild::Crc32(Content) >> 24);
  const Bytes deflated = zipbuild::Deflate(Content);
  packed.insert(packed.end(), deflated.begin(), deflated.end());
  TZAClassicKeys keys;
  ClassicInitKeys(Key, keys);
  ClassicEncryptBuffer(packed.data(), int64_t(packed.size()), keys);
  zipbuild::Entry e;
  e.Name = Name;
  e.Content = Content;
  e.Method = 8;
  e.Packed = packed;
  e.Flags = 1;
  return e;
}

TEST_F(EncryptedExtract, EntriesLargerThanAChunkDecryptWhole) {
  const Bytes content = Pattern(2'500'000, 3);  // does not compress: three chunks
  zipbuild::Archive a;
  a.Entries = {AesEntry("aes.bin", content, ""), ClassicEntry("classic.bin", content, Right)};
  TTestArchiver arc(nullptr);
  OpenBuilt(arc, Dir, a);
  // The empty password is a password like any other for AES.
  for (int item : {0, 1}) {
    SCOPED_TRACE(item);
    arc.SetPassword(item == 0 ? "" : Right);
    TMemoryStream out;
    EXPECT_EQ(NativeErrorOf([&] { arc.DecodeItem(item, out); }), -1);
    EXPECT_TRUE(out.Bytes() == content);
  }
  EXPECT_TRUE(Dialogs.Provider->Shown.empty());
}

}  // namespace
