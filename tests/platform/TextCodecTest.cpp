#include <gtest/gtest.h>

#include "TextCodec.h"

namespace {

TEST(TextCodec, Utf8RoundTripsEveryPlane) {
  const AnsiString bytes = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBF";
  const String text = u"A\u00E9\u20AC\U0001F600\uFFFF";
  EXPECT_EQ(Utf8ToString(bytes), text);
  EXPECT_EQ(StringToUtf8(text), bytes);
  EXPECT_TRUE(IsValidUtf8(bytes));
}

TEST(TextCodec, IllFormedUtf8BecomesReplacementCharacters) {
  const struct {
    AnsiString Bytes;
    String Text;
  } cases[] = {
      {"a\x80" "b", u"a\uFFFDb"},                        // stray continuation byte
      {"\xC3", u"\uFFFD"},                               // cut short at the end
      {"\xE2\x82" "A", u"\uFFFDA"},                      // cut short: one replacement
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                     // overlong
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},           // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},           // a surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // above U+10FFFF
      {"\xFF\xFE", u"\uFFFD\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.Bytes));
    EXPECT_EQ(Utf8ToString(c.Bytes), c.Text);
    EXPECT_FALSE(IsValidUtf8(c.Bytes));
  }
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));
  EXPECT_TRUE(IsValidUtf8(""));
}

TEST(TextCodec, LoneSurrogatesEncodeAsReplacementCharacters) {
  EXPECT_EQ(StringToUtf8(String(u"a") + char16_t(0xD800) + u"b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(StringToUtf8(String(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

// The ANSI and OEM pages are Windows-1252 and CP437 on POSIX, and on a
// Western Windows system (Wine's default prefix is one).
TEST(TextCodec, AnsiIsWindows1252) {
  const AnsiString bytes = "\x80\x8A\x9F\xE9\xFF" "a";
  const String text = u"\u20AC\u0160\u0178\u00E9\u00FF" u"a";
  EXPECT_EQ(AnsiToString(bytes), text);
  EXPECT_EQ(StringToAnsi(text), bytes);
  // No look-alikes either: an Omega is not an O.
  EXPECT_EQ(StringToAnsi(u"\u4E2Dx\u03A9"), "?x?");
}

TEST(TextCodec, OemIsCp437AndConvertsToAnsiThroughUnicode) {
  EXPECT_EQ(OemToString("\x81\x84\xE1\x9C\xB3\xC4" "a"), u"\u00FC\u00E4\u00DF\u00A3\u2502\u2500" u"a");
  EXPECT_EQ(OemToAnsi("\x81\x84\xE1\x9C" "a"), "\xFC\xE4\xDF\xA3" "a");
  // Box drawing has no place in 1252: Windows picks look-alikes, POSIX '?'.
#ifdef _WIN32
  EXPECT_EQ(OemToAnsi("\xB3\xC4"), "\xA6-");
#else
  EXPECT_EQ(OemToAnsi("\xB3\xC4"), "??");
#endif
}

}  // namespace
