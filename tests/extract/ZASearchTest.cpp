#include <gtest/gtest.h>

#include "ExtractSupport.h"
#include "ZAStrFunc.h"

namespace {

using namespace extract_support;

zipbuild::Entry Item(const std::string& Name, uint32_t Attr = 0x20, const std::string& Text = "x") {
  zipbuild::Entry e;
  e.Name = Name;
  e.Content = zipbuild::ToBytes(Text);
  e.ExternalAttr = Attr;
  return e;
}

zipbuild::Archive SearchArchive() {
  zipbuild::Archive a;
  a.Entries = {Item("a.txt"),          Item("docs/", 0x10, ""),   Item("docs/a.txt"),
               Item("docs/sub/", 0x10, ""), Item("docs/sub/b.txt"), Item("readme"),
               Item("docs/readme"),    Item("hidden.txt", 0x22),  Item("a.tmp"),
               Item("docs/b.tmp")};
  return a;
}

class Search : public ::testing::Test {
 protected:
  void SetUp() override { OpenBuilt(Arc, Dir, SearchArchive()); }

  // Every stored name an enumeration finds, in order.
  std::vector<std::string> Found(const std::string& Mask, int Attr = 10431,
                                 const std::string& Exclusion = "") {
    std::vector<std::string> names;
    TZAArchiveItem F;
    for (bool ok = Arc.FindFirst(U(Mask), F, Attr, U(Exclusion)); ok; ok = Arc.FindNext(F))
      names.push_back(A(Arc.Items().ItemPtr(F.Handle.ItemNo).Name));
    return names;
  }

  TScratchDir Dir;
  TTestArchiver Arc{nullptr};
};

using Names = std::vector<std::string>;

TEST_F(Search, MasksWithAndWithoutRecursion) {
  struct {
    const char* Mask;
    bool Recurse;
    Names Expected;
  } cases[] = {
      {"*.*", true,
       {"a.txt", "docs/", "docs/a.txt", "docs/sub/", "docs/sub/b.txt", "readme", "docs/readme",
        "hidden.txt", "a.tmp", "docs/b.tmp"}},
      {"*.txt", false, {"a.txt", "hidden.txt"}},
      {"docs\\*.txt", false, {"docs/a.txt"}},
      {"docs/*.txt", false, {"docs/a.txt"}},
      {"*.txt", true, {"a.txt", "docs/a.txt", "docs/sub/b.txt", "hidden.txt"}},
      {"docs\\*.txt", true, {"docs/a.txt", "docs/sub/b.txt"}},
      {"A.TXT", false, {"a.txt"}},          // exact lookup, found once
      {"DOCS/A.TXT", false, {"docs/a.txt"}},
      {"readme", false, {"readme"}},
      {"readme", true, {"readme", "docs/readme"}},  // through the file-name part
      {"missing", false, {}},
      {"*.", true, {"docs/", "docs/sub/", "readme", "docs/readme"}},
      {"C:\\docs\\*.txt", true, {}},
      {"", true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Mask) + (c.Recurse ? " recursive" : ""));
    Arc.Options().SetRecurse(c.Recurse);
    EXPECT_EQ(Found(c.Mask), c.Expected);
  }
}

TEST_F(Search, ExclusionMaskAndAttributeFilter) {
  EXPECT_EQ(Found("*.*", 10431, "*.tmp"),
            (Names{"a.txt", "docs/", "docs/a.txt", "docs/sub/", "docs/sub/b.txt", "readme",
                   "docs/readme", "hidden.txt"}));
  // The exclusion mask is compared with "/" as stored, without conversion.
  EXPECT_EQ(Found("*.txt", 10431, "docs*"), (Names{"a.txt", "hidden.txt"}));
  EXPECT_EQ(Found("*.txt", 10431, "docs\\*"),
            (Names{"a.txt", "docs/a.txt", "docs/sub/b.txt", "hidden.txt"}));
  EXPECT_EQ(Found("*.txt", 16), (Names{"a.txt", "docs/a.txt", "docs/sub/b.txt"}));
  EXPECT_EQ(Found("*.txt", 0), (Names{"a.txt", "docs/a.txt", "docs/sub/b.txt"}));
  EXPECT_EQ(Found("docs*", 0), (Names{"docs/a.txt", "docs/sub/b.txt", "docs/readme", "docs/b.tmp"}));
}

TEST_F(Search, MaskTooLongForTheRecordFindsNothing) {
  const std::string fits = std::string(255, '?') + ".txt";  // 259 characters
  EXPECT_EQ(Found(fits), Names{});
  EXPECT_EQ(Found("*" + std::string(300, '?')), Names{});
  EXPECT_EQ(Found(std::string(254, '*') + "b.txt"), (Names{"docs/sub/b.txt"}));
}

TEST_F(Search, FileCountLeavesFoldersOutAndRestoresRecurse) {
  Arc.Options().SetRecurse(false);
  EXPECT_EQ(Arc.FileCount(), 8);
  EXPECT_FALSE(Arc.Options().Recurse());
}

TEST(SearchDescription, FillsTheItemRecord) {
  TScratchDir dir;
  zipbuild::Archive a;
  zipbuild::Entry folder = Item("docs/sub/", 0x10, "");
  folder.Comment = "folder comment";
  zipbuild::Entry big = Item("big.bin");
  big.Content.clear();
  for (int i = 0; i < 500; ++i) big.Content.insert(big.Content.end(), {'0', '1', '2', '3', '4', '5', '6', '7', '8', '\n'});
  big.Method = 8;
  zipbuild::Entry grown = Item("grown.bin");
  grown.CompSize = 10;  // packed larger than the data
  grown.Content = Text("12345");
  zipbuild::Entry zip64 = Item("z64.bin");
  zip64.Content = Text("abcd");
  zip64.CompSize = 0xFFFFFFFF;
  zip64.UncompSize = 0xFFFFFFFF;
  Bytes values;
  zipbuild::Put64(values, 8);  // uncompressed first, then compressed
  zipbuild::Put64(values, 2);
  zip64.CentralExtra = zipbuild::ExtraBlock(0x0001, values);
  a.Entries = {folder, big, grown, Item("empty", 0x21, ""), zip64};
  TTestArchiver arc(nullptr);
  OpenBuilt(arc, dir, a);

  TZAArchiveItem F;
  ASSERT_TRUE(arc.FindFirst(u"*.*", F, 10431, u""));
  EXPECT_EQ(F.FileName, u"sub");
  EXPECT_EQ(F.StoredPath, String(u"docs") + PathDelim);
  EXPECT_EQ(F.Comment, "folder comment");
  EXPECT_EQ(F.ExternalFileAttributes, 0x10u);

  ASSERT_TRUE(arc.FindNext(F));
  EXPECT_EQ(F.FileName, u"big.bin");
  EXPECT_EQ(F.StoredPath, u"");
  EXPECT_EQ(F.UncompressedSize, 5000);
  EXPECT_EQ(F.CompressedSize, static_cast<int64_t>(zipbuild::Deflate(big.Content).size()));
  EXPECT_NEAR(F.CompressionRate, (1.0 - double(F.CompressedSize) / 5000) * 100, 1e-9);
  EXPECT_EQ(static_cast<uint32_t>(F.CRC), zipbuild::Crc32(big.Content));
  EXPECT_EQ(F.LastModFileDate, big.Date);
  EXPECT_EQ(F.LastModFileTime, big.Time);
  EXPECT_FALSE(F.Encrypted);

  ASSERT_TRUE(arc.FindNext(F));
  EXPECT_EQ(F.CompressionRate, 0);  // never negative
  ASSERT_TRUE(arc.FindNext(F));
  EXPECT_EQ(F.CompressionRate, 100);  // an empty file
  ASSERT_TRUE(arc.FindNext(F));
  EXPECT_EQ(F.UncompressedSize, 8);
  EXPECT_EQ(F.CompressedSize, 2);
  EXPECT_FALSE(arc.FindNext(F));
}

TEST(SearchDescription, EmptyArchiveAndClosedComponent) {
  TScratchDir dir;
  TTestArchiver arc(nullptr);
  OpenBuilt(arc, dir, zipbuild::Archive{});
  TZAArchiveItem F;
  EXPECT_FALSE(arc.FindFirst(u"*.*", F, 10431, u""));
  arc.CloseArchive();
  EXPECT_EQ(NativeErrorOf([&] { arc.FindFirst(u"*.*", F, 10431, u""); }), 13);
  EXPECT_EQ(NativeErrorOf([&] { arc.FileCount(); }), 13);
}

}  // namespace
