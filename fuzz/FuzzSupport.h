#pragma once
// Shared by the fuzz targets: fuzz input written to a per-process file that
// the archiver opens as any archive, and an archiver that shows its directory.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "TextCodec.h"
#include "ZADirManager.h"
#include "ZipArchiver.h"

class TFuzzArchiver : public TZipArchiver {
 public:
  using TZipArchiver::TZipArchiver;
  TZADirManager* Dir() { return DMHandle.get(); }
  void Decode(int ItemNo, TStream& Output) { DecodeItem(ItemNo, Output); }
  // One check of the password given, no prompt.
  void SuppressPasswordEvent() { FSuppressPasswordEvent = true; }
};

// A file of this process holding Data; rewritten on every call.
inline String WriteInput(const uint8_t* Data, size_t Size) {
  static const std::string path = "/tmp/vantrel-fuzz-" + std::to_string(getpid()) + ".zip";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (Size) std::fwrite(Data, 1, Size, f);
  std::fclose(f);
  return Utf8ToString(path);
}
