#include "conversion/ReplaceHistory.h"

namespace ritoma {

namespace {

constexpr const char* kSection = "RepText";

void loadList(const IniFile& ini, const char* countKey, const char* prefix, TextHistory& history) {
  history.entries.clear();
  const int count = ini.readListCount(kSection, countKey);
  for (int i = 0; i < count; ++i) history.entries.push_back(ini.readString(kSection, IniFile::indexedKey(prefix, i)));
}

void saveList(IniFile& ini, const char* countKey, const char* prefix, const TextHistory& history) {
  ini.writeInteger(kSection, countKey, static_cast<int>(history.entries.size()));
  for (std::size_t i = 0; i < history.entries.size(); ++i)
    ini.writeString(kSection, IniFile::indexedKey(prefix, static_cast<int>(i)), history.entries[i]);
}

}  // namespace

void ReplaceHistory::load(const IniFile& ini) {
  loadList(ini, "CountB", "B-", search);
  loadList(ini, "CountA", "A-", replacement);
}

void ReplaceHistory::save(IniFile& ini) const {
  IniFile::Batch batch(ini);
  ini.eraseSection(kSection);
  saveList(ini, "CountB", "B-", search);
  saveList(ini, "CountA", "A-", replacement);
  batch.commit();
}

}  // namespace ritoma
