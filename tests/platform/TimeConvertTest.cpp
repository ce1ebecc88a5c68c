#include "platform/TimeConvert.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "support/ZoneGuard.h"

namespace ritoma {
namespace {

TEST(TimeConvertTest, UnixSecondsAndFileTimes) {
  EXPECT_EQ(TimeConvert::fromUnixSeconds(0), 116444736000000000);
  EXPECT_EQ(TimeConvert::toUnixSeconds(116444736000000000), 0);
  const FileTime t = TimeConvert::fromUnixSeconds(1'700'000'000, 987'654'321);
  EXPECT_EQ(TimeConvert::toUnixSeconds(t), 1'700'000'000);
  EXPECT_EQ(TimeConvert::subsecondNanoseconds(t), 987'654'300u);  // 100-ns units
  // Before 1970 the second is still the floor.
  const FileTime before = TimeConvert::fromUnixSeconds(-2, 500'000'000);
  EXPECT_EQ(TimeConvert::toUnixSeconds(before), -2);
  EXPECT_EQ(TimeConvert::subsecondNanoseconds(before), 500'000'000u);
}

TEST(TimeConvertTest, TextsInTokyo) {
  ZoneGuard zone("Asia/Tokyo");
  struct Row {
    const char* name;
    const char* text;
    std::optional<std::int64_t> unixSeconds;
  };
  const Row rows[] = {
      {"epoch", "1970/01/01 09:00:00", 0},
      {"leap day", "2024/02/29 23:59:59", 1709218799},
      {"first second of a year", "2000/01/01 00:00:00", 946652400},
      {"first file-time second (local mean time)", "1601/01/01 09:18:59", -11644473600},
      {"no leap day in 2023", "2023/02/29 00:00:00", std::nullopt},
      {"no leap day in 1900", "1900/02/29 00:00:00", std::nullopt},
      {"month 13", "2024/13/01 00:00:00", std::nullopt},
      {"day 0", "2024/01/00 00:00:00", std::nullopt},
      {"April 31", "2024/04/31 00:00:00", std::nullopt},
      {"hour 24", "2024/01/01 24:00:00", std::nullopt},
      {"second 60", "2024/01/01 00:00:60", std::nullopt},
      {"one-digit month", "2024/1/01 00:00:00", std::nullopt},
      {"trailing text", "2024/01/01 00:00:00x", std::nullopt},
      {"date only", "2024/01/01", std::nullopt},
      {"before 1601", "1600/12/31 23:59:59", std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto parsed = TimeConvert::fromText(row.text);
    ASSERT_EQ(parsed.has_value(), row.unixSeconds.has_value());
    if (!parsed) continue;
    EXPECT_EQ(TimeConvert::toUnixSeconds(*parsed), *row.unixSeconds);
    EXPECT_EQ(TimeConvert::toText(*parsed), row.text);
  }
}

TEST(TimeConvertTest, CivilTextPadsEveryFieldButTheYear) {
  struct Row {
    const char* name;
    CivilTime time;
    unsigned yearDigits;
    const char* text;
  };
  const Row rows[] = {
      {"first file time", {1601, 1, 1, 0, 0, 0}, 1, "1601/01/01 00:00:00"},
      {"two-digit fields", {2024, 12, 31, 23, 59, 58}, 1, "2024/12/31 23:59:58"},
      {"five-digit year", {30827, 9, 14, 2, 48, 5}, 4, "30827/09/14 02:48:05"},
      {"short year, no padding", {7, 3, 4, 5, 6, 7}, 1, "7/03/04 05:06:07"},
      {"short year padded", {7, 3, 4, 5, 6, 7}, 4, "0007/03/04 05:06:07"},
  };
  for (const auto& row : rows) EXPECT_EQ(TimeConvert::civilText(row.time, row.yearDigits), row.text) << row.name;
}

TEST(TimeConvertTest, LocalTimeFollowsTheRulesAtTheDate) {
  ZoneGuard zone("Europe/Berlin");
  // Winter (UTC+1) and summer (UTC+2) of the same year.
  EXPECT_EQ(TimeConvert::toText(TimeConvert::fromUnixSeconds(1704110400)), "2024/01/01 13:00:00");
  EXPECT_EQ(TimeConvert::toText(TimeConvert::fromUnixSeconds(1719835200)), "2024/07/01 14:00:00");
  EXPECT_EQ(TimeConvert::toUnixSeconds(*TimeConvert::fromText("2024/07/01 14:00:00")), 1719835200);
  EXPECT_EQ(TimeConvert::toUnixSeconds(*TimeConvert::fromText("2024/01/01 13:00:00")), 1704110400);
  // Skipped in spring: moved on by the hour. Twice in autumn: the first.
  EXPECT_EQ(TimeConvert::toText(*TimeConvert::fromText("2024/03/31 02:30:00")), "2024/03/31 03:30:00");
  EXPECT_EQ(TimeConvert::toUnixSeconds(*TimeConvert::fromText("2024/10/27 02:30:00")), 1729989000 + 3600);
  const CivilTime summer = TimeConvert::toLocal(TimeConvert::fromUnixSeconds(1719835200));
  EXPECT_EQ(summer.hour, 14u);
  // The DOS stamp is local time too.
  const std::uint32_t dos = TimeConvert::toDos(TimeConvert::fromUnixSeconds(1719835200));
  EXPECT_EQ(dos & 0xFFFF, 14u << 11);
  EXPECT_EQ(TimeConvert::toUnixSeconds(*TimeConvert::fromDos(dos)), 1719835200);
}

TEST(TimeConvertTest, DosStamps) {
  ZoneGuard zone("Asia/Tokyo");
  struct Row {
    const char* name;
    std::uint32_t dos;
    const char* text;  // nullptr: not a date
  };
  const Row rows[] = {
      {"first DOS second", (0u << 9 | 1 << 5 | 1) << 16, "1980/01/01 00:00:00"},
      {"odd second halves", (44u << 9 | 2 << 5 | 29) << 16 | (23u << 11 | 59 << 5 | 29),
       "2024/02/29 23:59:58"},
      {"last DOS stamp", (127u << 9 | 12 << 5 | 31) << 16 | (23u << 11 | 59 << 5 | 29),
       "2107/12/31 23:59:58"},
      {"month 0", (44u << 9 | 0 << 5 | 1) << 16, nullptr},
      {"day 0", (44u << 9 | 1 << 5 | 0) << 16, nullptr},
      {"February 30", (44u << 9 | 2 << 5 | 30) << 16, nullptr},
      {"no leap day in 2023", (43u << 9 | 2 << 5 | 29) << 16, nullptr},
      {"hour 24", (44u << 9 | 1 << 5 | 1) << 16 | 24u << 11, nullptr},
      {"minute 60", (44u << 9 | 1 << 5 | 1) << 16 | 60u << 5, nullptr},
      {"second 60", (44u << 9 | 1 << 5 | 1) << 16 | 30u, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto time = TimeConvert::fromDos(row.dos);
    ASSERT_EQ(time.has_value(), row.text != nullptr);
    if (!time) continue;
    EXPECT_EQ(TimeConvert::toText(*time), row.text);
    EXPECT_EQ(TimeConvert::toDos(*time), row.dos);
  }
  // Two-second precision: an odd second rounds down.
  EXPECT_EQ(TimeConvert::toDos(*TimeConvert::fromText("2024/02/29 23:59:59")),
            rows[1].dos);
  // Outside 1980-2107 the stamp stops at the first or last one.
  EXPECT_EQ(TimeConvert::toDos(*TimeConvert::fromText("1970/01/01 09:00:00")), rows[0].dos);
  EXPECT_EQ(TimeConvert::toDos(*TimeConvert::fromText("2200/01/01 00:00:00")), rows[2].dos);
}

}  // namespace
}  // namespace ritoma
