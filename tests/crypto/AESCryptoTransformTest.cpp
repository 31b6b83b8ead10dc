#include <gtest/gtest.h>

#include <zlib.h>

#include "AESCryptoTransform.h"
#include "CryptoTestSupport.h"
#include "RawEntry.h"
#include "TestSupport.h"
#include "ZADirArray.h"

using namespace crypto_test;

namespace {

const AnsiString Password = "Pa55 word";
const uint32_t RandomBinCrc = 0xd6986f97;  // crypt/tree.manifest

// One peer-made AES entry, split into its three pieces. 7-Zip stores
// docs/random.bin, so its data decrypt to the file itself.
struct TAesEntry {
  int32_t Strength;
  std::vector<uint8_t> Stored;  // salt, check value, data, code as on disk
  size_t Lead;                  // salt and check value
  TMemoryStream Stream;

  TAesEntry(const std::string& Archive, int32_t Bits) : Strength(Bits), Lead(size_t(Bits / 16 + 2)) {
    const auto zip = testing_support::Fixture(Archive);
    const TRawEntry e = FindRawEntry(zip, "docs/random.bin");
    Stored.assign(zip.begin() + long(e.DataOffset), zip.begin() + long(e.DataOffset + e.CompSize));
    Stream.Write(Stored.data(), int64_t(Stored.size()));
  }
  size_t DataSize() const { return Stored.size() - Lead - 10; }
  std::vector<uint8_t> Data() const {
    return {Stored.begin() + long(Lead), Stored.begin() + long(Lead + DataSize())};
  }
};

const TDirItem NoItem;

// The reading order for one entry: keyed with Tried, checked, then the data
// in pieces of Piece bytes, then the code.
struct TOutcome {
  bool Accepted = false;
  std::vector<uint8_t> Plain;
  bool Corrupted = true;
};

TOutcome Read(TAesEntry& Entry, TAESCryptoTransform& t, size_t Piece, const AnsiString& Tried = Password) {
  TOutcome out;
  Entry.Stream.SetPosition(0);
  t.LoadFileStorageStartBlock(Entry.Stream, 0);
  EXPECT_EQ(Entry.Stream.Position(), int64_t(Entry.Lead));
  out.Accepted = t.CheckPassword(Tried, NoItem);
  out.Plain = Entry.Data();
  for (size_t at = 0; at < out.Plain.size(); at += Piece) {
    const auto n = int32_t(std::min(Piece, out.Plain.size() - at));
    EXPECT_EQ(t.DecryptBuffer(out.Plain.data(), int32_t(at), n, out.Plain.data(), int32_t(at)), n);
  }
  Entry.Stream.SetPosition(int64_t(Entry.Lead + Entry.DataSize()));
  t.LoadFileStorageEndBlock(Entry.Stream, 0);
  out.Corrupted = t.IsDirItemCorrupted(NoItem, 0);  // the CRC plays no part
  return out;
}

uint32_t Crc(const std::vector<uint8_t>& b) { return uint32_t(crc32(0, b.data(), uInt(b.size()))); }

std::unique_ptr<TAESCryptoTransform> Transform(int32_t Bits, const AnsiString& Key = Password) {
  auto t = std::make_unique<TAESCryptoTransform>(Bits, 2, 0);
  t->Initialize(Decryption, NoItem);
  t->GenerateKey(Key);
  return t;
}

TEST(AESCryptoTransform, DecryptsPeerEntriesOfEveryStrength) {
  for (int32_t bits : {128, 192, 256}) {
    SCOPED_TRACE(bits);
    TAesEntry entry("crypt/7zz-aes" + std::to_string(bits) + ".zip", bits);
    auto t = Transform(bits);
    EXPECT_EQ(t->GetFileStorageStartBlockSize(), bits / 16 + 2);
    EXPECT_EQ(t->GetFileStorageEndBlockSize(), 10);
    const TOutcome o = Read(entry, *t, entry.DataSize());
    EXPECT_TRUE(o.Accepted);
    EXPECT_EQ(Crc(o.Plain), RandomBinCrc);
    EXPECT_FALSE(o.Corrupted);
  }
}

// Counter and HMAC carry over between calls, whatever the piece sizes.
TEST(AESCryptoTransform, PiecesGiveTheSameBytesAsOneCall) {
  TAesEntry entry("crypt/7zz-aes256.zip", 256);
  const TOutcome whole = Read(entry, *Transform(256), entry.DataSize());
  for (size_t piece : {1, 15, 16, 84, 1000}) {
    SCOPED_TRACE(piece);
    const TOutcome o = Read(entry, *Transform(256), piece);
    EXPECT_EQ(o.Plain, whole.Plain);
    EXPECT_FALSE(o.Corrupted);
  }
}

// The password loop: a wrong password is refused by the check value; a
// check changes nothing; new keys and a reread leading block start cleanly.
TEST(AESCryptoTransform, RetryAfterAWrongPasswordMatchesAFirstRightOne) {
  TAesEntry entry("crypt/7zz-aes192.zip", 192);
  const TOutcome right = Read(entry, *Transform(192), entry.DataSize());

  auto t = Transform(192, "wrong");
  entry.Stream.SetPosition(0);
  t->LoadFileStorageStartBlock(entry.Stream, 0);
  EXPECT_FALSE(t->CheckPassword("wrong", NoItem));
  EXPECT_FALSE(t->CheckPassword("pa55 word", NoItem));
  EXPECT_TRUE(t->CheckPassword(Password, NoItem));
  EXPECT_EQ(t->GetPassword(), "wrong");
  // Some data through the wrong keys first: the retry must not inherit them.
  auto scratch = entry.Data();
  t->DecryptBuffer(scratch.data(), 0, 100, scratch.data(), 0);

  t->GenerateKey(Password);
  const TOutcome retried = Read(entry, *t, 4096);
  EXPECT_TRUE(retried.Accepted);
  EXPECT_EQ(retried.Plain, right.Plain);
  EXPECT_FALSE(retried.Corrupted);
}

// The writing slots, and the empty password, which is a password like any
// other for this scheme.
TEST(AESCryptoTransform, WritesWhatItReads) {
  std::vector<uint8_t> plain(5000);
  for (size_t i = 0; i < plain.size(); ++i) plain[i] = uint8_t(i * 7 + i / 251);
  TAESCryptoTransform writer(128, 2, 8);
  writer.GenerateKey("");
  const auto block = writer.GetExtraFieldData();
  EXPECT_EQ(block.headerID, 0x9901);
  EXPECT_EQ(ToHex(block.pData), "0200414501" "0800");
  std::vector<uint8_t> stored = writer.GetFileStorageStartBlock();
  ASSERT_EQ(stored.size(), 10u);
  std::vector<uint8_t> data = plain;
  writer.EncryptBuffer(data.data(), 0, int32_t(data.size()), data.data(), 0);
  EXPECT_NE(data, plain);
  stored.insert(stored.end(), data.begin(), data.end());
  const auto code = writer.GetFileStorageEndBlock();
  stored.insert(stored.end(), code.begin(), code.end());

  TMemoryStream s;
  s.Write(stored.data(), int64_t(stored.size()));
  for (const AnsiString& tried : {AnsiString(""), AnsiString(" ")}) {
    auto reader = Transform(128, tried);
    s.SetPosition(0);
    reader->LoadFileStorageStartBlock(s, 0);
    EXPECT_EQ(reader->CheckPassword(tried, NoItem), tried.empty()) << '"' << tried << '"';
  }
  auto reader = Transform(128, "");
  s.SetPosition(0);
  reader->LoadFileStorageStartBlock(s, 0);
  std::vector<uint8_t> back(stored.begin() + 10, stored.end() - 10);
  reader->DecryptBuffer(back.data(), 0, int32_t(back.size()), back.data(), 0);
  EXPECT_EQ(back, plain);
  s.SetPosition(int64_t(stored.size()) - 10);
  reader->LoadFileStorageEndBlock(s, 0);
  EXPECT_FALSE(reader->IsDirItemCorrupted(NoItem, 0));
}

}  // namespace
