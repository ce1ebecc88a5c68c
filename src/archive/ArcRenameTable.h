#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// One row of a rename inside an archive: the entry it renames, by its
// position in the listing the row was made from, the stored name that
// listing gave it, and the new name (code page 932 of the engine; "/" or "\"
// separate the directory part). The writer stores it as UTF-8 or as real
// code page 932, as the entry's header does.
struct ArcRenameRow {
  std::uint32_t entry = 0;
  std::string oldName;
  std::string newName;
};

// Pairs rename rows with entries by position, never by name: two entries
// whose names differ only in letter case (or not at all) each get their own
// row. When several rows name one entry the later one wins.
class ArcRenameTable {
public:
  // `rows` must outlive the table. Throws ArchiveError naming `archive` when
  // a row names a position past the `entries` the archive holds.
  ArcRenameTable(const std::vector<ArcRenameRow>& rows, std::size_t entries,
                 const std::string& archive);

  // The row that renames entry `k`, or -1. `listedName` is the entry's name
  // as the archive lists it now; a row made from a listing that gave another
  // name throws ArchiveError: the archive changed after it was listed, and
  // its position may now hold another entry.
  int claim(std::size_t k, std::string_view listedName) const;

private:
  const std::vector<ArcRenameRow>& rows_;
  std::vector<std::int32_t> rowOf_;  // per entry
  std::string archive_;
};

}  // namespace ritoma
