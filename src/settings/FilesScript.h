#pragma once

#include <string>
#include <string_view>

namespace ritoma {

// The script through which Files (Nautilus) starts the program: Files lists
// the executable files of ~/.local/share/nautilus/scripts/ under "Scripts"
// in a selection's menu, named as the file is, and gives each the
// selection's URIs, one a line, in NAUTILUS_SCRIPT_SELECTED_URIS (Caja and
// Nemo, whose scripts folders take the same file, in CAJA_… and NEMO_…).
// The settings dialog writes it with the Send To shortcut and removes it
// again, but never a file of that name that it did not write.
class FilesScript {
public:
  // The file name, which is the caption in the menu.
  static constexpr std::string_view FileName = "Ritomaで名前を一括変更";

  // The script for `executable` (an absolute disk path): a POSIX shell
  // script that starts it with the selected URIs as its arguments.
  static std::string text(std::string_view executable);
  // True when `fileText` is a script this class wrote, for whichever
  // executable: its first two lines are the ones `text` writes.
  static bool isOurs(std::string_view fileText);
};

}  // namespace ritoma
