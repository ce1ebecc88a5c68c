#pragma once

#include <string>
#include <vector>

namespace ritoma {

// The rows `ritoma-cli list` prints: what the selection would take, with
// kind, size, modification time and attributes. Texts are UTF-8 (names as
// their bytes on disk, which need not be valid UTF-8).
class ListTable {
public:
  struct Row {
    std::string kind;      // file, folder, link, link→missing or other
    std::string size;      // "1,234"
    std::string modified;  // "yyyy/mm/dd hh:mm:ss"
    std::string attrs;     // S, H, R, A with "-" for a clear bit
    std::string name;
  };

  void add(Row row) { rows_.push_back(std::move(row)); }

  // One line per row, "KIND<TAB>SIZE<TAB>MODIFIED<TAB>ATTRS<TAB>NAME", with
  // the escapes of PlanTable::renderTsv.
  std::string renderTsv() const;
  // A table with a caption line, columns aligned by display width, sizes
  // to the right.
  std::string renderTable() const;

private:
  std::vector<Row> rows_;
};

}  // namespace ritoma
