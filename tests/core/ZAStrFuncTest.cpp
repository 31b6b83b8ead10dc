#include <gtest/gtest.h>

#include "Exceptions.h"
#include "FileSystem.h"
#include "TestSupport.h"
#include "ZAStrFunc.h"

namespace {

using namespace testing_support;

struct TPathCase {
  const char16_t* Path;
  const char16_t* Drive;
  const char16_t* Folder;
  const char16_t* FileName;
  const char16_t* Extension;
};

#ifdef _WIN32
const TPathCase kPathCases[] = {
    {u"C:\\dir\\a.zip", u"C:", u"C:\\dir\\", u"a.zip", u".zip"},
    {u"\\\\srv\\share\\dir\\a.zip", u"\\\\srv\\share", u"\\\\srv\\share\\dir\\", u"a.zip", u".zip"},
    {u"\\\\srv\\share", u"\\\\srv\\share", u"\\\\srv\\", u"share", u""},
    {u"\\\\srv", u"\\\\srv", u"\\\\", u"srv", u""},
    {u"dir\\a.zip", u"", u"dir\\", u"a.zip", u".zip"},
    {u"/x/a.zip", u"", u"", u"/x/a.zip", u".zip"},
    {u"C:a.zip", u"C:", u"C:", u"a.zip", u".zip"},
    {u"dir\\", u"", u"dir\\", u"", u""},
    {u"a/b", u"", u"", u"a/b", u""},
    {u"dir.old\\readme", u"", u"dir.old\\", u"readme", u""},
    {u"archive.tar.gz", u"", u"", u"archive.tar.gz", u".gz"},
    {u"name.", u"", u"", u"name.", u"."},
    {u"", u"", u"", u"", u""},
};
#else
// No drives, and "/" is the only separator.
const TPathCase kPathCases[] = {
    {u"/dir/a.zip", u"", u"/dir/", u"a.zip", u".zip"},
    {u"//srv/share/a.zip", u"", u"//srv/share/", u"a.zip", u".zip"},
    {u"dir/a.zip", u"", u"dir/", u"a.zip", u".zip"},
    {u"C:a.zip", u"", u"", u"C:a.zip", u".zip"},
    {u"a\\b", u"", u"", u"a\\b", u""},
    {u"dir/", u"", u"dir/", u"", u""},
    {u"dir.old/readme", u"", u"dir.old/", u"readme", u""},
    {u"archive.tar.gz", u"", u"", u"archive.tar.gz", u".gz"},
    {u"name.", u"", u"", u"name.", u"."},
    {u"", u"", u"", u"", u""},
};
#endif

TEST(ZAStrFunc, SplitsPathsWithThePlatformsSeparators) {
  for (const auto& c : kPathCases) {
    const String path = c.Path;
    EXPECT_EQ(DrivePart(path), c.Drive) << ToPath(path).string();
    EXPECT_EQ(FolderPart(path), c.Folder) << ToPath(path).string();
    EXPECT_EQ(FileNamePart(path), c.FileName) << ToPath(path).string();
    EXPECT_EQ(ExtensionPart(path), c.Extension) << ToPath(path).string();
  }
}

TEST(ZAStrFunc, TrailingDelimitersAndDestinationRoot) {
  const String d(1, PathDelim);
  EXPECT_EQ(AddBackslash(u"a"), u"a" + d);
  EXPECT_EQ(AddBackslash(u"a" + d), u"a" + d);
  EXPECT_EQ(RemoveBackslash(d), u"");
  EXPECT_EQ(RemoveBackslash(u""), u"");
  EXPECT_EQ(RemoveBackslash(u"a" + d + d), u"a" + d);  // only one is removed
  EXPECT_EQ(DestinationRoot(u"base", u"cur"), u"base" + d);
  EXPECT_EQ(DestinationRoot(u"", u"cur" + d), u"cur" + d);
}

TEST(ZAStrFunc, CaseFoldingTouchesOnlyAsciiLetters) {
  EXPECT_EQ(LowerCaseAscii(u"ReadMe.TXT"), u"readme.txt");
  EXPECT_EQ(LowerCaseAscii(u"\u00c4\u0130@[`{"), u"\u00c4\u0130@[`{");  // Ä, İ and the neighbours of A-Z
  EXPECT_EQ(UpperCaseAscii(u"readme.txt \u00e4"), u"README.TXT \u00e4");
  EXPECT_EQ(TextByteLength(u"abc"), 6);
}

TEST(ZAStrFunc, ReplaceTextIsCaseSensitiveAndWithoutOverlap) {
  EXPECT_EQ(ReplaceText(u"a/b/c", u"/", u"\\", true), u"a\\b\\c");
  EXPECT_EQ(ReplaceText(u"a/b/c", u"/", u"\\", false), u"a\\b/c");
  EXPECT_EQ(ReplaceText(u"aaaa", u"aa", u"b", true), u"bb");
  EXPECT_EQ(ReplaceText(u"AbAB", u"ab", u"x", true), u"AbAB");
  EXPECT_EQ(ReplaceText(u"abc", u"", u"x", true), u"abc");
}

TEST(ZAStrFunc, DecodeNameBytesWalksUtf8Strictly) {
  struct {
    std::string Bytes;
    bool Utf8;
    const char16_t* Text;
  } const cases[] = {
      {"\xC3\xA9", true, u"\u00e9"},
      {"dir/\xE4\xB8\xAD.txt", true, u"dir/\u4e2d.txt"},
      {"\xF0\x9F\x98\x80", true, u"\U0001F600"},
      {"\xF4\x8F\xBF\xBF", true, u"\U0010FFFF"},
      {"plain.txt", false, u"plain.txt"},                    // ASCII takes the ANSI branch
      {"\xE9", false, u"\u00e9"},                            // Windows-1252 é
      {"\xE0\x80\x80", false, u"\u00e0\u20ac\u20ac"},        // overlong three-byte form
      {"\xF4\x90\x80\x80", false, u"\u00f4\u0090\u20ac\u20ac"},  // beyond U+10FFFF
      {"\xC0\xAF", false, u"\u00c0\u00af"},                  // C0 is never a lead byte
      {"\xC3", false, u"\u00c3"},                            // cut off by the end
      {"\xC3\xA9\xFF", false, u"\u00c3\u00a9\u00ff"},        // F5..FF never lead
  };
  for (const auto& c : cases) {
    String text;
    EXPECT_EQ(DecodeNameBytes(c.Bytes, text), c.Utf8) << c.Bytes;
    EXPECT_EQ(text, c.Text) << c.Bytes;
  }
}

TEST(ZAStrFunc, MakeFoldersCreatesEveryMissingLevel) {
  TScratchDir dir;
  const String d(1, PathDelim);
  const String deep = dir / "a" + d + u"b" + d + u"c" + d;
  EXPECT_TRUE(MakeFolders(deep));
  EXPECT_TRUE(fs::is_directory(ToPath(deep)));
  EXPECT_TRUE(MakeFolders(deep));  // existing: done
  EXPECT_THROW(MakeFolders(u""), EInOutError);

  // A file in the way: the folder cannot be made.
  WriteAll(ToPath(dir / "file"), {1});
  EXPECT_FALSE(MakeFolders(dir / "file" + d + u"sub"));

  // A name nesting thousands of levels below the file is walked, not recursed.
  String nested = dir / "file";
  for (int i = 0; i < 5000; ++i) nested += d + u"x";
  EXPECT_FALSE(MakeFolders(nested));
}

TEST(ZAStrFunc, FileSystemWrappers) {
  TScratchDir dir;
  const String file = dir / "f.txt";
  EXPECT_EQ(ReadAttributes(file), -1);
  EXPECT_EQ(FileDosTime(file), -1);
  EXPECT_FALSE(DeletePath(file));

  WriteAll(ToPath(file), {1, 2, 3});
  EXPECT_TRUE(FileIsPresent(file));
  EXPECT_FALSE(FolderIsPresent(file));
  EXPECT_TRUE(FolderIsPresent(ToStr(dir.Path())));
  EXPECT_FALSE(FileIsPresent(ToStr(dir.Path())));

  ASSERT_TRUE(WriteAttributes(file, faReadOnly));
  EXPECT_EQ(ReadAttributes(file) & (faReadOnly | faDirectory), faReadOnly);
  ASSERT_TRUE(WriteAttributes(file, faArchive));
  EXPECT_EQ(ReadAttributes(file) & faReadOnly, 0);

  const int32_t when = (44 << 25) | (5 << 21) | (6 << 16) | (7 << 11) | (8 << 5) | 5;
  ASSERT_TRUE(FileSetDosTime(file, when));
  EXPECT_EQ(FileDosTime(file), when);
  EXPECT_EQ(FileDosTime(ToStr(dir.Path())), -1);  // a folder has no file time here

  EXPECT_TRUE(DeletePath(file));
  EXPECT_FALSE(fs::exists(ToPath(file)));
}

}  // namespace
