#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "shell/IniFile.h"

namespace ritoma {

// The drop-down history of an editable combo box: most recent first.
class TextHistory {
public:
  static constexpr std::size_t MaxEntries = 20;

  std::vector<std::string> entries;

  // Records `text` at the top. An entry equal without letter case moves to
  // the top, written as now given; a new entry pushes the 21st out.
  void AddToHistory(std::string_view text);

  // The stored form of section RepText: count key, then "<prefix><index>"
  // keys in plain decimal. Every stored entry is loaded.
  void load(const IniFile& ini, std::string_view section, std::string_view countKey,
            std::string_view prefix);
  void save(IniFile& ini, std::string_view section, std::string_view countKey,
            std::string_view prefix) const;
};

}  // namespace ritoma
