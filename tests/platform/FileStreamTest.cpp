#include <gtest/gtest.h>

#include <string>

#include "Exceptions.h"
#include "FileStream.h"
#include "FileSystem.h"
#include "ScratchFolder.h"

namespace {

constexpr uint16_t ModeReadWriteDenyWrite = fmOpenReadWrite | fmShareDenyWrite;  // 34
constexpr uint16_t ModeReadDenyNone = fmOpenRead | fmShareDenyNone;              // 64

class FileStreamTest : public ScratchFolder {
 protected:
  String MakeFile(const String& Name, const std::string& Data) {
    const String name = Path(Name);
    TFileStream s(name, fmCreate);
    s.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
    return name;
  }

  static std::string ReadAll(const String& Name) {
    TFileStream s(Name, ModeReadDenyNone);
    std::string data(static_cast<size_t>(s.Size()), '\0');
    s.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
    return data;
  }
};

TEST_F(FileStreamTest, CreateTruncatesAnExistingFile) {
  const String name = MakeFile(u"a.bin", "a longer first content");
  {
    TFileStream s(name, fmCreate);
    EXPECT_EQ(s.Size(), 0);
    s.WriteBuffer("abc", 3);
    EXPECT_NO_THROW(s.Flush());
  }
  EXPECT_EQ(ReadAll(name), "abc");
}

TEST_F(FileStreamTest, ReadWriteModeUpdatesInPlace) {
  const String name = MakeFile(u"a.bin", "0123456789");
  {
    TFileStream s(name, ModeReadWriteDenyWrite);
    s.SetPosition(4);
    s.WriteBuffer("xy", 2);
    s.Seek(0, TSeekOrigin::soBeginning);
    char head[3];
    s.ReadBuffer(head, 3);
    EXPECT_EQ(std::string(head, 3), "012");
    // Size leaves the position alone.
    EXPECT_EQ(s.Size(), 10);
    EXPECT_EQ(s.Position(), 3);
    s.SetSize(7);
    EXPECT_EQ(s.Position(), 7);
  }
  EXPECT_EQ(ReadAll(name), "0123xy6");
}

TEST_F(FileStreamTest, ReadOnlyFileOpensForReadingButNotForWriting) {
  const String name = MakeFile(u"ro.bin", "kept");
  ASSERT_TRUE(FileSetAttr(name, faReadOnly));

  EXPECT_TRUE(CanOpenFile(name, ModeReadDenyNone));
  EXPECT_FALSE(CanOpenFile(name, ModeReadWriteDenyWrite));
  EXPECT_FALSE(CanOpenFile(name, fmCreate));
  EXPECT_THROW((TFileStream{name, ModeReadWriteDenyWrite}), EFOpenError);
  EXPECT_THROW((TFileStream{name, fmCreate}), EFCreateError);
  EXPECT_EQ(ReadAll(name), "kept");
}

TEST_F(FileStreamTest, CanOpenFileLeavesTheFileAsItWas) {
  const String name = MakeFile(u"w.bin", "data");
  for (uint16_t mode : {ModeReadDenyNone, ModeReadWriteDenyWrite, uint16_t{fmCreate}})
    EXPECT_TRUE(CanOpenFile(name, mode)) << mode;
  EXPECT_EQ(ReadAll(name), "data");  // not truncated by the fmCreate probe

  const String fresh = Path(u"fresh.bin");
  EXPECT_TRUE(CanOpenFile(fresh, fmCreate));
  EXPECT_FALSE(FileExists(fresh));
  EXPECT_FALSE(CanOpenFile(fresh, ModeReadDenyNone));
}

TEST_F(FileStreamTest, ReadingPastTheEndComesShortAndReadBufferRaises) {
  const String name = MakeFile(u"short.bin", "12345");
  TFileStream s(name, ModeReadDenyNone);
  s.SetPosition(3);
  char buf[16];
  EXPECT_EQ(s.Read(buf, 16), 2);
  EXPECT_EQ(s.Read(buf, 16), 0);
  s.SetPosition(3);
  EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
}

TEST_F(FileStreamTest, FailuresNameTheExpandedFileAndTheReason) {
  const struct {
    String Name;
    uint16_t Mode;
    const char16_t* Prefix;
  } cases[] = {
      {Path(u"missing.bin"), ModeReadDenyNone, u"Cannot open file \""},
      {Path(u"missing.bin"), ModeReadWriteDenyWrite, u"Cannot open file \""},
      {Folder(), ModeReadDenyNone, u"Cannot open file \""},  // a folder is not a file
      {Path(u"no-such-folder") + PathDelim + u"new.bin", fmCreate, u"Cannot create file \""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.Name));
    const String expected = c.Prefix + ExpandFileName(c.Name) + u"\". ";
    try {
      TFileStream s(c.Name, c.Mode);
      ADD_FAILURE() << "opened";
    } catch (const EFileStreamError& e) {
      EXPECT_EQ(c.Mode == fmCreate, dynamic_cast<const EFCreateError*>(&e) != nullptr);
      ASSERT_GT(e.Message().size(), expected.size()) << "no reason given";
      EXPECT_EQ(e.Message().substr(0, expected.size()), expected);
    }
  }
}

TEST_F(FileStreamTest, SharingFollowsThePlatform) {
  const String name = MakeFile(u"shared.bin", "x");
  TFileStream writer(name, ModeReadWriteDenyWrite);
  // Readers that allow writers are always welcome.
  EXPECT_TRUE(CanOpenFile(name, ModeReadDenyNone));
#ifdef _WIN32
  // A second writer is refused while the first denies writing.
  EXPECT_FALSE(CanOpenFile(name, ModeReadWriteDenyWrite));
  EXPECT_THROW((TFileStream{name, ModeReadWriteDenyWrite}), EFOpenError);
#else
  // POSIX has no writer exclusion.
  EXPECT_TRUE(CanOpenFile(name, ModeReadWriteDenyWrite));
#endif
}

TEST_F(FileStreamTest, MemoryStreamSavesToAndLoadsFromFiles) {
  const std::string data("\0binary\xFF\r\n", 10);
  TMemoryStream out;
  out.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  const String name = Path(u"saved.bin");
  out.SaveToFile(name);
  EXPECT_EQ(ReadAll(name), data);

  TMemoryStream in;
  in.LoadFromFile(name);
  EXPECT_EQ(std::string(in.Bytes().begin(), in.Bytes().end()), data);
}

}  // namespace
