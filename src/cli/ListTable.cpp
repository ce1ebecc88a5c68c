#include "cli/ListTable.h"

#include "cli/ColumnText.h"

namespace ritoma {

namespace {

ColumnText::Fields fieldsOf(const ListTable::Row& row) {
  return {row.kind, row.size, row.modified, row.attrs, row.name};
}

}  // namespace

std::string ListTable::renderTsv() const {
  return ColumnText::tsv(rows_.size(), [this](std::size_t r) { return fieldsOf(rows_[r]); });
}

std::string ListTable::renderTable() const {
  // The sizes are aligned to the right, the other columns to the left.
  return ColumnText::table({"種類", "ｻｲｽﾞ", "更新日時", "属性", "ﾌｧｲﾙ名"}, {false, true}, rows_.size(),
                           [this](std::size_t r) { return fieldsOf(rows_[r]); });
}

}  // namespace ritoma
