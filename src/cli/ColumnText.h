#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace ritoma {

// The two layouts of ritoma-cli's row listings (`list`, `undo --list`):
// tab-separated for scripts, and an aligned table for people. Fields are
// UTF-8; the last column is free text (a name or a folder as its bytes on
// disk) and is never padded.
class ColumnText {
public:
  using Fields = std::vector<std::string>;
  using FieldsAt = std::function<Fields(std::size_t row)>;

  // One line per row, the fields joined by TAB, each with the escapes of
  // TableField::tsv.
  static std::string tsv(std::size_t rows, const FieldsAt& fieldsAt);
  // A caption line, a rule of dashes, then one line per row; columns are as
  // wide as their widest text in display width, and the columns marked in
  // `rightAligned` are aligned to the right.
  static std::string table(const Fields& captions, const std::vector<bool>& rightAligned,
                           std::size_t rows, const FieldsAt& fieldsAt);
};

}  // namespace ritoma
