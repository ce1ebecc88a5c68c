#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// The drop-down history of an editable combo box: most recent first.
class TextHistory {
public:
  static constexpr std::size_t MaxEntries = 20;

  std::vector<std::string> entries;

  // Records `text` at the top. An entry equal without letter case moves to
  // the top, written as now given; a new entry pushes the 21st out.
  void AddToHistory(std::string_view text);
};

}  // namespace ritoma
