#include "cli/PlanTable.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <vector>

#include "cli/TableField.h"
#include "platform/ParallelRange.h"

namespace ritoma {

namespace {

void appendPadded(std::string& out, const std::string& text, std::size_t width) {
  out += text;
  std::size_t used = PlanTable::displayWidth(text);
  if (used < width) out.append(width - used, ' ');
}

// Calls work(i, block) for the rows [0, rows), where `block` is the state
// of the block of ParallelRange::RowBlock rows that row i is in; the
// blocks of a stretch run side by side on the cores, and done(blocks,
// count) then takes the stretch's states in order: a big table is never
// held whole.
template <class State, class Work, class Done>
void inStretches(std::size_t rows, Work&& work, Done&& done) {
  constexpr std::size_t kBlock = ParallelRange::RowBlock;
  std::vector<State> blocks(ParallelRange::Stretch / kBlock);
  ParallelRange::forRowsInStretches(
      rows,
      [&](std::size_t begin, std::size_t end) {
        State& block = blocks[begin % ParallelRange::Stretch / kBlock];
        block = State();
        for (std::size_t i = begin; i < end; ++i) work(i, block);
      },
      [&](std::size_t, std::size_t count) { done(blocks, (count + kBlock - 1) / kBlock); });
}

// Writes the text of rows [0, rows), made by line(i, text).
template <class Line>
void writeLines(std::FILE* out, std::size_t rows, Line&& line) {
  inStretches<std::string>(rows, line, [&](const std::vector<std::string>& texts, std::size_t count) {
    for (std::size_t b = 0; b < count; ++b) std::fwrite(texts[b].data(), 1, texts[b].size(), out);
  });
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
  writeLines(out, rows, [&](std::size_t i, std::string& text) {
    const Row row = rowAt(i);
    text += TableField::tsv(row.oldName);
    text += '\t';
    text += TableField::tsv(row.newName);
    text += '\t';
    text += TableField::tsv(row.status);
    text += '\n';
  });
}

void PlanTable::writeTable(std::FILE* out, std::size_t rows, const RowAt& rowAt) {
  static const std::array<std::string, 3> kCaptions = {"変換前ﾌｧｲﾙ名", "変換後ﾌｧｲﾙ名",
                                                       "状態"};
  using Cells = std::array<std::string, 3>;
  using Widths = std::array<std::size_t, 3>;
  auto cellsOf = [&](std::size_t i) -> Cells {
    const Row row = rowAt(i);
    return {TableField::shown(row.oldName), TableField::shown(row.newName), TableField::shown(row.status)};
  };
  Widths widths{};
  for (std::size_t c = 0; c < 3; ++c) widths[c] = displayWidth(kCaptions[c]);
  inStretches<Widths>(
      rows,
      [&](std::size_t i, Widths& block) {
        const Cells cells = cellsOf(i);
        for (std::size_t c = 0; c < 3; ++c) block[c] = std::max(block[c], displayWidth(cells[c]));
      },
      [&](const std::vector<Widths>& blocks, std::size_t count) {
        for (std::size_t b = 0; b < count; ++b)
          for (std::size_t c = 0; c < 3; ++c) widths[c] = std::max(widths[c], blocks[b][c]);
      });

  auto line = [&](const Cells& fields, std::string& text) {
    appendPadded(text, fields[0], widths[0]);
    text += "  ";
    appendPadded(text, fields[1], widths[1]);
    text += "  ";
    text += fields[2];
    text += '\n';
  };
  std::string head;
  line(kCaptions, head);
  line({std::string(widths[0], '-'), std::string(widths[1], '-'), std::string(widths[2], '-')}, head);
  std::fwrite(head.data(), 1, head.size(), out);
  writeLines(out, rows, [&](std::size_t i, std::string& text) { line(cellsOf(i), text); });
}

}  // namespace ritoma
