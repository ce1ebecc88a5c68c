#pragma once

#include <string>
#include <vector>

namespace ritoma {

// One row of a rename inside an archive: the stored name as listed and the
// new stored name (code page 932; "/" or "\" separate the directory part).
struct ArcRenameRow {
  std::string oldName;
  std::string newName;
};

// Pairs listed entries with rename rows.
class ArcRenameTable {
public:
  // For each entry name, the index of the row that renames it, or -1. A
  // row goes to the first entry whose name equals its old name without
  // regard to case; when several rows name the same entry the later one
  // wins; a row that names no entry is ignored.
  static std::vector<int> match(const std::vector<std::string>& entryNames,
                                const std::vector<ArcRenameRow>& rows);
  // The names the archive must list after the rewrite, in archive order.
  static std::vector<std::string> plannedNames(const std::vector<std::string>& entryNames,
                                               const std::vector<int>& rowOfEntry,
                                               const std::vector<ArcRenameRow>& rows);
  // "\" as "/" (not inside double-byte characters), for comparing LZH
  // paths, whose headers may store either.
  static std::string normalizeSeparators(const std::string& name);
};

}  // namespace ritoma
