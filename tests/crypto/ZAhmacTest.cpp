#include <gtest/gtest.h>

#include "CryptoTestSupport.h"
#include "ZAhmac.h"
#include "ZAsha1.h"

using namespace crypto_test;

namespace {

std::string HmacHex(const std::vector<uint8_t>& key, const std::vector<uint8_t>& data) {
  THMAC_Context context;
  HMACInit(context, FindHashByName("SHA1"), key.data(), uint16_t(key.size()));
  HMACUpdate(context, data.data(), int32_t(data.size()));
  THashDigest mac;
  HMACFinal(context, mac);
  return DigestHex(mac);
}

TEST(HMAC_SHA1, ReproducesRfc2202Vectors) {
  const struct {
    std::vector<uint8_t> Key;
    std::vector<uint8_t> Data;
    const char* Mac;
  } cases[] = {
      {std::vector<uint8_t>(20, 0x0b), Bytes("Hi There"), "b617318655057264e28bc0b6fb378c8ef146be00"},
      {Bytes("Jefe"), Bytes("what do ya want for nothing?"), "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"},
      {std::vector<uint8_t>(20, 0xaa), std::vector<uint8_t>(50, 0xdd),
       "125d7342b9ac11cd91a39af48aa17b4f63f175d3"},
      {Hex("0102030405060708090a0b0c0d0e0f10111213141516171819"), std::vector<uint8_t>(50, 0xcd),
       "4c9007f4026250c6bc8414f9bf50c86c2d7235da"},
      {std::vector<uint8_t>(20, 0x0c), Bytes("Test With Truncation"),
       "4c1a03424b55e07fe7f27be1d58bb9324a9a5a04"},
      {std::vector<uint8_t>(80, 0xaa), Bytes("Test Using Larger Than Block-Size Key - Hash Key First"),
       "aa4ae5e15272d00e95705637ce8a3b55ed402112"},
      {std::vector<uint8_t>(80, 0xaa),
       Bytes("Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data"),
       "e8e99d0f45237d786d6bbaa7965c7808bbff1a91"},
      // A key of exactly one block is used as it is; one byte more is hashed first.
      {std::vector<uint8_t>(64, 0xaa), Bytes("Hi There"), "e83ee1c362c86cc004df4f912a641c1bd844f36c"},
      {std::vector<uint8_t>(65, 0xaa), Bytes("Hi There"), "5c0fb63dc6aea0bed8fa2f8ea120a144e15cbd50"},
  };
  for (const auto& c : cases) EXPECT_EQ(HmacHex(c.Key, c.Data), c.Mac) << ToHex(c.Data);
}

TEST(HMAC_SHA1, DataMayArriveInPieces) {
  const auto data = Bytes("Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data");
  const std::vector<uint8_t> key(80, 0xaa);
  THMAC_Context context;
  HMACInit(context, &SHA1_Desc, key.data(), uint16_t(key.size()));
  for (size_t at = 0, n = 1; at < data.size(); at += n, n = n * 3 + 1)
    HMACUpdate(context, data.data() + at, int32_t(std::min(n, data.size() - at)));
  THashDigest mac;
  HMACFinal(context, mac);
  EXPECT_EQ(DigestHex(mac), "e8e99d0f45237d786d6bbaa7965c7808bbff1a91");
}

TEST(HMAC_SHA1, ContextStartedWithoutDescriptorIsInert) {
  THMAC_Context context;
  HMACInit(context, nullptr, "key", 3);
  EXPECT_EQ(context.phashd, nullptr);
  HMACUpdate(context, "data", 4);
  THashDigest untouched, mac;
  untouched.fill(0xCC);
  mac = untouched;
  HMACFinal(context, mac);
  EXPECT_EQ(mac, untouched);
}

}  // namespace
