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

void TextHistory::load(const IniFile& ini, std::string_view section, std::string_view countKey,
                       std::string_view prefix) {
  entries.clear();
  const int count = ini.readInteger(section, countKey, 0);
  for (int i = 0; i < count; ++i) entries.push_back(ini.readString(section, IniFile::indexedKey(prefix, i)));
}

void TextHistory::save(IniFile& ini, std::string_view section, std::string_view countKey,
                       std::string_view prefix) const {
  ini.writeInteger(section, countKey, static_cast<int>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i)
    ini.writeString(section, IniFile::indexedKey(prefix, static_cast<int>(i)), entries[i]);
}

}  // namespace ritoma
