#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace ritoma {

// One row of the edit list (page 編集). All texts are code page 932.
struct EditRow {
  std::string infoText;  // modifiedText + " " + sizeText, or modifiedText + " 0" for a folder
  int icon = 0;          // 0 file, 1 disk folder, 2 archive directory entry
  bool isFolder = false; // a disk folder (counted for the folder warning)
  // names[0] is column 1 "元ﾌｧｲﾙ名" (the starting full name); names[k] is
  // the name produced by saved stage k.
  std::vector<std::string> names;
  std::string error;     // text of the check's error column, empty for rows without error
  bool storedAsCodePage = false;  // FileEntry::storedAsCodePage of the row's entry
  std::int64_t archiveIndex = -1;  // FileEntry::archiveIndex of the row's entry
  EntryKind kind = EntryKind::File;  // FileEntry::kind of the row's entry
};

// The edit list: the batch with its saved stages. Column numbers follow the
// list view: 0 is the hidden infoText/icon column, 1 is "元ﾌｧｲﾙ名", 2 … are
// the stages "→変換1" …, and the check's error column, when present, is
// the last one.
class EditList {
public:
  std::vector<EditRow> rows;
  int folderCount = 0;   // disk folders among the rows
  int sizeWidth = 0;     // length of the longest infoText − 20

  void clear();
  std::size_t stageCount() const { return stages_; }
  bool hasErrorColumn() const { return !errorCaption_.empty(); }
  const std::string& errorCaption() const { return errorCaption_; }
  // 2 + stages + (1 with the error column).
  std::size_t columnCount() const;
  // Caption of a column: "元ﾌｧｲﾙ名", "→変換" + k, or the error caption.
  std::string caption(std::size_t column) const;
  // Text of a row in a name column (1 … 1 + stages).
  const std::string& nameAt(std::size_t row, std::size_t column) const;
  // The newest names: those of the last stage, or the starting names.
  const std::string& lastName(std::size_t row) const { return rows[row].names.back(); }

  // Removes every stage column from `column` on (2 ≤ column) and the error
  // column. Column 1 stays.
  void removeColumnsFrom(std::size_t column);
  // Appends a stage column; `names` holds one name per row.
  void appendStage(const std::vector<std::string>& names);
  // The same, taking the names over.
  void appendStage(std::vector<std::string>&& names);
  // Sets (or, with an empty caption, removes) the check's error column.
  // `errors` holds one text per row.
  void setErrorColumn(const std::string& caption, const std::vector<std::string>& errors);

private:
  std::size_t stages_ = 0;
  std::string errorCaption_;
};

}  // namespace ritoma
