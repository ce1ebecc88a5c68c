#include "conversion/TextHistory.h"

#include "text/CaseMap.h"

namespace ritoma {

void TextHistory::AddToHistory(std::string_view text) {
  std::size_t k = 0;
  while (k < entries.size() && !CaseMap::equalIgnoreCase(entries[k], text)) ++k;
  entries.insert(entries.begin(), std::string(text));
  if (k == entries.size() - 1) {
    if (entries.size() > MaxEntries) entries.erase(entries.begin() + MaxEntries);
  } else {
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(k + 1));
  }
}

}  // namespace ritoma
