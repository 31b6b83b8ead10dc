#pragma once
// Shared test helpers: a scratch folder per test and whole-file reads, done
// with the standard library so that they do not depend on the code under test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "FileSystem.h"
#include "Types.h"
#include "ZAExcept.h"

namespace testing_support {

namespace fs = std::filesystem;

inline fs::path ToPath(const String& s) { return fs::path(s); }

// A copy of a packed record's field: gtest binds its arguments to references,
// which a packed field's address cannot always carry.
template <class T>
T Val(T value) {
  return value;
}
inline String ToStr(const fs::path& p) { return p.u16string(); }

// A fresh folder under the temporary folder, removed with everything in it.
class TScratchDir {
 public:
  TScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string leaf = std::string("vtest-") + (info ? info->name() : "x");
    for (auto& c : leaf)
      if (c == '/') c = '_';
    FPath = ToPath(TempFolder()) / leaf;
    std::error_code ec;
    ClearReadOnly();
    fs::remove_all(FPath, ec);
    fs::create_directories(FPath);
  }
  ~TScratchDir() {
    std::error_code ec;
    ClearReadOnly();
    fs::remove_all(FPath, ec);
  }
  const fs::path& Path() const { return FPath; }
  String operator/(const std::string& leaf) const { return ToStr(FPath / leaf); }

 private:
  void ClearReadOnly() {
    std::error_code ec;
    if (!fs::exists(FPath, ec)) return;
    for (auto& e : fs::recursive_directory_iterator(FPath, ec))
      fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add, ec);
  }
  fs::path FPath;
};

inline std::vector<uint8_t> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const fs::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Installs a scripted dialog provider for one test.
class TScriptedDialogs {
 public:
  TScriptedDialogs() {
    auto scripted = std::make_unique<TScriptedDialogProvider>();
    Provider = scripted.get();
    FPrevious = SetDialogProvider(std::move(scripted));
  }
  ~TScriptedDialogs() { SetDialogProvider(std::move(FPrevious)); }
  TScriptedDialogs(const TScriptedDialogs&) = delete;
  TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;
  TScriptedDialogProvider* Provider;

 private:
  std::unique_ptr<TDialogProvider> FPrevious;
};

// The native code of the EZAException that F raises; -1 when it raises none.
template <class F>
int NativeErrorOf(F&& f) {
  try {
    f();
  } catch (const EZAException& e) {
    return e.NativeError;
  }
  return -1;
}

// A fixture under tests/data (the tests' working folder).
inline std::vector<uint8_t> Fixture(const std::string& relative) { return ReadAll(fs::path(relative)); }

}  // namespace testing_support
