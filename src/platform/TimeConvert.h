#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace ritoma {

// Broken-down local or UTC time, as the texts and DOS stamps need it.
struct CivilTime {
  unsigned year = 1601, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// Conversions between file times, UNIX seconds, local civil time, the
// program's time texts and packed DOS date/time. Local time follows the
// time-zone rules in force at the given date.
class TimeConvert {
public:
  static FileTime fromUnixSeconds(std::int64_t seconds, std::uint32_t nanoseconds = 0);
  static std::int64_t toUnixSeconds(FileTime time);
  static std::uint32_t subsecondNanoseconds(FileTime time);

  static CivilTime toLocal(FileTime time);
  // nullopt for a date or time that does not exist on the calendar or
  // lies before 1601. A wall-clock time skipped by a clock change is moved
  // on by the change (02:30 on a spring-forward night is 03:30); one that
  // occurs twice is taken at its first occurrence.
  static std::optional<FileTime> fromLocal(const CivilTime& local);

  // "%u/%02u/%02u %02u:%02u:%02u" in local time, and back. Parsing accepts
  // exactly that shape (one or more digits for the year) and rejects dates
  // that do not exist.
  static std::string toText(FileTime time);
  static std::optional<FileTime> fromText(std::string_view text);
  // The same shape for a civil time, the year padded with zeros to at
  // least `yearDigits` digits. Lists of a million rows call this, so it
  // writes the digits itself.
  static std::string civilText(const CivilTime& t, unsigned yearDigits = 1);

  // toText held in place, for records made by the million; room for a
  // year of ten digits and the fifteen characters after it.
  struct Text {
    char bytes[32] = {};
    std::size_t size = 0;
    std::string_view view() const { return {bytes, size}; }
  };
  static Text toTextInPlace(FileTime time);
  static Text toTextInPlace(const CivilTime& local);

  // Packed DOS date (high 16 bits) and time (low 16 bits), local time,
  // two-second precision (an odd second rounds down). A time before 1980
  // or after 2107 gives the first or the last stamp; fromDos rejects
  // stamps that are no date.
  static std::uint32_t toDos(FileTime time);
  static std::optional<FileTime> fromDos(std::uint32_t dosDateTime);
};

}  // namespace ritoma
