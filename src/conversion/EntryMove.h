#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace ritoma {

// Moves entry `selected` of a registered list to the index of `target`, the
// way a drop of the selected entry on the target entry does: entries between
// them shift by one towards the old place. Returns the new index of the
// moved entry (the target's former index); out-of-range indexes move nothing
// and return `selected`.
class EntryMove {
public:
  template <typename T>
  static std::size_t Move(std::vector<T>& entries, std::size_t selected, std::size_t target) {
    if (selected >= entries.size() || target >= entries.size() || selected == target) return selected;
    T moved = std::move(entries[selected]);
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(selected));
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(target), std::move(moved));
    return target;
  }
};

}  // namespace ritoma
