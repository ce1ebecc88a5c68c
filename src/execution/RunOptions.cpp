#include "execution/RunOptions.h"

#include <algorithm>

#include "text/CaseMap.h"

namespace ritoma {

void RunOptions::addToHistory(const std::string& entry) {
  std::erase_if(copyHistory, [&](const std::string& e) { return CaseMap::equalIgnoreCase(e, entry); });
  copyHistory.insert(copyHistory.begin(), entry);
  if (copyHistory.size() > static_cast<std::size_t>(MaxHistory)) copyHistory.resize(MaxHistory);
}

}  // namespace ritoma
