#pragma once

#include <array>

#include "settings/IniFile.h"

namespace ritoma {

// The values of the settings section Option, held by the main window while
// the program runs; the settings dialog changes them together with the file.
struct Options {
  bool arcOpen = true;  // a single archive path received opens the archive
  // Progress-window thresholds: listing, conversion, rename check, name
  // expansion, file check. 0 never shows the window.
  std::array<int, 5> greet{500, 200, 100, 300, 100};
  bool chkAuto = true;
  bool chkStop = false;
  bool chkForce = true;
  bool msgExec = true;
  bool msgDir = true;
  bool msgExit = false;
  int arcBackup = 1;  // 0 delete after success, 1 keep every backup, 2 keep only the first

  // Reads section Option; missing keys keep the defaults above.
  void load(const IniFile& ini);
};

}  // namespace ritoma
