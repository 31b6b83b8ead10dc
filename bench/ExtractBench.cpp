// Extracts an archive with the engine's defaults, as the launcher does (and
// with a password, when given), and prints the wall time and the peak
// resident memory of the process.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "TextCodec.h"
#include "ZipArchiver.h"

namespace {

// Linux only: the high-water mark of resident memory, in KiB; -1 elsewhere.
long PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: %s ARCHIVE OUTPUT-FOLDER [PASSWORD]\n", argv[0]);
    return 2;
  }
  const long before = PeakResidentKiB();
  const auto start = std::chrono::steady_clock::now();
  TZipArchiver archiver(nullptr);
  archiver.SetFileName(Utf8ToString(argv[1]));
  archiver.OpenArchive();
  archiver.SetBaseDir(Utf8ToString(argv[2]));
  if (argc == 4) archiver.SetPassword(argv[3]);
  archiver.ExtractFiles(u"*.*", 10431, u"");
  archiver.CloseArchive();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("seconds %.3f\npeak_kib %ld\nstart_kib %ld\n", seconds, PeakResidentKiB(), before);
  return 0;
}
