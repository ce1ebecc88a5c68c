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

// Written text is handed to the stream in pieces of about this size.
constexpr std::size_t kFlushSize = 1 << 16;

void flush(std::FILE* out, std::string& buffer) {
  std::fwrite(buffer.data(), 1, buffer.size(), out);
  buffer.clear();
}

}  // namespace

std::size_t PlanTable::displayWidth(std::string_view utf8) {
  std::size_t width = 0;
  const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.data());
  int32_t length = static_cast<int32_t>(utf8.size());
  int32_t i = 0;
  while (i < length) {
    // Every ASCII character is one column wide (East Asian width N or Na,
    // none a mark or format character): names are mostly ASCII.
    if (bytes[i] < 0x80) {
      ++width;
      ++i;
      continue;
    }
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

void PlanTable::writeTsv(std::FILE* out, std::size_t rows, const RowAt& rowAt) {
  std::string buffer;
  for (std::size_t i = 0; i < rows; ++i) {
    const Row row = rowAt(i);
    buffer += TableField::tsv(row.oldName);
    buffer += '\t';
    buffer += TableField::tsv(row.newName);
    buffer += '\t';
    buffer += TableField::tsv(row.status);
    buffer += '\n';
    if (buffer.size() >= kFlushSize) flush(out, buffer);
  }
  flush(out, buffer);
}

void PlanTable::writeTable(std::FILE* out, std::size_t rows, const RowAt& rowAt) {
  static const std::array<std::string, 3> kCaptions = {"変換前ﾌｧｲﾙ名", "変換後ﾌｧｲﾙ名",
                                                       "状態"};
  auto cellsOf = [&](std::size_t i) -> std::array<std::string, 3> {
    const Row row = rowAt(i);
    return {TableField::shown(row.oldName), TableField::shown(row.newName), TableField::shown(row.status)};
  };
  std::array<std::size_t, 3> widths{};
  for (std::size_t c = 0; c < 3; ++c) widths[c] = displayWidth(kCaptions[c]);
  for (std::size_t i = 0; i < rows; ++i) {
    const auto cells = cellsOf(i);
    for (std::size_t c = 0; c < 3; ++c) widths[c] = std::max(widths[c], displayWidth(cells[c]));
  }

  std::string buffer;
  auto line = [&](const std::array<std::string, 3>& fields) {
    appendPadded(buffer, fields[0], widths[0]);
    buffer += "  ";
    appendPadded(buffer, fields[1], widths[1]);
    buffer += "  ";
    buffer += fields[2];
    buffer += '\n';
    if (buffer.size() >= kFlushSize) flush(out, buffer);
  };
  line(kCaptions);
  line({std::string(widths[0], '-'), std::string(widths[1], '-'),
        std::string(widths[2], '-')});
  for (std::size_t i = 0; i < rows; ++i) line(cellsOf(i));
  flush(out, buffer);
}

}  // namespace ritoma
