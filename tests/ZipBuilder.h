#pragma once
// A test-only ZIP writer that lays records out byte by byte, sharing no code
// with the engine's records, so that a fault in those cannot hide itself.
// Fields that a test leaves unset get the values a correct archive has;
// setting them makes the damaged or hostile archives the tests need.
#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zipbuild {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
inline void Put64(Bytes& out, uint64_t v) {
  Put32(out, uint32_t(v));
  Put32(out, uint32_t(v >> 32));
}
inline void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }
inline void Append(Bytes& out, const std::string& more) { out.insert(out.end(), more.begin(), more.end()); }
inline Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline uint32_t Crc32(const Bytes& data) {
  return static_cast<uint32_t>(crc32(0L, data.data(), static_cast<uInt>(data.size())));
}

// Raw deflate data, as ZIP stores it.
inline Bytes Deflate(const Bytes& data, int level = 6) {
  z_stream z{};
  deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&z, static_cast<uLong>(data.size())) + 16);
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// An extra block: id, size, data.
inline Bytes ExtraBlock(uint16_t id, const Bytes& data, std::optional<uint16_t> claimedSize = {}) {
  Bytes out;
  Put16(out, id);
  Put16(out, claimedSize.value_or(static_cast<uint16_t>(data.size())));
  Append(out, data);
  return out;
}

struct Entry {
  std::string Name;
  Bytes Content;            // the uncompressed bytes
  uint16_t Method = 0;      // 0 stores Content, 8 deflates it; others store Packed as given
  std::optional<Bytes> Packed;  // the data as stored; default from Content and Method
  uint16_t Flags = 0;
  uint16_t Version = 20;
  uint16_t Time = (12 << 11) | (34 << 5) | 28;  // 12:34:56
  uint16_t Date = (44 << 9) | (5 << 5) | 6;     // 2024-05-06
  uint32_t ExternalAttr = 0x20;
  Bytes LocalExtra, CentralExtra;
  std::string Comment;
  bool Descriptor = false;  // sizes and CRC after the data (sets flag bit 3)
  // Overrides of what the central record says.
  std::optional<uint32_t> Crc, CompSize, UncompSize, RelOffset;
  std::optional<uint16_t> DiskStart;
};

struct Archive {
  Bytes Stub;  // bytes in front of the archive
  std::vector<Entry> Entries;
  std::string Comment;
  bool Zip64 = false;         // ZIP64 end record and locator
  bool OffsetsCountStub = true;
  // Overrides of the end record.
  std::optional<uint16_t> DiskNumber, StartDisk, EntriesOnDisk, EntriesTotal, CommentLength;
  std::optional<uint32_t> DirSize, DirOffset;
  std::optional<uint64_t> Zip64EntriesTotal, Zip64DirSize, Zip64DirOffset;
  std::optional<int64_t> LocatorOffset;
  Bytes Trailer;  // bytes after the comment

  // Offsets of each local header in the built archive (stub included).
  mutable std::vector<uint64_t> LocalOffsets;
  mutable uint64_t DirectoryOffset = 0;

  Bytes Build() const {
    Bytes out = Stub;
    const uint64_t base = OffsetsCountStub ? 0 : Stub.size();
    Bytes directory;
    LocalOffsets.clear();
    for (const Entry& e : Entries) {
      const Bytes packed = e.Packed ? *e.Packed : (e.Method == 8 ? Deflate(e.Content) : e.Content);
      const uint32_t crc = Crc32(e.Content);
      const uint16_t flags = e.Flags | (e.Descriptor ? 0x0008 : 0);
      LocalOffsets.push_back(out.size());
      const uint32_t offset = static_cast<uint32_t>(out.size() - base);

      Put32(out, 0x04034B50);
      Put16(out, e.Version);
      Put16(out, flags);
      Put16(out, e.Method);
      Put16(out, e.Time);
      Put16(out, e.Date);
      Put32(out, e.Descriptor ? 0 : crc);
      Put32(out, e.Descriptor ? 0 : static_cast<uint32_t>(packed.size()));
      Put32(out, e.Descriptor ? 0 : static_cast<uint32_t>(e.Content.size()));
      Put16(out, static_cast<uint32_t>(e.Name.size()));
      Put16(out, static_cast<uint32_t>(e.LocalExtra.size()));
      Append(out, e.Name);
      Append(out, e.LocalExtra);
      Append(out, packed);
      if (e.Descriptor) {
        Put32(out, 0x08074B50);
        Put32(out, crc);
        Put32(out, static_cast<uint32_t>(packed.size()));
        Put32(out, static_cast<uint32_t>(e.Content.size()));
      }

      Put32(directory, 0x02014B50);
      Put16(directory, e.Version);
      Put16(directory, e.Version);
      Put16(directory, flags);
      Put16(directory, e.Method);
      Put16(directory, e.Time);
      Put16(directory, e.Date);
      Put32(directory, e.Crc.value_or(crc));
      Put32(directory, e.CompSize.value_or(static_cast<uint32_t>(packed.size())));
      Put32(directory, e.UncompSize.value_or(static_cast<uint32_t>(e.Content.size())));
      Put16(directory, static_cast<uint32_t>(e.Name.size()));
      Put16(directory, static_cast<uint32_t>(e.CentralExtra.size()));
      Put16(directory, static_cast<uint32_t>(e.Comment.size()));
      Put16(directory, e.DiskStart.value_or(0));
      Put16(directory, 0);
      Put32(directory, e.ExternalAttr);
      Put32(directory, e.RelOffset.value_or(offset));
      Append(directory, e.Name);
      Append(directory, e.CentralExtra);
      Append(directory, e.Comment);
    }
    DirectoryOffset = out.size();
    const uint64_t dirOffset = out.size() - base;
    Append(out, directory);
    const auto count = static_cast<uint64_t>(Entries.size());

    if (Zip64) {
      const uint64_t recordOffset = out.size() - base;
      Put32(out, 0x06064B50);
      Put64(out, 44);
      Put16(out, 45);
      Put16(out, 45);
      Put32(out, 0);
      Put32(out, 0);
      Put64(out, Zip64EntriesTotal.value_or(count));
      Put64(out, Zip64EntriesTotal.value_or(count));
      Put64(out, Zip64DirSize.value_or(directory.size()));
      Put64(out, Zip64DirOffset.value_or(dirOffset));
      Put32(out, 0x07064B50);
      Put32(out, 0);
      Put64(out, static_cast<uint64_t>(LocatorOffset.value_or(static_cast<int64_t>(recordOffset))));
      Put32(out, 1);
    }
    Put32(out, 0x06054B50);
    Put16(out, DiskNumber.value_or(0));
    Put16(out, StartDisk.value_or(0));
    Put16(out, EntriesOnDisk.value_or(Zip64 ? 0xFFFF : static_cast<uint16_t>(count)));
    Put16(out, EntriesTotal.value_or(Zip64 ? 0xFFFF : static_cast<uint16_t>(count)));
    Put32(out, DirSize.value_or(Zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(directory.size())));
    Put32(out, DirOffset.value_or(Zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(dirOffset)));
    Put16(out, CommentLength.value_or(static_cast<uint16_t>(Comment.size())));
    Append(out, Comment);
    Append(out, Trailer);
    return out;
  }
};

}  // namespace zipbuild
