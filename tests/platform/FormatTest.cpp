#include <gtest/gtest.h>

#include <limits>

#include "Exceptions.h"
#include "Format.h"

namespace {

TEST(Format, SubstitutesArgumentsInOrder) {
  const struct {
    const char16_t* Pattern;
    std::initializer_list<FormatArg> Args;
    const char16_t* Expected;
  } cases[] = {
      {u"%s: %d of %d", {String(u"caf\u00E9"), int64_t{3}, int64_t{10}}, u"caf\u00E9: 3 of 10"},
      {u"[%5d]", {int64_t{42}}, u"[   42]"},
      {u"[%5d]", {int64_t{-42}}, u"[  -42]"},
      {u"[%2d]", {int64_t{12345}}, u"[12345]"},  // a width never cuts
      {u"[%-4s]", {String(u"ab")}, u"[ab  ]"},
      {u"100%% of %s", {String(u"x")}, u"100% of x"},
      {u"%d", {int64_t{-9223372036854775807 - 1}}, u"-9223372036854775808"},
      {u"no arguments", {}, u"no arguments"},
  };
  for (const auto& c : cases) EXPECT_EQ(Format(c.Pattern, c.Args), c.Expected);
}

TEST(Format, MismatchedPatternRaisesConvertError) {
  const struct {
    const char16_t* Pattern;
    std::initializer_list<FormatArg> Args;
  } cases[] = {
      {u"%d", {String(u"text")}},
      {u"%s", {int64_t{1}}},
      {u"%s and %s", {String(u"one")}},
      {u"trailing %", {}},
      {u"%q", {int64_t{1}}},
  };
  for (const auto& c : cases)
    EXPECT_THROW(Format(c.Pattern, c.Args), EConvertError) << testing::PrintToString(String(c.Pattern));
}

TEST(Format, IntToStrCoversTheWholeRange) {
  EXPECT_EQ(IntToStr(0), u"0");
  EXPECT_EQ(IntToStr(-17), u"-17");
  EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::max()), u"9223372036854775807");
}

}  // namespace
