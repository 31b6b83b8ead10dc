#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Dialogs.h"
#include "TestSupport.h"
#include "ZADirManager.h"
#include "ZAExcept.h"
#include "ZipArchiver.h"
#include "ZipBuilder.h"

namespace {

using namespace testing_support;
using zipbuild::Bytes;
using zipbuild::ToBytes;

// Opens archives and exposes the loaded directory.
class TProbeArchiver : public TZipArchiver {
 public:
  using TZipArchiver::TZipArchiver;
  TZADirManager& Dir() { return *DMHandle; }
  const TDirItem& Item(int i) { return DMHandle->CDir.ItemPtr(i); }
  int Count() { return DMHandle->CDir.Count(); }
  uint16_t OpenMode() const { return FileOpenMode; }
};

String Utf16(const std::string& s) { return String(s.begin(), s.end()); }

struct TManifestLine {
  std::string Name;
  int64_t Packed, Size;
  uint32_t Crc;
  int64_t Offset;
  uint32_t Attr;
};

std::vector<TManifestLine> Manifest(const std::string& path) {
  std::ifstream in(path);
  std::vector<TManifestLine> lines;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    TManifestLine m;
    std::getline(fields, m.Name, '\t');
    fields >> m.Packed >> m.Size >> std::hex >> m.Crc >> std::dec >> m.Offset >> std::hex >> m.Attr;
    lines.push_back(m);
  }
  return lines;
}

int64_t LocalOffset(const TDirItem& item) {
  return item.CentralDir.relOffsetLH == 0xFFFFFFFF ? item.Zip64ExtInfo.relOffsetLH
                                                   : item.CentralDir.relOffsetLH;
}

TEST(LoadDir, ArchivesOfPeerToolsMatchWhatAPeerReaderSees) {
  for (const char* fixture :
       {"open/appended.zip", "open/sfx-adjusted.exe", "open/sfx-unadjusted.exe", "open/7zz.zip"}) {
    SCOPED_TRACE(fixture);
    const auto expected = Manifest(std::string(fixture) + ".manifest");
    ASSERT_FALSE(expected.empty());
    TProbeArchiver a(nullptr);
    a.SetFileName(Utf16(fixture));
    a.OpenArchive(64);
    EXPECT_EQ(a.SpanningMode(), smNone);
    ASSERT_EQ(a.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < a.Count(); ++i) {
      const TDirItem& item = a.Item(i);
      EXPECT_EQ(item.Name, Utf16(expected[i].Name));
      EXPECT_EQ(Val(item.CentralDir.compSize), expected[i].Packed);
      EXPECT_EQ(Val(item.CentralDir.unCompSize), expected[i].Size);
      EXPECT_EQ(Val(item.CentralDir.crc32), expected[i].Crc);
      // Folders keep the offset stored when the stub is added to the others.
      const bool unadjustedFolder = std::string(fixture) == "open/sfx-unadjusted.exe" &&
                                    (item.CentralDir.externalAttr & 0x10);
      EXPECT_EQ(LocalOffset(item), expected[i].Offset - (unadjustedFolder ? 1000 : 0));
      EXPECT_EQ(Val(item.CentralDir.externalAttr), expected[i].Attr);
    }
  }
}

TEST(LoadDir, StubAndCommentOfSelfExtractors) {
  TProbeArchiver adjusted(nullptr);
  adjusted.SetFileName(u"open/sfx-adjusted.exe");
  adjusted.OpenArchive(64);
  EXPECT_EQ(adjusted.Dir().StubSize, 1000);
  EXPECT_EQ(adjusted.Comment(), "fixture comment");

  TProbeArchiver appended(nullptr);
  appended.SetFileName(u"open/appended.zip");
  appended.OpenArchive(64);
  EXPECT_EQ(appended.Dir().StubSize, 0);
  EXPECT_EQ(appended.Comment(), "fixture comment");
}

TEST(LoadDir, Zip64EndRecordCarriesMoreThan65535Entries) {
  TProbeArchiver a(nullptr);
  a.SetFileName(u"open/zip64-many.zip");
  a.OpenArchive(64);
  EXPECT_TRUE(a.Dir().FZip64);
  ASSERT_EQ(a.Count(), 65546);
  EXPECT_EQ(a.Item(0).Name, u"e00000");
  EXPECT_EQ(a.Item(65545).Name, u"e65545");
  int32_t no = -1;
  EXPECT_TRUE(a.Dir().CDir.FileExists(u"E65535", no));
  EXPECT_EQ(no, 65535);
}

TEST(LoadDir, SplitSetsInBothNamings) {
  struct {
    const char16_t* Name;
    bool Advanced;
  } const sets[] = {{u"open/split.zip", false}, {u"open/named.zip", true}};
  for (const auto& set : sets) {
    TProbeArchiver a(nullptr);
    a.SetFileName(set.Name);
    a.OpenArchive(64);
    EXPECT_EQ(a.SpanningMode(), smSplitting);
    EXPECT_EQ(a.SpanningOptions().AdvancedNaming(), set.Advanced);
    ASSERT_EQ(a.Count(), 2);
    EXPECT_EQ(a.Item(0).Name, u"random.bin");
    EXPECT_EQ(Val(a.Item(0).CentralDir.unCompSize), 200000u);
    EXPECT_EQ(a.Item(1).Name, u"hello.txt");
    EXPECT_EQ(Val(a.Item(1).CentralDir.crc32), 0xF4247453u);
  }
}

TEST(LoadDir, DamagedArchivesComeBackThroughTheScan) {
  const auto expected = Manifest("open/appended.zip.manifest");  // the same entries
  for (const char* fixture : {"open/truncated-directory.zip", "open/wiped-end.zip"}) {
    SCOPED_TRACE(fixture);
    TProbeArchiver a(nullptr);
    a.SetFileName(Utf16(fixture));
    a.OpenArchive(64);
    ASSERT_EQ(a.Count(), 3);
    EXPECT_EQ(a.Dir().CentralDirOffset, a.Size());
    EXPECT_EQ(a.Dir().StubSize, 0);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(a.Item(i).Name, Utf16(expected[i].Name));
      EXPECT_EQ(Val(a.Item(i).CentralDir.compSize), expected[i].Packed);
      EXPECT_EQ(Val(a.Item(i).CentralDir.crc32), expected[i].Crc);
      EXPECT_EQ(Val(a.Item(i).CentralDir.relOffsetLH), expected[i].Offset);
      // Zero-length entries without a descriptor are taken for folders.
      EXPECT_EQ(Val(a.Item(i).CentralDir.externalAttr), expected[i].Size == 0 ? 0x10u : 0x20u);
    }
    TProbeArchiver strict(nullptr);
    strict.SetFileName(Utf16(fixture));
    strict.SetOpenCorruptedArchives(false);
    EXPECT_ANY_THROW(strict.OpenArchive(64));
    EXPECT_FALSE(strict.Active());
  }
}

// ---- Built archives: the edges of loading ---------------------------------

class LoadBuilt : public ::testing::Test {
 protected:
  // Writes Bytes and opens them; the archiver stays open for the test.
  TProbeArchiver& Open(const Bytes& bytes, bool openCorrupted = true) {
    WriteAll(ToPath(FName), bytes);
    FArchiver = std::make_unique<TProbeArchiver>(nullptr);
    FArchiver->SetFileName(FName);
    FArchiver->SetOpenCorruptedArchives(openCorrupted);
    FArchiver->OpenArchive(64);
    return *FArchiver;
  }
  int OpenError(const Bytes& bytes, bool openCorrupted = true) {
    return NativeErrorOf([&] { Open(bytes, openCorrupted); });
  }

  TScratchDir FDir;
  String FName = FDir / "built.zip";
  std::unique_ptr<TProbeArchiver> FArchiver;
};

zipbuild::Entry File(const std::string& name, const std::string& content) {
  return {.Name = name, .Content = ToBytes(content)};
}

TEST_F(LoadBuilt, EmptyArchivesAndStubsBeforeThem) {
  zipbuild::Archive empty;
  EXPECT_EQ(Open(empty.Build()).Count(), 0);
  EXPECT_EQ(FArchiver->Dir().StubSize, 0);

  empty.Stub = Bytes(500, 'x');
  EXPECT_EQ(Open(empty.Build()).Dir().StubSize, 500);
}

TEST_F(LoadBuilt, StubOffsetsAreAppliedOnlyWhenTheyAreMissing) {
  zipbuild::Archive archive;
  archive.Stub = Bytes(1000, 'x');
  archive.Entries = {File("a.txt", "alpha"), {.Name = "dir/", .ExternalAttr = 0x10}, File("b.txt", "beta")};
  archive.OffsetsCountStub = false;
  TProbeArchiver& unadjusted = Open(archive.Build());
  EXPECT_EQ(unadjusted.Dir().StubSize, 1000);
  EXPECT_EQ(Val(unadjusted.Item(0).CentralDir.relOffsetLH), archive.LocalOffsets[0]);
  EXPECT_EQ(Val(unadjusted.Item(1).CentralDir.relOffsetLH), archive.LocalOffsets[1] - 1000);  // folders keep theirs
  EXPECT_EQ(Val(unadjusted.Item(2).CentralDir.relOffsetLH), archive.LocalOffsets[2]);

  archive.OffsetsCountStub = true;
  TProbeArchiver& adjusted = Open(archive.Build());
  EXPECT_EQ(adjusted.Dir().StubSize, 1000);
  EXPECT_EQ(Val(adjusted.Item(0).CentralDir.relOffsetLH), 1000u);
}

TEST_F(LoadBuilt, EndRecordSearch) {
  zipbuild::Archive archive;
  archive.Entries = {File("a.txt", "alpha")};

  // The longest comment, and bytes after it inside the window.
  archive.Comment = std::string(65535, 'c');
  EXPECT_EQ(Open(archive.Build()).Count(), 1);
  EXPECT_EQ(FArchiver->Comment().size(), 65535u);
  archive.Comment = "short";
  archive.Trailer = Bytes(40000, 't');
  EXPECT_EQ(Open(archive.Build()).Comment(), "short");

  // An end record beyond the window's reach is not found.
  archive.Comment = std::string(65535, 'c');
  archive.Trailer = Bytes(100, 't');
  EXPECT_EQ(OpenError(archive.Build(), false), 48);

  // A plausible end record inside the comment wins: it lies nearer the end.
  zipbuild::Archive fake;
  Bytes inner = {0x50, 0x4B, 0x05, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  archive.Comment = std::string(inner.begin(), inner.end());
  archive.Trailer.clear();
  EXPECT_EQ(Open(archive.Build()).Count(), 0);

  // An implausible one (a directory larger than what precedes it) is passed over.
  inner[12] = 0xFF;
  inner[13] = 0xFF;
  archive.Comment = std::string(inner.begin(), inner.end());
  EXPECT_EQ(Open(archive.Build()).Count(), 1);
}

TEST_F(LoadBuilt, NamesAreDecodedThroughTheOemStepThenUtf8Detection) {
  zipbuild::Archive archive;
  archive.Entries = {File("caf\x82.txt", "x"),                              // CP437 é
                     {.Name = "\xC3\xA9t\xC3\xA9.txt", .Flags = 0x0800},     // UTF-8, flagged
                     File("plain.txt", "y"),
                     {.Name = "stored.txt",
                      .CentralExtra = zipbuild::ExtraBlock(0x554E, [] {
                        Bytes d;
                        zipbuild::Put32(d, 0x5843554E);
                        zipbuild::Put32(d, 3);
                        for (char16_t c : u"\u4e2d.t") zipbuild::Put16(d, c);
                        return d;
                      }())}};
  TProbeArchiver& a = Open(archive.Build());
  EXPECT_EQ(a.Item(0).Name, u"caf\u00e9.txt");
  EXPECT_EQ(a.Item(1).Name, u"\u00e9t\u00e9.txt");
  EXPECT_EQ(a.Item(2).Name, u"plain.txt");
  EXPECT_EQ(a.Item(3).Name, u"\u4e2d.t");  // the Unicode block's name replaces the stored one
  int32_t no;
  EXPECT_FALSE(a.Dir().CDir.FileExists(u"stored.txt", no));

  // Without the OEM step an unflagged UTF-8 name is found by detection.
  archive.Entries = {File("\xC3\xA9t\xC3\xA9.txt", "x")};
  WriteAll(ToPath(FName), archive.Build());
  TProbeArchiver raw(nullptr);
  raw.Options().SetOEMFileNames(false);
  raw.SetFileName(FName);
  raw.OpenArchive(64);
  EXPECT_EQ(raw.Dir().CDir.ItemPtr(0).Name, u"\u00e9t\u00e9.txt");
}

TEST_F(LoadBuilt, ExtraBlocksSetSizesAndEncryption) {
  Bytes zip64;
  zipbuild::Put64(zip64, 0x100000000ULL);  // only the compressed size is escaped
  Bytes aes = {0x02, 0x00, 'A', 'E', 0x03, 0x08, 0x00};
  zipbuild::Archive archive;
  archive.Entries = {
      {.Name = "big", .CentralExtra = zipbuild::ExtraBlock(0x0001, zip64), .CompSize = 0xFFFFFFFF},
      {.Name = "aes", .Method = 99, .Packed = Bytes{1, 2, 3}, .Flags = 1, .Version = 51,
       .CentralExtra = zipbuild::ExtraBlock(0x9901, aes)},
      {.Name = "late", .Method = 99, .Packed = Bytes{1, 2, 3}, .Flags = 1, .Version = 0x4114,
       .CentralExtra = zipbuild::ExtraBlock(0x9901, aes)},
      {.Name = "short", .CentralExtra = zipbuild::ExtraBlock(0x1234, Bytes(10, 1), 100)}};
  TProbeArchiver& a = Open(archive.Build());
  EXPECT_TRUE(a.Item(0).bHugeFile);
  EXPECT_EQ(a.Item(0).Zip64ExtInfo.compSize, 0x100000000LL);
  EXPECT_EQ(a.Item(0).Zip64ExtInfo.uncompSize, 0);
  EXPECT_EQ(a.Item(1).ZAEncryptionAlgorithm, caAES_256);
  EXPECT_EQ(a.Item(1).CompressionMethod, 8);
  EXPECT_EQ(Val(a.Item(1).CentralDir.compMethod), 99);
  EXPECT_EQ(a.Item(2).ZAEncryptionAlgorithm, caPkzipClassic);  // not honoured from 0x4114 on
  EXPECT_EQ(a.Item(2).CompressionMethod, 99);
  ASSERT_EQ(a.Item(3).ExtraFields.size(), 1u);
  EXPECT_EQ(a.Item(3).ExtraFields[0].dataSize, 10);
}

TEST_F(LoadBuilt, ImpossibleCountsAreDamageNotAllocation) {
  zipbuild::Archive archive;
  archive.Entries = {File("a.txt", "alpha"), File("b.txt", "beta")};

  // A 16-bit count beyond what the directory holds: rebuilt from the local headers.
  archive.EntriesTotal = 60000;
  archive.EntriesOnDisk = 60000;
  EXPECT_EQ(Open(archive.Build()).Count(), 2);
  EXPECT_ANY_THROW(Open(archive.Build(), false));

  // A ZIP64 count of 2^32 - 1.
  archive = {};
  archive.Entries = {File("a.txt", "alpha")};
  archive.Zip64 = true;
  archive.Zip64EntriesTotal = 0xFFFFFFFF;
  EXPECT_EQ(Open(archive.Build()).Count(), 1);
  EXPECT_ANY_THROW(Open(archive.Build(), false));

  // 0xFFFF entries without ZIP64 records: always the scan.
  archive = {};
  archive.Entries = {File("a.txt", "alpha")};
  archive.EntriesTotal = 0xFFFF;
  archive.EntriesOnDisk = 0xFFFF;
  EXPECT_EQ(Open(archive.Build(), false).Count(), 1);
}

TEST_F(LoadBuilt, LoadingFailuresRaiseTheirCodes) {
  zipbuild::Archive archive;
  archive.Entries = {File("a.txt", "alpha")};

  // A locator whose ZIP64 end record is not where it points.
  archive.Zip64 = true;
  archive.LocatorOffset = 3;
  EXPECT_EQ(OpenError(archive.Build()), 40);
  archive.LocatorOffset = int64_t(1) << 40;
  EXPECT_EQ(OpenError(archive.Build()), 40);

  // Compressed sizes that add up past the stream.
  archive = {};
  archive.Entries = {File("a.txt", "alpha")};
  archive.Entries[0].CompSize = 0x7FFFFFFF;
  EXPECT_EQ(OpenError(archive.Build(), false), 57);
  EXPECT_EQ(Open(archive.Build()).Count(), 1);  // only checked for strict opens

  // A name running past the end of the stream.
  archive = {};
  archive.Entries = {File("a.txt", "alpha")};
  Bytes bytes = archive.Build();
  bytes[archive.DirectoryOffset + 28] = 0xFF;  // nameLength of the central record
  bytes[archive.DirectoryOffset + 29] = 0xFF;
  EXPECT_EQ(Open(bytes).Count(), 1);  // from the scan
  WriteAll(ToPath(FName), bytes);
  TProbeArchiver strict(nullptr);
  strict.SetFileName(FName);
  strict.SetOpenCorruptedArchives(false);
  EXPECT_THROW(strict.OpenArchive(64), EReadError);

  // Nothing but an end record whose count cannot be true, and no local header.
  archive = {};
  archive.EntriesTotal = 5;
  archive.EntriesOnDisk = 5;
  EXPECT_EQ(OpenError(archive.Build()), 35);
}

// set.exe without an end record of its own, and set.ZIP beside it.
void WriteExecutableBesideItsZip(const TScratchDir& dir) {
  zipbuild::Archive archive;
  archive.Entries = {File("a.txt", "alpha")};
  WriteAll(dir.Path() / "set.ZIP", archive.Build());
  WriteAll(dir.Path() / "set.exe", Bytes(3000, 'x'));
}

TEST(LoadDirVolumes, ExecutableWithoutEndRecordOpensTheZipBesideIt) {
  TScratchDir dir;
  WriteExecutableBesideItsZip(dir);
  TProbeArchiver a(nullptr);
  a.SetFileName(dir / "set.exe");
  a.OpenArchive(64);
  EXPECT_EQ(a.Count(), 1);
  EXPECT_EQ(a.SpanningMode(), smNone);
}

TEST(LoadDirVolumes, AVolumeRequestCancelledByTheHostEndsTheOpen) {
  TScratchDir dir;
  WriteExecutableBesideItsZip(dir);
  TProbeArchiver a(nullptr);
  a.SetFileName(dir / "set.exe");
  String offered;
  a.OnRequestLastVolume = [&](TZABaseArchiver*, String& name, bool& cancel) {
    offered = name;
    cancel = true;
  };
  EXPECT_EQ(NativeErrorOf([&] { a.OpenArchive(64); }), 45);
  EXPECT_EQ(offered, dir / "set.ZIP");
  EXPECT_FALSE(a.Active());
}

TEST(LoadDirVolumes, ASetIsNeverRebuiltFromLocalHeaders) {
  TScratchDir dir;
  for (const char* part : {"split.z01", "split.z02", "split.z03", "split.zip"})
    fs::copy_file(fs::path("open") / part, dir.Path() / part);
  // 0xFFFF entries without ZIP64 records always ask for the scan.
  Bytes last = ReadAll(dir.Path() / "split.zip");
  const size_t end = last.size() - 22;
  ASSERT_EQ(last[end], 0x50);
  last[end + 8] = last[end + 9] = last[end + 10] = last[end + 11] = 0xFF;
  WriteAll(dir.Path() / "split.zip", last);
  TProbeArchiver a(nullptr);
  a.SetFileName(dir / "split.zip");
  EXPECT_EQ(NativeErrorOf([&] { a.OpenArchive(64); }), 44);
}

TEST(LoadDirVolumes, VolumeNamesInBothNamings) {
  class TNames : public TZipArchiver {
   public:
    using TZipArchiver::TZipArchiver;
    String Volume(const String& name, int index) {
      String n = name;
      GetVolumeFileName(n, index, false);
      return n;
    }
  } a(nullptr);
  const String d(1, PathDelim);
  const String zip = u"p" + d + u"a.zip";
  a.SetSpanningMode(smSplitting);
  EXPECT_EQ(a.Volume(zip, 0), u"p" + d + u"a.Z01");
  EXPECT_EQ(a.Volume(zip, 11), u"p" + d + u"a.Z12");
  EXPECT_EQ(a.Volume(zip, -1), zip);
  EXPECT_EQ(a.Volume(u"a.exe", 0), u"a.exe");
  EXPECT_EQ(a.Volume(u"a.exe", -1), u"a.ZIP");
  a.SpanningOptions().SetAdvancedNaming(true);
  EXPECT_EQ(a.Volume(zip, 0), u"p" + d + u"a_001.zip");
  a.SetSpanningMode(smSpanning);
  EXPECT_EQ(a.Volume(zip, 4), u"p" + d + u"a_005.zip");
  a.SpanningOptions().SetAdvancedNaming(false);
  EXPECT_EQ(a.Volume(zip, 4), zip);
  a.SetSpanningMode(smNone);
  EXPECT_EQ(a.Volume(zip, 4), zip);
}

#ifdef _WIN32
// Only a Windows path can name a removable drive: the floppy letters count as
// one without asking the system.
TEST(LoadDirVolumes, DefaultLastDiskPromptGoesThroughTheDialogs) {
  TScriptedDialogs dialogs;
  TScriptedDialogProvider* prompts = dialogs.Provider;
  prompts->Answers = {mrCancel};
  TProbeArchiver a(nullptr);
  a.SetFileName(u"A:\\missing.zip");
  EXPECT_EQ(NativeErrorOf([&] { a.OpenArchive(64); }), 45);
  ASSERT_EQ(prompts->Shown.size(), 1u);
  EXPECT_EQ(prompts->Shown[0].Text, u"Please insert the last disk");
  EXPECT_EQ(prompts->Shown[0].Buttons, mbOK | mbCancel);
}
#endif

}  // namespace
