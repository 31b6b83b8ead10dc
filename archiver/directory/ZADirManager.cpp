#include "ZADirManager.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "Exceptions.h"
#include "FileSystem.h"
#include "TextCodec.h"
#include "ZAExcept.h"
#include "ZAStrFunc.h"
#include "ZipArchiver.h"

namespace {

// The end record may lie behind a comment of up to 65535 bytes and a little more.
constexpr int64_t kEndSearchWindow = 65600;
constexpr int64_t kLocalHeaderSearchChunk = 65535;
constexpr int64_t kSignatureSearchWindow = 10000;
// Longer extra areas in a local header are taken for data, not a header.
constexpr uint16_t kMaxScannedExtraLength = 0x104;

int64_t ReadSize(const TZAZipCentralDir& Header, const TDirItem& Item) {
  return Header.compSize == Zip64Escape32 ? Item.Zip64ExtInfo.compSize : Header.compSize;
}

int64_t LocalHeaderOffset(const TDirItem& Item) {
  return Item.CentralDir.relOffsetLH == Zip64Escape32 ? Item.Zip64ExtInfo.relOffsetLH
                                                      : Item.CentralDir.relOffsetLH;
}

// The directory cannot be what the end record says: it is read as damaged.
struct EDamagedDirectory {};

// Position of the first occurrence of Pattern in Data[From, Size) lying
// wholly inside it, or -1.
int64_t FindPattern(const std::vector<uint8_t>& Data, int64_t Size, uint32_t Pattern) {
  uint8_t bytes[4];
  std::memcpy(bytes, &Pattern, 4);
  for (int64_t i = 0; i + 4 <= Size; ++i)
    if (Data[i] == bytes[0] && Data[i + 1] == bytes[1] && Data[i + 2] == bytes[2] &&
        Data[i + 3] == bytes[3])
      return i;
  return -1;
}

// Restores a stream's position when a search is done.
class TKeepPosition {
 public:
  explicit TKeepPosition(TStream& Stream) : FStream(Stream), FPosition(Stream.Position()) {}
  ~TKeepPosition() { FStream.SetPosition(FPosition); }

 private:
  TStream& FStream;
  int64_t FPosition;
};

}  // namespace

// ---- TUnicodeExtendedInfo -------------------------------------------------

bool TUnicodeExtendedInfo::Load(const uint8_t* Data, int32_t Size) {
  TMemoryStream stream;
  if (Size > 0) stream.WriteBuffer(Data, Size);
  return LoadFromStream(stream);
}

bool TUnicodeExtendedInfo::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  if (Stream.Read(&FAdditionalSignature, 4) != 4 ||
      static_cast<uint32_t>(FAdditionalSignature) != ZipUnicodeNameSignature)
    return false;
  int32_t count = 0;
  if (Stream.Read(&count, 4) != 4 || count < 0) return false;
  // A count beyond the block yields the code units present.
  const int64_t units = std::min<int64_t>(count, (Stream.Size() - Stream.Position()) / 2);
  FName.resize(static_cast<size_t>(units));
  Stream.ReadBuffer(FName.data(), units * 2);
  return true;
}

// ---- TZADirManager --------------------------------------------------------

TZADirManager::TZADirManager(TStream* Stream, bool bCreate, TZABaseArchiver* Arc)
    : FCompressedStream(Stream), FIsCustomStream(Stream != Arc->FCompressedStream), FArc(Arc) {
  ResetDir();
  if (bCreate) FArc->FVolumeNumberInfo->SetFirstVolume(true);
}

TZADirManager::~TZADirManager() = default;

void TZADirManager::ResetDir() {
  CDir.SetCount(0);
  CentralDirEnd = TZAZipCentralDirEnd{};
  CentralDirEnd.signature = ZipCentralDirEndSignature;
}

bool TZADirManager::HasCentralDirEnd() {
  int64_t pos;
  const bool found = FindCentralDirEnd(CentralDirEnd, pos);
  return FArc->FOpenCorruptedArchives || found;
}

bool TZADirManager::FindCentralDirEnd(TZAZipCentralDirEnd& End, int64_t& EndPos) {
  EndPos = -1;
  ArchiveComment.clear();
  End = TZAZipCentralDirEnd{};
  const int64_t size = FCompressedStream->Size();
  const int64_t window = std::min(size, kEndSearchWindow);
  std::vector<uint8_t> buffer(static_cast<size_t>(window));
  FCompressedStream->SetPosition(size - window);
  FCompressedStream->ReadBuffer(buffer.data(), window);
  for (int64_t i = window - 1; i >= 3; --i) {
    if (buffer[i - 3] != 0x50 || buffer[i - 2] != 0x4B || buffer[i - 1] != 0x05 || buffer[i] != 0x06)
      continue;
    const int64_t c = (size - window) + (i - 3);
    if (!IsValidCentralDirEnd(c, End)) continue;
    EndPos = c;
    if (End.commentLength > 0) {
      ArchiveComment.resize(End.commentLength);
      FCompressedStream->SetPosition(c + sizeof(TZAZipCentralDirEnd));
      FCompressedStream->ReadBuffer(ArchiveComment.data(), End.commentLength);
    }
    return true;
  }
  return false;
}

bool TZADirManager::IsValidCentralDirEnd(int64_t c, TZAZipCentralDirEnd& End) {
  const int64_t size = FCompressedStream->Size();
  const int64_t recordEnd = c + static_cast<int64_t>(sizeof(TZAZipCentralDirEnd));
  if (recordEnd > size) return false;
  {
    TKeepPosition keep(*FCompressedStream);
    FCompressedStream->SetPosition(c);
    FCompressedStream->ReadBuffer(&End, sizeof(End));
  }
  if (End.startDiskNumber > End.diskNumber) return false;
  if (End.entriesOnDisk > End.entriesCentralDir) return false;
  if (End.centralDirSize != Zip64Escape32 && End.centralDirSize >= recordEnd) return false;
  if (End.startDiskNumber == End.diskNumber && End.offsetStartDir != Zip64Escape32 &&
      static_cast<int64_t>(End.offsetStartDir) >=
          recordEnd - static_cast<int64_t>(End.centralDirSize))
    return false;
  if (End.commentLength > size - recordEnd) return false;
  return true;
}

void TZADirManager::LoadDir() {
  TZAVolumeNumberInfo volume;
  ResetDir();
  StubSize = 0;
  int64_t pos;
  TZAZipCentralDirEnd end;
  if (!FindCentralDirEnd(end, pos)) {
    RebuildFromLocalHeaders();
    return;
  }
  CentralDirEnd = end;

  FZip64 = false;
  if (pos > static_cast<int64_t>(sizeof(TZAZip64CentralDirEndLocator))) {
    FCompressedStream->SetPosition(pos - static_cast<int64_t>(sizeof(Zip64CentralDirEndLocator)));
    FCompressedStream->ReadBuffer(&Zip64CentralDirEndLocator, sizeof(Zip64CentralDirEndLocator));
    if (Zip64CentralDirEndLocator.signature == Zip64CentralDirEndLocatorSignature) {
      FZip64 = true;
      pos -= static_cast<int64_t>(sizeof(Zip64CentralDirEndLocator));
    }
  }
  if (FZip64) {
    const int64_t at = Zip64CentralDirEndLocator.offsetStartDirEnd;
    if (pos <= static_cast<int64_t>(sizeof(TZAZip64CentralDirEnd)) || at < 0 ||
        at > FCompressedStream->Size())
      throw EZAException(40, nullptr);
    FCompressedStream->SetPosition(at);
    FCompressedStream->ReadBuffer(&Zip64CentralDirEnd, sizeof(Zip64CentralDirEnd));
    if (Zip64CentralDirEnd.signature != Zip64CentralDirEndSignature) throw EZAException(40, nullptr);
    pos -= static_cast<int64_t>(sizeof(Zip64CentralDirEnd));
  }
  if (!FZip64 && CentralDirEnd.entriesCentralDir == Zip64Escape16) {
    RebuildFromLocalHeaders();
    return;
  }

  const int startVolume = CentralDirEnd.startDiskNumber != Zip64Escape16
                              ? CentralDirEnd.startDiskNumber
                              : (FZip64 ? static_cast<int>(Zip64CentralDirEnd.startDiskNumber) : 0);
  const int lastVolume =
      CentralDirEnd.diskNumber != Zip64Escape16
          ? CentralDirEnd.diskNumber
          : (FZip64 ? static_cast<int>(Zip64CentralDirEndLocator.totalNumberOfDisks) - 1 : 0);
  volume.SetLastVolumeNumber(lastVolume);
  volume.SetVolumeNumber(startVolume);
  const bool multiVolume = FArc->FSpanningMode != smNone;
  if (multiVolume) SwitchVolume(volume);

  const int64_t centralDirSize =
      FZip64 ? Zip64CentralDirEnd.centralDirSize : static_cast<int64_t>(CentralDirEnd.centralDirSize);
  const int64_t start =
      multiVolume ? (FZip64 ? Zip64CentralDirEnd.offsetStartDir
                            : static_cast<int64_t>(CentralDirEnd.offsetStartDir))
                  : pos - centralDirSize;
  const uint32_t entries = FZip64 ? static_cast<uint32_t>(Zip64CentralDirEnd.entriesCentralDir)
                                  : CentralDirEnd.entriesCentralDir;

  try {
    // A count or a start the directory cannot hold is a damaged directory,
    // never an allocation or a read beyond the stream.
    if (start < 0 || start > FCompressedStream->Size()) throw EDamagedDirectory();
    if (!multiVolume &&
        static_cast<uint64_t>(entries) * sizeof(TZAZipCentralDir) > static_cast<uint64_t>(centralDirSize))
      throw EDamagedDirectory();
    if (entries > static_cast<uint32_t>(INT32_MAX)) throw EDamagedDirectory();
    FCompressedStream->SetPosition(start);
    if (multiVolume) {
      // Volumes of a set may differ in size: their items are allocated as they are read.
      ReadCentralRecords(volume, static_cast<int32_t>(entries));
    } else {
      CDir.SetCount(static_cast<int32_t>(entries));
      ReadCentralRecordsInMemory(static_cast<int32_t>(entries));
    }
  } catch (const EDamagedDirectory&) {
    if (!FArc->FOpenCorruptedArchives) throw EReadError();
    RebuildFromLocalHeaders();
    return;
  } catch (const Exception&) {
    if (!FArc->FOpenCorruptedArchives) throw;
    RebuildFromLocalHeaders();
    return;
  } catch (const std::bad_alloc&) {
    if (!FArc->FOpenCorruptedArchives) throw;
    RebuildFromLocalHeaders();
    return;
  }

  if (!FArc->FOpenCorruptedArchives && !multiVolume) CheckCompressedSizes();
  if (lastVolume == 0) DetectStubSize(pos);
  if (!OffsetsIncludeStub()) ApplyStubOffset();
}

// One read of everything from the directory's start to the end of the stream
// instead of several small reads per record; the records read the same.
void TZADirManager::ReadCentralRecordsInMemory(int32_t Entries) {
  TStream* file = FCompressedStream;
  const int64_t start = file->Position();
  TMemoryStream tail;
  tail.SetSize(file->Size() - start);
  file->ReadBuffer(tail.Memory(), tail.Size());
  FCompressedStream = &tail;
  try {
    TZAVolumeNumberInfo unused;
    ReadCentralRecords(unused, Entries);
  } catch (...) {
    FCompressedStream = file;
    throw;
  }
  FCompressedStream = file;
  if (Entries > 0) CentralDirOffset = start;
}

void TZADirManager::ReadCentralRecords(TZAVolumeNumberInfo& Volume, int32_t Entries) {
  const bool multiVolume = FArc->FSpanningMode != smNone;
  for (int32_t i = 0; i < Entries; ++i) {
    if (multiVolume) {
      if (FCompressedStream->Size() - FCompressedStream->Position() <
          static_cast<int64_t>(sizeof(TZAZipCentralDir))) {
        Volume.SetVolumeNumber(Volume.VolumeNumber() + 1);
        SwitchVolume(Volume);
      }
      CDir.SetCount(i + 1);
    }
    if (i == 0) CentralDirOffset = FCompressedStream->Position();
    TDirItem& item = CDir.ItemPtr(i);
    FCompressedStream->ReadBuffer(&item.CentralDir, sizeof(TZAZipCentralDir));
    item.CompressionMethod = item.CentralDir.compMethod;
    AnsiString name(item.CentralDir.nameLength, '\0');
    if (!name.empty()) FCompressedStream->ReadBuffer(name.data(), static_cast<int64_t>(name.size()));
    CDir.SetItemName(i, name.empty() ? String() : DecodeEntryName(name, item.CentralDir.genPurposeFlag));
    if (item.CentralDir.extraLength > 0) ParseExtraFields(i, item.CentralDir.extraLength);
    item.Comment.assign(item.CentralDir.commentLength, '\0');
    if (!item.Comment.empty())
      FCompressedStream->ReadBuffer(item.Comment.data(), static_cast<int64_t>(item.Comment.size()));
  }
}

namespace {

// The system's OEM-to-ANSI conversion stops at the first zero byte.
AnsiString OemStep(const AnsiString& Bytes) {
  return OemToAnsi(Bytes.substr(0, Bytes.find('\0')));
}

bool UsesOemNames(uint16_t Flags, bool OEMFileNames) {
  return OEMFileNames && (Flags & ZipFlagUtf8Name) == 0;
}

}  // namespace

String TZADirManager::DecodeEntryName(const AnsiString& Bytes, uint16_t Flags) const {
  const AnsiString bytes =
      UsesOemNames(Flags, FArc->FOptions->OEMFileNames()) ? OemStep(Bytes) : Bytes;
  String text;
  DecodeNameBytes(bytes, text);
  return text;
}

void TZADirManager::ParseExtraFields(int32_t i, uint16_t ExtraLength) {
  std::vector<uint8_t> area(ExtraLength);
  FCompressedStream->ReadBuffer(area.data(), ExtraLength);
  TDirItem& item = CDir.ItemPtr(i);
  item.bHugeFile = false;
  for (TZAExtraFieldDataBlock& block : SplitExtraArea(area.data(), area.size())) {
    switch (block.headerID) {
      case ZipExtraZip64:
        item.Zip64ExtInfo = ReadZip64ExtendedInfo(item.CentralDir, block);
        item.bHugeFile = true;
        break;
      case ZipExtraUnicodeName: {
        TUnicodeExtendedInfo unicode;
        if (unicode.Load(block.pData.data(), block.dataSize)) CDir.SetItemName(i, unicode.Name());
        break;
      }
      case ZipExtraAes: {
        TZAAesExtraInfo aes;
        if (item.CentralDir.extractVersion < ZipAesBlockVersionLimit && ReadAesExtraInfo(block, aes)) {
          if (aes.keyStrength >= 1 && aes.keyStrength <= 3)
            item.ZAEncryptionAlgorithm = static_cast<TZACryptoAlgorithm>(aes.keyStrength);
          item.CompressionMethod = aes.actualMethod;
        }
        break;
      }
      default:
        break;
    }
    item.ExtraFields.push_back(std::move(block));
  }
}

void TZADirManager::RebuildFromLocalHeaders() {
  CDir.Clear();
  if (FArc->FSpanningMode != smNone) throw EZAException(44, nullptr);
  int64_t pos = FindNextLocalHeader(0);
  if (pos < 0) throw EZAException(35, nullptr);
  const int64_t size = FCompressedStream->Size();
  const bool oemNames = FArc->FOptions->OEMFileNames();
  while (pos >= 0) {
    TZALocalFileHeader local;
    FCompressedStream->SetPosition(pos);
    FCompressedStream->ReadBuffer(&local, sizeof(local));
    if (local.compSize < static_cast<uint64_t>(size) && local.extraLength <= kMaxScannedExtraLength) {
      const int32_t i = CDir.Count();
      CDir.SetCount(i + 1);
      TDirItem& item = CDir.ItemPtr(i);
      item = TDirItem();
      TZAZipCentralDir& header = item.CentralDir;
      header.signature = local.signature;
      header.versionMadeBy = local.extractVersion;
      header.extractVersion = local.extractVersion;
      header.genPurposeFlag = local.genPurposeFlag;
      header.compMethod = local.compMethod;
      header.lastModTime = local.lastModTime;
      header.lastModDate = local.lastModDate;
      header.crc32 = local.crc32;
      header.compSize = local.compSize;
      header.unCompSize = local.unCompSize;
      header.nameLength = local.nameLength;
      header.extraLength = local.extraLength;
      const bool descriptor = (local.genPurposeFlag & ZipFlagDataDescriptor) != 0;
      header.externalAttr = local.unCompSize == 0 && !descriptor ? 0x10 : 0x20;
      header.relOffsetLH = static_cast<uint32_t>(pos);
      item.CompressionMethod = local.compMethod;

      String name;
      const int64_t afterHeader = pos + static_cast<int64_t>(sizeof(local));
      if (local.nameLength > 0 && size - afterHeader >= local.nameLength) {
        AnsiString bytes(local.nameLength, '\0');
        FCompressedStream->ReadBuffer(bytes.data(), local.nameLength);
        if (UsesOemNames(local.genPurposeFlag, oemNames)) bytes = OemStep(bytes);
        name = AnsiToString(bytes.substr(0, bytes.find('\0')));
      }
      CDir.SetItemName(i, name);
      if (local.extraLength > 0) ParseExtraFields(i, local.extraLength);
      if (descriptor) {
        TZADataDescriptor found;
        if (FindDataDescriptor(pos, found)) {
          TZAZipCentralDir& h = CDir.ItemPtr(i).CentralDir;
          h.crc32 = found.crc32;
          h.compSize = found.compSize;
          h.unCompSize = found.unCompSize;
        }
      }
    }
    pos = FindNextLocalHeader(pos + 4);
  }
  CentralDirOffset = size;
}

int64_t TZADirManager::ScanForSignature(int64_t From, uint32_t Pattern, int64_t Window) {
  TKeepPosition keep(*FCompressedStream);
  const int64_t size = FCompressedStream->Size();
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(Window, std::max<int64_t>(size - From, 0))));
  // Each window starts 4 bytes before the end of the last, so that a
  // signature across their border lies wholly inside the next one.
  for (int64_t at = From; at < size; at += Window - 4) {
    const int64_t length = std::min(Window, size - at);
    if (length <= 4) break;
    FCompressedStream->SetPosition(at);
    FCompressedStream->ReadBuffer(buffer.data(), length);
    const int64_t found = FindPattern(buffer, length, Pattern);
    if (found >= 0) return at + found;
  }
  return -1;
}

int64_t TZADirManager::FindNextLocalHeader(int64_t From) {
  const int64_t match = ScanForSignature(From, ZipLocalFileHeaderSignature, kLocalHeaderSearchChunk);
  if (match < 0) return -1;
  return FCompressedStream->Size() - match >= static_cast<int64_t>(sizeof(TZALocalFileHeader)) ? match : -1;
}

bool TZADirManager::FindDataDescriptor(int64_t From, TZADataDescriptor& Descriptor) {
  const int64_t match = ScanForSignature(From, ZipDataDescriptorSignature, kLocalHeaderSearchChunk);
  if (match < 0 || FCompressedStream->Size() - match < static_cast<int64_t>(sizeof(TZADataDescriptor)))
    return false;
  TKeepPosition keep(*FCompressedStream);
  FCompressedStream->SetPosition(match);
  FCompressedStream->ReadBuffer(&Descriptor, sizeof(Descriptor));
  return true;
}

void TZADirManager::CheckCompressedSizes() {
  const int64_t size = FCompressedStream->Size();
  int64_t total = 0;
  for (int32_t i = 0; i < CDir.Count(); ++i) {
    const TDirItem& item = CDir.ItemPtr(i);
    const int64_t packed = ReadSize(item.CentralDir, item);
    // Each term is checked before it is added: no overflow.
    if (packed < 0 || packed > size - total) throw EZAException(57, nullptr);
    total += packed;
  }
}

void TZADirManager::DetectStubSize(int64_t Pos) {
  if (CentralDirEnd.entriesCentralDir == 0) {
    StubSize = Pos;
    return;
  }
  if (CDir.Count() == 0) return;
  int64_t start = LocalHeaderOffset(CDir.ItemPtr(0));
  if (start < 0) return;
  const int64_t size = FCompressedStream->Size();
  FCompressedStream->SetPosition(std::min(start, size));
  while (FCompressedStream->Position() < size) {
    const int64_t c = FindSignature(start, ZipLocalFileHeaderSignature);
    if (c < 0) return;
    FCompressedStream->SetPosition(c);
    if (LocalHeaderMatches(c)) {
      StubSize = c;
      return;
    }
    start = c + 1;
  }
}

int64_t TZADirManager::FindSignature(int64_t Start, uint32_t Pattern) {
  return ScanForSignature(Start, Pattern, kSignatureSearchWindow);
}

bool TZADirManager::LocalHeaderMatches(int64_t c) {
  TKeepPosition keep(*FCompressedStream);
  const int64_t size = FCompressedStream->Size();
  if (size - c < static_cast<int64_t>(sizeof(TZALocalFileHeader))) return false;
  TZALocalFileHeader local;
  FCompressedStream->SetPosition(c);
  FCompressedStream->ReadBuffer(&local, sizeof(local));
  if (size - FCompressedStream->Position() < local.nameLength) return false;
  if (local.signature != ZipLocalFileHeaderSignature) return false;
  if (c == 0) return true;
  const TZAZipCentralDir& first = CDir.ItemPtr(0).CentralDir;
  return local.crc32 == first.crc32 && local.extractVersion == first.extractVersion &&
         local.compMethod == first.compMethod && local.lastModTime == first.lastModTime &&
         local.lastModDate == first.lastModDate && local.compSize == first.compSize &&
         local.unCompSize == first.unCompSize;
}

bool TZADirManager::OffsetsIncludeStub() const {
  for (int32_t i = 0; i < CDir.Count(); ++i) {
    const TZAZipCentralDir& header = CDir.ItemPtr(i).CentralDir;
    if (header.compSize > 0) return header.relOffsetLH >= static_cast<uint32_t>(StubSize);
  }
  return true;
}

void TZADirManager::ApplyStubOffset() {
  const auto stub = static_cast<uint32_t>(StubSize);
  for (int32_t i = 0; i < CDir.Count(); ++i) {
    TDirItem& item = CDir.ItemPtr(i);
    if (item.CentralDir.externalAttr & faDirectory) continue;
    // A ZIP64 offset takes the stub in full; the escape stays.
    if (item.CentralDir.relOffsetLH == Zip64Escape32)
      item.Zip64ExtInfo.relOffsetLH += StubSize;
    else
      item.CentralDir.relOffsetLH += stub;
  }
}

void TZADirManager::SwitchVolume(const TZAVolumeNumberInfo& Info) {
  if (FIsCustomStream) return;
  FArc->OpenVolume(Info);
  FCompressedStream = FArc->FCompressedStream;
}

void TZADirManager::SaveDir(bool RecreateCDirEnd, TStream* Stream) {
  // A new archive holds no entries: its directory is the end record alone.
  TZAZipCentralDirEnd end{};
  end.signature = ZipCentralDirEndSignature;
  end.offsetStartDir = static_cast<uint32_t>(Stream->Size());
  end.commentLength = static_cast<uint16_t>(std::min<size_t>(ArchiveComment.size(), 0xFFFF));
  Stream->SetPosition(Stream->Size());
  Stream->WriteBuffer(&end, sizeof(end));
  if (end.commentLength) Stream->WriteBuffer(ArchiveComment.data(), end.commentLength);
}
