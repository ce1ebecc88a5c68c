#include <gtest/gtest.h>

#include <algorithm>

#include "ListingFileSystem.h"
#include "selection/FilterChoice.h"
#include "selection/FolderEnumerator.h"
#include "selection/NamePattern.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string sj(const char* utf8) { return TextCodec::fromUtf8(utf8); }

struct MatchCase {
  const char* label;
  std::string pattern, name;
  bool matches;
};

TEST(NamePattern, WildcardsOverCp932CharactersIgnoringCase) {
  const MatchCase cases[] = {
      {"star extension", "*.txt", "a.txt", true},
      {"case ignored", "*.txt", "A.TXT", true},
      {"case ignored in pattern", "*.TXT", "a.txt", true},
      {"extension must end the name", "*.txt", "a.txt.bak", false},
      {"star matches empty", "a*b", "ab", true},
      {"backtracking star", "*ab*ab", "xabyabab", true},
      {"question is one character", "?.txt", "a.txt", true},
      {"question is one double-byte character", "?.txt", sj("表.txt"), true},
      {"two questions do not fit one double-byte character", "??.txt", sj("表.txt"), false},
      {"literal double-byte character", sj("*ソ*"), sj("aソb.txt"), true},
      {"star dot star matches names without dot", "*.*", "README", true},
      {"trailing dot star matches the bare name", "read*.*", "README", true},
      {"trailing dot star still needs the stem", "x*.*", "README", false},
      {"full-width letters folded", sj("ａ*"), sj("Ａbc"), true},
      {"question cannot match nothing", "a?", "a", false},
  };
  for (const MatchCase& c : cases) EXPECT_EQ(NamePattern(c.pattern).matches(c.name), c.matches) << c.label;
}

TEST(NamePattern, PatternTextSplitsAtSemicolons) {
  const auto patterns = NamePattern::parseList(" *.jpg ; *.jpeg;;");
  ASSERT_EQ(patterns.size(), 2u);
  EXPECT_EQ(patterns[0].text(), "*.jpg");
  EXPECT_EQ(patterns[1].text(), "*.jpeg");
}

class EnumerateFolder : public ::testing::Test {
protected:
  void SetUp() override {
    fs.addFile("/f/", "a.txt", 1, AttrReadOnly);
    fs.addFile("/f/", "b.txt", 2, AttrHidden);
    fs.addFile("/f/", "c.sys", 3, AttrSystem);
    fs.addFile("/f/", "d.txt", 4, 0);
    fs.addFile("/f/", "e.log", 5, AttrArchive);
    fs.addFile("/f/", "h.txt", 6, AttrHidden | AttrSystem);
    fs.addFile("/f/", TextCodec::toDisk(sj("表ソ.TXT")), 7, 0);
    fs.addFolder("/f/", "sub.txt");
  }

  std::vector<std::string> names(const std::string& patterns, std::uint32_t attributes) {
    std::vector<FileInfo> out;
    EXPECT_FALSE(FolderEnumerator::enumerateFolder(fs, "/f/", patterns, attributes, out));
    std::vector<std::string> result;
    for (const FileInfo& info : out) result.push_back(info.name);
    std::sort(result.begin(), result.end());
    return result;
  }

  test::ListingFileSystem fs;
};

TEST_F(EnumerateFolder, AttributeFilterCombinations) {
  const std::string hyou = TextCodec::toDisk(sj("表ソ.TXT"));
  const struct {
    const char* label;
    std::uint32_t attributes;
    std::vector<std::string> expected;
  } cases[] = {
      {"128 every ordinary file", 128, {"a.txt", "d.txt", "e.log", hyou}},
      {"2 hidden files that are not system", 2, {"b.txt"}},
      {"130 ordinary and hidden", 130, {"a.txt", "b.txt", "d.txt", "e.log", hyou}},
      {"144 folder bit adds no files", 144, {"a.txt", "d.txt", "e.log", hyou}},
      {"0 nothing", 0, {}},
      {"16 alone nothing", 16, {}},
      {"1 read-only only", 1, {"a.txt"}},
      {"32 archive only", 32, {"e.log"}},
      {"4 system files not hidden", 4, {"c.sys"}},
      {"6 hidden and system", 6, {"b.txt", "c.sys", "h.txt"}},
  };
  for (const auto& c : cases) {
    auto expected = c.expected;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names("*.*", c.attributes), expected) << c.label;
  }
}

TEST_F(EnumerateFolder, FileMatchedByTwoPatternsIsListedTwice) {
  const std::string hyou = TextCodec::toDisk(sj("表ソ.TXT"));
  EXPECT_EQ(names("*.txt;*.TXT", 128),
            (std::vector<std::string>{"a.txt", "a.txt", "d.txt", "d.txt", hyou, hyou}));
  EXPECT_EQ(names("*.log;a*", 128), (std::vector<std::string>{"a.txt", "e.log"}));
  EXPECT_EQ(names("*.none", 128), std::vector<std::string>{});
}

TEST_F(EnumerateFolder, UnreadableFolderFails) {
  std::vector<FileInfo> out(1);
  EXPECT_TRUE(FolderEnumerator::enumerateFolder(fs, "/missing/", "*.*", 128, out));
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace ritoma

namespace ritoma {
namespace {

TEST(FilterChoice, FixedEntryFirstAndOutOfRangeSelectsTheLast) {
  FilterChoice choice;
  choice.setUserEntries({{TextCodec::fromUtf8("画像"), "*.jpg;*.jpeg"}, {"text", "*.txt"}});
  EXPECT_EQ(choice.storedForm(), TextCodec::fromUtf8("全てのﾌｧｲﾙ(*.*)|*.*|画像|*.jpg;*.jpeg|text|*.txt"));
  const struct {
    int stored, selected;
    const char* patterns;
  } cases[] = {{0, 0, "*.*"}, {1, 1, "*.jpg;*.jpeg"}, {2, 2, "*.txt"}, {5, 2, "*.txt"}, {-1, 2, "*.txt"}};
  for (const auto& c : cases) {
    EXPECT_EQ(choice.select(c.stored), c.selected) << c.stored;
    EXPECT_EQ(choice.selectedPatterns(), c.patterns) << c.stored;
  }
}

TEST(FilterChoice, BarsCannotBreakTheStoredForm) {
  FilterChoice choice;
  choice.setUserEntries({{"a|b", "*.c|*.d"}});
  EXPECT_EQ(choice.entries()[1].name, TextCodec::fromUtf8("a｜b"));
  EXPECT_EQ(choice.entries()[1].patterns, "*.c;*.d");
  EXPECT_EQ(choice.storedForm(), TextCodec::fromUtf8("全てのﾌｧｲﾙ(*.*)|*.*|a｜b|*.c;*.d"));
}

}  // namespace
}  // namespace ritoma
