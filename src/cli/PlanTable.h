#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// The rows the program prints: old name, new name and status, all UTF-8
// (names as their bytes on disk, which need not be valid UTF-8).
class PlanTable {
public:
  struct Row {
    std::string oldName;
    std::string newName;
    std::string status;
  };

  void add(Row row) { rows_.push_back(std::move(row)); }
  const std::vector<Row>& rows() const { return rows_; }

  // One line per row, "OLD<TAB>NEW<TAB>STATUS"; a tab, line feed or
  // carriage return inside a field is written as \t, \n or \r.
  std::string renderTsv() const;
  // A table with a caption line, columns aligned by display width.
  std::string renderTable() const;

  // Columns a terminal uses for the text: East Asian wide and full-width
  // characters take two, combining and format characters none, everything
  // else (a byte of an invalid sequence included) one.
  static std::size_t displayWidth(std::string_view utf8);

private:
  std::vector<Row> rows_;
};

}  // namespace ritoma
