#pragma once
// The seam between entry decoding and entry encryption. The decoder drives
// one decryptor per encrypted entry: it runs the password loop through
// CheckPassword, decrypts every chunk in place before it is inflated or
// stored, and for AES entries asks for the integrity decision at the end.
#include <cstdint>
#include <memory>

#include "Stream.h"
#include "Types.h"
#include "ZipRecords.h"

struct TDirItem;

class TZAEntryDecryptor {
 public:
  virtual ~TZAEntryDecryptor() = default;

  // Bytes around the entry data that are not data (headers, trailers).
  virtual int64_t Overhead() const = 0;
  // Reads the leading block at the stream's position and checks Password
  // against it; afterwards the stream stands behind that block, and on true
  // the decryptor is keyed for the data. Local is the entry's local header.
  virtual bool CheckPassword(TStream& Stream, const AnsiString& Password,
                             const TZALocalFileHeader& Local) = 0;
  virtual void DecryptBuffer(uint8_t* Buffer, int32_t Count) = 0;
  // After the data: reads any trailing block from the stream's position and
  // tells whether the entry is intact; Crc is the finished CRC-32 of the
  // decoded bytes. Asked only of AES entries; classic ones are judged by
  // their CRC-32.
  virtual bool IsIntact(TStream& Stream, uint32_t Crc) = 0;
};

// The decryptor for an encrypted Item, created before its local header is
// read: AES for an item that names an AES strength, classic otherwise. It
// keeps a reference to Item. CompressionMethod is the archiver's current
// method.
std::unique_ptr<TZAEntryDecryptor> CreateEntryDecryptor(const TDirItem& Item,
                                                        uint16_t CompressionMethod);
