#include <gtest/gtest.h>

#include "TestSupport.h"
#include "ZADirArray.h"
#include "ZAExcept.h"

namespace {

using testing_support::NativeErrorOf;

// Loads names the way the directory reader does: one count, then names in order.
void Load(TZADirArray& da, std::initializer_list<const char16_t*> names) {
  da.SetCount(static_cast<int32_t>(names.size()));
  int32_t i = 0;
  for (const char16_t* name : names) da.SetItemName(i++, name);
}

TEST(ZADirArray, GrowsInDoublingStepsAndAllocatesLoadsAtOnce) {
  TZADirArray da;
  const struct {
    int32_t Count;
    int32_t Allocated;
  } steps[] = {{1, 1000}, {1001, 3000}, {3001, 7000}, {7001, 15000}, {15001, 25000},
               {25001, 35000}, {100, 35000}};
  for (const auto& s : steps) {
    da.SetCount(s.Count);
    EXPECT_EQ(da.Count(), s.Count);
    EXPECT_EQ(da.AllocItemCount(), s.Allocated) << s.Count;
  }
  TZADirArray load;
  load.SetCount(65536);
  EXPECT_EQ(load.AllocItemCount(), 65536);
  TZADirArray small;
  small.SetCount(3);
  EXPECT_EQ(small.AllocItemCount(), 1000);
  EXPECT_EQ(small.ItemPtr(2).ZAEncryptionAlgorithm, caPkzipClassic);
  EXPECT_EQ(small.ItemPtr(2).Operation, poAdd);
  EXPECT_TRUE(small.ItemPtr(2).Name.empty());
}

TEST(ZADirArray, FindsNamesIgnoringOnlyAsciiCase) {
  TZADirArray da;
  Load(da, {u"dir/file.txt", u"a.txt", u"\u00c4.txt", u"A.TXT", u"dir\\other.txt"});
  int32_t no = -1;
  EXPECT_TRUE(da.FileExists(u"DIR/File.TXT", no));
  EXPECT_EQ(no, 0);
  EXPECT_TRUE(da.FileExists(u"a.txt", no));
  EXPECT_EQ(no, 3);  // the later of two names equal up to case
  EXPECT_FALSE(da.FileExists(u"\u00e4.txt", no));  // ä is not folded to Ä
  EXPECT_EQ(no, -1);
  EXPECT_FALSE(da.FileExists(u"dir/other.txt", no));  // separators must match as stored
  EXPECT_TRUE(da.FileExists(u"DIR\\OTHER.TXT", no));
  EXPECT_EQ(no, 4);
}

TEST(ZADirArray, RenamingKeepsTheIndexInStep) {
  TZADirArray da;
  Load(da, {u"old.txt", u"b.txt"});
  da.SetItemName(0, u"New.txt");
  int32_t no;
  EXPECT_FALSE(da.FileExists(u"old.txt", no));
  EXPECT_TRUE(da.FileExists(u"new.txt", no));
  EXPECT_EQ(no, 0);
  EXPECT_EQ(da.ItemPtr(0).Name, u"New.txt");

  // A second item whose empty current name is already indexed elsewhere.
  TZADirArray empties;
  empties.SetCount(2);
  empties.SetItemName(0, u"");
  EXPECT_EQ(NativeErrorOf([&] { empties.SetItemName(1, u"x"); }), 59);
}

TEST(ZADirArray, IndexErrorsAreRaisedBeforeAnythingChanges) {
  TZADirArray da;
  Load(da, {u"a", u"b"});
  TDirItem item;
  EXPECT_EQ(NativeErrorOf([&] { da.GetItem(2, item); }), 2);
  EXPECT_EQ(NativeErrorOf([&] { da.GetItem(-1, item); }), 2);
  EXPECT_EQ(NativeErrorOf([&] { da.ItemPtr(2); }), 3);
  EXPECT_EQ(NativeErrorOf([&] { da.SetItem(2, item); }), 1);
  EXPECT_EQ(NativeErrorOf([&] { da.DeleteItem(2); }), 4);

  // SetItem beyond the end of the name index.
  TZADirArray unnamed;
  unnamed.SetCount(3);
  item.Name = u"c";
  item.ExtraFields.push_back({0x1234, 1, {7}});
  EXPECT_EQ(NativeErrorOf([&] { unnamed.SetItem(1, item); }), 58);
  EXPECT_TRUE(unnamed.ItemPtr(1).ExtraFields.empty());
  unnamed.SetItem(0, item);  // appends to the index
  int32_t no;
  EXPECT_TRUE(unnamed.FileExists(u"C", no));
  EXPECT_EQ(no, 0);
  EXPECT_EQ(unnamed.ItemPtr(0).ExtraFields.at(0).pData, std::vector<uint8_t>{7});
}

TEST(ZADirArray, DeleteClearAndCountZeroDiffer) {
  TZADirArray da;
  Load(da, {u"a", u"b", u"c"});
  da.ItemPtr(2).ExtraFields.push_back({1, 0, {}});
  da.DeleteItem(1);
  ASSERT_EQ(da.Count(), 2);
  EXPECT_EQ(da.ItemPtr(1).Name, u"c");
  EXPECT_EQ(da.ItemPtr(1).ExtraFields.size(), 1u);
  int32_t no;
  EXPECT_FALSE(da.FileExists(u"b", no));
  EXPECT_TRUE(da.FileExists(u"c", no));
  EXPECT_EQ(no, 1);

  da.SetCount(0);  // the storage goes, the name index stays
  EXPECT_EQ(da.AllocItemCount(), 0);
  EXPECT_TRUE(da.FileExists(u"a", no));

  Load(da, {u"x"});
  da.Clear();  // the storage stays, the index goes
  EXPECT_EQ(da.Count(), 0);
  EXPECT_EQ(da.AllocItemCount(), 2000);  // the growth step kept doubling
  EXPECT_FALSE(da.FileExists(u"x", no));
  EXPECT_FALSE(da.FileExists(u"a", no));
}

TEST(ZADirArray, AssignCopiesItemsWithTheirOwnBlocks) {
  TZADirArray source;
  Load(source, {u"one", u"two"});
  source.ItemPtr(1).ExtraFields.push_back({0x0001, 2, {1, 2}});
  source.ItemPtr(1).Tagged = true;
  TZADirArray copy;
  copy.Assign(source);
  ASSERT_EQ(copy.Count(), 2);
  source.ItemPtr(1).ExtraFields[0].pData[0] = 9;
  EXPECT_EQ(copy.ItemPtr(1).ExtraFields[0].pData[0], 1);
  EXPECT_TRUE(copy.ItemPtr(1).Tagged);
  copy.ClearTags();
  EXPECT_FALSE(copy.ItemPtr(1).Tagged);
  int32_t no;
  EXPECT_TRUE(copy.FileExists(u"TWO", no));
  EXPECT_EQ(no, 1);
}

}  // namespace
