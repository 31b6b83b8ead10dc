#pragma once
// The entry-encryption interface: the decoder drives a block-cipher scheme
// through it without knowing which one it is. The slots marked "writing"
// serve archive writing, which the engine does not do yet.
#include <cstdint>
#include <vector>

#include "Stream.h"
#include "Types.h"
#include "ZAExtraFields.h"

struct TDirItem;

enum TCryptoTransformMode { Encryption = 0, Decryption = 1 };

class TZACryptoTransform {
 public:
  TZACryptoTransform() = default;
  virtual ~TZACryptoTransform() = default;
  TZACryptoTransform(const TZACryptoTransform&) = delete;
  TZACryptoTransform& operator=(const TZACryptoTransform&) = delete;

  // Takes Password as the transform's own and derives key material from it.
  virtual void GenerateKey(const AnsiString& Password) = 0;
  // True when Password matches the verification data of the leading block;
  // changes no state.
  virtual bool CheckPassword(const AnsiString& Password, const TDirItem& Item) = 0;
  virtual const std::vector<uint8_t>& GetKey() = 0;
  virtual const AnsiString& GetPassword() const = 0;
  virtual void Initialize(TCryptoTransformMode Mode, const TDirItem& Item);
  virtual void Reset() = 0;
  // Decrypts InputCount bytes into OutputBuffer (the same buffer is allowed)
  // and feeds them to the integrity check; returns InputCount.
  virtual int32_t DecryptBuffer(const uint8_t* InputBuffer, int32_t inputOffset, int32_t InputCount,
                                uint8_t* OutputBuffer, int32_t OutputOffset) = 0;
  // Writing: the mirror of DecryptBuffer.
  virtual int32_t EncryptBuffer(const uint8_t* InputBuffer, int32_t inputOffset, int32_t InputCount,
                                uint8_t* OutputBuffer, int32_t OutputOffset) = 0;
  // Writing: the bytes that precede the entry data.
  virtual std::vector<uint8_t> GetFileStorageStartBlock() = 0;
  // Reads the bytes that precede the entry data, Offset bytes after the
  // stream's position.
  virtual void LoadFileStorageStartBlock(TStream& Stream, int64_t Offset) = 0;
  virtual int32_t GetFileStorageStartBlockSize() const = 0;
  // Writing: the bytes that follow the entry data.
  virtual std::vector<uint8_t> GetFileStorageEndBlock() = 0;
  virtual void LoadFileStorageEndBlock(TStream& Stream, int64_t Offset) = 0;
  virtual int32_t GetFileStorageEndBlockSize() const = 0;
  // After all data went through DecryptBuffer: true when the entry failed its
  // integrity check. Ends the check: asked once per transform.
  virtual bool IsDirItemCorrupted(const TDirItem& Item, uint32_t Crc32) = 0;
  // Writing: the extra block that announces the scheme.
  virtual TZAExtraFieldDataBlock GetExtraFieldData() const = 0;

  TCryptoTransformMode TransformMode() const { return FTransformMode; }

 protected:
  TCryptoTransformMode FTransformMode = Encryption;
};
