#include "archive/ArcRenameTable.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>

#include "text/CaseMap.h"
#include "text/Cp932.h"

namespace ritoma {

namespace {

// Whether folding can change the name: only upper-case ASCII letters and
// double-byte characters can fold.
bool foldsToItself(std::string_view name) {
  for (const char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80 || (b >= 'A' && b <= 'Z')) return false;
  }
  return true;
}

}  // namespace

std::vector<int> ArcRenameTable::match(const std::vector<std::string>& entryNames,
                                       const std::vector<ArcRenameRow>& rows) {
  // Open addressing over the folded entry names: a node-based map would
  // cost an allocation per entry, which dominates the rename of an archive
  // of many small entries. A slot holds an entry index + 1, 0 when free.
  // A key views the name itself when folding leaves it unchanged, else its
  // folded copy in `folded` (reserved once, so the views stay valid).
  std::vector<std::string> folded;
  folded.reserve(static_cast<std::size_t>(
      std::count_if(entryNames.begin(), entryNames.end(),
                    [](const std::string& name) { return !foldsToItself(name); })));
  std::vector<std::string_view> keys(entryNames.size());
  for (std::size_t i = 0; i < entryNames.size(); ++i) {
    if (foldsToItself(entryNames[i])) {
      keys[i] = entryNames[i];
    } else {
      folded.push_back(CaseMap::foldKey(entryNames[i]));
      keys[i] = folded.back();
    }
  }
  std::size_t capacity = 16;
  while (capacity < 2 * keys.size()) capacity *= 2;
  std::vector<std::uint32_t> slots(capacity, 0);
  const auto slotOf = [&](std::string_view key) {
    std::size_t slot = std::hash<std::string_view>{}(key) & (capacity - 1);
    while (slots[slot] != 0 && keys[slots[slot] - 1] != key) slot = (slot + 1) & (capacity - 1);
    return slot;
  };
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::size_t slot = slotOf(keys[i]);
    if (slots[slot] == 0) slots[slot] = static_cast<std::uint32_t>(i + 1);  // the first entry of a name keeps it
  }
  std::vector<int> rowOfEntry(entryNames.size(), -1);
  std::string rowKey;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const std::string& oldName = rows[r].oldName;
    const bool same = foldsToItself(oldName);
    if (!same) rowKey = CaseMap::foldKey(oldName);
    const std::size_t slot = slotOf(same ? std::string_view(oldName) : std::string_view(rowKey));
    if (slots[slot] != 0) rowOfEntry[slots[slot] - 1] = static_cast<int>(r);
  }
  return rowOfEntry;
}

std::string ArcRenameTable::normalizeSeparators(const std::string& name) {
  std::string out = name;
  for (std::size_t i = Cp932::find(out, '\\'); i != Cp932::npos; i = Cp932::find(out, '\\', i + 1))
    out[i] = '/';
  return out;
}

std::vector<std::string> ArcRenameTable::plannedNames(const std::vector<std::string>& entryNames,
                                                      const std::vector<int>& rowOfEntry,
                                                      const std::vector<ArcRenameRow>& rows) {
  std::vector<std::string> planned;
  planned.reserve(entryNames.size());
  for (std::size_t i = 0; i < entryNames.size(); ++i)
    planned.push_back(rowOfEntry[i] < 0 ? entryNames[i] : rows[rowOfEntry[i]].newName);
  return planned;
}

}  // namespace ritoma
