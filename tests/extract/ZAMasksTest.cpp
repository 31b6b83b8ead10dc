#include <gtest/gtest.h>

#include "ZAMasks.h"

namespace {

std::string Narrow(const String& s) { return std::string(s.begin(), s.end()); }

struct TMatchCase {
  const char16_t* Name;
  const char16_t* Pattern;
  bool Expected;
};

TEST(WildcardMatch, FollowsTheRecursiveDefinition) {
  const TMatchCase cases[] = {
      {u"readme", u"*.*", true},        // "*.*" matches names without a dot
      {u"", u"*.*", true},
      {u"", u"*", true},
      {u"", u"", true},
      {u"a", u"", false},
      {u"", u"?", false},
      {u"", u"**", false},              // the end of the name is never a star's try
      {u"ab", u"ab**", false},
      {u"ab", u"ab*", true},
      {u"abc", u"a*", true},
      {u"abc", u"*c", true},
      {u"abc", u"*b", false},
      {u"abc", u"a?c", true},
      {u"abc", u"a?", false},
      {u"x.txt", u"x**.*", true},       // "*.*" again after a star
      {u"xyz", u"x*.*", false},         // but not inside the literal walk
      {u"docs/a.txt", u"*.txt", true},  // "/" is an ordinary character
      {u"docs\\a.txt", u"docs/*", false},
      {u"README.TXT", u"readme.txt", true},
      {u"\u00C4.txt", u"\u00E4.txt", false},  // only A to Z fold
      {u"aaaaaaaaab", u"*a*a*a*b", true},
      {u"aaaaaaaaaa", u"*a*a*a*b", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.Name) + " vs " + Narrow(c.Pattern));
    EXPECT_EQ(WildcardMatch(c.Name, c.Pattern, true), c.Expected);
  }
  EXPECT_FALSE(WildcardMatch(u"ABC", u"abc", false));
}

TEST(WildcardMatch, ManyStarsAgainstALongNameStayFast) {
  // A plain recursive matcher needs about n^5 steps here.
  const String name(60000, u'a');
  EXPECT_FALSE(WildcardMatch(name, u"*a*a*a*a*a*b", true));
  EXPECT_TRUE(WildcardMatch(name + u"b", u"*a*a*a*a*a*b", true));
}

TEST(IsMaskMatch, StarDotStarAndTrailingFullStopRules) {
  const TMatchCase cases[] = {
      {u"readme", u"*.", true},
      {u"readme.", u"*.", true},
      {u"readme.txt", u"*.", false},
      {u"readme", u"*.*", true},
      {u"a.tar.gz", u"*.gz", true},
      {u"readme", u"", false},
      {u"readme", u"README", true},
      {u"docs/b.tmp", u"*.tmp", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.Name) + " vs " + Narrow(c.Pattern));
    EXPECT_EQ(IsMaskMatch(c.Name, c.Pattern), c.Expected);
  }
}

TEST(IsAttrAccepted, OnlyHiddenSystemVolumeAndFolderBitsFilter) {
  EXPECT_TRUE(IsAttrAccepted(0xFFFFFFFF, 10431));  // the default admits everything
  EXPECT_TRUE(IsAttrAccepted(0x20 | 0x01 | 0x80000000u, 0));
  EXPECT_TRUE(IsAttrAccepted(0x10, 16));
  for (uint32_t bit : {0x02u, 0x04u, 0x08u}) EXPECT_FALSE(IsAttrAccepted(bit, 16)) << bit;
  EXPECT_FALSE(IsAttrAccepted(0x10, 0));
}

}  // namespace
