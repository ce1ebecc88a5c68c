#include "conversion/RegisteredMacroList.h"

#include "conversion/EntryMove.h"

namespace ritoma {

namespace {
constexpr const char* kSection = "Macro";
}

void RegisteredMacroList::load(const IniFile& ini) {
  entries.clear();
  const int count = ini.readInteger(kSection, "Count", 0);
  for (int i = 0; i < count; ++i) {
    entries.push_back({ini.readString(kSection, IniFile::numberedKey("C-", i)),
                       ini.readString(kSection, IniFile::numberedKey("F-", i)),
                       ini.readString(kSection, IniFile::numberedKey("E-", i))});
  }
}

void RegisteredMacroList::writeEntries(IniFile& ini) const {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int n = static_cast<int>(i);
    ini.writeString(kSection, IniFile::numberedKey("C-", n), entries[i].name);
    ini.writeString(kSection, IniFile::numberedKey("F-", n), entries[i].fileTemplate);
    ini.writeString(kSection, IniFile::numberedKey("E-", n), entries[i].extTemplate);
  }
}

void RegisteredMacroList::saveSection(IniFile& ini) const {
  IniFile::Batch batch(ini);
  ini.eraseSection(kSection);
  ini.writeInteger(kSection, "Count", static_cast<int>(entries.size()));
  writeEntries(ini);
  batch.commit();
}

std::size_t RegisteredMacroList::moveEntry(IniFile& ini, std::size_t selected, std::size_t target) {
  const std::size_t moved = EntryMove::Move(entries, selected, target);
  IniFile::Batch batch(ini);
  writeEntries(ini);
  batch.commit();
  return moved;
}

}  // namespace ritoma
