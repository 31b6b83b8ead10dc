#pragma once
// Decoding of one item's data into an output stream: the local header, the
// sizes that bound the read, the password loop and decryption of an
// encrypted entry, inflating or copying in chunks, progress, a full disk,
// and the final size and CRC-32 checks. Lives for one DecodeItem call.
#include <cstdint>
#include <memory>

#include "Stream.h"
#include "ZADirArray.h"
#include "ZAEntryDecryptor.h"
#include "ZAInflater.h"
#include "ZASpanning.h"
#include "ZipRecords.h"

class TZABaseArchiver;

class TZAItemDecoder {
 public:
  // The most packed data read at once, and the inflate output buffer.
  static constexpr int64_t ChunkSize = 1 << 20;
  // Stored data is reported and written in pieces of at most this size.
  static constexpr int64_t StoredPieceSize = 65535;

  TZAItemDecoder(TZABaseArchiver& Arc, const TDirItem& Item, TStream& Output);
  TZAItemDecoder(const TZAItemDecoder&) = delete;
  TZAItemDecoder& operator=(const TZAItemDecoder&) = delete;

  // The volume that holds the item's local header, and the archive's last one.
  static TZAVolumeNumberInfo ItemVolume(const TZABaseArchiver& Arc, const TDirItem& Item);

  // Archive stands at the item's local header. True when the item decoded
  // completely and verified.
  bool DecodeItemStream(TStream& Archive);

 private:
  bool DecodeChunks();
  bool RunPasswordLoop();
  bool ReadPackedChunk(uint8_t* Buffer, int64_t Count);
  bool ProcessChunk(int64_t Count);
  bool ProcessStored(const uint8_t* Data, int64_t Count);
  // The size the central record declares, which the output must match.
  int64_t ExpectedSize() const;
  bool ProcessDeflated(uint8_t* Data, int64_t Count);
  bool WriteOutput(const uint8_t* Buffer, int64_t Count);
  // Raises the progress events; true when they ask to cancel.
  bool ReportProgress();

  TZABaseArchiver& FArc;
  const TDirItem& FItem;
  TStream& FOutput;
  TStream* FArchive = nullptr;
  TZAVolumeNumberInfo FVolume;
  TZALocalFileHeader FLocal{};
  bool FEncrypted = false;
  bool FAes = false;
  std::unique_ptr<TZAEntryDecryptor> FDecryptor;
  int64_t FPackedSize = 0;
  int64_t FUnpackedSize = 0;
  int64_t FReadSoFar = 0;
  int64_t FWritten = 0;
  int64_t FInflated = 0;  // zlib's total output for the item
  uint32_t FCrc;
  TZAInflater FInflater;
  // Two spare bytes in front of the data take the zlib header.
  std::unique_ptr<uint8_t[]> FInput;
  std::unique_ptr<uint8_t[]> FInflateOutput;
};
