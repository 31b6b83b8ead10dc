#pragma once
// A sink that accepts and discards everything: decoding into it verifies an
// item without writing it.
#include "Stream.h"

class TNullStream : public TStream {
 public:
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;
};
