#include "archive/ArcRenameTable.h"

#include <unordered_map>

#include "text/CaseMap.h"
#include "text/Cp932.h"

namespace ritoma {

std::vector<int> ArcRenameTable::match(const std::vector<std::string>& entryNames,
                                       const std::vector<ArcRenameRow>& rows) {
  std::unordered_map<std::string, std::size_t> firstEntry;
  firstEntry.reserve(entryNames.size());
  for (std::size_t i = 0; i < entryNames.size(); ++i)
    firstEntry.emplace(CaseMap::foldKey(entryNames[i]), i);
  std::vector<int> rowOfEntry(entryNames.size(), -1);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const auto it = firstEntry.find(CaseMap::foldKey(rows[r].oldName));
    if (it != firstEntry.end()) rowOfEntry[it->second] = static_cast<int>(r);
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
