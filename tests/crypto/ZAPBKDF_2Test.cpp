#include <gtest/gtest.h>

#include "CryptoTestSupport.h"
#include "ZAPBKDF_2.h"
#include "ZAsha1.h"

using namespace crypto_test;

namespace {

// SHA-1 behind other routine addresses: PBKDF2 takes its general road for
// this descriptor instead of the one it keeps for SHA-1.
void WrappedInit(THashContext& c) { SHA1Init(c); }
void WrappedUpdate(THashContext& c, const void* m, int32_t n) { SHA1Update(c, m, n); }
void WrappedFinal(THashContext& c, THashDigest& d) { SHA1Final(c, d); }

const THashDesc& WrappedSHA1() {
  static const THashDesc d = [] {
    THashDesc w = SHA1_Desc;
    w.HInit = WrappedInit;
    w.HUpdateXL = WrappedUpdate;
    w.HFinal = WrappedFinal;
    return w;
  }();
  return d;
}

struct TVector {
  std::string Password;
  std::string Salt;
  int32_t Iterations;
  const char* Key;
};

// RFC 6070.
const TVector Rfc6070[] = {
    {"password", "salt", 1, "0c60c80f961f0e71f3a9b524af6012062fe037a6"},
    {"password", "salt", 2, "ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957"},
    {"password", "salt", 4096, "4b007901b765489abead49d926f721d065a429c1"},
    {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096,
     "3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038"},
    {std::string("pass\0word", 9), std::string("sa\0lt", 5), 4096, "56fa6aa75548099dcc37d7f03425e0c3"},
};

// Derives into a buffer with guard bytes, which must stay untouched.
std::string Derive(PHashDesc d, const TVector& v, size_t dkLen, int32_t* result = nullptr) {
  std::vector<uint8_t> out(dkLen + 4, 0xEE);
  const int32_t r = PBKDF2Derive(d, v.Password.data(), uint16_t(v.Password.size()), v.Salt.data(),
                                 uint16_t(v.Salt.size()), v.Iterations, out.data(), uint16_t(dkLen));
  if (result) *result = r;
  for (size_t i = dkLen; i < out.size(); ++i) EXPECT_EQ(out[i], 0xEE) << "wrote past " << dkLen;
  return ToHex(out.data(), dkLen);
}

TEST(PBKDF2, ReproducesRfc6070VectorsOnBothRoads) {
  for (PHashDesc d : {FindHashByID(3), &WrappedSHA1()})
    for (const auto& v : Rfc6070) {
      const size_t dkLen = std::string(v.Key).size() / 2;
      int32_t result = -1;
      EXPECT_EQ(Derive(d, v, dkLen, &result), v.Key) << v.Password << " " << v.Iterations;
      EXPECT_EQ(result, 0);
      // A shorter output is the same bytes cut, never more.
      EXPECT_EQ(Derive(d, v, 7), std::string(v.Key).substr(0, 14));
    }
}

// About 16.7 million iterations: run with --gtest_also_run_disabled_tests.
TEST(PBKDF2, DISABLED_ReproducesRfc6070LongVector) {
  const TVector v{"password", "salt", 16777216, "eefe3d61cd4da4e4e9945b3d6ba2158c2634e984"};
  EXPECT_EQ(Derive(FindHashByID(3), v, 20), v.Key);
}

TEST(PBKDF2, ReportsMissingOrEmptyDescriptorAndZeroesForNoIterations) {
  const TVector v{"password", "salt", 1, ""};
  int32_t result = -1;
  EXPECT_EQ(Derive(nullptr, v, 4, &result), "eeeeeeee");
  EXPECT_EQ(result, 1);
  THashDesc noDigest = SHA1_Desc;
  noDigest.HDigestlen = 0;
  EXPECT_EQ(Derive(&noDigest, v, 4, &result), "eeeeeeee");
  EXPECT_EQ(result, 2);

  for (int32_t c : {0, -1}) {
    const TVector none{"password", "salt", c, ""};
    EXPECT_EQ(Derive(&SHA1_Desc, none, 25, &result), std::string(50, '0'));
    EXPECT_EQ(result, 0);
  }
}

TEST(TPBKDF2, DerivesFromItsPasswordSaltAndIterations) {
  const TVector& v = Rfc6070[3];
  const auto salt = Bytes(v.Salt);
  TPBKDF2 generator(v.Password, salt.data(), int32_t(salt.size()), v.Iterations);
  std::vector<uint8_t> key{1, 2, 3};
  generator.GetKeyBytes(25, key);
  EXPECT_EQ(ToHex(key), v.Key);
  EXPECT_EQ(generator.GetSaltValue(), salt);

  generator.GetKeyBytes(-1, key);
  EXPECT_TRUE(key.empty());
}

// HMAC hashes a key longer than a block, so a password beyond the 16-bit
// length of the plain routine must still count in full.
TEST(TPBKDF2, UsesAPasswordLongerThan65535BytesWhole) {
  const auto salt = Bytes("salt");
  TPBKDF2 generator(std::string(70000, 'x'), salt.data(), int32_t(salt.size()), 3);
  std::vector<uint8_t> key;
  generator.GetKeyBytes(20, key);
  EXPECT_EQ(ToHex(key), "6796cdb405e2a2456a9a2f6708904cdb2e54689e");
}

TEST(TPBKDF2, MakesAFreshSaltEachTime) {
  TPBKDF2 first("pw", 16, 2), second("pw", 16, 2);
  const auto salt = first.GetSaltValue();
  ASSERT_EQ(salt.size(), 16u);
  EXPECT_NE(salt, second.GetSaltValue());
  EXPECT_EQ(TPBKDF2("pw", -3, 2).GetSaltValue().size(), 0u);

  // The key comes from the salt it made.
  std::vector<uint8_t> made, again;
  first.GetKeyBytes(34, made);
  TPBKDF2("pw", salt.data(), int32_t(salt.size()), 2).GetKeyBytes(34, again);
  EXPECT_EQ(made, again);
}

}  // namespace
