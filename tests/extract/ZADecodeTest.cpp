#include <gtest/gtest.h>

#include <zlib.h>

#include "ExtractSupport.h"
#include "ZANullStream.h"

namespace {

using namespace extract_support;

// Raw deflate made only of stored blocks of the given sizes: its packed size
// is exactly the data plus five bytes per block.
Bytes StoredBlocks(const Bytes& Data, const std::vector<size_t>& Sizes) {
  Bytes out;
  size_t at = 0;
  for (size_t i = 0; i < Sizes.size(); ++i) {
    out.push_back(i + 1 == Sizes.size() ? 1 : 0);
    zipbuild::Put16(out, static_cast<uint32_t>(Sizes[i]));
    zipbuild::Put16(out, static_cast<uint32_t>(~Sizes[i] & 0xFFFF));
    out.insert(out.end(), Data.begin() + at, Data.begin() + at + Sizes[i]);
    at += Sizes[i];
  }
  return out;
}

Bytes BigEndianAdler(const Bytes& Data) {
  const uLong a = adler32(1, Data.data(), static_cast<uInt>(Data.size()));
  return {uint8_t(a >> 24), uint8_t(a >> 16), uint8_t(a >> 8), uint8_t(a)};
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Compressible(size_t Size) {
  Bytes b;
  for (size_t i = 0; b.size() < Size; ++i) {
    const std::string line = std::to_string(i * 7919 % 100003) + " lorem ipsum\n";
    b.insert(b.end(), line.begin(), line.end());
  }
  b.resize(Size);
  return b;
}

zipbuild::Entry Make(const std::string& Name, const Bytes& Content, uint16_t Method = 8) {
  zipbuild::Entry e;
  e.Name = Name;
  e.Content = Content;
  e.Method = Method;
  return e;
}

// Decodes item 0 of Archive into memory; the native error, or 0.
struct TDecoded {
  int Error = 0;
  Bytes Output;
};

TDecoded Decode(const zipbuild::Archive& Archive, bool Corrupted = false) {
  TScratchDir dir;
  TTestArchiver arc(nullptr);
  OpenBuilt(arc, dir, Archive);
  arc.SetExtractCorruptedFiles(Corrupted);
  TMemoryStream out;
  TDecoded result;
  result.Error = std::max(NativeErrorOf([&] { arc.DecodeItem(0, out); }), 0);  // 0: none
  result.Output = out.Bytes();
  return result;
}

TEST(DecodeItem, DecodesOrFailsWithItsNativeCode) {
  const Bytes text = Compressible(300000);
  const Bytes random = Pattern(1048497, 7);
  std::vector<size_t> blocks(15, 65535);
  blocks.push_back(1048497 - 15 * 65535);
  const Bytes twoChunks = StoredBlocks(random, blocks);
  ASSERT_EQ(twoChunks.size(), (1u << 20) + 1);
  const Bytes deflated = zipbuild::Deflate(text);

  struct {
    const char* What;
    zipbuild::Entry Entry;
    int Error;
  } cases[] = {
      {"empty stored", Make("e", {}, 0), 0},
      {"stored", Make("s", Pattern(200000), 0), 0},
      {"deflated", Make("d", text), 0},
      {"deflated empty", Make("d0", {}), 0},
      {"packed 1 MiB + 1", [&] { auto e = Make("big", random); e.Packed = twoChunks; return e; }(), 0},
      {"three surplus bytes", [&] { auto e = Make("s3", text); e.Packed = Concat(deflated, {1, 2, 3}); return e; }(), 0},
      {"four surplus bytes", [&] { auto e = Make("s4", text); e.Packed = Concat(deflated, {0, 0, 0, 0}); return e; }(), 8},
      {"four surplus bytes that are the Adler-32",
       [&] { auto e = Make("sa", text); e.Packed = Concat(deflated, BigEndianAdler(text)); return e; }(), 0},
      {"wrong CRC", [&] { auto e = Make("c", text); e.Crc = 0x12345678; return e; }(), 8},
      {"wrong size", [&] { auto e = Make("z", text); e.UncompSize = 300001; return e; }(), 8},
      {"corrupt deflate data", [&] { auto e = Make("x", text); e.Packed = Bytes(5000, 0xFF); return e; }(), 8},
      {"method 9", [&] { auto e = Make("m9", text, 9); e.Packed = deflated; return e; }(), 55},
      {"method 12", [&] { auto e = Make("m12", text, 12); e.Packed = deflated; return e; }(), 8},
      {"method 14", [&] { auto e = Make("m14", text, 14); e.Packed = deflated; return e; }(), 8},
      {"local header with an extra area", [&] { auto e = Make("lx", text); e.LocalExtra = zipbuild::ExtraBlock(0x7075, Bytes(40, 9)); return e; }(), 0},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.What);
    zipbuild::Archive a;
    a.Entries = {c.Entry};
    const TDecoded d = Decode(a);
    EXPECT_EQ(d.Error, c.Error);
    if (c.Error == 0) EXPECT_TRUE(d.Output == c.Entry.Content);
  }
}

TEST(DecodeItem, LocalHeaderMayDisagreeWithTheCentralRecord) {
  const Bytes text = Compressible(5000);
  zipbuild::Archive a;
  a.Entries = {Make("a.txt", text)};
  Bytes built = a.Build();
  const size_t local = a.LocalOffsets[0];
  for (size_t at : {4, 8, 14, 18, 22}) built[local + at] ^= 0x5A;  // version, method, CRC, sizes
  built[local] = 'X';                                                // signature
  TScratchDir dir;
  WriteAll(dir.Path() / "a.zip", built);
  TTestArchiver arc(nullptr);
  arc.SetFileName(dir / "a.zip");
  arc.OpenArchive(64);
  TMemoryStream out;
  arc.DecodeItem(0, out);
  EXPECT_TRUE(out.Bytes() == text);
}

TEST(DecodeItem, CorruptedItemsAreWrittenWhenAsked) {
  const Bytes text = Compressible(70000);
  zipbuild::Archive a;
  auto e = Make("c", text);
  e.Crc = 1;
  a.Entries = {e};
  const TDecoded d = Decode(a, true);
  EXPECT_EQ(d.Error, 0);
  EXPECT_TRUE(d.Output == text);
  // An unsupported method leaves the output empty; Deflate64 raises anyway.
  a.Entries[0].Method = 12;
  EXPECT_EQ(Decode(a, true).Output.size(), 0u);
  a.Entries[0].Method = 9;
  EXPECT_EQ(Decode(a, true).Error, 55);
}

TEST(DecodeItem, NullStreamVerifiesWithoutWriting) {
  TScratchDir dir;
  zipbuild::Archive a;
  auto bad = Make("bad", Compressible(1000));
  bad.Crc = 7;
  a.Entries = {Make("good", Compressible(100000)), bad};
  TTestArchiver arc(nullptr);
  OpenBuilt(arc, dir, a);
  TNullStream sink;
  arc.DecodeItem(0, sink);
  EXPECT_EQ(NativeErrorOf([&] { arc.DecodeItem(1, sink); }), 8);
  EXPECT_EQ(sink.Size(), 0);
  EXPECT_EQ(sink.Position(), 0);
  EXPECT_EQ(NativeErrorOf([&] { arc.DecodeItem(2, sink); }), 16);
  EXPECT_EQ(NativeErrorOf([&] { arc.DecodeItem(-1, sink); }), 16);
}

TEST(DecodeItem, TruncatedArchiveFailsItsItem) {
  zipbuild::Archive a;
  a.Entries = {Make("first", Pattern(100000, 2), 0), Make("cut", Pattern(30000, 3), 0)};
  Bytes built = a.Build();
  built.resize(a.LocalOffsets[1] + 20000);  // inside the second item's data
  TScratchDir dir;
  WriteAll(dir.Path() / "cut.zip", built);
  TTestArchiver arc(nullptr);
  arc.SetFileName(dir / "cut.zip");
  arc.OpenArchive(64);  // the directory is rebuilt from the local headers
  ASSERT_EQ(arc.Items().Count(), 2);
  TMemoryStream out;
  EXPECT_EQ(NativeErrorOf([&] { arc.DecodeItem(1, out); }), 8);
  EXPECT_LE(out.Size(), 20000);

  // A local header cut short is a stream read error, not an archive error.
  a.Entries[0].RelOffset = static_cast<uint32_t>(a.Build().size() - 10);
  WriteAll(dir.Path() / "short.zip", a.Build());
  arc.SetFileName(dir / "short.zip");
  arc.OpenArchive(64);
  EXPECT_THROW(arc.DecodeItem(0, out), EReadError);
}

// Accepts Room bytes, then writes nothing.
class TFullDisk : public TMemoryStream {
 public:
  int64_t Room;
  explicit TFullDisk(int64_t room) : Room(room) {}
  int64_t Write(const void* Buffer, int64_t Count) override {
    const int64_t n = std::min(Count, std::max<int64_t>(Room - Position(), 0));
    return TMemoryStream::Write(Buffer, n);
  }
};

TEST(DecodeItem, FullDiskRaisesOrAsksTheHandler) {
  TScratchDir dir;
  const Bytes data = Pattern(200000, 5);
  zipbuild::Archive a;
  a.Entries = {Make("s", data, 0)};
  TTestArchiver arc(nullptr);
  OpenBuilt(arc, dir, a);

  TFullDisk full(100000);
  EXPECT_EQ(NativeErrorOf([&] { arc.DecodeItem(0, full); }), 65);

  // The handler frees room and the write is repeated where it started.
  std::vector<int> volumes;
  arc.OnDiskFull = [&](TZABaseArchiver*, int VolumeNumber, const String& Name, bool& Cancel) {
    volumes.push_back(VolumeNumber);
    EXPECT_EQ(Name, arc.FileName());
    full.Room += 70000;
  };
  full.Room = 100000;
  full.SetSize(0);
  arc.DecodeItem(0, full);
  EXPECT_TRUE(full.Bytes() == data);
  EXPECT_EQ(volumes, (std::vector<int>{0, 0}));

  // A handler that cancels ends the item without an error.
  arc.OnDiskFull = [](TZABaseArchiver*, int, const String&, bool& Cancel) { Cancel = true; };
  TFullDisk never(0);
  EXPECT_EQ(NativeErrorOf([&] { arc.DecodeItem(0, never); }), -1);
}

TEST(DecodeItem, ItemCrossingIntoTheNextVolume) {
  TTestArchiver arc(nullptr);
  arc.SetFileName(u"extract/split.zip");
  arc.OpenArchive(64);
  ASSERT_EQ(arc.SpanningMode(), smSplitting);
  int checked = 0;
  for (int i = 0; i < arc.Items().Count(); ++i) {
    TNullStream sink;
    arc.DecodeItem(i, sink);  // verifies size and CRC-32
    ++checked;
  }
  EXPECT_GE(checked, 4);
}

}  // namespace
