#pragma once

#include <cstdint>
#include <string>

namespace ritoma {

// Kinds of a compiled macro: the 1-based position of the macro letter in
// "fenKkDTsox/". The values are part of the stored option semantics.
enum MacroKind : std::int32_t {
  MacroName = 1,        // /f
  MacroExtension = 2,   // /e
  MacroSerial = 3,      // /n
  MacroParentKey = 4,   // /K
  MacroChildKey = 5,    // /k
  MacroDate = 6,        // /D
  MacroTime = 7,        // /T
  MacroSize = 8,        // /s
  MacroFolder = 9,      // /o
  MacroPlugin = 10,     // /x + command letter
  MacroSlash = 11,      // //
};

// One compiled macro of a template.
struct CnvData {
  std::int32_t kind = 0;
  std::int32_t opt1 = 0;  // for /x: the index of the plug-in that owns the letter
  std::int32_t opt2 = 0;
  std::int32_t opt3 = 0;
  std::int32_t counter = 0;  // running value of /n, /K and /k
  std::string optionText;    // option text of /x, empty otherwise
};

}  // namespace ritoma
