#include "cli/PlanTable.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>

#include "cli/TableField.h"

namespace ritoma {

namespace {

void appendPadded(std::string& out, const std::string& text, std::size_t width) {
  out += text;
  std::size_t used = PlanTable::displayWidth(text);
  if (used < width) out.append(width - used, ' ');
}

}  // namespace

std::size_t PlanTable::displayWidth(std::string_view utf8) {
  std::size_t width = 0;
  const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.data());
  int32_t length = static_cast<int32_t>(utf8.size());
  int32_t i = 0;
  while (i < length) {
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) {
      width += 1;
      continue;
    }
    int category = u_charType(c);
    if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK ||
        category == U_FORMAT_CHAR) {
      continue;
    }
    int eaw = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
    width += (eaw == U_EA_WIDE || eaw == U_EA_FULLWIDTH) ? 2 : 1;
  }
  return width;
}

std::string PlanTable::renderTsv() const {
  std::string out;
  for (const Row& row : rows_) {
    out += TableField::tsv(row.oldName);
    out += '\t';
    out += TableField::tsv(row.newName);
    out += '\t';
    out += TableField::tsv(row.status);
    out += '\n';
  }
  return out;
}

std::string PlanTable::renderTable() const {
  static const std::array<std::string, 3> kCaptions = {"変換前ﾌｧｲﾙ名", "変換後ﾌｧｲﾙ名",
                                                       "状態"};
  // Two passes over the rows, the fields made anew in each, so that a
  // table of a million rows is not held a second time as its cells.
  auto cellsOf = [](const Row& row) -> std::array<std::string, 3> {
    return {TableField::shown(row.oldName), TableField::shown(row.newName), TableField::shown(row.status)};
  };
  std::array<std::size_t, 3> widths{};
  for (std::size_t c = 0; c < 3; ++c) widths[c] = displayWidth(kCaptions[c]);
  for (const Row& row : rows_) {
    const auto cells = cellsOf(row);
    for (std::size_t c = 0; c < 3; ++c) widths[c] = std::max(widths[c], displayWidth(cells[c]));
  }

  std::string out;
  out.reserve((rows_.size() + 2) * (widths[0] + widths[1] + widths[2] + 5));
  auto line = [&](const std::array<std::string, 3>& fields) {
    appendPadded(out, fields[0], widths[0]);
    out += "  ";
    appendPadded(out, fields[1], widths[1]);
    out += "  ";
    out += fields[2];
    out += '\n';
  };
  line(kCaptions);
  line({std::string(widths[0], '-'), std::string(widths[1], '-'),
        std::string(widths[2], '-')});
  for (const Row& row : rows_) line(cellsOf(row));
  return out;
}

}  // namespace ritoma
