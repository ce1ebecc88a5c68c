#include "platform/TimeConvert.h"

#include <iterator>

namespace ritoma {

namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kUnixEpochSeconds = 11'644'473'600;

constexpr unsigned kFirstYear = 1601;   // the file-time epoch
constexpr unsigned kLastYear = 30827;   // the last year a file time reaches
constexpr unsigned kDosFirstYear = 1980;
constexpr unsigned kDosLastYear = 2107;

bool isLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned daysInMonth(unsigned year, unsigned month) {
  static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValid(const CivilTime& t) {
  return t.year >= kFirstYear && t.year <= kLastYear && t.month >= 1 && t.month <= 12 &&
         t.day >= 1 && t.day <= daysInMonth(t.year, t.month) && t.hour < 24 && t.minute < 60 &&
         t.second < 60;
}

// Reads exactly `min`..`max` decimal digits at `pos`.
bool readNumber(std::string_view text, std::size_t& pos, std::size_t min, std::size_t max,
                unsigned& value) {
  std::size_t count = 0;
  value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && count < max) {
    value = value * 10 + static_cast<unsigned>(text[pos] - '0');
    ++pos;
    ++count;
  }
  return count >= min && (pos >= text.size() || text[pos] < '0' || text[pos] > '9');
}

bool expect(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

}  // namespace

FileTime TimeConvert::fromUnixSeconds(std::int64_t seconds, std::uint32_t nanoseconds) {
  return (seconds + kUnixEpochSeconds) * kTicksPerSecond + nanoseconds / 100;
}

std::int64_t TimeConvert::toUnixSeconds(FileTime time) {
  std::int64_t seconds = time / kTicksPerSecond;
  if (time % kTicksPerSecond < 0) --seconds;
  return seconds - kUnixEpochSeconds;
}

std::uint32_t TimeConvert::subsecondNanoseconds(FileTime time) {
  std::int64_t rest = time % kTicksPerSecond;
  if (rest < 0) rest += kTicksPerSecond;
  return static_cast<std::uint32_t>(rest * 100);
}

CivilTime TimeConvert::toLocal(FileTime time) {
  const std::time_t seconds = static_cast<std::time_t>(toUnixSeconds(time));
  std::tm tm{};
  CivilTime local;
  if (!localtime_r(&seconds, &tm) || tm.tm_year + 1900 < static_cast<int>(kFirstYear)) return local;
  local.year = static_cast<unsigned>(tm.tm_year + 1900);
  local.month = static_cast<unsigned>(tm.tm_mon + 1);
  local.day = static_cast<unsigned>(tm.tm_mday);
  local.hour = static_cast<unsigned>(tm.tm_hour);
  local.minute = static_cast<unsigned>(tm.tm_min);
  local.second = static_cast<unsigned>(tm.tm_sec);
  return local;
}

std::optional<FileTime> TimeConvert::fromLocal(const CivilTime& local) {
  if (!isValid(local)) return std::nullopt;
  std::tm tm{};
  tm.tm_year = static_cast<int>(local.year) - 1900;
  tm.tm_mon = static_cast<int>(local.month) - 1;
  tm.tm_mday = static_cast<int>(local.day);
  tm.tm_hour = static_cast<int>(local.hour);
  tm.tm_min = static_cast<int>(local.minute);
  tm.tm_sec = static_cast<int>(local.second);
  tm.tm_isdst = -1;  // the rules in force at that date decide
  const std::time_t seconds = std::mktime(&tm);
  if (seconds == static_cast<std::time_t>(-1)) {
    // -1 is also the valid second before the UNIX epoch; tell it apart.
    std::tm check{};
    if (!localtime_r(&seconds, &check) || check.tm_year + 1900 != static_cast<int>(local.year) ||
        check.tm_mon + 1 != static_cast<int>(local.month) ||
        check.tm_mday != static_cast<int>(local.day))
      return std::nullopt;
  }
  return fromUnixSeconds(seconds);
}

namespace {

TimeConvert::Text writeCivil(const CivilTime& t, unsigned yearDigits) {
  TimeConvert::Text text;
  char year[12];
  char* begin = std::end(year);
  unsigned rest = t.year;
  do {
    *--begin = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0 && begin != year);
  while (static_cast<unsigned>(std::end(year) - begin) < yearDigits && begin != year) *--begin = '0';
  for (const char* c = begin; c != std::end(year); ++c) text.bytes[text.size++] = *c;
  const char separators[5] = {'/', '/', ' ', ':', ':'};
  const unsigned parts[5] = {t.month, t.day, t.hour, t.minute, t.second};
  for (int i = 0; i < 5; ++i) {
    text.bytes[text.size++] = separators[i];
    text.bytes[text.size++] = static_cast<char>('0' + parts[i] / 10 % 10);
    text.bytes[text.size++] = static_cast<char>('0' + parts[i] % 10);
  }
  return text;
}

}  // namespace

std::string TimeConvert::toText(FileTime time) { return std::string(toTextInPlace(time).view()); }

TimeConvert::Text TimeConvert::toTextInPlace(FileTime time) { return writeCivil(toLocal(time), 1); }

TimeConvert::Text TimeConvert::toTextInPlace(const CivilTime& local) { return writeCivil(local, 1); }

std::string TimeConvert::civilText(const CivilTime& t, unsigned yearDigits) {
  return std::string(writeCivil(t, yearDigits).view());
}

std::optional<FileTime> TimeConvert::fromText(std::string_view text) {
  CivilTime t;
  std::size_t pos = 0;
  if (!readNumber(text, pos, 1, 9, t.year) || !expect(text, pos, '/') ||
      !readNumber(text, pos, 2, 2, t.month) || !expect(text, pos, '/') ||
      !readNumber(text, pos, 2, 2, t.day) || !expect(text, pos, ' ') ||
      !readNumber(text, pos, 2, 2, t.hour) || !expect(text, pos, ':') ||
      !readNumber(text, pos, 2, 2, t.minute) || !expect(text, pos, ':') ||
      !readNumber(text, pos, 2, 2, t.second) || pos != text.size())
    return std::nullopt;
  return fromLocal(t);
}

std::uint32_t TimeConvert::toDos(FileTime time) {
  CivilTime t = toLocal(time);
  if (t.year < kDosFirstYear) t = CivilTime{kDosFirstYear, 1, 1, 0, 0, 0};
  if (t.year > kDosLastYear) t = CivilTime{kDosLastYear, 12, 31, 23, 59, 58};
  const std::uint32_t date = (t.year - kDosFirstYear) << 9 | t.month << 5 | t.day;
  const std::uint32_t clock = t.hour << 11 | t.minute << 5 | t.second / 2;
  return date << 16 | clock;
}

std::optional<FileTime> TimeConvert::fromDos(std::uint32_t dosDateTime) {
  const std::uint32_t date = dosDateTime >> 16;
  const std::uint32_t clock = dosDateTime & 0xFFFF;
  CivilTime t;
  t.year = kDosFirstYear + (date >> 9);
  t.month = date >> 5 & 0x0F;
  t.day = date & 0x1F;
  t.hour = clock >> 11;
  t.minute = clock >> 5 & 0x3F;
  t.second = (clock & 0x1F) * 2;
  return fromLocal(t);
}

}  // namespace ritoma
