#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ArcRenameTable.h"
#include "archive/ArchiveError.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string cp(const char* utf8) { return TextCodec::fromUtf8(utf8); }

// Asks the table for every entry in archive order, as the rewriters do.
std::vector<int> match(const std::vector<std::string>& entries,
                       const std::vector<ArcRenameRow>& rows) {
  const ArcRenameTable table(rows, entries.size(), "a.zip");
  std::vector<int> rowOf;
  for (std::size_t k = 0; k < entries.size(); ++k) rowOf.push_back(table.claim(k, entries[k]));
  return rowOf;
}

TEST(ArcRenameTable, PairsRowsWithTheEntriesTheyWereListedFrom) {
  struct Row {
    const char* label;
    std::vector<std::string> entries;
    std::vector<ArcRenameRow> rows;
    std::vector<int> expected;
  };
  const Row table[] = {
      {"names that differ only in case are two entries",
       {"A.txt", "a.txt"},
       {{1, "a.txt", "x.txt"}},
       {-1, 0}},
      {"two entries of one name each get their own row",
       {cp("表.txt"), cp("表.txt"), cp("ソ.txt")},
       {{1, cp("表.txt"), "second"}, {2, cp("ソ.txt"), "third"}, {0, cp("表.txt"), "first"}},
       {2, 0, 1}},
      {"the later of two rows for one entry wins", {"a", "b"}, {{1, "b", "x"}, {1, "b", "y"}}, {-1, 1}},
      {"no rows", {"a", "B"}, {}, {-1, -1}},
  };
  for (const Row& row : table) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(match(row.entries, row.rows), row.expected);
  }
}

// A row made from an earlier listing must never rename whatever now sits at
// its position: the archive changed, and the rename is refused.
TEST(ArcRenameTable, RefusesRowsTheArchiveNoLongerMatches) {
  struct Row {
    const char* label;
    std::vector<std::string> entries;
    std::vector<ArcRenameRow> rows;
  };
  const Row table[] = {
      {"a position past the last entry", {"a"}, {{1, "b", "x"}}},
      {"another name at the position", {"A.txt", "b.txt"}, {{0, "a.txt", "x"}}},
      {"a trail byte 0x5C is not a separator", {cp("表\\a")}, {{0, cp("ソ\\a"), "x"}}},
  };
  for (const Row& row : table) {
    SCOPED_TRACE(row.label);
    try {
      match(row.entries, row.rows);
      ADD_FAILURE() << "not refused";
    } catch (const ArchiveError& e) {
      EXPECT_NE(std::string(e.what()).find("a.zip: 一覧を取得した後に書庫が変更されています"),
                std::string::npos)
          << e.what();
    }
  }
}

}  // namespace
}  // namespace ritoma
