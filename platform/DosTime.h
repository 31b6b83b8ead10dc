#pragma once
// MS-DOS date and time, packed as one 32-bit value with the date in the high
// half, and its conversion to and from the calendar in local time.
#include <cstdint>

struct TDosDateTimeParts {
  int Year, Month, Day, Hour, Minute, Second;
};

TDosDateTimeParts UnpackDosDateTime(int32_t DosTime);
// Seconds are stored in steps of two: odd seconds round down.
int32_t PackDosDateTime(const TDosDateTimeParts& Parts);

// Seconds since 1970-01-01 UTC <-> DOS time in the local time zone.
int64_t DosDateTimeToUnixTime(int32_t DosTime);
int32_t UnixTimeToDosDateTime(int64_t UnixTime);
