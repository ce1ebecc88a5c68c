#pragma once

#include <string>
#include <string_view>

namespace ritoma {

// Names inside the messages the core hands to UserInteraction, which takes
// UTF-8: code page 932 and raw disk bytes alike become valid UTF-8 (bytes
// that are no character show as U+FFFD).
class DisplayText {
public:
  static std::string fromCp932(std::string_view cp932);
  static std::string fromDisk(std::string_view diskBytes);
};

}  // namespace ritoma
