#include "ZAInflater.h"

namespace {
// Deflate, 32 KiB window, no preset dictionary; a multiple of 31 as zlib checks.
constexpr uint8_t kZlibHeader[2] = {0x78, 0x01};
}  // namespace

TZAInflater::~TZAInflater() { End(); }

bool TZAInflater::Init() {
  FStream = z_stream{};
  FActive = inflateInit(&FStream) == Z_OK;
  return FActive;
}

void TZAInflater::SetInput(uint8_t* Data, uint32_t Count, bool FirstChunk) {
  if (FirstChunk) {
    Data -= 2;
    Data[0] = kZlibHeader[0];
    Data[1] = kZlibHeader[1];
    Count += 2;
  }
  FStream.next_in = Data;
  FStream.avail_in = Count;
}

void TZAInflater::SetOutput(uint8_t* Buffer, uint32_t Count) {
  FStream.next_out = Buffer;
  FStream.avail_out = Count;
}

int TZAInflater::Inflate() { return inflate(&FStream, Z_NO_FLUSH); }

int TZAInflater::End() {
  if (!FActive) return Z_OK;
  FActive = false;
  return inflateEnd(&FStream);
}
