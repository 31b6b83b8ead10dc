#pragma once
// PBKDF2 (RFC 2898, PKCS #5 v2.0) with a descriptor's HMAC as the
// pseudo-random function, and the key generator that binds a password, a
// salt and an iteration count.
#include <cstdint>
#include <vector>

#include "HashDesc.h"
#include "Types.h"

// 0 on success, 1 when PHash is nullptr, 2 when its digest length is 0.
// An iteration count of 0 or less gives zero bytes.
int32_t PBKDF2Derive(PHashDesc PHash, const void* pPW, uint16_t pLen, const void* salt, uint16_t sLen,
                     int32_t C, void* DK, uint16_t dkLen);

class TPBKDF2 {
 public:
  // Makes a fresh random salt of SaltSize bytes.
  TPBKDF2(const AnsiString& Password, int32_t SaltSize, int32_t Iterations);
  TPBKDF2(const AnsiString& Password, const uint8_t* Salt, int32_t SaltLength, int32_t Iterations);
  virtual ~TPBKDF2();
  TPBKDF2(const TPBKDF2&) = delete;
  TPBKDF2& operator=(const TPBKDF2&) = delete;

  // Cb bytes of PBKDF2-HMAC-SHA-1 output, handed to the caller in Key.
  void GetKeyBytes(int32_t Cb, std::vector<uint8_t>& Key);
  // A copy of the salt.
  std::vector<uint8_t> GetSaltValue() const;
  void Initialize() {}

 private:
  int32_t FIterationNumber;
  std::vector<uint8_t> FSaltValue;
  int32_t FSaltLength;
  AnsiString FPassword;
};
