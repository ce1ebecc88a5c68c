#pragma once

#include "conversion/TextHistory.h"
#include "settings/IniFile.h"

namespace ritoma {

// The histories of the replacement tab's two combo boxes, kept in section
// RepText: "CountB" and "B-0", "B-1", … for the search texts, "CountA" and
// "A-0", … for the replacements, most recent first.
class ReplaceHistory {
public:
  TextHistory search;       // "置換前"
  TextHistory replacement;  // "置換後"

  // Loads every stored entry (the limit of 20 applies only when adding).
  void load(const IniFile& ini);
  // Erases the section and writes both lists again, as one write.
  void save(IniFile& ini) const;
};

}  // namespace ritoma
