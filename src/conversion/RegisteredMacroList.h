#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "shell/IniFile.h"

namespace ritoma {

// One registered macro: a name with a file-name template and an extension
// template (empty: the extension is not converted). Templates may hold the
// string macro "/?".
struct RegisteredMacro {
  std::string name;
  std::string fileTemplate;
  std::string extTemplate;
  bool operator==(const RegisteredMacro&) const = default;
};

// The registered macros, kept in section "Macro" ("Count"; "C-%.3d" name,
// "F-%.3d" file template, "E-%.3d" extension template). The list and the
// section always hold the same entries: every change is written at once.
class RegisteredMacroList {
public:
  std::vector<RegisteredMacro> entries;

  // Entries 0 … Count − 1; a missing key reads as an empty text.
  void load(const IniFile& ini);
  // Erases the section and writes Count and every entry, as one write.
  void saveSection(IniFile& ini) const;
  // Moves the selected entry onto the target and writes every entry's keys
  // again (Count unchanged, the section not erased). Returns the new index.
  std::size_t moveEntry(IniFile& ini, std::size_t selected, std::size_t target);

private:
  void writeEntries(IniFile& ini) const;
};

}  // namespace ritoma
