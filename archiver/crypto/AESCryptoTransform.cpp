#include "AESCryptoTransform.h"

#include <algorithm>
#include <cstring>

#include "ZAExtraFields.h"

namespace {

constexpr uint16_t AesExtraFieldID = 0x9901;

// Reads what the stream holds of Buffer; the rest stays zero. A short read
// is not an error here: the check or the authentication code then fails.
void ReadPlain(TStream& Stream, std::vector<uint8_t>& Buffer) {
  std::fill(Buffer.begin(), Buffer.end(), uint8_t(0));
  int64_t got = 0;
  while (got < static_cast<int64_t>(Buffer.size())) {
    const int64_t n = Stream.Read(Buffer.data() + got, static_cast<int64_t>(Buffer.size()) - got);
    if (n <= 0) break;
    got += n;
  }
}

void Wipe(std::vector<uint8_t>& Buffer) {
  std::fill(Buffer.begin(), Buffer.end(), uint8_t(0));
  Buffer.clear();
}

}  // namespace

TAESCryptoTransform::TAESCryptoTransform(int32_t Strength, uint16_t Crypt_version, uint16_t ActualCompMethod)
    : FPHash(FindHashByName("SHA1")),
      FKeyLengthBytes(static_cast<uint16_t>(Strength / 8)),
      FVersion(Crypt_version),
      FActualCompressionMethod(ActualCompMethod),
      FAuthenticationCodeSize(10) {}

TAESCryptoTransform::~TAESCryptoTransform() {
  Wipe(FHashKey);
  Wipe(FEncryptionKey);
  Wipe(FDerivedVerificationValue);
  std::memset(&FHMAC_Context, 0, sizeof FHMAC_Context);
}

void TAESCryptoTransform::GenerateKey(const AnsiString& Password) {
  FPassword = Password;
  // Reading replaces this salt by the entry's own before any key is used.
  if (FTransformMode != Decryption || FSaltValue.empty())
    FSaltValue = TPBKDF2(FPassword, FKeyLengthBytes / 2, Iterations).GetSaltValue();
  FKeysPending = true;
}

void TAESCryptoTransform::EnsureKeys() {
  if (FKeysPending) DeriveKeys();
}

void TAESCryptoTransform::DeriveKeys() {
  FKeysPending = false;
  const size_t k = FKeyLengthBytes;
  FKeyGenerator = std::make_unique<TPBKDF2>(FPassword, FSaltValue.data(), static_cast<int32_t>(FSaltValue.size()),
                                            Iterations);
  std::vector<uint8_t> derived;
  FKeyGenerator->GetKeyBytes(static_cast<int32_t>(2 * k + 2), derived);
  Wipe(FEncryptionKey);
  Wipe(FHashKey);
  FEncryptionKey.assign(derived.begin(), derived.begin() + k);
  FHashKey.assign(derived.begin() + k, derived.begin() + 2 * k);
  FPasswordVerificationValue.assign(derived.begin() + 2 * k, derived.end());
  FDerivedVerificationValue = FPasswordVerificationValue;
  Wipe(derived);

  HMACInit(FHMAC_Context, FPHash, FHashKey.data(), static_cast<uint16_t>(k));
  FCryptor = std::make_unique<TCipher_Rijndael>(FEncryptionKey, FKeyLengthBytes);
  FCryptor->FMode = cmCTR;
}

bool TAESCryptoTransform::CheckPassword(const AnsiString& Password, const TDirItem&) {
  EnsureKeys();
  // The keys in hand already came from this password and this salt.
  if (Password == FPassword) return FDerivedVerificationValue == FPasswordVerificationValue;
  const size_t k = FKeyLengthBytes;
  TPBKDF2 generator(Password, FSaltValue.data(), static_cast<int32_t>(FSaltValue.size()), Iterations);
  std::vector<uint8_t> derived;
  generator.GetKeyBytes(static_cast<int32_t>(2 * k + 2), derived);
  const bool match = FPasswordVerificationValue.size() == 2 && derived[2 * k] == FPasswordVerificationValue[0] &&
                     derived[2 * k + 1] == FPasswordVerificationValue[1];
  Wipe(derived);
  return match;
}

const std::vector<uint8_t>& TAESCryptoTransform::GetKey() {
  EnsureKeys();
  return FEncryptionKey;
}

void TAESCryptoTransform::Reset() {
  std::fill(FPassword.begin(), FPassword.end(), '\0');
  FPassword.clear();
  FKeyLengthBytes = 0;
  FKeysPending = false;
  FKeyGenerator.reset();
  FCryptor.reset();
  Wipe(FEncryptionKey);
  Wipe(FHashKey);
  Wipe(FPasswordVerificationValue);
  Wipe(FDerivedVerificationValue);
  Wipe(FSaltValue);
}

void TAESCryptoTransform::TransformData(const uint8_t* Input, int32_t Count, uint8_t* Output, bool Decrypt) {
  EnsureKeys();
  if (Count <= 0 || !FCryptor) return;
  // The cipher codes in place; only a partial overlap needs a copy.
  const bool overlaps = Input != Output && Input < Output + Count && Output < Input + Count;
  std::vector<uint8_t> copy;
  if (overlaps) {
    copy.assign(Input, Input + Count);
    Input = copy.data();
  }
  if (Decrypt) {
    HMACUpdate(FHMAC_Context, Input, Count);
    FCryptor->DecodeBuffer(Input, Output, Count);
  } else {
    FCryptor->EncodeBuffer(Input, Output, Count);
    HMACUpdate(FHMAC_Context, Output, Count);
  }
}

int32_t TAESCryptoTransform::DecryptBuffer(const uint8_t* InputBuffer, int32_t inputOffset, int32_t InputCount,
                                           uint8_t* OutputBuffer, int32_t OutputOffset) {
  TransformData(InputBuffer + inputOffset, InputCount, OutputBuffer + OutputOffset, true);
  return InputCount;
}

int32_t TAESCryptoTransform::EncryptBuffer(const uint8_t* InputBuffer, int32_t inputOffset, int32_t InputCount,
                                           uint8_t* OutputBuffer, int32_t OutputOffset) {
  TransformData(InputBuffer + inputOffset, InputCount, OutputBuffer + OutputOffset, false);
  return InputCount;
}

std::vector<uint8_t> TAESCryptoTransform::GetFileStorageStartBlock() {
  EnsureKeys();
  std::vector<uint8_t> block = FSaltValue;
  block.insert(block.end(), FPasswordVerificationValue.begin(), FPasswordVerificationValue.end());
  return block;
}

void TAESCryptoTransform::LoadFileStorageStartBlock(TStream& Stream, int64_t Offset) {
  Stream.Seek(Offset, TSeekOrigin::soCurrent);
  FSaltValue.resize(FKeyLengthBytes / 2);
  ReadPlain(Stream, FSaltValue);
  DeriveKeys();
  FPasswordVerificationValue.resize(2);
  ReadPlain(Stream, FPasswordVerificationValue);
}

std::vector<uint8_t> TAESCryptoTransform::GetFileStorageEndBlock() {
  EnsureKeys();
  THashDigest mac{};
  HMACFinal(FHMAC_Context, mac);
  FAuthenticationCode.assign(mac.begin(), mac.begin() + FAuthenticationCodeSize);
  return FAuthenticationCode;
}

void TAESCryptoTransform::LoadFileStorageEndBlock(TStream& Stream, int64_t Offset) {
  Stream.Seek(Offset, TSeekOrigin::soCurrent);
  FAuthenticationCode.assign(static_cast<size_t>(FAuthenticationCodeSize), 0);
  ReadPlain(Stream, FAuthenticationCode);
}

bool TAESCryptoTransform::IsDirItemCorrupted(const TDirItem&, uint32_t) {
  EnsureKeys();
  THashDigest mac{};
  HMACFinal(FHMAC_Context, mac);
  if (FAuthenticationCode.size() != static_cast<size_t>(FAuthenticationCodeSize)) return true;
  return !std::equal(FAuthenticationCode.begin(), FAuthenticationCode.end(), mac.begin());
}

TZAExtraFieldDataBlock TAESCryptoTransform::GetExtraFieldData() const {
  const uint8_t strength = FKeyLengthBytes == 16 ? 1 : FKeyLengthBytes == 24 ? 2 : 3;
  TZAExtraFieldDataBlock block;
  block.headerID = AesExtraFieldID;
  block.dataSize = 7;
  block.pData = {uint8_t(FVersion), uint8_t(FVersion >> 8), 'A', 'E', strength, uint8_t(FActualCompressionMethod),
                 uint8_t(FActualCompressionMethod >> 8)};
  return block;
}
