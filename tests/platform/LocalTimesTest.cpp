#include "platform/LocalTimes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/TimeConvert.h"
#include "support/ZoneGuard.h"

namespace ritoma {
namespace {

std::string shown(const CivilTime& t) {
  return std::string(TimeConvert::toTextInPlace(t).view());
}

// Every second from `from` to `to` (UNIX seconds, stepping `step`) comes
// out of one LocalTimes exactly as TimeConvert::toLocal gives it, on the
// first meeting of its hour and on the later ones, which are measured.
void expectSameAsTimeConvert(std::int64_t from, std::int64_t to, std::int64_t step) {
  LocalTimes zone;
  int differences = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (std::int64_t s = from; s <= to && differences < 5; s += step) {
      const FileTime time = TimeConvert::fromUnixSeconds(s, 1234567);
      const std::string expected = shown(TimeConvert::toLocal(time));
      const std::string got = shown(zone.toLocal(time));
      if (got != expected) {
        ++differences;
        ADD_FAILURE() << "at " << s << " (pass " << pass << "): " << got << ", expected " << expected;
      }
      EXPECT_EQ(std::string(zone.toText(time).view()), expected);
    }
  }
}

struct Transition {
  const char* name;
  const char* zone;
  std::int64_t at;  // UNIX seconds near a change of the zone's offset
};

class LocalTimesTransitions : public ::testing::TestWithParam<Transition> {};

// Two hours either side of the change, second by second.
TEST_P(LocalTimesTransitions, EverySecondAsTheCLibraryGivesIt) {
  const ZoneGuard zone(GetParam().zone);
  expectSameAsTimeConvert(GetParam().at - 7200, GetParam().at + 7200, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, LocalTimesTransitions,
    ::testing::Values(
        Transition{"TokyoNoChange", "Asia/Tokyo", 1'700'000'000},
        Transition{"NewYorkSpringForward", "America/New_York", 1'710'054'000},
        Transition{"NewYorkFallBack", "America/New_York", 1'730'613'600},
        Transition{"LondonFallBack", "Europe/London", 1'729'990'800},
        Transition{"DublinWinterIsTheShift", "Europe/Dublin", 1'711'846'800},
        Transition{"LordHoweHalfHour", "Australia/Lord_Howe", 1'712'415'600},
        Transition{"KathmanduQuarterHour", "Asia/Kathmandu", 504'901'800},
        Transition{"ApiaSkipsADay", "Pacific/Apia", 1'325'239'200},
        Transition{"TokyoLocalMeanTime", "Asia/Tokyo", -2'587'712'400},
        Transition{"LeapSecond", "right/UTC", 1'483'228'826}),
    [](const auto& info) { return std::string(info.param.name); });

// Times scattered over the whole range of file times, where the arithmetic
// meets leap years, century rules and the ends of the range.
TEST(LocalTimesTest, ScatteredTimesFrom1601To30827) {
  const ZoneGuard zone("Europe/Berlin");
  const std::int64_t first = TimeConvert::toUnixSeconds(0);
  const std::int64_t last = TimeConvert::toUnixSeconds(INT64_MAX);
  expectSameAsTimeConvert(first, last, 86'400 * 97 + 3'607);
  expectSameAsTimeConvert(first, first + 3 * 86'400, 1'799);
  expectSameAsTimeConvert(last - 3 * 86'400, last, 1'799);
}

TEST(LocalTimesTest, TimesOutsideTheCalendarGiveTheFirstDay) {
  const ZoneGuard zone("America/New_York");
  LocalTimes times;
  for (const FileTime t : {FileTime{-1}, FileTime{0}, FileTime{INT64_MIN}}) {
    EXPECT_EQ(shown(times.toLocal(t)), shown(TimeConvert::toLocal(t)));
    EXPECT_EQ(shown(times.toLocal(t)), shown(TimeConvert::toLocal(t)));
  }
}

}  // namespace
}  // namespace ritoma
