#include "ZACrc32.h"

#include <zlib.h>

#include <algorithm>

// zlib's crc32 works on finished values and is faster than a byte-wise
// table walk; complementing in and out gives the running value.
void UpdateCrc32(const uint8_t* Buffer, int64_t Count, uint32_t& Crc) {
  uLong finished = ~Crc & 0xFFFFFFFFu;
  while (Count > 0) {
    const auto piece = static_cast<uInt>(std::min<int64_t>(Count, 1 << 30));
    finished = crc32(finished, Buffer, piece);
    Buffer += piece;
    Count -= piece;
  }
  Crc = ~static_cast<uint32_t>(finished);
}
