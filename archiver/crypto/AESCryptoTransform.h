#pragma once
// AES entries (extra block 0x9901): a salt and a 2-byte password check value
// before the data, AES in counter mode with keys from PBKDF2-HMAC-SHA-1, and
// a 10-byte HMAC-SHA-1 of the encrypted data after it.
#include <cstdint>
#include <memory>
#include <vector>

#include "HashDesc.h"
#include "ZACipher.h"
#include "ZACryptoTransform.h"
#include "ZAPBKDF_2.h"
#include "ZAhmac.h"

class TAESCryptoTransform : public TZACryptoTransform {
 public:
  static constexpr int32_t Iterations = 1000;

  // Strength in key bits: 128, 192 or 256.
  TAESCryptoTransform(int32_t Strength, uint16_t Crypt_version, uint16_t ActualCompMethod);
  ~TAESCryptoTransform() override;

  void GenerateKey(const AnsiString& Password) override;
  bool CheckPassword(const AnsiString& Password, const TDirItem& Item) override;
  const std::vector<uint8_t>& GetKey() override;
  const AnsiString& GetPassword() const override { return FPassword; }
  void Reset() override;
  int32_t DecryptBuffer(const uint8_t* InputBuffer, int32_t inputOffset, int32_t InputCount,
                        uint8_t* OutputBuffer, int32_t OutputOffset) override;
  int32_t EncryptBuffer(const uint8_t* InputBuffer, int32_t inputOffset, int32_t InputCount,
                        uint8_t* OutputBuffer, int32_t OutputOffset) override;
  std::vector<uint8_t> GetFileStorageStartBlock() override;
  void LoadFileStorageStartBlock(TStream& Stream, int64_t Offset) override;
  int32_t GetFileStorageStartBlockSize() const override { return FKeyLengthBytes / 2 + 2; }
  std::vector<uint8_t> GetFileStorageEndBlock() override;
  void LoadFileStorageEndBlock(TStream& Stream, int64_t Offset) override;
  int32_t GetFileStorageEndBlockSize() const override { return FAuthenticationCodeSize; }
  bool IsDirItemCorrupted(const TDirItem& Item, uint32_t Crc32) override;
  TZAExtraFieldDataBlock GetExtraFieldData() const override;

 private:
  // Keys, HMAC and cipher from FPassword and FSaltValue; the counter and the
  // HMAC restart.
  void DeriveKeys();
  // Derivation is put off until something needs the keys: reading derives
  // them once the archive's salt is loaded, so a key made from the first,
  // random salt would only be thrown away.
  void EnsureKeys();
  void TransformData(const uint8_t* Input, int32_t Count, uint8_t* Output, bool Decrypt);

  std::unique_ptr<TPBKDF2> FKeyGenerator;
  THMAC_Context FHMAC_Context{};
  PHashDesc FPHash;
  std::unique_ptr<TCipher_Rijndael> FCryptor;
  uint16_t FKeyLengthBytes;
  std::vector<uint8_t> FHashKey;
  std::vector<uint8_t> FEncryptionKey;
  std::vector<uint8_t> FPasswordVerificationValue;
  std::vector<uint8_t> FSaltValue;
  std::vector<uint8_t> FAuthenticationCode;
  AnsiString FPassword;
  uint16_t FVersion;
  uint16_t FActualCompressionMethod;
  int32_t FAuthenticationCodeSize;
  // The check value derived with the keys, kept so that checking the
  // transform's own password needs no second derivation.
  std::vector<uint8_t> FDerivedVerificationValue;
  bool FKeysPending = false;
};
