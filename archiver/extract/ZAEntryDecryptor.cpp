// The two schemes behind the decoder's seam: classic entries through the
// classic cipher routines, AES entries through their transform.
#include "ZAEntryDecryptor.h"

#include "AESCryptoTransform.h"
#include "ZAClassicCrypt.h"
#include "ZADirArray.h"

namespace {

class TClassicEntryDecryptor : public TZAEntryDecryptor {
 public:
  TClassicEntryDecryptor() { ClassicInitKeys(AnsiString(), FKeys); }

  int64_t Overhead() const override { return ClassicHeaderSize; }

  bool CheckPassword(TStream& Stream, const AnsiString& Password, const TZALocalFileHeader& Local) override {
    // An empty password never opens a classic entry: nothing is read for it.
    if (Password.empty()) return false;
    return CheckClassicPassword(Stream, Password, FKeys, Local.crc32, Local.lastModTime, Local.genPurposeFlag);
  }

  void DecryptBuffer(uint8_t* Buffer, int32_t Count) override { ClassicDecryptBuffer(Buffer, Count, FKeys); }

  // Classic entries are judged by their CRC-32 alone.
  bool IsIntact(TStream&, uint32_t) override { return true; }

 private:
  TZAClassicKeys FKeys;
};

class TAESEntryDecryptor : public TZAEntryDecryptor {
 public:
  TAESEntryDecryptor(const TDirItem& Item, int32_t Strength, uint16_t CompressionMethod)
      : FItem(Item), FTransform(Strength, 2, CompressionMethod) {
    FTransform.Initialize(Decryption, Item);
  }

  int64_t Overhead() const override {
    return FTransform.GetFileStorageStartBlockSize() + FTransform.GetFileStorageEndBlockSize();
  }

  bool CheckPassword(TStream& Stream, const AnsiString& Password, const TZALocalFileHeader&) override {
    // New keys only for a new password: a rewind alone restarts the counter
    // and the HMAC when the leading block is read again.
    if (!FKeyed || Password != FTransform.GetPassword()) {
      FTransform.GenerateKey(Password);
      FKeyed = true;
    }
    FTransform.LoadFileStorageStartBlock(Stream, 0);
    return FTransform.CheckPassword(Password, FItem);
  }

  void DecryptBuffer(uint8_t* Buffer, int32_t Count) override {
    FTransform.DecryptBuffer(Buffer, 0, Count, Buffer, 0);
  }

  bool IsIntact(TStream& Stream, uint32_t Crc) override {
    FTransform.LoadFileStorageEndBlock(Stream, 0);
    return !FTransform.IsDirItemCorrupted(FItem, Crc);
  }

 private:
  const TDirItem& FItem;
  TAESCryptoTransform FTransform;
  bool FKeyed = false;
};

int32_t AesStrength(TZACryptoAlgorithm Algorithm) {
  switch (Algorithm) {
    case caAES_128: return 128;
    case caAES_192: return 192;
    case caAES_256: return 256;
    default: return 0;
  }
}

}  // namespace

std::unique_ptr<TZAEntryDecryptor> CreateEntryDecryptor(const TDirItem& Item, uint16_t CompressionMethod) {
  const int32_t strength = AesStrength(Item.ZAEncryptionAlgorithm);
  if (strength != 0 && Item.CentralDir.extractVersion < ZipAesBlockVersionLimit)
    return std::make_unique<TAESEntryDecryptor>(Item, strength, CompressionMethod);
  return std::make_unique<TClassicEntryDecryptor>();
}
