#include "settings/SetupValues.h"

namespace ritoma {

std::vector<FilterRow> SetupValues::readFilterRows(const IniFile& ini) {
  std::vector<FilterRow> rows;
  const int count = ini.readListCount("Filter", "Count");
  for (int i = 0; i < count; ++i) {
    rows.push_back({ini.readInteger("Filter", IniFile::numberedKey("C-", i), 1) != 0,
                    ini.readString("Filter", IniFile::numberedKey("N-", i)),
                    ini.readString("Filter", IniFile::numberedKey("F-", i))});
  }
  return rows;
}

std::vector<FilterEntry> SetupValues::choiceEntries() const {
  std::vector<FilterEntry> entries;
  for (const FilterRow& row : filters) {
    if (row.checked) entries.push_back({row.name, row.patterns});
  }
  return entries;
}

void SetupValues::write(IniFile& ini) const {
  IniFile::Batch batch(ini);
  ini.eraseSection("Filter");
  ini.writeInteger("Filter", "Attr", static_cast<int>(attributes));
  ini.writeInteger("Filter", "Count", static_cast<int>(filters.size()));
  for (std::size_t i = 0; i < filters.size(); ++i) {
    const int n = static_cast<int>(i);
    ini.writeBool("Filter", IniFile::numberedKey("C-", n), filters[i].checked);
    ini.writeString("Filter", IniFile::numberedKey("N-", n), filters[i].name);
    ini.writeString("Filter", IniFile::numberedKey("F-", n), filters[i].patterns);
  }
  constexpr const char* option = "Option";
  ini.writeBool(option, "ArcOpen", options.arcOpen);
  for (std::size_t i = 0; i < options.greet.size(); ++i)
    ini.writeInteger(option, "Greet" + std::to_string(i + 1), options.greet[i]);
  ini.writeBool(option, "ChkAuto", options.chkAuto);
  ini.writeBool(option, "ChkStop", options.chkStop);
  ini.writeBool(option, "ChkForce", options.chkForce);
  ini.writeBool(option, "MsgExec", options.msgExec);
  ini.writeBool(option, "MsgDir", options.msgDir);
  ini.writeBool(option, "MsgExit", options.msgExit);
  ini.writeBool("Arc", "LZH", lzh);
  ini.writeBool("Arc", "ZIP", zip);
  ini.writeInteger(option, "ArcBackup", options.arcBackup);
  batch.commit();
}

}  // namespace ritoma
