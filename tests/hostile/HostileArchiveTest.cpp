// Archives made to hurt the reader. Each case ends in its error or in a
// correct extraction, never in a crash, a write outside the base folder or
// unbounded memory (CTest runs this suite under an address-space limit and
// again under the sanitizers).
#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "TestSupport.h"
#include "ZAExcept.h"
#include "ZipArchiver.h"
#include "ZipBuilder.h"

namespace {

using namespace testing_support;
using zipbuild::Bytes;
using zipbuild::ToBytes;

zipbuild::Entry File(const std::string& name, const std::string& content, uint16_t method = 0) {
  return {.Name = name, .Content = ToBytes(content), .Method = method};
}

struct TOutcome {
  int OpenError = -1;           // native code of a failed open
  std::string Thrown;           // anything else that left ExtractFiles
  std::vector<int> Failures;    // native codes of failed items
  int ProgressEvents = 0;
};

class Hostile : public ::testing::Test {
 protected:
  TOutcome Extract(const Bytes& archive, bool openCorrupted = true) {
    WriteAll(FDir.Path() / "hostile.zip", archive);
    fs::create_directories(FDir.Path() / "out");
    TOutcome outcome;
    TZipArchiver a(nullptr);
    a.SetFileName(FDir / "hostile.zip");
    a.SetOpenCorruptedArchives(openCorrupted);
    a.SetBaseDir(FDir / "out");
    a.OnProcessFileFailure = [&](TZABaseArchiver*, const String&, TZAProcessOperation, int native, int,
                                 const String&, TZAAction& action) {
      outcome.Failures.push_back(native);
      action = fxaIgnore;
    };
    a.OnFileProgress = [&](TZABaseArchiver*, const String&, double, TZAProcessOperation,
                           TZAProgressPhase phase, bool&) { outcome.ProgressEvents += phase == ppProcess; };
    try {
      a.OpenArchive(64);
    } catch (const EZAException& e) {
      outcome.OpenError = e.NativeError;
      return outcome;
    } catch (const std::exception& e) {
      outcome.Thrown = e.what();
      return outcome;
    }
    try {
      a.ExtractFiles(u"*.*", 10431, u"");
    } catch (const std::exception& e) {
      outcome.Thrown = e.what();
    }
    return outcome;
  }

  // Every file below the scratch folder but the archive, relative to "out".
  std::set<std::string> Written() const {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(FDir.Path()))
      if (e.is_regular_file() && e.path().filename() != "hostile.zip")
        files.insert(fs::relative(e.path(), FDir.Path() / "out").generic_string());
    return files;
  }
  std::string Content(const std::string& name) const {
    const Bytes bytes = ReadAll(FDir.Path() / "out" / name);
    return std::string(bytes.begin(), bytes.end());
  }

  TScratchDir FDir;
};

TEST_F(Hostile, CountsBeyondTheStreamFallBackToTheScan) {
  zipbuild::Archive archive;
  archive.Entries = {File("a.txt", "alpha"), File("b.txt", "beta", 8)};
  archive.EntriesTotal = archive.EntriesOnDisk = 60000;
  TOutcome outcome = Extract(archive.Build());
  EXPECT_TRUE(outcome.Failures.empty());
  EXPECT_EQ(Written(), (std::set<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(Content("b.txt"), "beta");

  zipbuild::Archive wide;
  wide.Entries = {File("c.txt", "gamma")};
  wide.Zip64 = true;
  wide.Zip64EntriesTotal = 0xFFFFFFFFull;
  wide.Zip64DirSize = 0x7FFFFFFFFFFFFFFFull;
  outcome = Extract(wide.Build());
  EXPECT_TRUE(outcome.Failures.empty());
  EXPECT_EQ(Content("c.txt"), "gamma");

  // Strict: the read error, not an allocation.
  EXPECT_EQ(Extract(wide.Build(), false).Thrown, "Stream read error");
}

TEST_F(Hostile, OffsetsAndSizesPastTheEnd) {
  // Data that would run into the directory and past the end: cut where the
  // directory starts, so the item fails its size check.
  zipbuild::Archive archive;
  archive.Entries = {File("huge.txt", "huge"), File("ok.txt", "fine")};
  archive.Entries[0].CompSize = 0x7FFFFFF0;
  archive.Entries[0].UncompSize = 0x7FFFFFF0;
  TOutcome outcome = Extract(archive.Build());
  EXPECT_EQ(outcome.Thrown, "");
  EXPECT_EQ(outcome.Failures, std::vector<int>{8});
  EXPECT_EQ(Written(), std::set<std::string>{"ok.txt"});
  EXPECT_EQ(Content("ok.txt"), "fine");

  // A local header past the end cannot be read: the stream's read error ends the batch.
  archive.Entries = {File("far.txt", "far"), File("ok.txt", "fine")};
  archive.Entries[0].RelOffset = 0x7FFFFFF0;
  outcome = Extract(archive.Build());
  EXPECT_EQ(outcome.Thrown, "Stream read error");
  EXPECT_EQ(Written(), std::set<std::string>{"ok.txt"});  // from the first run
}

TEST_F(Hostile, CommentLengthsThatLie) {
  zipbuild::Archive archive;
  archive.Entries = {File("a.txt", "alpha")};
  archive.Comment = "ten bytes!";
  archive.CommentLength = 1000;
  EXPECT_EQ(Extract(archive.Build(), false).OpenError, 48);
  const TOutcome outcome = Extract(archive.Build());  // found again by the scan
  EXPECT_TRUE(outcome.Failures.empty());
  EXPECT_EQ(Content("a.txt"), "alpha");
}

TEST_F(Hostile, Zip64LocatorPointingAnywhere) {
  for (int64_t where : {int64_t(-1), int64_t(0), int64_t(7), int64_t(1) << 62}) {
    zipbuild::Archive archive;
    archive.Entries = {File("a.txt", "alpha")};
    archive.Zip64 = true;
    archive.LocatorOffset = where;
    EXPECT_EQ(Extract(archive.Build()).OpenError, 40) << where;
  }
}

TEST_F(Hostile, ExtraBlocksThatClaimTooMuch) {
  Bytes huge;
  zipbuild::Put32(huge, 0x5843554E);
  zipbuild::Put32(huge, 0x7FFFFFFF);  // a name of two thousand million code units
  for (char16_t c : std::u16string_view(u"big.txt")) zipbuild::Put16(huge, c);
  zipbuild::Archive archive;
  archive.Entries = {File("x.txt", "claims"), File("stored.txt", "unicode")};
  archive.Entries[0].CentralExtra = zipbuild::ExtraBlock(0x0001, Bytes(3, 0xFF), 0xFFFF);
  archive.Entries[0].UncompSize = 0xFFFFFFFF;
  archive.Entries[1].CentralExtra = zipbuild::ExtraBlock(0x554E, huge);
  const TOutcome outcome = Extract(archive.Build());
  // The short ZIP64 block gives a size the data do not have: that item fails.
  EXPECT_EQ(outcome.Failures, std::vector<int>{8});
  // The name block's count runs far past its bytes: the name is what is there.
  EXPECT_EQ(Written(), std::set<std::string>{"big.txt"});
  EXPECT_EQ(Content("big.txt"), "unicode");
}

TEST_F(Hostile, OverlappingEntriesShareTheirData) {
  zipbuild::Archive archive;
  archive.Entries = {File("one.txt", "shared bytes", 8), File("two.txt", "shared bytes", 8)};
  archive.Build();
  archive.Entries[1].RelOffset = static_cast<uint32_t>(archive.LocalOffsets[0]);
  const TOutcome outcome = Extract(archive.Build());
  EXPECT_TRUE(outcome.Failures.empty());
  EXPECT_EQ(Content("one.txt"), "shared bytes");
  EXPECT_EQ(Content("two.txt"), "shared bytes");
}

TEST_F(Hostile, DeflateDataExpandingFarBeyondItsSize) {
  const Bytes zeros(16 << 20, 0);  // 16 MiB that deflate to about 16 KiB
  zipbuild::Archive archive;
  archive.Entries = {{.Name = "bomb.bin", .Method = 8, .Packed = zipbuild::Deflate(zeros, 9),
                      .Crc = zipbuild::Crc32(Bytes(1000, 0)), .UncompSize = 1000}};
  const TOutcome outcome = Extract(archive.Build());
  EXPECT_EQ(outcome.Failures, std::vector<int>{8});
  EXPECT_TRUE(Written().empty());
  // Decoding stopped at the first chunk past the declared size, not after 16 of them.
  EXPECT_LE(outcome.ProgressEvents, 4);
}

TEST_F(Hostile, NamesLeavingTheBaseFolderAreRefused) {
  zipbuild::Archive archive;
  archive.Entries = {File("../up.txt", "1"), File("a/../../up2.txt", "2"), File("/abs.txt", "3"),
                     File("C:/drive.txt", "4"), File("\\\\server\\share\\unc.txt", "5"),
                     File("..\\back.txt", "6"), File("inside/ok.txt", "7")};
  const TOutcome outcome = Extract(archive.Build());
  EXPECT_EQ(outcome.Thrown, "");
  for (int code : outcome.Failures) EXPECT_EQ(code, 19);
#ifdef _WIN32
  EXPECT_EQ(outcome.Failures.size(), 6u);
  EXPECT_EQ(Written(), std::set<std::string>{"inside/ok.txt"});
#else
  // Backslashes and colons are plain characters here: those names stay inside.
  EXPECT_EQ(outcome.Failures.size(), 3u);
  EXPECT_EQ(Written(), (std::set<std::string>{"inside/ok.txt", "C:/drive.txt", "..\\back.txt",
                                              "\\\\server\\share\\unc.txt"}));
#endif
}

TEST_F(Hostile, AFakeEndRecordInsideTheLongestComment) {
  Bytes fake = {0x50, 0x4B, 0x05, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::string comment(65535 - fake.size(), 'c');
  comment.append(fake.begin(), fake.end());
  zipbuild::Archive archive;
  archive.Entries = {File("real.txt", "real")};
  archive.Comment = comment;
  // The plausible record nearest the end wins: an empty directory.
  const TOutcome outcome = Extract(archive.Build());
  EXPECT_EQ(outcome.OpenError, -1);
  EXPECT_TRUE(outcome.Failures.empty());
  EXPECT_TRUE(Written().empty());
}

}  // namespace
