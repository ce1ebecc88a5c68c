#include "execution/RunOptions.h"

#include <algorithm>

#include "execution/NameCheck.h"
#include "text/CaseMap.h"
#include "text/TextCodec.h"

namespace ritoma {

std::string RunOptions::markerError(const std::string& marker) {
  const std::string reason = NameCheck::nameError(marker, true);
  if (reason.empty()) return {};
  return "強制変更のマーカー「" + TextCodec::toDisplayUtf8(marker) + "」は使用できません\n" +
         TextCodec::toDisplayUtf8(reason);
}

std::string RunOptions::temporaryName(std::string_view oldName) const {
  std::string name = marker;
  name += oldName;
  return name;
}

void RunOptions::addToHistory(const std::string& entry) {
  std::erase_if(copyHistory, [&](const std::string& e) { return CaseMap::equalIgnoreCase(e, entry); });
  copyHistory.insert(copyHistory.begin(), entry);
  if (copyHistory.size() > static_cast<std::size_t>(MaxHistory)) copyHistory.resize(MaxHistory);
}

}  // namespace ritoma
