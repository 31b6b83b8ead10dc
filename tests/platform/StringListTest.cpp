#include <gtest/gtest.h>

#include "Format.h"
#include "StringList.h"

namespace {

// Keeps an index of its own beside the base's entries, as the name index does;
// it stays right only if every change reaches the overrides.
class TCountedList : public TStringList {
 public:
  int Add(const String& S) override {
    ++Entries;
    return TStringList::Add(S);
  }
  void Clear() override {
    Entries = 0;
    TStringList::Clear();
  }
  void Delete(int Index) override {
    TStringList::Delete(Index);
    --Entries;
  }
  int IndexOf(const String& S) const override {
    ++Lookups;
    return TStringList::IndexOf(S);
  }
  int IndexOfName(const String& Name) const override {
    ++Lookups;
    return TStringList::IndexOfName(Name);
  }

  int Entries = 0;
  mutable int Lookups = 0;
};

TEST(StringList, CallsThroughTheBaseReachTheOverrides) {
  TCountedList derived;
  TStringList& list = derived;
  list.Add(u"a");
  list.Add(u"b=1");
  list.Add(u"c");
  list.Delete(0);
  EXPECT_EQ(derived.Entries, 2);
  EXPECT_EQ(list.IndexOf(u"c"), 1);
  EXPECT_EQ(list.IndexOfName(u"b"), 0);
  EXPECT_EQ(derived.Lookups, 2);
  list.Clear();
  EXPECT_EQ(derived.Entries, 0);
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, AssignCopiesLinesThroughTheTargetsOverrides) {
  TStringList source;
  source.Add(u"one");
  source.Add(u"two");
  TCountedList target;
  target.Add(u"stale");

  target.Assign(source);
  ASSERT_EQ(target.Count(), 2);
  EXPECT_EQ(target[0], u"one");
  EXPECT_EQ(target[1], u"two");
  EXPECT_EQ(target.Entries, 2);
  // A copy, not a view.
  source.Put(0, u"changed");
  EXPECT_EQ(target[0], u"one");
}

TEST(StringList, IndexOfFoldsCaseUnlessCaseSensitive) {
  TStringList list;
  for (const char16_t* s : {u"Readme.TXT", u"\u00C4RGER", u"\u03A9mega", u"\u041F\u0420\u0418",
                            u"\u0150z", u"\uFF21bc"})
    list.Add(s);
  const struct {
    const char16_t* Wanted;
    int Folded, Exact;
  } cases[] = {
      {u"readme.txt", 0, -1},         {u"Readme.TXT", 0, 0},
      {u"\u00E4rger", 1, -1},         {u"\u03C9MEGA", 2, -1},
      {u"\u043F\u0440\u0438", 3, -1}, {u"\u0151Z", 4, -1},
      {u"\uFF41BC", 5, -1},           {u"readme.tx", -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(String(c.Wanted)));
    list.SetCaseSensitive(false);
    EXPECT_EQ(list.IndexOf(c.Wanted), c.Folded);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf(c.Wanted), c.Exact);
  }
}

TEST(StringList, IndexOfNameMatchesThePartBeforeTheFirstSeparator) {
  TStringList list;
  for (const char16_t* s : {u"gamma", u"Alpha=1", u"beta=2", u"delta=x=y", u"=empty"}) list.Add(s);
  const struct {
    const char16_t* Name;
    int Index;
  } cases[] = {
      {u"alpha", 1}, {u"BETA", 2}, {u"delta", 3}, {u"", 4},
      {u"gamma", -1},    // no separator: not a name
      {u"delta=x", -1},  // the name ends at the first separator
      {u"alpha=1", -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(list.IndexOfName(c.Name), c.Index) << testing::PrintToString(String(c.Name));
}

TEST(StringList, IndexOutsideTheListRaisesWithTheIndex) {
  TStringList list;
  list.Add(u"a");
  list.Add(u"b");
  const struct {
    int Index;
    void (*Op)(TStringList&, int);
  } cases[] = {
      {2, [](TStringList& l, int i) { l.Get(i); }},
      {-1, [](TStringList& l, int i) { l.Get(i); }},
      {2, [](TStringList& l, int i) { l.Put(i, u"x"); }},
      {5, [](TStringList& l, int i) { l.Delete(i); }},
  };
  for (const auto& c : cases) {
    try {
      c.Op(list, c.Index);
      ADD_FAILURE() << "no error for index " << c.Index;
    } catch (const EStringListError& e) {
      EXPECT_EQ(e.Message(), u"List index out of bounds (" + IntToStr(c.Index) + u")");
    }
  }
  EXPECT_EQ(list.Count(), 2);
}

}  // namespace
