#include <gtest/gtest.h>

#include "CryptoTestSupport.h"
#include "ZACipher.h"

using namespace crypto_test;

namespace {

const auto Key128 = Hex("000102030405060708090a0b0c0d0e0f");

std::vector<uint8_t> Encrypted(const std::vector<uint8_t>& key, int32_t size, std::vector<uint8_t> block) {
  TCipher_Rijndael cipher;
  cipher.Init(key.data(), size, nullptr);
  cipher.EncryptBlock(block.data());
  return block;
}

std::unique_ptr<TCipher_Rijndael> CtrCipher(std::vector<uint8_t> key) {
  auto cipher = std::make_unique<TCipher_Rijndael>(key, uint16_t(key.size()));
  cipher->FMode = cmCTR;
  return cipher;
}

// FIPS-197 appendix C.
TEST(Rijndael, ReproducesFips197VectorsForAllKeySizes) {
  const auto plain = Hex("00112233445566778899aabbccddeeff");
  const struct {
    const char* Key;
    const char* Cipher;
  } cases[] = {
      {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
      {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
       "8ea2b7ca516745bfeafc49904b496089"},
  };
  for (const auto& c : cases) {
    const auto key = Hex(c.Key);
    TCipher_Rijndael cipher;
    cipher.Init(key.data(), int32_t(key.size()), nullptr);
    auto block = plain;
    cipher.EncryptBlock(block.data());
    EXPECT_EQ(ToHex(block), c.Cipher) << c.Key;
    cipher.DecryptBlock(block.data());
    EXPECT_EQ(block, plain) << c.Key;
  }
}

// Key sizes between the standard ones are padded with zeros; a longer key is
// cut to 32 bytes and a negative size counts as none.
TEST(Rijndael, PadsOrCutsOddKeySizes) {
  const auto plain = Hex("00112233445566778899aabbccddeeff");
  std::vector<uint8_t> key(40);
  for (size_t i = 0; i < key.size(); ++i) key[i] = uint8_t(i + 1);
  const auto padded = [&key](size_t used, size_t to) {
    std::vector<uint8_t> k(key.begin(), key.begin() + long(used));
    k.resize(to);
    return k;
  };
  EXPECT_EQ(Encrypted(key, 40, plain), Encrypted(key, 32, plain));
  EXPECT_EQ(Encrypted(key, 20, plain), Encrypted(padded(20, 24), 24, plain));
  EXPECT_EQ(Encrypted(key, 28, plain), Encrypted(padded(28, 32), 32, plain));
  EXPECT_EQ(Encrypted(key, 5, plain), Encrypted(padded(5, 16), 16, plain));
  EXPECT_EQ(Encrypted(key, -7, plain), Encrypted(std::vector<uint8_t>(16), 16, plain));
}

TEST(Rijndael, KeyingReplacesTheCallersKeyBuffer) {
  auto key = Key128;
  TCipher_Rijndael cipher(key, 16);
  EXPECT_EQ(key.size(), 16u);
  EXPECT_NE(key, Key128);
  EXPECT_EQ(cipher.FMode, cmCTS);
}

// Counter block n is n as a 64-bit little-endian number in bytes 0 to 7 and
// zeros after it; the key stream is AES_k of blocks 1, 2, 3 ...
TEST(CounterMode, KeyStreamIsTheCipherOfTheLittleEndianCounter) {
  const size_t blocks = 258;  // past 255, so the carry into byte 1 shows
  std::vector<uint8_t> stream(blocks * 16);
  CtrCipher(Key128)->EncodeBuffer(stream.data(), stream.data(), int32_t(stream.size()));
  for (uint32_t n : {1u, 2u, 16u, 255u, 256u, 257u, 258u}) {
    std::vector<uint8_t> counter(16);
    counter[0] = uint8_t(n);
    counter[1] = uint8_t(n >> 8);
    const auto expected = Encrypted(Key128, 16, counter);
    EXPECT_EQ(ToHex(stream.data() + (n - 1) * 16, 16), ToHex(expected)) << n;
  }
}

TEST(CounterMode, SameBytesWhateverTheCallSizes) {
  std::vector<uint8_t> data(100);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 7 + 3);
  std::vector<uint8_t> whole(100);
  CtrCipher(Key128)->DecodeBuffer(data.data(), whole.data(), 100);

  auto pieces = data;
  auto cipher = CtrCipher(Key128);
  size_t at = 0;
  for (size_t n : {1, 15, 0, 84}) {
    cipher->DecodeBuffer(pieces.data() + at, pieces.data() + at, int32_t(n));  // in place
    at += n;
  }
  EXPECT_EQ(pieces, whole);

  // Encoding is the same operation, so it undoes the decoding.
  std::vector<uint8_t> back(100);
  CtrCipher(Key128)->EncodeBuffer(whole.data(), back.data(), 100);
  EXPECT_EQ(back, data);
}

TEST(CounterMode, RestartsOnlyWithANewKeying) {
  std::vector<uint8_t> fresh(32);
  CtrCipher(Key128)->EncodeBuffer(fresh.data(), fresh.data(), 32);

  // A second cipher from the same key gives the same stream from its start.
  std::vector<uint8_t> second(32);
  CtrCipher(Key128)->EncodeBuffer(second.data(), second.data(), 32);
  EXPECT_EQ(second, fresh);

  // Keyed again in the middle of a block, the unused rest of the old block is
  // dropped and the stream starts again at counter 1.
  auto cipher = CtrCipher(Key128);
  std::vector<uint8_t> rekeyed(32);
  cipher->EncodeBuffer(rekeyed.data(), rekeyed.data(), 5);
  cipher->Init(Key128.data(), 16, nullptr);
  std::fill(rekeyed.begin(), rekeyed.end(), 0);
  cipher->EncodeBuffer(rekeyed.data(), rekeyed.data(), 32);
  EXPECT_EQ(rekeyed, fresh);
}

TEST(Cipher, RefusesToCodeBeforeKeyingOrInAnUnsupportedMode) {
  const auto errorOf = [](TCipher& cipher) -> std::pair<int32_t, std::string> {
    uint8_t data[4] = {1, 2, 3, 4};
    try {
      cipher.EncodeBuffer(data, data, 4);
    } catch (const ECipherException& e) {
      EXPECT_EQ(data[0], 1);
      return {e.ErrorCode, e.what()};
    }
    try {
      cipher.DecodeBuffer(data, data, 0);
    } catch (const ECipherException& e) {
      return {e.ErrorCode, e.what()};
    }
    return {0, ""};
  };
  const std::pair<int32_t, std::string> notInitialized{
      3, "TCipher_Rijndael is not initialized call Init() or InitKey() before."};

  TCipher_Rijndael unkeyed;
  unkeyed.FMode = cmCTR;
  EXPECT_EQ(errorOf(unkeyed), notInitialized);

  auto wiped = CtrCipher(Key128);
  wiped->Protect();
  EXPECT_EQ(errorOf(*wiped), notInitialized);

  for (TCipherMode mode : {cmCTS, cmCBC, cmCFB, cmOFB, cmECB, cmCTSMAC, cmCBCMAC, cmCFBMAC}) {
    auto cipher = CtrCipher(Key128);
    cipher->FMode = mode;
    EXPECT_EQ(errorOf(*cipher).first, errModeNotSupported) << int(mode);
  }
}

}  // namespace
