#pragma once

#include <string>

namespace ritoma {

// One row of the conversion list (page 変換).
struct ConversionRow {
  int icon = 0;        // copied from the edit list
  bool checked = true; // only checked rows are converted
  bool key = false;    // key mark: drives /K and /k
  std::string source;  // the name this stage starts from ("変換前")
  std::string result;  // the new name ("変換後"); empty: not converted
};

}  // namespace ritoma
