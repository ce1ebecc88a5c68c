#include "cli/HistoryTable.h"

#include "cli/ColumnText.h"

namespace ritoma {

namespace {

ColumnText::Fields fieldsOf(const HistoryTable::Row& row) {
  return {row.number, row.written, row.rows, row.state, row.folder};
}

}  // namespace

std::string HistoryTable::renderTsv() const {
  return ColumnText::tsv(rows_.size(), [this](std::size_t r) { return fieldsOf(rows_[r]); });
}

std::string HistoryTable::renderTable() const {
  // The numbers are aligned to the right, the other columns to the left.
  return ColumnText::table({"No", "実行日時", "ﾌｧｲﾙ数", "状態", "ﾌｫﾙﾀﾞ"}, {true, false, true}, rows_.size(),
                           [this](std::size_t r) { return fieldsOf(rows_[r]); });
}

}  // namespace ritoma
