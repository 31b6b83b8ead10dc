#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "DosTime.h"
#include "FileSystem.h"
#include "ScratchFolder.h"

namespace {

class FileSystemTest : public ScratchFolder {
 protected:
  String MakeFile(const String& Name, const std::string& Data = "data") {
    const String name = Path(Name);
    std::ofstream(std::filesystem::path(name), std::ios::binary) << Data;
    return name;
  }

  static std::string ReadAll(const String& Name) {
    std::ifstream in(std::filesystem::path(Name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST(TempFolder, IsAnExistingFolderWithATrailingDelimiter) {
  const String folder = TempFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), PathDelim);
  EXPECT_TRUE(DirectoryExists(folder));
}

TEST_F(FileSystemTest, UniqueTempFilesAreNewEmptyFilesWithThePrefix) {
  const String folders[] = {Folder(), Folder() + PathDelim};
  const String first = CreateUniqueTempFile(folders[0], u"zat");
  const String second = CreateUniqueTempFile(folders[1], u"zat");
  for (const String& name : {first, second}) {
    SCOPED_TRACE(testing::PrintToString(name));
    EXPECT_EQ(name.rfind(Path(u"zat"), 0), 0u);
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(FileSizeOf(name), 0);
  }
  EXPECT_NE(first, second);
  EXPECT_TRUE(CreateUniqueTempFile(Path(u"missing"), u"zat").empty());
}

TEST_F(FileSystemTest, AttributesShowFoldersAndReadOnlyFiles) {
  const String file = MakeFile(u"f.txt");
  EXPECT_EQ(FileGetAttr(file) & (faReadOnly | faDirectory), 0);
  EXPECT_EQ(FileGetAttr(Folder()) & (faReadOnly | faDirectory), faDirectory);
  EXPECT_EQ(FileGetAttr(Path(u"missing")), -1);

  ASSERT_TRUE(FileSetAttr(file, faReadOnly));
  EXPECT_EQ(FileGetAttr(file) & faReadOnly, faReadOnly);
  ASSERT_TRUE(FileSetAttr(file, 0));
  EXPECT_EQ(FileGetAttr(file) & faReadOnly, 0);
  EXPECT_FALSE(FileSetAttr(Path(u"missing"), faReadOnly));
}

#ifndef _WIN32
TEST_F(FileSystemTest, UnixModeInTheHighBitsIsAppliedAsItStands) {
  namespace fs = std::filesystem;
  const String file = MakeFile(u"m.txt");
  const struct {
    uint32_t Mode;
    fs::perms Perms;
    int32_t ReadOnly;
  } cases[] = {
      {0100640, fs::perms(0640), 0},
      {0100444, fs::perms(0444), faReadOnly},
      {0104755, fs::perms(04755), 0},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(FileSetAttr(file, c.Mode << 16 | faArchive));
    EXPECT_EQ(fs::status(fs::path(file)).permissions(), c.Perms);
    EXPECT_EQ(FileGetAttr(file) & faReadOnly, c.ReadOnly);
  }
  // Without a mode, read-only takes every write bit and clearing it gives the owner's back.
  ASSERT_TRUE(FileSetAttr(file, 0100666 << 16));
  ASSERT_TRUE(FileSetAttr(file, faReadOnly));
  EXPECT_EQ(fs::status(fs::path(file)).permissions(), fs::perms(0444));
  ASSERT_TRUE(FileSetAttr(file, faArchive));
  EXPECT_EQ(fs::status(fs::path(file)).permissions(), fs::perms(0644));
}
#endif

TEST_F(FileSystemTest, DosTimeSetOnAFileReadsBackTheSame) {
  const String file = MakeFile(u"t.txt");
  const TDosDateTimeParts times[] = {
      {1980, 1, 1, 0, 0, 0},      {1999, 12, 31, 23, 59, 58}, {2023, 1, 15, 13, 45, 30},
      {2023, 7, 15, 13, 45, 30},  // summer time where there is any
      {2040, 2, 29, 12, 34, 56},  // beyond 32-bit seconds
  };
  for (const auto& t : times) {
    const int32_t dos = PackDosDateTime(t);
    SCOPED_TRACE(t.Year);
    ASSERT_TRUE(FileSetDosTime(file, dos));
    EXPECT_EQ(FileGetDosTime(file), dos);
  }
  EXPECT_EQ(FileGetDosTime(Path(u"missing")), -1);
  EXPECT_FALSE(FileSetDosTime(Path(u"missing"), PackDosDateTime(times[2])));
}

TEST_F(FileSystemTest, FoldersAreCreatedOneLevelAndRemovedWhenEmpty) {
  const String dir = Path(u"sub");
  const String nested = dir + PathDelim + u"deeper";
  EXPECT_FALSE(CreateDir(nested + PathDelim + u"deepest"));  // one level at a time
  ASSERT_TRUE(CreateDir(dir));
  EXPECT_TRUE(DirectoryExists(dir));
  EXPECT_FALSE(FileExists(dir));
  EXPECT_FALSE(CreateDir(dir));
  ASSERT_TRUE(CreateDir(nested));

  EXPECT_FALSE(RemoveDir(dir));  // not empty
  EXPECT_TRUE(RemoveDir(nested));
  EXPECT_TRUE(RemoveDir(dir));
  EXPECT_FALSE(DirectoryExists(dir));
  EXPECT_FALSE(RemoveDir(dir));
}

TEST_F(FileSystemTest, EraseFileRemovesFilesOnly) {
  const String file = MakeFile(u"gone.txt");
  const String dir = Path(u"kept");
  ASSERT_TRUE(CreateDir(dir));

  EXPECT_TRUE(EraseFile(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_EQ(FileSizeOf(file), -1);
  EXPECT_FALSE(EraseFile(file));
  EXPECT_FALSE(EraseFile(dir));
  EXPECT_TRUE(DirectoryExists(dir));
}

TEST_F(FileSystemTest, RenameFileReplacesTheTarget) {
  const String fresh = MakeFile(u"new.tmp", "complete new content");
  const String target = MakeFile(u"target.txt", "old");
  ASSERT_TRUE(RenameFile(fresh, target));
  EXPECT_FALSE(FileExists(fresh));
  EXPECT_EQ(ReadAll(target), "complete new content");
  EXPECT_EQ(FileSizeOf(target), 20);
  EXPECT_FALSE(RenameFile(fresh, target));
}

TEST_F(FileSystemTest, CurrentFolderAnchorsRelativeNames) {
  const String saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Folder()));
  const String current = GetCurrentDir();
  EXPECT_EQ(LongPathName(current), LongPathName(Folder()));
  EXPECT_EQ(ExpandFileName(u"rel.txt"), current + PathDelim + u"rel.txt");
  MakeFile(u"rel.txt");
  EXPECT_TRUE(FileExists(u"rel.txt"));
  EXPECT_FALSE(SetCurrentDir(Path(u"missing")));
  EXPECT_EQ(GetCurrentDir(), current);
  ASSERT_TRUE(SetCurrentDir(saved));
}

TEST(ExpandFileName, ResolvesDotsAgainstTheCurrentFolder) {
  const String cwd = GetCurrentDir();
  const String sep(1, PathDelim);
#ifdef _WIN32
  const String root = u"C:\\";
#else
  const String root = u"/";
#endif
  const struct {
    String Name, Expected;
  } cases[] = {
      {root + u"a" + sep + u"." + sep + u"b" + sep + u".." + sep + u"c", root + u"a" + sep + u"c"},
      {root + u"a" + sep + u"b" + sep + u"..", root + u"a"},
      {root + u"..", root},
      {u"x" + sep + u".." + sep + u"y", cwd + sep + u"y"},
      {u".", cwd},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandFileName(c.Name), c.Expected) << testing::PrintToString(c.Name);
}

TEST_F(FileSystemTest, LongPathNameKeepsUnresolvableNames) {
  const String missing = Path(u"missing") + PathDelim + u"x.txt";
  EXPECT_EQ(LongPathName(missing), missing);
  const String file = MakeFile(u"long name.txt");
  EXPECT_TRUE(FileExists(LongPathName(file)));
}

TEST_F(FileSystemTest, DrivesOfLocalFoldersAreFixedWithFreeSpace) {
  EXPECT_EQ(DriveTypeOf(Folder()), TDriveType::dtFixed);
  EXPECT_FALSE(IsRemovablePath(Folder()));
  EXPECT_GT(DiskFreeOf(Folder()), 0);
}

}  // namespace
