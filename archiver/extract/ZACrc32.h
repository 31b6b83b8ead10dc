#pragma once
// The CRC-32 of ZIP (reflected polynomial 0xEDB88320). The running value
// starts at 0xFFFFFFFF and is complemented once, at the end.
#include <cstdint>

inline constexpr uint32_t ZACrc32Start = 0xFFFFFFFF;

void UpdateCrc32(const uint8_t* Buffer, int64_t Count, uint32_t& Crc);
inline uint32_t FinishCrc32(uint32_t Crc) { return ~Crc; }
