// Loads the directory of a 100,000-entry archive and, in the same run, times
// `unzip -Z1` listing the same archive. The archive is made by Python's
// zipfile in the temporary folder on the first run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FileSystem.h"
#include "TextCodec.h"
#include "ZipArchiver.h"

namespace {

template <class F>
double Seconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  const std::string archive = StringToUtf8(TempFolder()) + "vantrel-bench-100k.zip";
  if (!FileExists(Utf8ToString(archive))) {
    const std::string make =
        "python3 -c \"import zipfile,sys\n"
        "with zipfile.ZipFile(sys.argv[1],'w') as z:\n"
        "  [z.writestr('folder%03d/document-%06d.txt' % (i % 500, i), b'x') for i in range(100000)]\" " +
        archive;
    if (std::system(make.c_str()) != 0) return 1;
  }

  constexpr int kRuns = 5;
  double engine = 1e9, peer = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    engine = std::min(engine, Seconds([&] {
      TZipArchiver a(nullptr);
      a.SetFileName(Utf8ToString(archive));
      a.OpenArchive(64);
    }));
    peer = std::min(peer, Seconds([&] { std::system(("unzip -Z1 " + archive + " >/dev/null").c_str()); }));
  }
  std::printf("open and load 100,000 entries: %8.1f ms (best of %d)\n", engine * 1000, kRuns);
  std::printf("unzip -Z1 listing the same:    %8.1f ms (best of %d)\n", peer * 1000, kRuns);
  std::printf("ratio engine/unzip: %.2f\n", engine / peer);
  return 0;
}
