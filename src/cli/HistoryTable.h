#pragma once

#include <string>
#include <vector>

namespace ritoma {

// The rows `ritoma-cli undo --list` prints: one kept batch each, the one
// undo takes next first. Texts are UTF-8 (the folder as its bytes on disk,
// which need not be valid UTF-8).
class HistoryTable {
public:
  struct Row {
    std::string number;   // 1 for the latest
    std::string written;  // "yyyy/mm/dd hh:mm:ss"
    std::string rows;
    std::string state;    // ok, changed, folder missing, damaged or too large
    std::string folder;
  };

  void add(Row row) { rows_.push_back(std::move(row)); }

  // One line per row, "NO<TAB>WRITTEN<TAB>ROWS<TAB>STATE<TAB>FOLDER", with
  // the escapes of TableField::tsv.
  std::string renderTsv() const;
  // A table with a caption line, columns aligned by display width, the
  // numbers to the right.
  std::string renderTable() const;

private:
  std::vector<Row> rows_;
};

}  // namespace ritoma
