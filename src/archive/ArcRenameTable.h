#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// One row of a rename inside an archive: the stored name as listed and the
// new name (code page 932 of the engine; "/" or "\" separate the directory
// part). The writer stores it as UTF-8 or as real code page 932, as the
// entry's header does.
struct ArcRenameRow {
  std::string oldName;
  std::string newName;
};

// Pairs listed entries with rename rows. A row goes to the first entry whose
// name equals its old name without regard to case; when several rows name
// the same entry the later one wins; a row that names no entry is ignored.
class ArcRenameTable {
public:
  // `rows` must outlive the table: its keys view the rows' names.
  explicit ArcRenameTable(const std::vector<ArcRenameRow>& rows);

  // The row that renames the next listed entry, or -1. Entries must be
  // asked in archive order, each once.
  int claim(std::string_view entryName);

  // "\" as "/" (not inside double-byte characters), for comparing LZH
  // paths, whose headers may store either.
  static std::string normalizeSeparators(std::string_view name);

private:
  std::size_t slotOf(std::string_view key) const;

  // Open addressing over the folded old names: a node-based map would cost
  // an allocation per row, which dominates the rename of an archive of many
  // small entries. A slot holds the index + 1 of the last row of its name
  // (the row that wins), 0 when free.
  std::vector<std::string_view> keys_;  // per row: its old name, or its folded copy
  std::deque<std::string> folded_;      // grows without moving, so views into it stay valid
  std::vector<std::uint32_t> slots_;
  enum : std::uint8_t { kWins = 1, kClaimed = 2 };
  std::vector<std::uint8_t> flags_;     // per row
  // Rows mostly follow the archive's order: the row after the last one
  // claimed is tried before the table.
  std::size_t next_ = 0;
  std::string scratch_;
};

}  // namespace ritoma
