#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// Names inside the messages the core hands to UserInteraction, which takes
// UTF-8: code page 932 and raw disk bytes alike become valid UTF-8 (bytes
// that are no character show as U+FFFD).
class DisplayText {
public:
  static std::string fromCp932(std::string_view cp932);
  static std::string fromDisk(std::string_view diskBytes);
  // Names (UTF-8) for a message, each on a line of its own after a line
  // feed: the first `shown` of them, then "ほか" + the number left + "件".
  static std::string nameLines(const std::vector<std::string>& names, std::size_t shown = 10);
};

}  // namespace ritoma
