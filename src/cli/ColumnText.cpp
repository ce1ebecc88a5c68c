#include "cli/ColumnText.h"

#include <algorithm>

#include "cli/PlanTable.h"
#include "cli/TableField.h"

namespace ritoma {

std::string ColumnText::tsv(std::size_t rows, const FieldsAt& fieldsAt) {
  std::string out;
  for (std::size_t r = 0; r < rows; ++r) {
    const Fields fields = fieldsAt(r);
    for (std::size_t c = 0; c < fields.size(); ++c) {
      if (c > 0) out += '\t';
      out += TableField::tsv(fields[c]);
    }
    out += '\n';
  }
  return out;
}

std::string ColumnText::table(const Fields& captions, const std::vector<bool>& rightAligned,
                              std::size_t rows, const FieldsAt& fieldsAt) {
  const std::size_t columns = captions.size();
  std::vector<std::size_t> widths(columns);
  for (std::size_t c = 0; c < columns; ++c) widths[c] = PlanTable::displayWidth(captions[c]);
  for (std::size_t r = 0; r < rows; ++r) {
    const Fields fields = fieldsAt(r);
    for (std::size_t c = 0; c < columns; ++c)
      widths[c] = std::max(widths[c], PlanTable::displayWidth(TableField::shown(fields[c])));
  }
  std::string out;
  auto line = [&](const Fields& fields) {
    for (std::size_t c = 0; c < columns; ++c) {
      const std::string text = TableField::shown(fields[c]);
      if (c + 1 == columns) {
        out += text;
        break;
      }
      const std::size_t pad = widths[c] - std::min(widths[c], PlanTable::displayWidth(text));
      const bool right = c < rightAligned.size() && rightAligned[c];
      if (right) out.append(pad, ' ');
      out += text;
      if (!right) out.append(pad, ' ');
      out += "  ";
    }
    out += '\n';
  };
  line(captions);
  Fields rule(columns);
  for (std::size_t c = 0; c < columns; ++c) rule[c] = std::string(widths[c], '-');
  line(rule);
  for (std::size_t r = 0; r < rows; ++r) line(fieldsAt(r));
  return out;
}

}  // namespace ritoma
