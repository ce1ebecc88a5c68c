#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace ritoma {

// Where the settings file "Ritoma.ini" and the undo file "Ritoma.und"
// live: beside the executable when that folder is writable, otherwise in
// $XDG_CONFIG_HOME/ritoma (~/.config/ritoma when the variable is unset,
// empty or not absolute), which is created when it is missing.
//
// An installed program (its data folder share/ritoma sits beside its bin
// folder) always uses the config folder: a writable bin folder such as
// ~/.local/bin is shared with other programs and no place for settings.
class Places {
public:
  // Decides from the given executable folder and environment values
  // (either may be empty); tests pass their own.
  static Places locate(FileSystem& fs, const std::string& executableFolder,
                       const std::string& xdgConfigHome, const std::string& home);
  // The same for the running program: its folder and its environment.
  static Places forThisProgram(FileSystem& fs);

  // The folder holding both files, without a trailing "/".
  const std::string& folder() const { return folder_; }
  std::string settingsFile() const;
  std::string undoFile() const;

private:
  explicit Places(std::string folder) : folder_(std::move(folder)) {}
  std::string folder_;
};

}  // namespace ritoma
