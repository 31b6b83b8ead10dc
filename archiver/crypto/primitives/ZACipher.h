#pragma once
// The block-cipher framework and its Rijndael cipher (FIPS-197 AES with a
// 16-byte block). The engine uses it in counter mode only.
#include <cstdint>
#include <vector>

#include "Exceptions.h"
#include "Types.h"

class ECipherException : public Exception {
 public:
  ECipherException(String Message, int32_t ErrorCode);
  int32_t ErrorCode;
};

// ErrorCode of a cipher used before it was keyed.
inline constexpr int32_t errNotInitialized = 3;
// ErrorCode of a coding call in a mode this framework does not implement.
inline constexpr int32_t errModeNotSupported = 4;

enum TPAction : uint8_t { paEncode, paDecode, paScramble, paCalc, paWipe };
using TPActions = uint8_t;  // set of TPAction, bit n for value n

// Root of the framework. Its owner holds it (std::unique_ptr) where the
// original design counted references; the chained protection and the coding
// services on streams, files and strings are not used by the engine.
class TProtection {
 public:
  TProtection() = default;
  virtual ~TProtection() = default;
  TProtection(const TProtection&) = delete;
  TProtection& operator=(const TProtection&) = delete;

 protected:
  TProtection* FProtection = nullptr;  // not owned; none here
  TPActions FActions = 0;
};

enum TCipherMode : uint8_t {
  cmCTS = 0,
  cmCBC = 1,
  cmCFB = 2,
  cmOFB = 3,
  cmCTR = 4,
  cmECB = 5,
  cmCTSMAC = 6,
  cmCBCMAC = 7,
  cmCFBMAC = 8
};

class TCipher : public TProtection {
 public:
  ~TCipher() override;

  // Keys the cipher with the first min(KeyLength, key size) bytes of Key, then
  // replaces Key by an enciphered copy of KeyLength bytes, so that the plain
  // key does not stay behind in the caller's buffer.
  void InitKey(std::vector<uint8_t>& Key, uint16_t KeyLength, const void* IVector = nullptr);
  // Keys the cipher; a Size beyond the key size is cut to it.
  virtual void Init(const void* Key, int32_t Size, const void* IVector) = 0;
  // Source and Dest may be the same buffer. Counter mode carries its counter
  // and key-stream position from call to call.
  void EncodeBuffer(const void* Source, void* Dest, int32_t DataSize);
  void DecodeBuffer(const void* Source, void* Dest, int32_t DataSize);
  // The chaining modes restart from the vector; the counter mode does not.
  virtual void Done();
  // Wipes the key schedule, the chaining state and the counter.
  virtual void Protect();

  // One block in place, FIPS-197 byte order.
  virtual void EncryptBlock(void* Data) = 0;
  virtual void DecryptBlock(void* Data) = 0;

  virtual String ClassName() const { return u"TCipher"; }

  TCipherMode FMode = cmCTS;  // chosen by setting it directly

 protected:
  struct TCipherSizes {
    int32_t BufSize;
    int32_t KeySize;
    int32_t UserSize;
  };
  explicit TCipher(const TCipherSizes& Sizes);

  virtual void ChangeFlag(int32_t Bit, bool Set);
  virtual void FinishInit(const void* IVector);

  int32_t FKeySize;
  int32_t FBufSize;
  int32_t FUserSize;
  std::vector<uint8_t> FBuffer;
  std::vector<uint8_t> FVector;
  std::vector<uint8_t> FFeedback;
  std::vector<uint32_t> FUser;  // FUserSize bytes, as words for the key schedule
  uint32_t FFlags = 0;          // bit 0: keyed through InitKey; bit 1: initialised
  int32_t ctrMode_Position;
  std::vector<uint8_t> ctrMode_EncryptionBlock;
  std::vector<uint8_t> ctrMode_Nonce;

 private:
  void Code(const void* Source, void* Dest, int32_t DataSize);
  void CTRCode(uint8_t* Data, size_t Size);
  void NextKeyStreamBlock();
};

class TCipher_Rijndael : public TCipher {
 public:
  TCipher_Rijndael();
  TCipher_Rijndael(std::vector<uint8_t>& Key, uint16_t KeyLength);

  static TCipherSizes QuerySizes() { return {16, 32, 480}; }

  void Init(const void* Key, int32_t Size, const void* IVector) override;
  void EncryptBlock(void* Data) override;
  void DecryptBlock(void* Data) override;
  String ClassName() const override { return u"TCipher_Rijndael"; }

 private:
  int32_t FRounds = 10;
};
