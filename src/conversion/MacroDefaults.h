#pragma once

#include "settings/IniFile.h"

namespace ritoma {

// Default option values of the built-in macros, one per key of the settings
// section MacroOption, with the factory values. The same record also serves
// as the set of control values of the macro options dialog (MacroOptions).
//
// Pages (the order of the template tab's macro list): 0 /f, 1 /e, 2 /n,
// 3 /K, 4 /k, 5 /D, 6 /T, 7 /s, 8 /o. For a date or time component the
// key ending in 1 is on (1) / off (0), the key ending in 2 the form index
// (year: 0 two digits, 1 four; others: 0 variable, 1 space, 2 zero).
struct MacroDefaults {
  static constexpr int PageCount = 9;

  int f1 = 0, f2 = 0, f3 = 0;
  int e1 = 0, e2 = 0, e3 = 0;
  int n1 = 1, n2 = 3, n3 = 1;
  int K11 = 0, K12 = -1, K13 = 1;
  int K21 = 1, K22 = 2, K23 = 1;
  int Dy1 = 1, Dy2 = 1, Dm1 = 1, Dm2 = 2, Dd1 = 1, Dd2 = 2;
  int Th1 = 1, Th2 = 1, Tm1 = 1, Tm2 = 2, Ts1 = 1, Ts2 = 2;
  int s1 = 0, s2 = 1;
  int o1 = 0, o2 = 0, o3 = 0;
  bool omitDefaults = false;  // key Default: "省略" (true) or "そのまま" (false)

  // Reads every key, the factory values as fallbacks.
  void load(const IniFile& ini);
  // Copies the values of one page from `other`.
  void copyPage(int page, const MacroDefaults& other);
  // Writes the keys of one page (as one write of the file).
  void savePage(IniFile& ini, int page) const;
  void saveAll(IniFile& ini) const;
  // Writes Default.
  void saveOmission(IniFile& ini) const;

  bool operator==(const MacroDefaults&) const = default;
};

}  // namespace ritoma
