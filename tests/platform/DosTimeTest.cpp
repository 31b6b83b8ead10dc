#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "DosTime.h"

namespace {

bool SameParts(const TDosDateTimeParts& a, const TDosDateTimeParts& b) {
  return a.Year == b.Year && a.Month == b.Month && a.Day == b.Day && a.Hour == b.Hour &&
         a.Minute == b.Minute && a.Second == b.Second;
}

const struct {
  uint32_t Packed;
  TDosDateTimeParts Parts;
} PackedCases[] = {
    {0x00210000, {1980, 1, 1, 0, 0, 0}},
    {0x56CF6DAF, {2023, 6, 15, 13, 45, 30}},
    {0xFF9FBF7D, {2107, 12, 31, 23, 59, 58}},  // the top bit set: a negative int32
    {0x3A8C0000, {2009, 4, 12, 0, 0, 0}},
};

TEST(DosTime, PacksAndUnpacksTheBitFields) {
  for (const auto& c : PackedCases) {
    SCOPED_TRACE(c.Packed);
    EXPECT_EQ(PackDosDateTime(c.Parts), static_cast<int32_t>(c.Packed));
    EXPECT_TRUE(SameParts(UnpackDosDateTime(static_cast<int32_t>(c.Packed)), c.Parts));
  }
}

TEST(DosTime, PackingDropsAnOddSecondAndRefusesYearsOutsideTheField) {
  EXPECT_EQ(PackDosDateTime({2023, 6, 15, 13, 45, 31}), 0x56CF6DAF);
  EXPECT_EQ(PackDosDateTime({1979, 12, 31, 23, 59, 58}), 0);
  EXPECT_EQ(PackDosDateTime({2108, 1, 1, 0, 0, 0}), 0);
}

TEST(DosTime, LocalTimeConversionRoundTrips) {
  for (const auto& c : PackedCases) {
    SCOPED_TRACE(c.Packed);
    const int64_t unix = DosDateTimeToUnixTime(static_cast<int32_t>(c.Packed));
    EXPECT_EQ(UnixTimeToDosDateTime(unix), static_cast<int32_t>(c.Packed));
    EXPECT_EQ(UnixTimeToDosDateTime(unix + 1), static_cast<int32_t>(c.Packed));  // odd second
  }
}

#ifndef _WIN32
// Switches the process to a time zone with summer time for one test.
class ZoneScope {
 public:
  explicit ZoneScope(const char* Zone) {
    if (const char* tz = std::getenv("TZ")) FSaved = tz;
    setenv("TZ", Zone, 1);
    tzset();
  }
  ~ZoneScope() {
    if (FSaved)
      setenv("TZ", FSaved->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> FSaved;
};

TEST(DosTime, LocalTimeFollowsSummerTime) {
  ZoneScope zone("CET-1CEST,M3.5.0,M10.5.0/3");
  const struct {
    TDosDateTimeParts Local;
    int64_t Utc;
  } cases[] = {
      {{2023, 1, 15, 13, 45, 30}, 1673786730},  // 12:45:30 UTC
      {{2023, 6, 15, 13, 45, 30}, 1686829530},  // 11:45:30 UTC
  };
  for (const auto& c : cases) {
    const int32_t dos = PackDosDateTime(c.Local);
    EXPECT_EQ(DosDateTimeToUnixTime(dos), c.Utc);
    EXPECT_EQ(UnixTimeToDosDateTime(c.Utc), dos);
  }
}
#endif

}  // namespace
