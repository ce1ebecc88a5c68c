#include "execution/RunOptions.h"

#include <algorithm>

#include "text/CaseMap.h"

namespace ritoma {

namespace {
constexpr const char* kSection = "Rename";
}

void RunOptions::addToHistory(const std::string& entry) {
  std::erase_if(copyHistory, [&](const std::string& e) { return CaseMap::equalIgnoreCase(e, entry); });
  copyHistory.insert(copyHistory.begin(), entry);
  if (copyHistory.size() > static_cast<std::size_t>(MaxHistory)) copyHistory.resize(MaxHistory);
}

void RunOptions::load(const IniFile& ini) {
  force = ini.readBool(kSection, "Force", false);
  marker = ini.readString(kSection, "Header", "@");
  copy = ini.readBool(kSection, "Copy", false);
  copyPath = ini.readString(kSection, "Path", "");
  dummy = ini.readBool(kSection, "Dummy", false);
  copyHistory.clear();
  const int count = ini.readInteger(kSection, "PathCount", 0);
  for (int i = 0; i < count && i < MaxHistory; ++i)
    copyHistory.push_back(ini.readString(kSection, IniFile::indexedKey("PATH-", i)));
}

void RunOptions::save(IniFile& ini) const {
  IniFile::Batch batch(ini);
  ini.eraseSection(kSection);
  ini.writeBool(kSection, "Force", force);
  ini.writeString(kSection, "Header", marker);
  ini.writeBool(kSection, "Copy", copy);
  ini.writeString(kSection, "Path", copyPath);
  ini.writeBool(kSection, "Dummy", dummy);
  ini.writeInteger(kSection, "PathCount", static_cast<int>(copyHistory.size()));
  for (std::size_t i = 0; i < copyHistory.size(); ++i)
    ini.writeString(kSection, IniFile::indexedKey("Path-", static_cast<int>(i)), copyHistory[i]);
  batch.commit();
}

}  // namespace ritoma
