#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/FileSystem.h"
#include "selection/FileEntry.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// Where and how the selection list is built from a folder.
struct FolderSource {
  std::string folder;                    // code page 932, ends with "/"
  std::string patternText = "*.*";       // the chosen filter's patterns
  std::uint32_t attributes = 128;        // FilterBit values
  // Nodes of the folder tree from the current folder's node to the end
  // (for the progress range); 0 counts the current node and its subfolders.
  std::size_t treeNodesFromCurrent = 0;
};

// The selection list: its rows, their checks and order, and its sort state.
// The rows live in one vector; a view reads them by index.
class SelectionList {
public:
  static constexpr int ColumnName = 1;
  static constexpr int ColumnExtension = 2;
  static constexpr int ColumnSize = 3;
  static constexpr int ColumnDate = 4;

  const std::vector<FileEntry>& rows() const { return rows_; }
  std::size_t size() const { return rows_.size(); }
  const FileEntry& row(std::size_t i) const { return rows_[i]; }

  // Rebuilds the list from a folder: with the folder bit, its subfolders
  // (unchecked), then the enumeration's files (checked when
  // `checkNewFiles`); then sorts by name ascending. Progress opens with
  // "ファイル取得中…" when `greetThreshold` > 0 and the file count reaches
  // it. A folder that cannot be read leaves the list empty and returns the
  // error.
  std::error_code buildSelectionList(FileSystem& fs, const FolderSource& source, bool checkNewFiles,
                                  ProgressSink& progress, int greetThreshold);
  // The same from a listing of source.folder already made (the folder
  // tree's read of it).
  void buildSelectionList(const FolderSource& source, std::vector<FileInfo> listing, bool checkNewFiles,
                          ProgressSink& progress, int greetThreshold);

  // Rebuilds the list from rows made elsewhere (the entries of an open
  // archive, made by the archive listing with its own progress range);
  // then sorts by name ascending. `progress`, when open, advances per
  // comparison of the sort.
  void assign(std::vector<FileEntry> rows, ProgressSink* progress = nullptr);
  void clear();
  // Moves the rows out in their order; the list is left empty.
  std::vector<FileEntry> takeRows();

  // "編集 >>" is enabled exactly when this holds.
  bool anyChecked() const;
  std::size_t checkedCount() const;

  // Check marks.
  void setChecked(std::size_t row, bool checked) { rows_.at(row).checked = checked; }
  void toggleChecked(std::size_t row) { rows_.at(row).checked = !rows_.at(row).checked; }
  // "選択をチェック" / "選択を未チェック" on the selected rows.
  void setCheckedRows(const std::vector<std::size_t>& selected, bool checked);
  // The header click on column 0: nothing → folders → everything → files →
  // nothing (without folder rows: nothing ↔ files).
  void cycleChecks();

  // Header click on column 1 … 4: ascending, or descending when that column
  // is sorted ascending now.
  void sortByColumn(int column, ProgressSink* progress = nullptr);
  // 2 × (column − 1), plus 1 when descending.
  int sortState() const { return sortState_; }
  // Header caption of column 1 … 4 (code page 932), the sorted column's
  // last blank replaced by "+" (ascending) or "-" (descending).
  std::string headerCaption(int column) const;
  static std::string plainCaption(int column);

  // Comparison of two rows under a sort state: <0, 0, >0.
  static int compare(const FileEntry& a, const FileEntry& b, int sortState);

  // Drops the selected rows onto `target`; nothing
  // moves when the target lies within the selection or no row is under
  // the pointer (nullopt or past the end). Returns the new index of every
  // old index, or an empty vector when nothing moved.
  std::vector<std::size_t> moveRows(std::vector<std::size_t> selected,
                                    std::optional<std::size_t> target);

private:
  void sortRows(int sortState, ProgressSink* progress);

  std::vector<FileEntry> rows_;
  int sortState_ = 0;
};

}  // namespace ritoma
