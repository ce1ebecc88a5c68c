#pragma once

#include <string>
#include <string_view>

namespace ritoma::metadata {

// The option text of a metadata macro, FIELD[,FORMAT[,FALLBACK]], in code
// page 932. FIELD and FORMAT end at the next "," (one that is a character
// of its own, never a trail byte); FALLBACK is the whole rest, commas
// included, so any text can stand in for a missing field.
struct MacroOption {
  std::string field;
  std::string format;
  std::string fallback;

  static MacroOption parse(std::string_view option);
  // The block "<FIELD,FORMAT,FALLBACK>" that parses back to this option,
  // without the trailing empty parts.
  std::string block() const;
};

}  // namespace ritoma::metadata
