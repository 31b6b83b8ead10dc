#include <gtest/gtest.h>

#include <string>

#include "Exceptions.h"
#include "Stream.h"

namespace {

std::string Contents(const TMemoryStream& s) { return std::string(s.Bytes().begin(), s.Bytes().end()); }

// Bytes that differ from piece to piece, so a misplaced piece shows.
std::string Pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return s;
}

TEST(MemoryStream, ReadsWritesAndSeeksLikeAFile) {
  TMemoryStream s;
  s.WriteBuffer("hello", 5);
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(s.Seek(3, TSeekOrigin::soEnd), 8);
  s.WriteBuffer("!", 1);
  EXPECT_EQ(Contents(s), std::string("hello\0\0\0!", 9));  // the gap reads as zeros

  s.SetPosition(1);
  char buf[4];
  s.ReadBuffer(buf, 4);
  EXPECT_EQ(std::string(buf, 4), "ello");
  EXPECT_EQ(s.Seek(-2, TSeekOrigin::soCurrent), 3);

  s.SetSize(2);  // shrinking pulls the position back to the end
  EXPECT_EQ(s.Position(), 2);
  EXPECT_EQ(Contents(s), "he");
}

TEST(MemoryStream, ShortReadReturnsWhatIsThereAndReadBufferRaises) {
  TMemoryStream s;
  s.WriteBuffer("abc", 3);
  s.SetPosition(1);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 2);
  EXPECT_EQ(std::string(buf, 2), "bc");
  EXPECT_EQ(s.Read(buf, 8), 0);

  s.SetPosition(1);
  EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
  s.SetPosition(1);
  EXPECT_NO_THROW(s.ReadBuffer(buf, 0));
}

TEST(Stream, CopyFromCopiesInPiecesFromThePositionOrAllFromTheStart) {
  const std::string data = Pattern(200000);  // several copy pieces and a partial one
  TMemoryStream source;
  source.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));

  TMemoryStream all;
  source.SetPosition(12345);
  EXPECT_EQ(all.CopyFrom(source, 0), 200000);
  EXPECT_EQ(Contents(all), data);

  TMemoryStream part;
  source.SetPosition(1000);
  EXPECT_EQ(part.CopyFrom(source, 150000), 150000);
  EXPECT_EQ(Contents(part), data.substr(1000, 150000));
  EXPECT_EQ(source.Position(), 151000);

  TMemoryStream tooMuch;
  source.SetPosition(199990);
  EXPECT_THROW(tooMuch.CopyFrom(source, 11), EReadError);
}

TEST(Stream, LoadAndSaveBetweenMemoryStreams) {
  TMemoryStream a, b;
  a.WriteBuffer("payload", 7);
  // Loading reads all of the source whatever its position.
  b.LoadFromStream(a);
  EXPECT_EQ(Contents(b), "payload");

  TMemoryStream c;
  c.WriteBuffer(">", 1);
  b.SaveToStream(c);
  EXPECT_EQ(Contents(c), ">payload");
}

}  // namespace
