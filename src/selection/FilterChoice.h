#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// One entry of the filter choice: a display name and its pattern text.
struct FilterEntry {
  std::string name;      // code page 932
  std::string patterns;  // e.g. "*.jpg;*.jpeg"
};

// The filter choice above the selection list: the fixed entry
// "全てのﾌｧｲﾙ(*.*)" followed by the user's entries, and the selected one.
// Its stored form alternates names and pattern texts separated by "|", so
// a "|" in a user's name becomes "｜" and in a pattern text becomes ";"
// (the separator of patterns).
class FilterChoice {
public:
  FilterChoice();

  void setUserEntries(const std::vector<FilterEntry>& entries);
  const std::vector<FilterEntry>& entries() const { return entries_; }

  // "全てのﾌｧｲﾙ(*.*)|*.*|name|patterns|…"
  std::string storedForm() const;

  // Selects an entry; an index outside the list selects the last entry.
  // Returns the index selected.
  int select(int index);
  int selectedIndex() const { return selected_; }
  const std::string& selectedPatterns() const { return entries_[static_cast<std::size_t>(selected_)].patterns; }

private:
  std::vector<FilterEntry> entries_;
  int selected_ = 0;
};

}  // namespace ritoma
