#pragma once

#include <array>
#include <cstdint>

#include "platform/FileSystem.h"
#include "platform/TimeConvert.h"

namespace ritoma {

// TimeConvert::toLocal for the many file times of a batch, mostly without
// the C library's conversion, which takes a lock that threads converting
// side by side would wait on. The offset from UTC changes only at the
// zone's transitions, and never twice within an hour: an hour whose first
// and last seconds have the same offset (and neither is a leap second) has
// it throughout, and a time in it is converted by arithmetic. Other hours
// are converted time by time. An hour is measured when a second time falls
// in it, so scattered times cost no more than TimeConvert::toLocal.
//
// One object serves one thread for one batch: it keeps the offsets it
// measured, and does not see the zone change while it lives.
class LocalTimes {
public:
  CivilTime toLocal(FileTime time);
  // TimeConvert::toTextInPlace.
  TimeConvert::Text toText(FileTime time);

private:
  enum class State : std::uint8_t { Empty, Seen, Even, Uneven };
  struct Hour {
    std::int64_t index = 0;
    std::int64_t offset = 0;
    State state = State::Empty;
  };
  static constexpr std::size_t kHours = 64;

  void measure(Hour& hour) const;

  std::array<Hour, kHours> hours_{};
};

}  // namespace ritoma
