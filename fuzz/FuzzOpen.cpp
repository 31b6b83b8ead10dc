// Opens arbitrary bytes as an archive, with and without the damaged-archive
// scan, and walks the directory that results. Errors the engine raises are
// expected; crashes, leaks and undefined behaviour are findings.
#include <cstddef>
#include <cstdint>

#include "Exceptions.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const String name = WriteInput(Data, Size);
  for (bool openCorrupted : {true, false}) {
    TFuzzArchiver archiver(nullptr);
    archiver.SetFileName(name);
    archiver.SetOpenCorruptedArchives(openCorrupted);
    try {
      archiver.OpenArchive(64);
    } catch (const Exception&) {
      continue;
    }
    TZADirArray& dir = archiver.Dir()->CDir;
    uint64_t sum = 0;
    for (int32_t i = 0; i < dir.Count(); ++i) {
      const TDirItem& item = dir.ItemPtr(i);
      int32_t found = -1;
      dir.FileExists(item.Name, found);
      sum += item.Name.size() + item.Comment.size() + item.ExtraFields.size() + static_cast<uint64_t>(found);
    }
    sum += archiver.Comment().size();
    if (sum == 0xFFFFFFFFFFFFFFFFull) __builtin_trap();  // keeps the walk from being optimised away
  }
  return 0;
}
