#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace ritoma {

// The rows the program prints: old name, new name and status, all UTF-8
// (names as their bytes on disk, which need not be valid UTF-8). The rows
// are made one at a time by the caller and written as they come, so that a
// batch of a million rows is never held a second time as its texts.
class PlanTable {
public:
  struct Row {
    std::string oldName;
    std::string newName;
    std::string status;
  };
  // Row i of the table; may be asked for the same row more than once, and
  // for several rows at once from other threads.
  using RowAt = std::function<Row(std::size_t)>;

  // One line per row, "OLD<TAB>NEW<TAB>STATUS"; a tab, line feed or
  // carriage return inside a field is written as \t, \n or \r.
  static void writeTsv(std::FILE* out, std::size_t rows, const RowAt& rowAt);
  // A table with a caption line, columns aligned by display width (the
  // rows are made twice: once for the widths, once to be written).
  static void writeTable(std::FILE* out, std::size_t rows, const RowAt& rowAt);

  // Columns a terminal uses for the text: East Asian wide and full-width
  // characters take two, combining and format characters none, everything
  // else (a byte of an invalid sequence included) one.
  static std::size_t displayWidth(std::string_view utf8);
};

}  // namespace ritoma
