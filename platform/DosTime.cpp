#include "DosTime.h"

#include <ctime>

TDosDateTimeParts UnpackDosDateTime(int32_t DosTime) {
  const uint32_t v = static_cast<uint32_t>(DosTime);
  return {static_cast<int>((v >> 25) & 0x7F) + 1980,
          static_cast<int>((v >> 21) & 0x0F),
          static_cast<int>((v >> 16) & 0x1F),
          static_cast<int>((v >> 11) & 0x1F),
          static_cast<int>((v >> 5) & 0x3F),
          static_cast<int>(v & 0x1F) * 2};
}

int32_t PackDosDateTime(const TDosDateTimeParts& Parts) {
  // The runtime gives 0 for years the seven-bit field cannot hold.
  if (Parts.Year < 1980 || Parts.Year > 2107) return 0;
  const uint32_t v = (static_cast<uint32_t>(Parts.Year - 1980) << 25) |
                     (static_cast<uint32_t>(Parts.Month & 0x0F) << 21) |
                     (static_cast<uint32_t>(Parts.Day & 0x1F) << 16) |
                     (static_cast<uint32_t>(Parts.Hour & 0x1F) << 11) |
                     (static_cast<uint32_t>(Parts.Minute & 0x3F) << 5) |
                     static_cast<uint32_t>((Parts.Second / 2) & 0x1F);
  return static_cast<int32_t>(v);
}

int64_t DosDateTimeToUnixTime(int32_t DosTime) {
  const TDosDateTimeParts p = UnpackDosDateTime(DosTime);
  std::tm tm{};
  tm.tm_year = p.Year - 1900;
  tm.tm_mon = p.Month - 1;
  tm.tm_mday = p.Day;
  tm.tm_hour = p.Hour;
  tm.tm_min = p.Minute;
  tm.tm_sec = p.Second;
  tm.tm_isdst = -1;  // let the zone rules decide whether DST was in force
  return static_cast<int64_t>(std::mktime(&tm));
}

int32_t UnixTimeToDosDateTime(int64_t UnixTime) {
  const std::time_t t = static_cast<std::time_t>(UnixTime);
  std::tm tm{};
#ifdef _WIN32
  if (localtime_s(&tm, &t) != 0) return 0;
#else
  if (!localtime_r(&t, &tm)) return 0;
#endif
  return PackDosDateTime(
      {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec});
}
