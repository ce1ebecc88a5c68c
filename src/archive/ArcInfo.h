#pragma once

#include <cstdint>
#include <string>

#include "text/Cp932.h"

namespace ritoma {

// Kind of an archive (and of the open one: ArcNone while a folder is
// shown); the value indexes every per-kind operation.
enum ArcKind : int { ArcNone = -1, ArcLzh = 0, ArcZip = 1 };

// One archive entry as the listing reports it.
struct ArcInfo {
  std::uint64_t size = 0;    // uncompressed size
  std::uint16_t date = 0;    // packed DOS date
  std::uint16_t time = 0;    // packed DOS time
  std::string name;          // stored path, code page 932, directory part included
  std::string attributeText; // "SHRA" letters or "-", at most 8 bytes
  std::string methodText;    // "-lh5-", "Deflate", ..., at most 8 bytes
  std::uint32_t index = 0;   // position in the archive's own order, from 0
  // The header stores the name as UTF-8 (a ZIP entry read as UTF-8), so a new
  // name may hold any character; otherwise it stores code page 932 bytes.
  bool utf8Name = false;

  // Directory entries end in "/" or "\" (a whole last character).
  bool isDirectory() const {
    // A trail byte 0x5C (as in "ソ" or "表") is no "\\": look at the last character.
    return !name.empty() &&
           (name.back() == '/' || Cp932::findLast(name, '\\') == name.size() - 1);
  }
};

}  // namespace ritoma
