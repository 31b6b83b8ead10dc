#pragma once
// A read-only stream over one of a module's resources, read in place from
// the mapped image.
#include <cstdint>

#include "Exceptions.h"
#include "Stream.h"
#include "Types.h"

// "Resource %s not found"
class EResNotFound : public Exception {
  using Exception::Exception;
};

class TResourceStream : public TStream {
 public:
  // Instance: the module handle (nullptr: the program itself). ResType is a
  // name or a MAKEINTRESOURCE number; names are matched without regard to case.
  TResourceStream(void* Instance, const String& ResName, const wchar_t* ResType);

  int64_t Read(void* Buffer, int64_t Count) override;
  // Raises EStreamError: a resource cannot be changed.
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return FSize; }
  void SetSize(int64_t NewSize) override;

  const uint8_t* Memory() const { return FMemory; }
  // Writes the whole resource to FileName, creating or truncating it.
  void SaveToFile(const String& FileName);

 private:
  const uint8_t* FMemory = nullptr;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};
