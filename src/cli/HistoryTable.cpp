#include "cli/HistoryTable.h"

#include <algorithm>
#include <array>

#include "cli/PlanTable.h"
#include "cli/TableField.h"

namespace ritoma {

namespace {

constexpr std::size_t kColumns = 5;

std::array<std::string, kColumns> fieldsOf(const HistoryTable::Row& row) {
  return {row.number, row.written, row.rows, row.state, row.folder};
}

bool alignedRight(std::size_t column) { return column == 0 || column == 2; }

}  // namespace

std::string HistoryTable::renderTsv() const {
  std::string out;
  for (const Row& row : rows_) {
    const auto fields = fieldsOf(row);
    for (std::size_t c = 0; c < kColumns; ++c) {
      if (c > 0) out += '\t';
      out += TableField::tsv(fields[c]);
    }
    out += '\n';
  }
  return out;
}

std::string HistoryTable::renderTable() const {
  static const std::array<std::string, kColumns> kCaptions = {"No", "実行日時", "ﾌｧｲﾙ数", "状態",
                                                              "ﾌｫﾙﾀﾞ"};
  std::array<std::size_t, kColumns> widths{};
  for (std::size_t c = 0; c < kColumns; ++c) widths[c] = PlanTable::displayWidth(kCaptions[c]);
  for (const Row& row : rows_) {
    const auto fields = fieldsOf(row);
    for (std::size_t c = 0; c < kColumns; ++c)
      widths[c] = std::max(widths[c], PlanTable::displayWidth(TableField::shown(fields[c])));
  }
  std::string out;
  auto line = [&](const std::array<std::string, kColumns>& fields) {
    for (std::size_t c = 0; c < kColumns; ++c) {
      std::string text = TableField::shown(fields[c]);
      if (c + 1 == kColumns) {
        out += text;
        break;
      }
      const std::size_t pad = widths[c] - std::min(widths[c], PlanTable::displayWidth(text));
      if (alignedRight(c)) out.append(pad, ' ');
      out += text;
      if (!alignedRight(c)) out.append(pad, ' ');
      out += "  ";
    }
    out += '\n';
  };
  line(kCaptions);
  std::array<std::string, kColumns> rule;
  for (std::size_t c = 0; c < kColumns; ++c) rule[c] = std::string(widths[c], '-');
  line(rule);
  for (const Row& row : rows_) line(fieldsOf(row));
  return out;
}

}  // namespace ritoma
