#pragma once

#include <string>
#include <vector>

#include "conversion/MacroDefaults.h"
#include "settings/IniFile.h"

namespace ritoma {

// The logic of the macro options dialog: the current control values of its
// nine pages, the defaults they start from, and the macro text each page
// builds. Pages follow MacroDefaults (0 /f … 8 /o).
class MacroOptions {
public:
  MacroDefaults defaults;  // what a macro without option block uses
  MacroDefaults controls;  // the values shown by the controls

  // Reads section MacroOption; every control starts from its default.
  void Load(const IniFile& ini);

  // The macro text of a page. The /K page first brings its start number and
  // step into the one-character range when its digit count is negative.
  std::string BuildMacroText(int page);
  // Example panel of /D and /T ("_" marks a filling space).
  std::string StampExample(int page) const;
  // Example box of /s: the small and the large sample size.
  std::vector<std::string> SizeExample() const;

  // "ﾃﾞﾌｫﾙﾄ値": "省略" (true) or "そのまま" (false).
  void SetOmitDefaults(bool omit) { defaults.omitDefaults = omit; }
  bool omitDefaults() const { return defaults.omitDefaults; }

  // "初期値設定": the page's controls back to the defaults.
  void ResetPage(int page) { controls.copyPage(page, defaults); }
  // "初期値保存": the current values become the defaults and are written.
  void SaveDefaults(IniFile& ini, int page);
  void SaveAllDefaults(IniFile& ini);
  // Written when the program ends.
  void SaveOmission(IniFile& ini) const { defaults.saveOmission(ini); }
};

}  // namespace ritoma
