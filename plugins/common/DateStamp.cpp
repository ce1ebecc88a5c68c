#include "DateStamp.h"

#include <array>

namespace ritoma::metadata {

namespace {

// Reads exactly `digits` decimal digits at `pos`.
bool number(std::string_view s, std::size_t& pos, std::size_t digits, int& value) {
  if (pos + digits > s.size()) return false;
  value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const char c = s[pos + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  pos += digits;
  return true;
}

bool take(std::string_view s, std::size_t& pos, char c) {
  if (pos < s.size() && s[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysIn(int year, int month) {
  static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// The rest after the seconds: a fraction, then "Z" or "+hh:mm"/"-hh:mm".
bool isZoneOrFraction(std::string_view rest) {
  std::size_t pos = 0;
  if (take(rest, pos, '.')) {
    const std::size_t start = pos;
    while (pos < rest.size() && rest[pos] >= '0' && rest[pos] <= '9') ++pos;
    if (pos == start) return false;
  }
  if (pos == rest.size() || (take(rest, pos, 'Z') && pos == rest.size())) return true;
  int hours = 0, minutes = 0;
  if (!take(rest, pos, '+') && !take(rest, pos, '-')) return false;
  if (!number(rest, pos, 2, hours)) return false;
  take(rest, pos, ':');
  return number(rest, pos, 2, minutes) && pos == rest.size() && hours <= 23 && minutes <= 59;
}

}  // namespace

std::optional<DateStamp> DateStamp::parse(std::string_view text) {
  int year = 0, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  std::size_t pos = 0;
  if (!number(text, pos, 4, year)) return std::nullopt;
  if (pos == text.size()) {
    // a year alone
  } else if (text.size() == 8 && number(text, pos, 2, month) && number(text, pos, 2, day)) {
    // IPTC's YYYYMMDD
  } else {
    const char separator = text[pos];
    if (separator != ':' && separator != '-') return std::nullopt;
    ++pos;
    if (!number(text, pos, 2, month)) return std::nullopt;
    if (pos < text.size()) {
      if (!take(text, pos, separator) || !number(text, pos, 2, day)) return std::nullopt;
      if (pos < text.size()) {
        if (!take(text, pos, ' ') && !take(text, pos, 'T')) return std::nullopt;
        if (!number(text, pos, 2, hour) || !take(text, pos, ':') || !number(text, pos, 2, minute))
          return std::nullopt;
        if (take(text, pos, ':') && !number(text, pos, 2, second)) return std::nullopt;
        if (!isZoneOrFraction(text.substr(pos))) return std::nullopt;
      }
    }
  }
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysIn(year, month) || hour > 23 ||
      minute > 59 || second > 60)
    return std::nullopt;
  DateStamp stamp;
  stamp.tm_.tm_year = year - 1900;
  stamp.tm_.tm_mon = month - 1;
  stamp.tm_.tm_mday = day;
  stamp.tm_.tm_hour = hour;
  stamp.tm_.tm_min = minute;
  stamp.tm_.tm_sec = second;
  // The week day and the day of the year, for %a, %A, %u, %w, %j.
  std::tm normal = stamp.tm_;
  normal.tm_sec = std::min(second, 59);
  if (timegm(&normal) != -1) {
    stamp.tm_.tm_wday = normal.tm_wday;
    stamp.tm_.tm_yday = normal.tm_yday;
  }
  return stamp;
}

std::string DateStamp::format(const std::string& format) const {
  if (format.empty()) return {};
  // strftime answers 0 both for an empty result and for one too long for
  // the buffer; a larger buffer tells them apart.
  for (std::size_t size = 256; size <= 64 * 1024; size *= 4) {
    std::string out(size, '\0');
    const std::size_t length = std::strftime(out.data(), out.size(), format.c_str(), &tm_);
    if (length > 0 || size >= 64 * 1024) {
      out.resize(length);
      return out;
    }
  }
  return {};
}

}  // namespace ritoma::metadata
