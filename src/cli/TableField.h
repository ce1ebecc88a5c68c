#pragma once

#include <string>
#include <string_view>

namespace ritoma {

// One field of a printed table, made safe for its form of output.
class TableField {
public:
  // Keeps every line one row: a tab, line feed or carriage return is
  // written as \t, \n or \r.
  static std::string tsv(std::string_view text);
  // As tsv(), and every other control character, which would move the
  // cursor or ring the bell on a terminal, as "?".
  static std::string shown(std::string_view text);
};

}  // namespace ritoma
