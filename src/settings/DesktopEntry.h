#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ritoma {

// The desktop entry that a shortcut to the program consists of: Name
// "Ritoma", the program's icon, and an Exec line that starts the
// executable with the chosen files (%F), so that files dropped on the
// desktop icon or sent through "Open With" arrive as the command line.
class DesktopEntry {
public:
  enum class Place {
    Desktop,  // the desktop folder
    SendTo,   // the applications folder; also names the types it opens
  };

  // The file's text for `executable` (an absolute disk path). Nothing when
  // the path is not valid UTF-8 or holds a control character, which a
  // desktop entry cannot carry.
  static std::optional<std::string> text(std::string_view executable, Place place);
  // `path` as the program of an Exec value: "%" doubled, enclosed in double
  // quotes when it holds a reserved character (with '"', '`', '$' and '\'
  // escaped inside), then with the escapes of a string value applied.
  static std::string execProgram(std::string_view path);
};

}  // namespace ritoma
