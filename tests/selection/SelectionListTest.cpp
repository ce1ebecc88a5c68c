#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ListingFileSystem.h"
#include "platform/TimeConvert.h"
#include "selection/SelectionList.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string sj(const char* utf8) { return TextCodec::fromUtf8(utf8); }

class RecordingProgress : public ProgressSink {
public:
  void open(std::string_view caption, std::int64_t maximum) override {
    captions.emplace_back(caption);
    max = maximum;
    open_ = true;
  }
  void setMaximum(std::int64_t maximum) override { max = maximum; }
  void step() override { ++steps; }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }

  std::vector<std::string> captions;
  std::int64_t max = 0;
  std::int64_t steps = 0;
  bool open_ = false;
};

FileEntry row(std::string name, bool folder = false, std::string size = "0",
              std::string modified = "2024/01/01 00:00:00") {
  FileEntry e;
  e.kindCode = folder ? "02" : "11";
  e.icon = folder ? 1 : 0;
  if (folder) {
    e.baseName = std::move(name);
    e.sizeText = "<DIR>";
  } else {
    FileEntry::splitName(name, e.baseName, e.extension);
    e.sizeText = std::move(size);
  }
  e.modifiedText = std::move(modified);
  return e;
}

std::vector<std::string> names(const SelectionList& list) {
  std::vector<std::string> out;
  for (const FileEntry& e : list.rows()) out.push_back(e.fullName());
  return out;
}

std::vector<std::string> sizes(const SelectionList& list) {
  std::vector<std::string> out;
  for (const FileEntry& e : list.rows()) out.push_back(e.sizeText);
  return out;
}

std::string checks(const SelectionList& list) {
  std::string out;
  for (const FileEntry& e : list.rows()) out += e.checked ? '1' : '0';
  return out;
}

// ---- listing -------------------------------------------------------------

class BuildFromFolder : public ::testing::Test {
protected:
  void SetUp() override {
    const FileTime t = TimeConvert::fromUnixSeconds(1700000007);
    fs.addFile("/f/", "b.txt", 2000, 0, t);
    fs.addFile("/f/", "A.txt", 999, AttrReadOnly, t);
    fs.addFile("/f/", TextCodec::toDisk(sj("表ソ.dat")), 3221225472ull, 0, t);
    fs.addFile("/f/", ".hidden", 1, AttrHidden, t);
    fs.addFolder("/f/", "zeta", t);
    fs.addFolder("/f/", "Alpha", t);
  }

  std::error_code build(std::uint32_t attributes, bool checkNew = true, int greet = 500,
                        const std::string& patterns = "*.*") {
    FolderSource source;
    source.folder = "/f/";
    source.patternText = patterns;
    source.attributes = attributes;
    return list.buildSelectionList(fs, source, checkNew, progress, greet);
  }

  test::ListingFileSystem fs;
  SelectionList list;
  RecordingProgress progress;
};

TEST_F(BuildFromFolder, FilesSortedByNameAndChecked) {
  ASSERT_FALSE(build(128));
  EXPECT_EQ(names(list), (std::vector<std::string>{"A.txt", "b.txt", sj("表ソ.dat")}));
  EXPECT_EQ(checks(list), "111");
  EXPECT_EQ(list.row(2).sizeText, "3,221,225,472");
  EXPECT_EQ(list.row(2).modifiedText, "2023/11/15 07:13:26");
  EXPECT_EQ(list.row(2).diskName, TextCodec::toDisk(sj("表ソ.dat")));
  EXPECT_EQ(list.sortState(), 0);
  EXPECT_EQ(list.headerCaption(1), sj("ﾌｧｲﾙ名 +"));
  EXPECT_TRUE(list.anyChecked());
}

TEST_F(BuildFromFolder, FolderBitPutsUncheckedSubfoldersFirst) {
  ASSERT_FALSE(build(144));
  EXPECT_EQ(names(list), (std::vector<std::string>{"Alpha", "zeta", "A.txt", "b.txt", sj("表ソ.dat")}));
  EXPECT_EQ(checks(list), "00111");
  EXPECT_EQ(list.row(0).sizeText, "<DIR>");
}

TEST_F(BuildFromFolder, RebuildChecksNewFilesUnlessAfterExecution) {
  ASSERT_FALSE(build(128));
  list.setCheckedRows({0, 1, 2}, false);
  EXPECT_FALSE(list.anyChecked());
  ASSERT_FALSE(build(128, true, 500, "*.txt"));
  EXPECT_EQ(checks(list), "11");
  ASSERT_FALSE(build(128, false));
  EXPECT_EQ(checks(list), "000");
  EXPECT_FALSE(list.anyChecked());
}

TEST_F(BuildFromFolder, EmptyResultAndUnreadableFolderGiveEmptyList) {
  ASSERT_FALSE(build(0));
  EXPECT_EQ(list.size(), 0u);
  EXPECT_FALSE(list.anyChecked());
  ASSERT_FALSE(build(128));
  FolderSource missing;
  missing.folder = "/missing/";
  EXPECT_TRUE(list.buildSelectionList(fs, missing, true, progress, 500));
  EXPECT_EQ(list.size(), 0u);
}

TEST_F(BuildFromFolder, ProgressOpensAtTheThreshold) {
  const struct {
    const char* label;
    int greet;
    std::uint32_t attributes;
    bool opens;
    std::int64_t range;
  } cases[] = {
      {"3 files under 500", 500, 128, false, 0},
      {"3 files reach 2", 2, 128, true, 3 * 6},
      {"3 files reach 3", 3, 128, true, 3 * 6},
      {"with folders: files + current node + 2 subfolders", 2, 144, true, (3 + 3) * 6},
      {"0 never shows", 0, 128, false, 0},
  };
  for (const auto& c : cases) {
    progress = RecordingProgress{};
    ASSERT_FALSE(build(c.attributes, true, c.greet)) << c.label;
    EXPECT_EQ(progress.captions.size(), c.opens ? 1u : 0u) << c.label;
    EXPECT_FALSE(progress.isOpen()) << c.label;
    if (!c.opens) continue;
    EXPECT_EQ(progress.captions[0], "ファイル取得中…") << c.label;
    EXPECT_EQ(progress.max, c.range) << c.label;
    EXPECT_GT(progress.steps, static_cast<std::int64_t>(list.size())) << c.label;  // rows + comparisons
  }
}

// ---- sorting ---------------------------------------------------------------

TEST(SelectionSort, ExamplesByColumnAndDirection) {
  const struct {
    const char* label;
    std::vector<int> clicks;  // after the listing's own sort by name ascending
    std::vector<FileEntry> rows;
    std::vector<std::string> expected;  // full names, or size texts for the size column
  } cases[] = {
      {"name: folder first, letters without case", {},
       {row("b.txt"), row("A.txt"), row("z", true)}, {"z", "A.txt", "b.txt"}},
      {"name descending: folder still first", {1},
       {row("b.txt"), row("A.txt"), row("z", true)}, {"z", "b.txt", "A.txt"}},
      {"name: shorter prefix first", {}, {row("abc"), row("ab"), row("ABD")}, {"ab", "abc", "ABD"}},
      {"name: bytes unsigned, no folding beyond ASCII", {},
       {row(sj("ソ")), row("~"), row(sj("ａ")), row("Z")}, {"Z", "~", sj("ａ"), sj("ソ")}},
      {"name: trail bytes never fold (ヒ 83 71 after ソ 83 5C)", {},
       {row(sj("ヒ")), row(sj("ソ"))}, {sj("ソ"), sj("ヒ")}},
      {"name: lower case folds before underscore", {}, {row("_"), row("B"), row("a")}, {"a", "B", "_"}},
      {"name ascending again", {1, 1}, {row("b"), row("a")}, {"a", "b"}},
      {"extension", {2}, {row("x.b"), row("y"), row("z.A")}, {"y", "z.A", "x.b"}},
  };
  for (const auto& c : cases) {
    SelectionList list;
    list.assign(c.rows);
    for (int column : c.clicks) list.sortByColumn(column);
    EXPECT_EQ(names(list), c.expected) << c.label;
  }
}

TEST(SelectionSort, SizeIsNumericDateIsChronological) {
  SelectionList list;
  list.assign({row("a", false, "2,000"), row("b", false, "999"), row("d", true), row("c", false, "10,000")});
  list.sortByColumn(3);
  EXPECT_EQ(sizes(list), (std::vector<std::string>{"<DIR>", "999", "2,000", "10,000"}));
  list.sortByColumn(3);
  EXPECT_EQ(sizes(list), (std::vector<std::string>{"<DIR>", "10,000", "2,000", "999"}));

  list.assign({row("x", false, "0", "2024/10/01 00:00:00"), row("y", false, "0", "2024/09/30 23:59:58"),
               row("w", false, "0", "1999/12/31 23:59:58")});
  list.sortByColumn(4);
  EXPECT_EQ(names(list), (std::vector<std::string>{"w", "y", "x"}));
}

TEST(SelectionSort, HeaderCaptionsShowTheDirection) {
  SelectionList list;
  list.assign({row("a"), row("b")});
  const std::string plainSize = sj("サイズ  ");
  EXPECT_EQ(list.headerCaption(3), plainSize);
  const std::vector<std::pair<int, std::string>> clicks = {
      {3, sj("サイズ +")}, {3, sj("サイズ -")}, {3, sj("サイズ +")}};
  for (const auto& [column, caption] : clicks) {
    list.sortByColumn(column);
    EXPECT_EQ(list.headerCaption(3), caption);
    EXPECT_EQ(list.headerCaption(1), sj("ﾌｧｲﾙ名  "));
  }
  list.sortByColumn(4);
  EXPECT_EQ(list.headerCaption(4), sj("更新日時 +"));
  EXPECT_EQ(list.headerCaption(3), plainSize);
  EXPECT_EQ(list.sortState(), 6);
  list.sortByColumn(4);
  EXPECT_EQ(list.sortState(), 7);
  list.assign({row("a")});  // every listing resets to name ascending
  EXPECT_EQ(list.sortState(), 0);
  EXPECT_EQ(list.headerCaption(4), sj("更新日時  "));
}

TEST(SelectionSort, CompareMatchesTheSortedOrder) {
  const FileEntry folder = row("z", true), small = row("b", false, "999"), big = row("a", false, "2,000");
  EXPECT_LT(SelectionList::compare(small, big, 4), 0);  // size ascending
  EXPECT_GT(SelectionList::compare(small, big, 5), 0);  // size descending
  EXPECT_LT(SelectionList::compare(folder, big, 5), 0);
  EXPECT_LT(SelectionList::compare(folder, big, 0), 0);
  EXPECT_EQ(SelectionList::compare(row("ab"), row("AB"), 0), 0);
}

// Long names that share their first 16 bytes or more, a double-byte
// character across byte 16, names equal but for case (kept in listing
// order), folders among them: every column, both directions, in the order
// of stable sorts by compare().
TEST(SelectionSort, LongAndSharedPrefixesSortAsCompareSays) {
  std::mt19937 rng(11);
  const std::vector<std::string> pieces = {"a", "A", "b", "_", "~", "0", ".", sj("表"), sj("ソ"), sj("ヒ")};
  std::vector<FileEntry> rows;
  for (int i = 0; i < 400; ++i) {
    std::string name = std::string(i % 2 ? "photo_2026_0101_" : "PHOTO_2026_0101_").substr(0, 10 + rng() % 7);
    const int length = static_cast<int>(rng() % 12);
    for (int k = 0; k < length; ++k) name += pieces[rng() % pieces.size()];
    rows.push_back(row(name, i % 9 == 0, std::to_string(rng() % 5) + ",00" + std::to_string(i % 7),
                       "2024/01/0" + std::to_string(1 + rng() % 3) + " 00:00:00"));
  }
  for (int state = 0; state < 8; ++state) {
    // The listing sorts by name ascending, then each click sorts stably
    // from the order before it.
    const int column = state / 2 + 1;
    std::vector<int> states = {0};
    if (column != SelectionList::ColumnName) states.push_back(state & ~1);
    if (state % 2) states.push_back(state);
    std::vector<FileEntry> expected = rows;
    for (int s : states) {
      std::stable_sort(expected.begin(), expected.end(), [&](const FileEntry& a, const FileEntry& b) {
        return SelectionList::compare(a, b, s) < 0;
      });
    }
    SelectionList list;
    list.assign(rows);
    if (column != SelectionList::ColumnName) list.sortByColumn(column);
    if (state % 2) list.sortByColumn(column);
    ASSERT_EQ(list.sortState(), state);
    std::vector<std::string> want;
    for (const FileEntry& e : expected) want.push_back(e.fullName() + "|" + e.sizeText + "|" + e.modifiedText);
    std::vector<std::string> got;
    for (const FileEntry& e : list.rows()) got.push_back(e.fullName() + "|" + e.sizeText + "|" + e.modifiedText);
    EXPECT_EQ(got, want) << "sort state " << state;
  }
}

// ---- checking --------------------------------------------------------------

TEST(SelectionChecks, HeaderCycle) {
  const struct {
    const char* label;
    std::vector<FileEntry> rows;
    std::string start;
    std::vector<std::string> cycle;
  } cases[] = {
      {"two folders, three files", {row("d1", true), row("d2", true), row("a"), row("b"), row("c")}, "00000",
       {"11000", "11111", "00111", "00000"}},
      {"files only", {row("a"), row("b")}, "00", {"11", "00", "11"}},
      {"mixed files clear", {row("a"), row("b")}, "10", {"00"}},
      {"partial folders clear", {row("d1", true), row("d2", true), row("a")}, "101", {"000"}},
      {"all folders some files clear", {row("d1", true), row("a"), row("b")}, "110", {"000"}},
      {"folders only alternate", {row("d1", true), row("d2", true)}, "00", {"11", "00", "11"}},
  };
  for (const auto& c : cases) {
    SelectionList list;
    list.assign(c.rows);
    for (std::size_t i = 0; i < c.start.size(); ++i) list.setChecked(i, c.start[i] == '1');
    for (const std::string& next : c.cycle) {
      list.cycleChecks();
      EXPECT_EQ(checks(list), next) << c.label;
    }
  }
}

TEST(SelectionChecks, MenuAndToggle) {
  SelectionList list;
  list.assign({row("a"), row("b"), row("c")});
  list.setCheckedRows({0, 2}, true);
  EXPECT_EQ(checks(list), "101");
  list.toggleChecked(0);
  EXPECT_EQ(checks(list), "001");
  EXPECT_TRUE(list.anyChecked());
  list.setCheckedRows({0, 1, 2}, false);
  EXPECT_FALSE(list.anyChecked());
  EXPECT_EQ(list.checkedCount(), 0u);
}

// ---- drag move -------------------------------------------------------------

TEST(SelectionDrag, SelectedRowsMoveOntoTheTarget) {
  // Rows are named after their 1-based starting position.
  const struct {
    const char* label;
    std::vector<std::size_t> selected;  // 1-based
    std::size_t target;                 // 1-based, 0 = no row
    std::string expected;
  } cases[] = {
      {"5 and 6 onto 2", {5, 6}, 2, "15623478"},
      {"2 and 3 onto 6", {2, 3}, 6, "14562378"},
      {"2 and 8 onto 5: target inside", {2, 8}, 5, "12345678"},
      {"3 onto 3", {3}, 3, "12345678"},
      {"no row under the pointer", {3}, 0, "12345678"},
      {"2 and 5 onto 1 keep their distance", {2, 5}, 1, "21354678"},
      {"2 and 5 onto 8 keep their distance", {2, 5}, 8, "13462785"},
      {"last onto first", {8}, 1, "81234567"},
  };
  for (const auto& c : cases) {
    SelectionList list;
    std::vector<FileEntry> rows;
    for (char n = '1'; n <= '8'; ++n) rows.push_back(row(std::string(1, n)));
    list.assign(rows);
    std::vector<std::size_t> selected;
    for (std::size_t s : c.selected) selected.push_back(s - 1);
    const std::optional<std::size_t> target = c.target ? std::optional<std::size_t>(c.target - 1) : std::nullopt;
    const std::vector<std::size_t> newIndex = list.moveRows(selected, target);
    std::string order;
    for (const FileEntry& e : list.rows()) order += e.baseName;
    EXPECT_EQ(order, c.expected) << c.label;
    if (newIndex.empty()) continue;
    for (std::size_t old = 0; old < newIndex.size(); ++old)  // the mapping agrees with the moved rows
      EXPECT_EQ(list.row(newIndex[old]).baseName, std::string(1, static_cast<char>('1' + old))) << c.label;
  }
}

TEST(SelectionDrag, MovedRowsKeepTheirFields) {
  SelectionList list;
  list.assign({row("a", false, "1"), row("b", false, "2"), row("c", false, "3,000")});
  list.setChecked(2, true);
  list.moveRows({2}, 0);
  EXPECT_EQ(list.row(0).baseName, "c");
  EXPECT_EQ(list.row(0).sizeText, "3,000");
  EXPECT_TRUE(list.row(0).checked);
  EXPECT_EQ(list.moveRows({0}, 99), std::vector<std::size_t>{});
}

}  // namespace
}  // namespace ritoma
