#pragma once

#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace ritoma {

// Where the two shortcuts to the program live, both named "Ritoma.desktop":
// one in the desktop folder, the folder `xdg-user-dir DESKTOP` names, and
// one in the user's applications folder ($XDG_DATA_HOME/applications,
// ~/.local/share/applications), where file managers offer the program
// under "Open With" (the Send To menu of this platform). With the latter
// goes the script through which Files (Nautilus) starts the program, in
// $XDG_DATA_HOME/nautilus/scripts.
class ShortcutPlaces {
public:
  static constexpr std::string_view FileName = "Ritoma.desktop";

  // Decides from the environment values given (any may be empty); tests
  // pass their own. The desktop folder is the XDG_DESKTOP_DIR line of
  // `xdgConfigHome`/user-dirs.dirs (~/.config when that is unset or not
  // absolute), else the variable XDG_DESKTOP_DIR when absolute, else
  // ~/Desktop. A desktop folder that is the home folder itself means the
  // user has none. Without a home folder there is neither shortcut.
  static ShortcutPlaces locate(FileSystem& fs, const std::string& home, const std::string& xdgConfigHome,
                               const std::string& xdgDataHome, const std::string& xdgDesktopDir);
  // The same for the running program's environment.
  static ShortcutPlaces forThisUser(FileSystem& fs);

  // Disk paths of the two files; empty where there is no such folder.
  const std::string& desktopFile() const { return desktopFile_; }
  const std::string& sendToFile() const { return sendToFile_; }
  // The Files script (FilesScript); empty exactly when sendToFile() is.
  const std::string& filesScriptFile() const { return filesScriptFile_; }

  // The folder value of `variable` in the text of a user-dirs.dirs file
  // ("$HOME/…" or an absolute path in double quotes, shell escapes
  // undone), with "$HOME" replaced by `home`; empty when the file has no
  // usable line for it. The last line of a variable counts, as in a shell.
  static std::string userDir(std::string_view fileText, std::string_view variable, const std::string& home);

private:
  std::string desktopFile_;
  std::string sendToFile_;
  std::string filesScriptFile_;
};

}  // namespace ritoma
