#include <gtest/gtest.h>

#include "CryptoTestSupport.h"
#include "Exceptions.h"
#include "RawEntry.h"
#include "Stream.h"
#include "TestSupport.h"
#include "ZAClassicCrypt.h"

using namespace crypto_test;

namespace {

const AnsiString Password = "Pa55 word";

bool operator==(const TZAClassicKeys& a, const TZAClassicKeys& b) {
  return a.Key0 == b.Key0 && a.Key1 == b.Key1 && a.Key2 == b.Key2;
}

struct StreamOf : TMemoryStream {
  explicit StreamOf(const std::vector<uint8_t>& Bytes) {
    Write(Bytes.data(), int64_t(Bytes.size()));
    SetPosition(0);
  }
};

std::vector<uint8_t> Slice(const std::vector<uint8_t>& b, size_t at, size_t n) {
  return {b.begin() + long(at), b.begin() + long(at + n)};
}

// Headers made by two peers: Info-ZIP announces a data descriptor, so its
// check byte is the time's; 7-Zip's is the CRC's.
TEST(ClassicCipher, OpensPeerEntriesByTheirCheckByte) {
  for (const char* archive : {"crypt/infozip-classic.zip", "crypt/7zz-zipcrypto.zip"}) {
    SCOPED_TRACE(archive);
    const auto zip = testing_support::Fixture(archive);
    const TRawEntry e = FindRawEntry(zip, "hello.txt");
    const auto data = Slice(zip, e.DataOffset, e.CompSize);

    StreamOf right(data);
    TZAClassicKeys keys;
    ASSERT_TRUE(CheckClassicPassword(right, Password, keys, e.LocalCrc, e.LocalTime, e.LocalFlags));
    EXPECT_EQ(right.Position(), ClassicHeaderSize);
    auto plain = Slice(data, ClassicHeaderSize, data.size() - ClassicHeaderSize);
    ClassicDecryptBuffer(plain.data(), int64_t(plain.size()), keys);
    EXPECT_EQ(plain, Bytes("hello, secret world\n"));  // stored by both

    // Letter case matters, and the other check byte source is not used.
    StreamOf wrongCase(data);
    EXPECT_FALSE(CheckClassicPassword(wrongCase, "pa55 word", keys, e.LocalCrc, e.LocalTime, e.LocalFlags));
    EXPECT_EQ(wrongCase.Position(), ClassicHeaderSize);
    StreamOf otherSource(data);
    EXPECT_FALSE(CheckClassicPassword(otherSource, Password, keys, e.LocalCrc, e.LocalTime, e.LocalFlags ^ 0x0008));
  }
}

TEST(ClassicCipher, ChunksGiveTheSameBytesAndKeysAsOnePiece) {
  const auto zip = testing_support::Fixture("crypt/7zz-zipcrypto.zip");
  const TRawEntry e = FindRawEntry(zip, "docs/random.bin");
  const auto data = Slice(zip, e.DataOffset + ClassicHeaderSize, e.CompSize - ClassicHeaderSize);
  TZAClassicKeys start;
  StreamOf header(Slice(zip, e.DataOffset, ClassicHeaderSize));
  ASSERT_TRUE(CheckClassicPassword(header, Password, start, e.LocalCrc, e.LocalTime, e.LocalFlags));

  auto whole = data;
  TZAClassicKeys wholeKeys = start;
  ClassicDecryptBuffer(whole.data(), int64_t(whole.size()), wholeKeys);
  for (size_t split : {size_t(0), size_t(1), size_t(15), size_t(84), size_t(1500), data.size() - 1, data.size()}) {
    SCOPED_TRACE(split);
    auto pieces = data;
    TZAClassicKeys keys = start;
    ClassicDecryptBuffer(pieces.data(), int64_t(split), keys);
    ClassicDecryptBuffer(pieces.data() + split, int64_t(data.size() - split), keys);
    EXPECT_EQ(pieces, whole);
    EXPECT_TRUE(keys == wholeKeys);
  }
}

// Bytes 0 to 10 of the decrypted header carry nothing; byte 11 is compared
// with the time's high byte under flag bit 3, else with the CRC's.
TEST(ClassicCipher, OnlyTheLastHeaderByteDecides) {
  const uint16_t time = 0xA1B2;
  const uint32_t crc = 0xC3D4E5F6;
  const struct {
    uint16_t Flags;
    uint8_t CheckByte;
    bool Accepted;
  } cases[] = {
      {0x0008, 0xA1, true}, {0x0009, 0xA1, true}, {0x0008, 0xC3, false},
      {0x0001, 0xC3, true}, {0x0000, 0xC3, true}, {0x0001, 0xA1, false},
  };
  for (const auto& c : cases)
    for (uint8_t fill : {0x00, 0x5A, 0xFF}) {
      SCOPED_TRACE(testing::Message() << "flags " << c.Flags << " check " << int(c.CheckByte) << " fill " << int(fill));
      std::vector<uint8_t> header(ClassicHeaderSize, fill);
      header.back() = c.CheckByte;
      TZAClassicKeys keys;
      ClassicInitKeys(Password, keys);
      ClassicEncryptBuffer(header.data(), ClassicHeaderSize, keys);
      StreamOf s(header);
      EXPECT_EQ(CheckClassicPassword(s, Password, keys, crc, time, c.Flags), c.Accepted);
    }
}

TEST(ClassicCipher, EmptyPasswordAndShortHeader) {
  TZAClassicKeys keys;
  ClassicInitKeys("", keys);
  EXPECT_TRUE(keys == (TZAClassicKeys{0x12345678, 0x23456789, 0x34567890}));

  StreamOf eleven(std::vector<uint8_t>(11, 0));
  EXPECT_THROW(CheckClassicPassword(eleven, Password, keys, 0, 0, 0), EReadError);
}

}  // namespace
