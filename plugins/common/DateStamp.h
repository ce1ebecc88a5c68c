#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace ritoma::metadata {

// A calendar date and time as a tag states it, without a time zone.
class DateStamp {
public:
  // Reads Exif "YYYY:MM:DD HH:MM:SS", ISO 8601 as XMP and the tags of
  // audio files write it ("YYYY-MM-DD", "YYYY-MM-DDTHH:MM[:SS][.fff][zone]",
  // "YYYY-MM" or "YYYY" alone) and IPTC "YYYYMMDD". Parts left out count as
  // the first month, the first day, midnight. Nothing for any other text,
  // for a date that does not exist, and for the blank "0000:00:00 00:00:00"
  // of a camera whose clock was never set.
  static std::optional<DateStamp> parse(std::string_view text);
  // The date written by strftime's conversions in `format` (UTF-8).
  std::string format(const std::string& format) const;

private:
  std::tm tm_{};
};

}  // namespace ritoma::metadata
