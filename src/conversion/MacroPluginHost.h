#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ritoma {

// What the template engine hands to a plug-in's macro call; the host copies
// it into the plug-in's call record. Texts are code page 932 and stay valid
// until the call returns.
struct MacroCallInfo {
  std::string_view option;       // the element's option text
  std::string_view folder;       // the current folder path
  std::string_view listedName;   // archive mode: the archive name; else the name as selected
  std::string_view currentName;  // the row's name before this stage
  bool inArchive = false;
  bool hasKey = false;
  int passNumber = 0;
};

// The loaded extension-macro plug-ins as the template engine sees them.
class MacroPluginHost {
public:
  virtual ~MacroPluginHost() = default;
  // Index of the plug-in that owns the command letter 'A'-'Z', or -1.
  virtual int pluginForLetter(char letter) const = 0;
  // Start of one row's expansion: every plug-in's use count becomes 0.
  virtual void resetUseCounts() = 0;
  // Counts the call in the plug-in's use count, calls its macro and returns
  // a copy of the text it returned, or nothing.
  virtual std::optional<std::string> execMacro(int plugin, const MacroCallInfo& call) = 0;
};

}  // namespace ritoma
