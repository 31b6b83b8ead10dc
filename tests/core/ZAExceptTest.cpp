#include <gtest/gtest.h>

#include "Component.h"
#include "ZAExcept.h"

namespace {

struct TMessageCase {
  int Native;
  int ErrorCode;
  const char16_t* Message;
};

// Samples across the table: first and last codes, shared error codes, and
// codes with placeholders left as they stand by the plain constructor.
const TMessageCase kCases[] = {
    {0, 0, u"Unknown error - Native error: 00000"},
    {1, 1, u"Index out of bounds - Native error: 00001"},
    {21, 1, u"Index out of bounds - Native error: 00021"},
    {5, 2, u"Invalid compression mode. Mode must be in [0-9] range - Native error: 00005"},
    {8, 4, u"Invalid size or check sum of file or unsupported compression format - Native error: 00008"},
    {12, 6, u"File \"%s\" not found - Native error: 00012"},
    {29, 5, u"File name is blank. Specify appropriate file name - Native error: 00029"},
    {34, 17, u"Invalid compressed size, rfs.size = %d, count = %d - Native error: 00034"},
    {45, 24, u"Cannot open archive file. Opening aborted or invalid file - Native error: 00045"},
    {48, 27, u"Archive is damaged. Open failed - Native error: 00048"},
    {57, 27, u"Archive is damaged. Open failed - Native error: 00057"},
    {59, 34, u"Hashed list of file names is invalid - Native error: 00059"},
    {61, 36, u"File name is too long: \r\n\"%s\" - Native error: 00061"},
    {66, 39, u"Disk is full. There is not enough free space on disk. - Native error: 00066"},
    {67, 40, u"Invalid password. Cannot decompress encrypted file. - Native error: 00067"},
    {68, 0, u"Unknown error - Native error: 00068"},
    {100, 0, u"Unknown error - Native error: 00100"},
    {-1, 0, u"Unknown error - Native error: 000-1"},
    {123456, 0, u"Unknown error - Native error: 123456"},
};

TEST(ZAException, MapsNativeCodesToMessages) {
  for (const auto& c : kCases) {
    EZAException e(c.Native, nullptr);
    EXPECT_EQ(e.NativeError, c.Native);
    EXPECT_EQ(e.ErrorCode, c.ErrorCode) << "native " << c.Native;
    EXPECT_EQ(e.Message(), String(c.Message)) << "native " << c.Native;
  }
}

TEST(ZAException, EveryTableCodeHasItsOwnErrorCode) {
  // Error codes grouped by message: each error code 1..40 is reached by some native code.
  bool reached[41] = {};
  for (int native = 0; native <= 67; ++native) reached[ZAErrorCodeOf(native)] = true;
  for (int code = 0; code <= 40; ++code) EXPECT_TRUE(reached[code]) << code;
}

TEST(ZAException, FormatsArgumentsAndPrefixesTheComponentName) {
  TComponent named(nullptr);
  named.SetName(u"Archiver1");
  TComponent unnamed(nullptr);

  EZAException formatted(12, {String(u"C:\\a.zip")}, nullptr);
  EXPECT_EQ(formatted.Message(), u"File \"C:\\a.zip\" not found - Native error: 00012");
  EXPECT_EQ(formatted.ErrorCode, 6);

  EZAException prefixed(12, {String(u"a.zip")}, &named);
  EXPECT_EQ(prefixed.Message(), u"Archiver1: File \"a.zip\" not found - Native error: 00012");

  EZAException plainPrefixed(13, &named);
  EXPECT_EQ(plainPrefixed.Message(), u"Archiver1: Archive is not open - Native error: 00013");

  EZAException noName(13, &unnamed);
  EXPECT_EQ(noName.Message(), u"Archive is not open - Native error: 00013");

  EZAException numbers(34, {7, 9}, nullptr);
  EXPECT_EQ(numbers.Message(),
            u"Invalid compressed size, rfs.size = 7, count = 9 - Native error: 00034");
}

TEST(ZAException, IsAPlatformExceptionWithUtf8What) {
  try {
    throw EZAException(12, {String(u"\u00e9.zip")}, nullptr);
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "File \"\xc3\xa9.zip\" not found - Native error: 00012");
  }
}

}  // namespace
