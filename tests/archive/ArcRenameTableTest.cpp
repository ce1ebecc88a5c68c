#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ArcRenameTable.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string cp(const char* utf8) { return TextCodec::fromUtf8(utf8); }

// Asks the table for every entry in archive order, as the rewriters do.
std::vector<int> match(const std::vector<std::string>& entries,
                       const std::vector<ArcRenameRow>& rows) {
  ArcRenameTable table(rows);
  std::vector<int> rowOf;
  for (const std::string& name : entries) rowOf.push_back(table.claim(name));
  return rowOf;
}

TEST(ArcRenameTable, ClaimPairsRowsWithEntries) {
  struct Row {
    const char* label;
    std::vector<std::string> entries;
    std::vector<ArcRenameRow> rows;
    std::vector<int> expected;
  };
  const Row table[] = {
      {"exact and case-folded names",
       {"a.txt", "Dir/B.TXT", cp("表.txt")},
       {{"DIR/b.txt", "x"}, {cp("表.txt"), "y"}},
       {-1, 0, 1}},
      {"trail byte 0x5C is no separator and 表 is not ソ",
       {cp("ソ\\a"), cp("表\\a")},
       {{cp("表\\a"), "x"}},
       {-1, 0}},
      {"the first of two entries with one name takes the row",
       {"same.txt", "SAME.TXT", "other"},
       {{"Same.txt", "x"}},
       {0, -1, -1}},
      {"the later of two rows for one entry wins",
       {"a", "b"},
       {{"b", "x"}, {"B", "y"}},
       {-1, 1}},
      {"capitals anywhere in a long name fold, neighbours of A-Z do not",
       {"abcdefghijZ", "Abcdefgh", "@[`{.txt"},
       {{"ABCDEFGHIJz", "x"}, {"abcdefgH", "y"}, {"@[`{.TXT", "z"}},
       {0, 1, 2}},
      {"rows in archive order with a later duplicate",
       {"a", "b", "c"},
       {{"a", "x"}, {"b", "y"}, {"A", "z"}, {"c", "w"}},
       {2, 1, 3}},
      {"a row that names no entry is ignored", {"a"}, {{"zzz", "x"}}, {-1}},
      {"no entries", {}, {{"a", "x"}}, {}},
      {"no rows", {"a", "B"}, {}, {-1, -1}},
  };
  for (const Row& row : table) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(match(row.entries, row.rows), row.expected);
  }
}

// Enough names for the table to grow and probe past collisions.
TEST(ArcRenameTable, ClaimFindsEveryEntryOfALargeArchive) {
  std::vector<std::string> entries;
  std::vector<ArcRenameRow> rows;
  for (int i = 0; i < 5000; ++i) {
    entries.push_back("dir/" + cp("表") + std::to_string(i) + ".TXT");
    if (i % 3 == 0) rows.push_back({"DIR/" + cp("表") + std::to_string(i) + ".txt", "n"});
  }
  const std::vector<int> matched = match(entries, rows);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(matched[i], i % 3 == 0 ? i / 3 : -1) << i;
}

}  // namespace
}  // namespace ritoma
