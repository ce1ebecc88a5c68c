#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace ritoma {

// The folders searched for extension-macro plug-ins, in order: the
// executable's folder, <install prefix>/lib/ritoma/plugins, and
// $XDG_DATA_HOME/ritoma/plugins (~/.local/share/ritoma/plugins when the
// variable is unset, empty or not absolute). Empty parts are left out.
class PluginFolders {
public:
  static std::vector<std::string> locate(const std::string& executableFolder,
                                         const std::string& xdgDataHome, const std::string& home);
  // The same for the running program.
  static std::vector<std::string> forThisProgram(FileSystem& fs);
  // The folder of <install prefix> the program was built for.
  static std::string installFolder();
};

}  // namespace ritoma
