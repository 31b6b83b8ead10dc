#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "FileStream.h"
#include "FileSystem.h"
#include "TestSupport.h"
#include "ZipBuilder.h"
#include "ZAExcept.h"
#include "ZipArchiver.h"

namespace {

using namespace testing_support;

// Exposes the open mode the component chose.
class TProbeArchiver : public TZipArchiver {
 public:
  using TZipArchiver::TZipArchiver;
  uint16_t OpenMode() const { return FileOpenMode; }
};

const std::vector<uint8_t> kEmptyArchive = {0x50, 0x4B, 0x05, 0x06, 0, 0, 0, 0, 0, 0, 0,
                                            0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0};

TEST(ZipArchiver, ConstructionDefaults) {
  TZipArchiver a(nullptr);
  EXPECT_EQ(a.CompressionMethod(), 8);
  EXPECT_EQ(a.CompressionMode(), 1);
  EXPECT_EQ(a.CompressionLevel(), clFastest);
  EXPECT_EQ(a.Zip64Mode(), zmDisabled);
  EXPECT_EQ(a.EncryptionMethod(), caPkzipClassic);
  EXPECT_EQ(a.CurrentVersion(), u"6.00 ");
  a.SetCurrentVersion(u"9.99");
  EXPECT_EQ(a.CurrentVersion(), u"6.00 ");
  EXPECT_TRUE(a.OpenCorruptedArchives());
  EXPECT_FALSE(a.ExtractCorruptedFiles());
  EXPECT_FALSE(a.Active());
  EXPECT_FALSE(a.InUpdate());
  EXPECT_EQ(a.SpanningMode(), smNone);
  EXPECT_EQ(a.VolumeNumberInfo().VolumeNumber(), -1);
  EXPECT_EQ(a.VolumeNumberInfo().VolumeKind(), vnkUnknown);

  const TZAOptions& o = a.Options();
  EXPECT_EQ(o.StorePath(), spRelativePath);
  EXPECT_TRUE(o.Recurse());
  EXPECT_EQ(o.ShareMode(), smShareDenyNone);
  EXPECT_EQ(o.OverwriteMode(), omAlways);
  EXPECT_TRUE(o.CreateDirs());
  EXPECT_TRUE(o.ReplaceReadOnly());
  EXPECT_TRUE(o.SetAttributes());
  EXPECT_EQ(o.SearchAttr(), 10431);
  EXPECT_TRUE(o.FlushBuffers());
  EXPECT_TRUE(o.OEMFileNames());

  EXPECT_FALSE(a.SpanningOptions().AdvancedNaming());
  EXPECT_EQ(a.SpanningOptions().VolumeSize(), vsAutoDetect);
  EXPECT_EQ(a.SpanningOptions().CustomVolumeSize(), 0);
}

TEST(ZipArchiver, CompressionModeAndLevelFollowEachOther) {
  struct {
    uint8_t Mode;
    TZACompressionLevel Level;
    uint16_t Method;
  } const cases[] = {{0, clNone, 0},   {1, clFastest, 8}, {3, clFastest, 8}, {4, clNormal, 8},
                     {6, clNormal, 8}, {7, clMax, 8},     {9, clMax, 8}};
  TZipArchiver a(nullptr);
  for (const auto& c : cases) {
    a.SetCompressionMode(c.Mode);
    EXPECT_EQ(a.CompressionLevel(), c.Level) << int(c.Mode);
    EXPECT_EQ(a.CompressionMethod(), c.Method) << int(c.Mode);
  }
  a.SetCompressionLevel(clNormal);
  EXPECT_EQ(a.CompressionMode(), 6);
  a.SetCompressionLevel(clMax);
  EXPECT_EQ(a.CompressionMode(), 9);
  a.SetCompressionLevel(clNone);
  EXPECT_EQ(a.CompressionMode(), 0);
  EXPECT_EQ(a.CompressionMethod(), 0);

  a.SetCompressionMode(4);
  EXPECT_EQ(NativeErrorOf([&] { a.SetCompressionMode(10); }), 5);
  EXPECT_EQ(a.CompressionMode(), 4);
  EXPECT_EQ(a.CompressionLevel(), clNormal);
}

TEST(ZipArchiver, OptionsAssignCopiesEverySetting) {
  TZAOptions source;
  source.SetStorePath(spFullPathWithDrive);
  source.SetRecurse(false);
  source.SetShareMode(smShareExclusive);
  source.SetOverwriteMode(omIfOlder);
  source.SetCreateDirs(false);
  source.SetReplaceReadOnly(false);
  source.SetSetAttributes(false);
  source.SetSearchAttr(16);
  source.SetFlushBuffers(false);
  source.SetOEMFileNames(false);
  TZipArchiver a(nullptr);
  a.SetOptions(source);
  const TZAOptions& o = a.Options();
  EXPECT_EQ(o.StorePath(), spFullPathWithDrive);
  EXPECT_FALSE(o.Recurse());
  EXPECT_EQ(o.ShareMode(), smShareExclusive);
  EXPECT_EQ(o.OverwriteMode(), omIfOlder);
  EXPECT_FALSE(o.CreateDirs());
  EXPECT_FALSE(o.ReplaceReadOnly());
  EXPECT_FALSE(o.SetAttributes());
  EXPECT_EQ(o.SearchAttr(), 16);
  EXPECT_FALSE(o.FlushBuffers());
  EXPECT_FALSE(o.OEMFileNames());
  EXPECT_THROW(a.Options().Assign(a.SpanningOptions()), EConvertError);
}

TEST(ZipArchiver, OpeningAMissingFileCreatesAnEmptyArchive) {
  TScratchDir dir;
  const String name = dir / "new.zip";
  int afterOpen = 0;
  {
    TProbeArchiver a(nullptr);
    a.AfterOpen = [&](TZABaseArchiver*) { ++afterOpen; };
    a.SetFileName(name);
    a.OpenArchive();
    EXPECT_TRUE(a.Active());
    EXPECT_EQ(a.OpenMode(), fmCreate);
    EXPECT_TRUE(fs::exists(ToPath(name)));  // created at once
    EXPECT_EQ(a.Size(), 0);
    EXPECT_EQ(a.Comment(), "");
    EXPECT_EQ(a.VolumeNumberInfo().VolumeNumber(), 0);
    a.CloseArchive();
    EXPECT_FALSE(a.Active());
    a.CloseArchive();  // closing twice is harmless
  }
  EXPECT_EQ(afterOpen, 1);
  EXPECT_EQ(ReadAll(ToPath(name)), kEmptyArchive);

  // The closed archive opens again, now as an existing one.
  TProbeArchiver again(nullptr);
  again.SetFileName(name);
  again.OpenArchive();
  EXPECT_EQ(again.OpenMode(), fmOpenReadWrite | fmShareDenyWrite);
  again.CloseArchive();
  EXPECT_EQ(ReadAll(ToPath(name)), kEmptyArchive);
}

#ifndef _WIN32
TEST(ZipArchiver, PeerToolAcceptsTheEmptyArchive) {
  TScratchDir dir;
  const String name = dir / "empty.zip";
  {
    TZipArchiver a(nullptr);
    a.SetFileName(name);
    a.OpenArchive();
  }
  // unzip reports an empty archive as a warning (1); a file that is no ZIP is an error (9).
  const std::string command = "unzip -l '" + ToPath(name).string() + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
  const int status = pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 1) << output;
  EXPECT_NE(output.find("zipfile is empty"), std::string::npos) << output;
}
#endif

TEST(ZipArchiver, ReadModesRefuseAMissingFile) {
  TScratchDir dir;
  const String name = dir / "missing.zip";
  for (uint16_t mode : {uint16_t(64), uint16_t(34)}) {
    TZipArchiver a(nullptr);
    a.SetName(u"Archiver1");
    a.SetFileName(name);
    try {
      a.OpenArchive(mode);
      FAIL() << "opened a missing file in mode " << mode;
    } catch (const EZAException& e) {
      EXPECT_EQ(e.NativeError, 12);
      EXPECT_EQ(e.Message(),
                u"Archiver1: File \"" + name + u"\" not found - Native error: 00012");
    }
    EXPECT_FALSE(a.Active());
    EXPECT_FALSE(fs::exists(ToPath(name)));
  }
}

TEST(ZipArchiver, BlankFileNamesAreRefused) {
  TZipArchiver a(nullptr);
  EXPECT_EQ(NativeErrorOf([&] { a.OpenArchive(); }), 9);
  EXPECT_EQ(NativeErrorOf([&] { a.OpenArchive(64); }), 10);
  a.SetFileName(String(1, PathDelim));  // a folder part and no file name
  EXPECT_EQ(NativeErrorOf([&] { a.OpenArchive(); }), 9);
  EXPECT_FALSE(a.Active());
}

TEST(ZipArchiver, ChoosesTheOpenModeFromWhatTheFileAllows) {
  TScratchDir dir;
  const String name = dir / "archive.zip";
  WriteAll(ToPath(name), kEmptyArchive);

  TProbeArchiver writable(nullptr);
  writable.SetFileName(name);
  writable.OpenArchive();
  EXPECT_EQ(writable.OpenMode(), 34);
  writable.CloseArchive();

  ASSERT_TRUE(FileSetAttr(name, faReadOnly));
  TProbeArchiver readOnly(nullptr);
  readOnly.SetFileName(name);
  readOnly.OpenArchive();
  EXPECT_TRUE(readOnly.Active());
  EXPECT_EQ(readOnly.OpenMode(), 64);
  readOnly.CloseArchive();
  ASSERT_TRUE(FileSetAttr(name, faArchive));
  EXPECT_EQ(ReadAll(ToPath(name)), kEmptyArchive);
}

#ifdef _WIN32
TEST(ZipArchiver, FallsBackToReadingWhenAnotherWriterHoldsTheFile) {
  TScratchDir dir;
  const String name = dir / "busy.zip";
  WriteAll(ToPath(name), kEmptyArchive);
  TFileStream writer(name, fmOpenReadWrite | fmShareDenyWrite);
  TProbeArchiver a(nullptr);
  a.SetFileName(name);
  a.OpenArchive();
  EXPECT_EQ(a.OpenMode(), 64);
  EXPECT_TRUE(a.Active());
}
#endif

TEST(ZipArchiver, AnArchiveOnlyReadIsLeftByteForByte) {
  TScratchDir dir;
  const String name = dir / "comment.zip";
  const auto original = Fixture("zip/infozip-comment.zip");
  WriteAll(ToPath(name), original);
  {
    TZipArchiver a(nullptr);
    a.SetFileName(name);
    a.OpenArchive();
    EXPECT_EQ(a.Comment(), "fixture comment");
    EXPECT_EQ(a.Size(), static_cast<int64_t>(original.size()));
    a.CloseArchive();
    EXPECT_EQ(a.Comment(), "");
    a.OpenArchive(64);
    EXPECT_TRUE(a.Active());
  }  // destroyed while open
  EXPECT_EQ(ReadAll(ToPath(name)), original);
}

TEST(ZipArchiver, ArchiveWithoutEndRecordOpensOnlyWhenDamagedArchivesMay) {
  TScratchDir dir;
  const String name = dir / "noend.zip";
  // One stored entry, and the directory and end record cut off.
  zipbuild::Archive archive;
  archive.Entries.push_back({.Name = "a.txt", .Content = zipbuild::ToBytes("alpha")});
  zipbuild::Bytes bytes = archive.Build();
  bytes.resize(archive.DirectoryOffset);
  WriteAll(ToPath(name), bytes);

  TZipArchiver strict(nullptr);
  strict.SetFileName(name);
  strict.SetOpenCorruptedArchives(false);
  EXPECT_EQ(NativeErrorOf([&] { strict.OpenArchive(); }), 48);
  EXPECT_FALSE(strict.Active());
  EXPECT_FALSE(strict.OpenCorruptedArchives());
  // The stream was released: the file can be replaced at once.
  EXPECT_TRUE(RenameFile(name, dir / "moved.zip"));
  ASSERT_TRUE(RenameFile(dir / "moved.zip", name));

  TZipArchiver lenient(nullptr);
  lenient.SetFileName(name);
  lenient.OpenArchive();
  EXPECT_TRUE(lenient.Active());
  EXPECT_TRUE(lenient.OpenCorruptedArchives());
  lenient.CloseArchive();
  EXPECT_EQ(ReadAll(ToPath(name)), bytes);

  // Nothing to rebuild from.
  WriteAll(ToPath(name), std::vector<uint8_t>(100, 0x41));
  EXPECT_EQ(NativeErrorOf([&] { lenient.OpenArchive(); }), 35);
  EXPECT_FALSE(lenient.Active());
}

TEST(ZipArchiver, ClosedArchiveGuardsAndActiveProperty) {
  TScratchDir dir;
  TZipArchiver a(nullptr);
  EXPECT_EQ(NativeErrorOf([&] { a.Size(); }), 13);
  EXPECT_EQ(a.Comment(), "");
  a.CloseArchive();
  a.CancelUpdate();
  EXPECT_FALSE(a.InUpdate());

  a.SetFileName(dir / "active.zip");
  EXPECT_FALSE(a.Exists());
  int opens = 0;
  a.AfterOpen = [&](TZABaseArchiver* sender) {
    EXPECT_EQ(sender, &a);
    ++opens;
  };
  a.SetActive(true);
  a.SetActive(true);  // already open: nothing happens
  EXPECT_EQ(opens, 1);
  EXPECT_TRUE(a.Exists());
  try {
    a.SetSpanningMode(smSplitting);
    FAIL() << "spanning mode changed while open";
  } catch (const EZAException&) {
    FAIL() << "expected a plain error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), u"Cannot set spanning mode on open archive");
  }
  a.SetActive(false);
  EXPECT_FALSE(a.Active());
  a.SetSpanningMode(smSplitting);
  EXPECT_EQ(a.SpanningMode(), smSplitting);
}

TEST(ZipArchiver, OwnerDestroysAnOpenArchiver) {
  TScratchDir dir;
  const String name = dir / "owned.zip";
  {
    TComponent owner(nullptr);
    auto* a = new TZipArchiver(&owner);
    a->SetFileName(name);
    a->OpenArchive();
    EXPECT_EQ(owner.ComponentCount(), 1);
  }
  EXPECT_EQ(ReadAll(ToPath(name)), kEmptyArchive);
}

TEST(ZipArchiver, SwitchingInMemory) {
  TScratchDir dir;
  const String name = dir / "memory.zip";
  TProbeArchiver a(nullptr);
  a.SetInMemory(true);  // closed: only stored
  a.OpenArchive();
  EXPECT_TRUE(a.Active());
  EXPECT_FALSE(fs::exists(ToPath(name)));
  EXPECT_EQ(NativeErrorOf([&] { a.SetInMemory(false); }), 29);

  a.SetFileName(name);
  a.SetInMemory(false);  // the memory archive goes to the file, which is reopened
  EXPECT_FALSE(a.InMemory());
  EXPECT_TRUE(a.Active());
  EXPECT_EQ(a.OpenMode(), 34);  // reopened as an existing (still empty) file
  a.CloseArchive();
  EXPECT_EQ(ReadAll(ToPath(name)), kEmptyArchive);

  a.OpenArchive();
  a.SetInMemory(true);  // the file's content is not loaded
  EXPECT_TRUE(a.Active());
  EXPECT_EQ(a.Size(), 0);
  EXPECT_EQ(NativeErrorOf([&] { a.OpenArchive(64); }), 28);
  a.CloseArchive();
  EXPECT_EQ(ReadAll(ToPath(name)), kEmptyArchive);
}

}  // namespace
