#include <gtest/gtest.h>

#include <cstring>

#include "CryptoTestSupport.h"
#include "ZAsha1.h"

using namespace crypto_test;

namespace {

std::string Sha1Hex(const std::vector<uint8_t>& data) {
  THashDigest digest;
  HashFull(digest, &SHA1_Desc, data.data(), int32_t(data.size()));
  return DigestHex(digest);
}

TEST(SHA1, ReproducesFips180Vectors) {
  const struct {
    std::string Message;
    const char* Digest;
  } cases[] = {
      {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
  };
  for (const auto& c : cases) EXPECT_EQ(Sha1Hex(Bytes(c.Message)), c.Digest) << c.Message;
}

// The lengths around the padding boundaries: 55 bytes still fit the length in
// the last block, 56 need an extra block.
TEST(SHA1, PadsAtEveryBlockBoundary) {
  const struct {
    size_t Length;
    const char* Digest;
  } cases[] = {
      {55, "8ae2d46729cfe68ff927af5eec9c7d1b66d65ac2"},  {56, "636e2ec698dac903498e648bd2f3af641d3c88cb"},
      {57, "7cb1330f35244b57437539253304ea78a6b7c443"},  {63, "6d942da0c4392b123528f2905c713a3ce28364bd"},
      {64, "c6138d514ffa2135bfce0ed0b8fac65669917ec7"},  {65, "69bd728ad6e13cd76ff19751fde427b00e395746"},
      {119, "41c89d06001bab4ab78736b44efe7ce18ce6ae08"}, {120, "d3dbd653bd8597b7475321b60a36891278e6a04a"},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> data(c.Length);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i % 251);
    EXPECT_EQ(Sha1Hex(data), c.Digest) << c.Length;
  }
}

TEST(SHA1, MillionAsInOnePieceAndSplitAcrossUpdates) {
  const std::vector<uint8_t> data(1000000, 'a');
  EXPECT_EQ(Sha1Hex(data), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");

  // Pieces that start inside, at and across block boundaries.
  const size_t pieces[] = {1, 63, 64, 65, 2, 127, 1000, 0, 4096};
  THashContext context;
  SHA1Init(context);
  size_t done = 0;
  for (size_t k = 0; done < data.size(); ++k) {
    const size_t n = std::min(pieces[k % std::size(pieces)], data.size() - done);
    SHA1Update(context, data.data() + done, int32_t(n));
    done += n;
  }
  THashDigest digest;
  SHA1Final(context, digest);
  EXPECT_EQ(DigestHex(digest), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(SHA1, FinalZeroesTheDigestTailAndClearsTheContext) {
  THashContext context;
  std::memset(&context, 0xCC, sizeof context);
  SHA1Init(context);
  SHA1Update(context, "abc", 3);
  SHA1Update(context, "ignored", -5);
  THashDigest digest;
  digest.fill(0xCC);
  SHA1Final(context, digest);
  EXPECT_EQ(DigestHex(digest), "a9993e364706816aba3e25717850c26c9cd0d89d");
  for (size_t i = 20; i < digest.size(); ++i) EXPECT_EQ(digest[i], 0) << i;
  const auto* raw = reinterpret_cast<const uint8_t*>(&context);
  EXPECT_TRUE(std::all_of(raw, raw + sizeof context, [](uint8_t b) { return b == 0; }));
}

// The vectors above run through whichever compression this processor gets;
// the other one must give the same words.
TEST(SHA1, HardwareAndPortableCompressionAgree) {
  if (!SHA1HasHardware()) GTEST_SKIP() << "no SHA instructions here";
  uint32_t seed = 1;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 1000; ++round) {
    uint32_t portable[5], hardware[5];
    uint8_t block[64];
    for (auto& w : portable) w = next();
    for (auto& b : block) b = uint8_t(next() >> 24);
    std::memcpy(hardware, portable, sizeof portable);
    SHA1CompressBlockPortable(portable, block);
    SHA1CompressBlockHardware(hardware, block);
    ASSERT_EQ(0, std::memcmp(portable, hardware, sizeof portable)) << "round " << round;
  }
}

}  // namespace
