#pragma once
// Helpers of the extraction suites: archives built into a scratch folder and
// opened, an archiver that exposes the decoder, and event recording.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "ZADirManager.h"
#include "ZAExcept.h"
#include "ZipArchiver.h"
#include "ZipBuilder.h"

namespace extract_support {

using namespace testing_support;
using zipbuild::Bytes;

inline String U(const std::string& s) { return String(s.begin(), s.end()); }
inline std::string A(const String& s) { return fs::path(s).string(); }

class TTestArchiver : public TZipArchiver {
 public:
  using TZipArchiver::TZipArchiver;
  using TZABaseArchiver::DecodeItem;
  TZADirArray& Items() { return DMHandle->CDir; }
  const String& CapturedCurrentDir() const { return FCurrentDir; }
};

// Writes Archive to Dir/name and opens it read-only.
inline void OpenBuilt(TZABaseArchiver& Arc, const TScratchDir& Dir, const zipbuild::Archive& Archive,
                      const std::string& Name = "test.zip") {
  WriteAll(Dir.Path() / Name, Archive.Build());
  Arc.SetFileName(Dir / Name);
  Arc.OpenArchive(64);
}

inline Bytes Pattern(size_t Size, uint32_t Seed = 1) {
  Bytes b(Size);
  uint32_t x = Seed;
  for (auto& c : b) {
    x = x * 1103515245u + 12345u;
    c = static_cast<uint8_t>(x >> 16);
  }
  return b;
}

inline Bytes Text(const std::string& s) { return zipbuild::ToBytes(s); }

}  // namespace extract_support
