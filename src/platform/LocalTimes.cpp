#include "platform/LocalTimes.h"

#include <limits>

namespace ritoma {

namespace {

constexpr std::int64_t kHourSeconds = 3600;
constexpr std::int64_t kDaySeconds = 86400;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, and
// back (the civil-from-days algorithms of H. Hinnant's date library).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = floorDiv(year, 400);
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

CivilTime civilFromSeconds(std::int64_t seconds) {
  std::int64_t days = floorDiv(seconds, kDaySeconds);
  const auto inDay = static_cast<unsigned>(seconds - days * kDaySeconds);
  days += 719468;
  const std::int64_t era = floorDiv(days, 146097);
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned shifted = (5 * dayOfYear + 2) / 153;
  CivilTime t;
  t.day = dayOfYear - (153 * shifted + 2) / 5 + 1;
  t.month = shifted < 10 ? shifted + 3 : shifted - 9;
  t.year = static_cast<unsigned>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = inDay / 3600;
  t.minute = inDay / 60 % 60;
  t.second = inDay % 60;
  return t;
}

std::int64_t secondsOfCivil(const CivilTime& t) {
  return daysFromCivil(t.year, t.month, t.day) * kDaySeconds + t.hour * 3600 + t.minute * 60 + t.second;
}

// The hours measured lie between 1601 and the last whole hour a file time
// reaches, so that both ends of each are file times.
const std::int64_t kFirstHour = floorDiv(TimeConvert::toUnixSeconds(0), kHourSeconds) + 1;
const std::int64_t kLastHour =
    floorDiv(TimeConvert::toUnixSeconds(std::numeric_limits<FileTime>::max()), kHourSeconds) - 1;

}  // namespace

CivilTime LocalTimes::toLocal(FileTime time) {
  const std::int64_t seconds = TimeConvert::toUnixSeconds(time);
  const std::int64_t index = floorDiv(seconds, kHourSeconds);
  if (index < kFirstHour || index > kLastHour) return TimeConvert::toLocal(time);
  Hour& hour = hours_[static_cast<std::uint64_t>(index) % kHours];
  if (hour.state == State::Empty || hour.index != index) {
    hour = {index, 0, State::Seen};
    return TimeConvert::toLocal(time);
  }
  if (hour.state == State::Seen) measure(hour);
  if (hour.state == State::Uneven) return TimeConvert::toLocal(time);
  return civilFromSeconds(seconds + hour.offset);
}

TimeConvert::Text LocalTimes::toText(FileTime time) { return TimeConvert::toTextInPlace(toLocal(time)); }

void LocalTimes::measure(Hour& hour) const {
  const std::int64_t first = hour.index * kHourSeconds;
  const std::int64_t last = first + kHourSeconds - 1;
  const CivilTime start = TimeConvert::toLocal(TimeConvert::fromUnixSeconds(first));
  const CivilTime end = TimeConvert::toLocal(TimeConvert::fromUnixSeconds(last));
  const std::int64_t offset = secondsOfCivil(start) - first;
  const bool even = start.second < 60 && end.second < 60 && secondsOfCivil(end) - last == offset;
  hour.offset = offset;
  hour.state = even ? State::Even : State::Uneven;
}

}  // namespace ritoma
