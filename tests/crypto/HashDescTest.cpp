#include <gtest/gtest.h>

#include "CryptoTestSupport.h"
#include "HashDesc.h"
#include "ZAsha1.h"

using namespace crypto_test;

namespace {

THashDesc DescLike(int32_t AlgNum, const char* Name) {
  THashDesc d = SHA1_Desc;
  d.HAlgNum = AlgNum;
  d.HName = {};
  for (size_t i = 0; Name[i] && i < 19; ++i) d.HName[i] = Name[i];
  return d;
}

TEST(HashRegistry, HoldsOnlySHA1AfterStartUp) {
  EXPECT_EQ(FindHashByID(3), &SHA1_Desc);
  for (int32_t id : {-1, 0, 1, 2, 4, 5, 6, 7, 8, 9, 1000}) EXPECT_EQ(FindHashByID(id), nullptr) << id;
  EXPECT_EQ(SHA1_Desc.HBlockLen, 64);
  EXPECT_EQ(SHA1_Desc.HDigestlen, 20);
  EXPECT_EQ(SHA1_Desc.HLenOID, 6);
  const TOID_Vec oid = {1, 3, 14, 3, 2, 26};
  EXPECT_EQ(*SHA1_Desc.HPtrOID, oid);
}

TEST(HashRegistry, FindsByNameIgnoringAsciiCaseOnly) {
  for (const char* name : {"SHA1", "sha1", "Sha1", "sHa1"})
    EXPECT_EQ(FindHashByName(name), &SHA1_Desc) << name;
  for (const char* name : {"", "SHA", "SHA-1", "SHA1 ", "SHA11", "MD5"})
    EXPECT_EQ(FindHashByName(name), nullptr) << name;
}

// Registration changes process-wide state, so all of it sits in one test and
// uses slots nothing else looks at.
TEST(HashRegistry, RegistersOnlyValidDescriptorsForTheirSlot) {
  static THashDesc wrongSig = DescLike(5, "WRONGSIG"), wrongSize = DescLike(5, "WRONGSIZE"),
                   wrongVersion = DescLike(5, "WRONGVERSION"), wrongSlot = DescLike(6, "WRONGSLOT");
  wrongSig.HSig = 0x3D7B;
  wrongSize.HDSize = 81;
  wrongVersion.HDVersion = 0x00010002;
  for (PHashDesc d : {&wrongSig, &wrongSize, &wrongVersion, &wrongSlot}) RegisterHashDesc(5, d);
  RegisterHashDesc(5, nullptr);
  EXPECT_EQ(FindHashByID(5), nullptr);
  for (const char* name : {"WRONGSIG", "WRONGSIZE", "WRONGVERSION", "WRONGSLOT"})
    EXPECT_EQ(FindHashByName(name), nullptr);

  static const THashDesc longName = DescLike(5, "ABCDEFGHIJKLMNOPQ[\xC4");
  RegisterHashDesc(5, &longName);
  RegisterHashDesc(9, &longName);  // out of range: ignored, not stored anywhere
  EXPECT_EQ(FindHashByID(5), &longName);
  // Only the first 19 characters count, and only a to z change case.
  EXPECT_EQ(FindHashByName("abcdefghijklmnopq[\xC4-anything"), &longName);
  EXPECT_EQ(FindHashByName("abcdefghijklmnopq{\xC4"), nullptr);
  EXPECT_EQ(FindHashByName("abcdefghijklmnopq[\xE4"), nullptr);
}

TEST(HashRegistry, HashFullIgnoresAMissingOrForeignDescriptor) {
  THashDigest untouched, digest;
  untouched.fill(0xCC);
  digest = untouched;
  HashFull(digest, nullptr, "abc", 3);
  THashDesc foreign = SHA1_Desc;
  foreign.HSig = 0;
  HashFull(digest, &foreign, "abc", 3);
  EXPECT_EQ(digest, untouched);

  HashFull(digest, &SHA1_Desc, "abc", 3);
  EXPECT_EQ(DigestHex(digest), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

}  // namespace
