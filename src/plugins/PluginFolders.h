#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace ritoma {

// The folders searched for extension-macro plug-ins, in order: the
// executable's folder (where the build tree puts them), the folder
// lib/ritoma/plugins of the installed tree the executable sits in
// (<prefix>/bin/../lib/ritoma/plugins), and $XDG_DATA_HOME/ritoma/plugins
// (~/.local/share/ritoma/plugins when the variable is unset, empty or not
// absolute). Empty parts are left out. Nothing depends on where the program
// was built or meant to be installed, so an installed tree can be moved.
class PluginFolders {
public:
  static std::vector<std::string> locate(const std::string& executableFolder,
                                         const std::string& xdgDataHome, const std::string& home);
  // The same for the running program.
  static std::vector<std::string> forThisProgram(FileSystem& fs);
  // The plug-in folder of the installed tree whose executables sit in
  // executableFolder (absolute, as the file system reports it); empty when
  // executableFolder is empty.
  static std::string installFolder(const std::string& executableFolder);
};

}  // namespace ritoma
