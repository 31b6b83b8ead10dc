#include "ZAItemDecoder.h"

#include <algorithm>

#include "ZACrc32.h"
#include "ZADirManager.h"
#include "ZAExcept.h"
#include "ZipArchiver.h"

namespace {

int64_t LocalHeaderOffset(const TDirItem& Item) {
  return Item.CentralDir.relOffsetLH == Zip64Escape32 ? Item.Zip64ExtInfo.relOffsetLH
                                                      : Item.CentralDir.relOffsetLH;
}

// Reads until Count bytes came or the stream ends.
int64_t ReadSome(TStream& Stream, uint8_t* Buffer, int64_t Count) {
  int64_t got = 0;
  while (got < Count) {
    const int64_t n = Stream.Read(Buffer + got, Count - got);
    if (n <= 0) break;
    got += n;
  }
  return got;
}

}  // namespace

void TZABaseArchiver::DecodeItem(int ItemNo, TStream& Output) {
  if (ItemNo < 0 || ItemNo >= DMHandle->CDir.Count()) throw EZAException(16, this);
  // A copy: a handler may change the list while the item's data flows.
  TDirItem item;
  DMHandle->CDir.GetItem(ItemNo, item);
  // Through the directory manager, so that its stream follows the volume.
  DMHandle->SwitchVolume(TZAItemDecoder::ItemVolume(*this, item));
  FCompressedStream->SetPosition(LocalHeaderOffset(item));
  TZAItemDecoder decoder(*this, item, Output);
  const bool ok = decoder.DecodeItemStream(*FCompressedStream);
  if (!ok && !FProgressCancel && !FExtractCorruptedFiles && !FSkipFile) throw EZAException(8, this);
}

TZAItemDecoder::TZAItemDecoder(TZABaseArchiver& Arc, const TDirItem& Item, TStream& Output)
    : FArc(Arc), FItem(Item), FOutput(Output), FCrc(ZACrc32Start) {}

TZAVolumeNumberInfo TZAItemDecoder::ItemVolume(const TZABaseArchiver& Arc, const TDirItem& Item) {
  const TZADirManager& dir = *Arc.DMHandle;
  int volume = Item.CentralDir.diskNumberStart;
  if (volume == Zip64Escape16) volume = dir.FZip64 ? static_cast<int>(Item.Zip64ExtInfo.diskNumberStart) : 0;
  int last = dir.CentralDirEnd.diskNumber;
  if (last == Zip64Escape16)
    last = dir.FZip64 ? static_cast<int>(dir.Zip64CentralDirEndLocator.totalNumberOfDisks) - 1 : 0;
  TZAVolumeNumberInfo info;
  info.SetLastVolumeNumber(last);
  info.SetVolumeNumber(volume);
  return info;
}

bool TZAItemDecoder::DecodeItemStream(TStream& Archive) {
  FArchive = &Archive;
  FVolume = ItemVolume(FArc, FItem);
  const TZAZipCentralDir& header = FItem.CentralDir;
  FEncrypted = (header.genPurposeFlag & ZipFlagEncrypted) != 0;
  if (FEncrypted) {
    FAes = header.extractVersion < ZipAesBlockVersionLimit &&
           FItem.ZAEncryptionAlgorithm != caPkzipClassic;
    FDecryptor = CreateEntryDecryptor(FItem, FArc.FCompressionMethod);
  }

  // Only the lengths of the local header matter; its other fields may
  // disagree with the central record.
  FArchive->ReadBuffer(&FLocal, sizeof(FLocal));
  FArchive->Seek(static_cast<int64_t>(FLocal.nameLength) + FLocal.extraLength, TSeekOrigin::soCurrent);

  if (header.compSize == Zip64Escape32) {
    FPackedSize = FItem.Zip64ExtInfo.compSize;
    FUnpackedSize = FItem.Zip64ExtInfo.uncompSize;
  } else {
    FPackedSize = header.compSize;
    FUnpackedSize = header.unCompSize;
  }
  if (FArc.FSpanningMode == smNone) {
    // Data never reaches into the central directory.
    const int64_t room = FArc.DMHandle->CentralDirOffset - FArchive->Position();
    if (FPackedSize > room) FPackedSize = room;
  }
  FArc.FProgressMax = FUnpackedSize != 0 ? FUnpackedSize : 2;

  FArc.FSkipFile = false;
  bool ok;
  switch (FItem.CompressionMethod) {
    case ZipMethodStored:
    case ZipMethodDeflated:
      ok = DecodeChunks();
      break;
    case ZipMethodDeflate64:
      throw EZAException(55, nullptr);
    default:
      ok = false;
      break;
  }

  if (!ok || FWritten != ExpectedSize()) return false;
  if (header.extractVersion >= ZipAesBlockVersionLimit) return true;
  if (FAes) return FDecryptor->IsIntact(*FArchive, FinishCrc32(FCrc));
  return FinishCrc32(FCrc) == header.crc32;
}

int64_t TZAItemDecoder::ExpectedSize() const {
  const TZAZipCentralDir& header = FItem.CentralDir;
  return header.unCompSize == Zip64Escape32 ? FItem.Zip64ExtInfo.uncompSize : header.unCompSize;
}

bool TZAItemDecoder::DecodeChunks() {
  FArc.FSkipFile = false;
  if (FEncrypted) {
    if (!FDecryptor) return false;
    FPackedSize -= FDecryptor->Overhead();
    if (!RunPasswordLoop()) return false;
  }
  // Sized by the chunk, never by what the archive claims beyond it.
  const int64_t inputSize = std::clamp<int64_t>(FPackedSize, 0, ChunkSize);
  FInput = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(inputSize) + 2);
  if (!FInflater.Init()) return false;
  while (FReadSoFar < FPackedSize) {
    const int64_t n = std::min(ChunkSize, FPackedSize - FReadSoFar);
    if (!ReadPackedChunk(FInput.get() + 2, n)) return false;
    if (!ProcessChunk(n)) return false;
    FReadSoFar += n;
  }
  return true;
}

bool TZAItemDecoder::RunPasswordLoop() {
  FArc.FSkipFile = false;
  const int64_t dataStart = FArchive->Position();
  for (;;) {
    FArchive->SetPosition(dataStart);
    if (FDecryptor->CheckPassword(*FArchive, FArc.FPassword, FLocal)) return true;
    if (FArc.FSuppressPasswordEvent) return true;
    FArc.DoPassword(FItem.Name, FArc.FPassword, FArc.FSkipFile);
    if (FArc.FSkipFile) return false;
  }
}

bool TZAItemDecoder::ReadPackedChunk(uint8_t* Buffer, int64_t Count) {
  int64_t got = ReadSome(*FArchive, Buffer, Count);
  while (got < Count) {
    // A single file that ends early is truncated: reading it again from its
    // start would only feed the wrong bytes on.
    if (FArc.FSpanningMode == smNone) return false;
    if (FVolume.VolumeNumber() >= FVolume.LastVolumeNumber()) return false;
    FVolume.SetVolumeNumber(FVolume.VolumeNumber() + 1);
    FArc.DMHandle->SwitchVolume(FVolume);
    FArchive = FArc.FCompressedStream;
    FArchive->SetPosition(0);
    const int64_t more = ReadSome(*FArchive, Buffer + got, Count - got);
    if (more == 0) break;
    got += more;
  }
  return got == Count;
}

bool TZAItemDecoder::ProcessChunk(int64_t Count) {
  uint8_t* data = FInput.get() + 2;
  if (FEncrypted) FDecryptor->DecryptBuffer(data, static_cast<int32_t>(Count));
  if (FItem.CompressionMethod == ZipMethodStored) return ProcessStored(data, Count);
  return ProcessDeflated(data, Count);
}

bool TZAItemDecoder::ProcessStored(const uint8_t* Data, int64_t Count) {
  for (int64_t done = 0; done < Count;) {
    const uint8_t* piece = Data + done;
    const int64_t length = std::min(StoredPieceSize, Count - done);
    UpdateCrc32(piece, length, FCrc);
    done += length;
    FArc.FProgress = FReadSoFar + done;
    if (ReportProgress()) break;
    if (!WriteOutput(piece, length)) break;
    FWritten += length;
  }
  return true;
}

bool TZAItemDecoder::ProcessDeflated(uint8_t* Data, int64_t Count) {
  if (!FInflateOutput) FInflateOutput = std::make_unique_for_overwrite<uint8_t[]>(ChunkSize);
  uint8_t* out = FInflateOutput.get();
  FInflater.SetInput(Data, static_cast<uint32_t>(Count), FReadSoFar == 0);
  FInflater.SetOutput(out, ChunkSize);
  for (;;) {
    FArc.FProgress = FInflated;
    if (ReportProgress()) return true;
    const int rc = FInflater.Inflate();
    if (rc < 0) return rc == Z_BUF_ERROR && FInflater.InputLeft() == 0;
    const int64_t produced = ChunkSize - FInflater.OutputLeft();
    FInflated += produced;
    if (!WriteOutput(out, produced)) return true;
    UpdateCrc32(out, produced, FCrc);
    FWritten += produced;
    // Data that inflate past the size the entry declares are not that entry:
    // stop now instead of writing on until the size check fails it.
    if (FWritten > ExpectedSize() && !FArc.FExtractCorruptedFiles) return false;
    if (FInflater.OutputLeft() != 0 && FInflater.InputLeft() == 0) return true;
    if (rc == Z_STREAM_END) return true;
    FInflater.SetOutput(out, ChunkSize);
  }
}

bool TZAItemDecoder::ReportProgress() {
  if (!FArc.FProgressEnabled) return false;
  const double fraction = static_cast<double>(FArc.FProgress) / static_cast<double>(FArc.FProgressMax);
  FArc.DoFileProgress(FItem.Name, fraction * 100, FItem.Operation, ppProcess, FArc.FProgressCancel);
  if (FArc.FProgressCancel) return true;
  FArc.DoOverallProgress((fraction + FArc.FProcessedFileNo) / FArc.FProcessedFileCount * 100,
                         FItem.Operation, ppProcess, FArc.FProgressCancel);
  return FArc.FProgressCancel;
}

bool TZAItemDecoder::WriteOutput(const uint8_t* Buffer, int64_t Count) {
  const int64_t position = FOutput.Position();
  for (;;) {
    if (FOutput.Write(Buffer, Count) == Count) return true;
    bool cancel = false;
    FArc.DoDiskFull(-1, FArc.FFileName, cancel);
    if (cancel) {
      FArc.FProgressCancel = true;
      return false;
    }
    FOutput.SetPosition(position);
  }
}
