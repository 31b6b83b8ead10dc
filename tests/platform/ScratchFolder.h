#pragma once
// A fresh folder under the temporary folder for one test, removed with all
// its contents afterwards. Removal uses std::filesystem, not the code under test.
#include <gtest/gtest.h>

#include <filesystem>

#include "FileSystem.h"

class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const String reserved = CreateUniqueTempFile(TempFolder(), u"plt");
    ASSERT_FALSE(reserved.empty());
    FFolder = reserved + u".d";
    ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::path(FFolder)));
    std::filesystem::remove(std::filesystem::path(reserved));
  }

  void TearDown() override {
    std::error_code ec;
    const std::filesystem::path root(FFolder);
    // Windows refuses to delete read-only files; make everything writable first.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ec))
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root, ec);
  }

  // Folder + delimiter + Name.
  String Path(const String& Name) const { return FFolder + PathDelim + Name; }
  const String& Folder() const { return FFolder; }

 private:
  String FFolder;
};
