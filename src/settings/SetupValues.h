#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "selection/FilterChoice.h"
#include "settings/IniFile.h"
#include "settings/Options.h"

namespace ritoma {

// One row of the user's filter list (section Filter, C-/N-/F-nnn).
struct FilterRow {
  bool checked = true;   // offered in the main window's filter choice
  std::string name;      // code page 932
  std::string patterns;  // e.g. "*.jpg;*.jpeg"

  bool operator==(const FilterRow&) const = default;
};

// What the settings dialog keeps in the settings file: the user's filter
// list with the attribute filter (section Filter), the options (section
// Option) and the archive back-end switches (section Arc).
struct SetupValues {
  std::vector<FilterRow> filters;
  std::uint32_t attributes = 128;
  Options options;
  bool lzh = false;
  bool zip = false;

  // Rows 0 to Count − 1 of section Filter; a missing check reads as 1.
  static std::vector<FilterRow> readFilterRows(const IniFile& ini);
  // The user entries of the filter choice: the checked rows in list order.
  std::vector<FilterEntry> choiceEntries() const;
  // Erases section Filter and writes, in this order and in one write of the
  // file: Filter Attr, Count and each row's C-, N-, F-nnn; Option ArcOpen,
  // Greet1 … Greet5, ChkAuto, ChkStop, ChkForce, MsgExec, MsgDir, MsgExit;
  // Arc LZH, ZIP; Option ArcBackup. Filter/Ext goes with the section (the
  // main window writes it again when it closes). Throws IniWriteError, and
  // the file then stays as it was.
  void write(IniFile& ini) const;
};

}  // namespace ritoma
