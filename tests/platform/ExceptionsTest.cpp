#include <gtest/gtest.h>

#include "Exceptions.h"

namespace {

TEST(Exceptions, StreamErrorsCarryTheirFixedMessages) {
  EXPECT_EQ(EReadError().Message(), u"Stream read error");
  EXPECT_STREQ(EReadError().what(), "Stream read error");
  EXPECT_EQ(EWriteError().Message(), u"Stream write error");
  EXPECT_STREQ(EWriteError().what(), "Stream write error");
}

TEST(Exceptions, WhatIsTheUtf8OfTheMessageAndFollowsChanges) {
  EInOutError e(u"Datei \u00BB\u00E4\u00AB \U0001F600", 5);
  EXPECT_STREQ(e.what(), "Datei \xC2\xBB\xC3\xA4\xC2\xAB \xF0\x9F\x98\x80");
  EXPECT_EQ(e.ErrorCode, 5);

  e.SetMessage(u"\u20AC");
  EXPECT_EQ(e.Message(), u"\u20AC");
  EXPECT_STREQ(e.what(), "\xE2\x82\xAC");
}

}  // namespace
