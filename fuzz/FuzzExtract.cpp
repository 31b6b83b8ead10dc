// Opens arbitrary bytes as an archive and decodes every item into the null
// stream with a fixed password: stored, deflated, classic and AES paths.
#include <cstddef>
#include <cstdint>

#include "Exceptions.h"
#include "FuzzSupport.h"
#include "ZANullStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const String name = WriteInput(Data, Size);
  TFuzzArchiver archiver(nullptr);
  archiver.SetFileName(name);
  archiver.SetPassword("fuzz");
  archiver.SuppressPasswordEvent();
  try {
    archiver.OpenArchive(64);
  } catch (const Exception&) {
    return 0;
  }
  const int32_t count = archiver.Dir()->CDir.Count();
  for (int32_t i = 0; i < count && i < 64; ++i) {
    TNullStream sink;
    try {
      archiver.Decode(i, sink);
    } catch (const Exception&) {
      // Failed items are expected; only crashes and leaks are findings.
    }
  }
  return 0;
}
