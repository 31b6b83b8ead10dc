#include <gtest/gtest.h>

#include <string>

#include "ZAHashedStringList.h"
#include "ZAStringHash.h"

namespace {

String Numbered(int i) {
  const std::string s = "entry" + std::to_string(i);
  return String(s.begin(), s.end());
}

TEST(ZAStringHash, KeyHashRotatesAndXors) {
  TZAStringHash hash(7);
  EXPECT_EQ(hash.KeyHash(u""), 0u);
  EXPECT_EQ(hash.KeyHash(u"a"), 0x61u);
  EXPECT_EQ(hash.KeyHash(u"ab"), 0x1E6u);
  // Bits leaving at the top come back at the bottom.
  EXPECT_EQ(hash.KeyHash(u"abcdefghijklmnopq"), 0x5B24F1BFu);
}

TEST(ZAStringHash, EqualKeysCoexistAndTheLatestIsFoundFirst) {
  TZAStringHash hash(1);  // one chain: every key collides
  hash.Add(u"k", 1);
  hash.Add(u"other", 2);
  hash.Add(u"k", 3);
  EXPECT_EQ(hash.ValueOf(u"k"), 3);
  hash.Remove(u"k");
  EXPECT_EQ(hash.ValueOf(u"k"), 1);
  hash.Remove(u"k");
  EXPECT_EQ(hash.ValueOf(u"k"), -1);
  EXPECT_EQ(hash.ValueOf(u"other"), 2);
  hash.Remove(u"absent");
  hash.Clear();
  EXPECT_EQ(hash.ValueOf(u"other"), -1);
  EXPECT_EQ(hash.Size(), 1u);
}

TEST(ZAHashedStringList, ValueIndexIsBuiltOnDemandAndRebuiltLarger) {
  TZAHashedStringList list;
  for (int i = 0; i < 3000; ++i) list.Add(Numbered(i));
  EXPECT_EQ(list.ValueHashSize(), 0u);
  EXPECT_EQ(list.IndexOf(u"ENTRY2999"), 2999);
  EXPECT_EQ(list.ValueHashSize(), 3000u);

  TZAHashedStringList grown;
  grown.Add(u"first");
  EXPECT_EQ(grown.IndexOf(u"first"), 0);
  EXPECT_EQ(grown.ValueHashSize(), 1000u);
  for (int i = 1; i < 5000; ++i) grown.Add(Numbered(i));
  EXPECT_EQ(grown.ValueHashSize(), 1000u);  // 5000 entries: five per bucket
  grown.Add(Numbered(5000));
  EXPECT_EQ(grown.ValueHashSize(), 0u);     // dropped past five per bucket
  EXPECT_EQ(grown.IndexOf(u"entry4321"), 4321);
  EXPECT_EQ(grown.ValueHashSize(), 5001u);
}

TEST(ZAHashedStringList, BaseTypeCallsGoThroughTheIndexes) {
  TZAHashedStringList hashed;
  TStringList& list = hashed;
  list.Add(u"Alpha=1");
  list.Add(u"beta=2");
  list.Add(u"gamma");
  EXPECT_EQ(list.IndexOf(u"BETA=2"), 1);
  EXPECT_EQ(list.IndexOfName(u"ALPHA"), 0);
  EXPECT_EQ(list.IndexOfName(u"gamma"), -1);  // no "=": not a name

  list.Add(u"delta=4");  // a later entry is seen by the name index too
  EXPECT_EQ(list.IndexOfName(u"delta"), 3);
  list.Put(0, u"omega=1");
  EXPECT_EQ(list.IndexOf(u"alpha=1"), -1);
  EXPECT_EQ(list.IndexOf(u"omega=1"), 0);
  EXPECT_EQ(list.IndexOfName(u"omega"), 0);

  list.Delete(0);
  EXPECT_EQ(list.IndexOf(u"beta=2"), 0);
  EXPECT_EQ(list.IndexOfName(u"delta"), 2);
  list.Clear();
  EXPECT_EQ(list.IndexOf(u"beta=2"), -1);
  EXPECT_EQ(list.IndexOfName(u"delta"), -1);

  hashed.SetCaseSensitive(true);
  list.Add(u"Key");
  EXPECT_EQ(list.IndexOf(u"Key"), 0);
  EXPECT_EQ(list.IndexOf(u"key"), -1);
}

}  // namespace
