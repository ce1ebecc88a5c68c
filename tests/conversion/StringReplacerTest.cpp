#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/ReplaceHistory.h"
#include "conversion/StringReplacer.h"
#include "conversion/TextHistory.h"
#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string J(const char* utf8) { return TextCodec::fromUtf8(utf8); }

struct Case {
  const char* what;
  std::string name, search, replacement;
  NamePart target = NamePart::Name;
  bool leftToRight = true;
  int skip = 0;
  int count = 0;
  bool caseSensitive = true;
  std::string expected;
};

std::string run(const Case& c) {
  StringReplacer r;
  r.search = c.search;
  r.replacement = c.replacement;
  r.target = c.target;
  r.leftToRight = c.leftToRight;
  r.skipCount = c.skip;
  r.replaceCount = c.count;
  r.caseSensitive = c.caseSensitive;
  return r.ReplaceAll(c.name);
}

TEST(StringReplacerTest, SkipCountAndDirection) {
  const std::vector<Case> cases = {
      {"every match", "abcabc.txt", "b", "X", NamePart::Name, true, 0, 0, true, "aXcaXc.txt"},
      {"skip 1", "abcabc.txt", "b", "X", NamePart::Name, true, 1, 0, true, "abcaXc.txt"},
      {"count 1", "abcabc.txt", "b", "X", NamePart::Name, true, 0, 1, true, "aXcabc.txt"},
      {"right to left, count 1", "abcabc.txt", "b", "X", NamePart::Name, false, 0, 1, true, "abcaXc.txt"},
      {"right to left, skip 1", "abcabc.txt", "b", "X", NamePart::Name, false, 1, 0, true, "aXcabc.txt"},
      {"skip more than there are", "abcabc.txt", "b", "X", NamePart::Name, true, 5, 0, true, "abcabc.txt"},
      {"overlap left to right", "aaa", "aa", "b", NamePart::Name, true, 0, 0, true, "ba"},
      {"overlap right to left", "aaa", "aa", "b", NamePart::Name, false, 0, 0, true, "ab"},
      {"empty replacement deletes", "a-b-c", "-", "", NamePart::Name, true, 0, 0, true, "abc"},
      {"inserted text is not searched again", "aa", "a", "aa", NamePart::Name, true, 0, 0, true, "aaaa"},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c), c.expected) << c.what;
}

TEST(StringReplacerTest, TargetsAndCase) {
  const std::vector<Case> cases = {
      {"name part leaves the extension", "a.txt", "txt", "X", NamePart::Name, true, 0, 0, true, "a.txt"},
      {"extension part includes the dot", "a.b.txt", ".", "_", NamePart::Extension, true, 0, 0, true, "a.b_txt"},
      {"both parts", "a.b.txt", ".", "_", NamePart::Both, true, 0, 0, true, "a_b_txt"},
      {"extension of a name without dot", "abc", "a", "X", NamePart::Extension, true, 0, 0, true, "abc"},
      {"case-sensitive misses", "abc", "ABC", "x", NamePart::Name, true, 0, 0, true, "abc"},
      {"case ignored, replacement as typed", "abcABC", "ABC", "xY", NamePart::Name, true, 0, 0, false, "xYxY"},
      {"case ignored for full-width letters", J("ａｂ"), J("ＡＢ"), "x", NamePart::Name, true, 0, 0, false, "x"},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c), c.expected) << c.what;
}

TEST(StringReplacerTest, Pairs) {
  const std::vector<Case> cases = {
      {"second pair sees the first's result", "ab", "a|b", "b|c", NamePart::Name, true, 0, 0, true, "cc"},
      {"trailing bar", "a", "a|", "x", NamePart::Name, true, 0, 0, true, "x"},
      {"bar alone does nothing", "a|b", "|", "x", NamePart::Name, true, 0, 0, true, "a|b"},
      {"empty piece keeps pairs aligned", "abc", "a||c", "1|2|3", NamePart::Name, true, 0, 0, true, "1b3"},
      {"missing replacement deletes", "abc", "a|b", "x", NamePart::Name, true, 0, 0, true, "xc"},
      {"surplus replacements ignored", "abc", "a", "x|y", NamePart::Name, true, 0, 0, true, "xbc"},
      {"trail byte 0x7C is no separator", J("a－b"), J("－"), "_", NamePart::Name, true, 0, 0, true, "a_b"},
      {"trail byte 0x7C in the replacement", "a-b", "-", J("－"), NamePart::Name, true, 0, 0, true, J("a－b")},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c), c.expected) << c.what;
}

TEST(StringReplacerTest, DoubleByteCharactersAreUnits) {
  const std::vector<Case> cases = {
      {"trail byte 0x5C is no backslash", J("表\\ソ"), "\\", "_", NamePart::Name, true, 0, 0, true, J("表_ソ")},
      {"right to left over trail bytes", J("表\\ソ\\"), "\\", "_", NamePart::Name, false, 0, 1, true, J("表\\ソ_")},
      {"trail byte equal to a half-width kana", J("こｱ"), J("ｱ"), "X", NamePart::Name, true, 0, 0, true, J("こX")},
      {"trail byte equal to a letter", J("Ａa"), "`", "X", NamePart::Name, true, 0, 0, true, J("Ａa")},
      {"double-byte search, right to left", J("表表"), J("表"), "X", NamePart::Name, false, 0, 1, true,
       J("表X")},
      {"question mark takes a double-byte character", J("a表c"), "a?c", "X", NamePart::Name, true, 0, 0, true, "X"},
      {"star stops at a double-byte literal", J("aソbソ"), J("a*ソ"), "X", NamePart::Name, true, 0, 0, true,
       J("Xbソ")},
      {"half-width kana beside double-byte", J("ｶﾞガｶ"), J("ｶ"), "k", NamePart::Name, true, 0, 0, true,
       J("kﾞガk")},
      {"case folding keeps positions", J("Ａ表ａ"), J("ａ"), "x", NamePart::Name, true, 0, 0, false, J("x表x")},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c), c.expected) << c.what;
}

TEST(MatchAtStartTest, WildcardsAreLazyAndNeverBacktrack) {
  struct M {
    std::string pattern, text;
    bool leftToRight;
    std::size_t expected;
  };
  const std::vector<M> cases = {
      {"a*c", "abcbc", true, 3},          {"a*bc", "abxbc", true, 0},     {"a?c", "abc", true, 3},
      {"a?c", J("a表c"), true, 4},         {"*c", "abcbc", true, 3},       {"ab*", "abc", true, 0},
      {"*", "abc", true, 0},               {"*?", "abc", true, 0},         {"a", "", true, 0},
      {"abc", "ab", true, 0},              {"*ab", "xxab", false, 0},      {"ab*", "xxab", false, 2},
      {"b*", "ab", false, 1},              {"?c", "abc", false, 2},        {"c", "abc", false, 1},
      {"a*", "xab", false, 2},             {J("*ソ"), J("表ソ"), true, 4}, {J("ソ"), J("表ソ"), false, 2},
      {"?", J("表"), false, 2},
  };
  for (const M& m : cases)
    EXPECT_EQ(StringReplacer::MatchAtStart(m.pattern, m.text, m.leftToRight), m.expected)
        << m.pattern << " on " << m.text << (m.leftToRight ? " ->" : " <-");
}

TEST(StringReplacerTest, WildcardReplacementMovesOnByOneCharacter) {
  StringReplacer r;
  r.search = "a*bc";
  r.replacement.assign(1, 'X');
  EXPECT_EQ(r.ReplaceAll("abxbc"), "abxbc");  // no backtracking: the first 'a' fails, no other 'a'
  r.search = "b*c";
  EXPECT_EQ(r.ReplaceAll("abxbc.txt"), "aX.txt");
}

TEST(TextHistoryTest, MovesToTopWithoutCaseAndKeepsTwenty) {
  TextHistory h;
  h.AddToHistory("ABC");
  h.AddToHistory("def");
  h.AddToHistory("abc");
  EXPECT_EQ(h.entries, (std::vector<std::string>{"abc", "def"}));
  for (int i = 0; i < 19; ++i) h.AddToHistory(std::string("e").append(std::to_string(i)));
  ASSERT_EQ(h.entries.size(), 20u);
  EXPECT_EQ(h.entries.front(), "e18");
  EXPECT_EQ(h.entries.back(), "abc");  // "def" pushed out
  h.AddToHistory("E0");
  EXPECT_EQ(h.entries.size(), 20u);
  EXPECT_EQ(h.entries.front(), "E0");
  EXPECT_EQ(h.entries[1], "e18");
}

TEST(ReplaceHistoryTest, StoredListsRoundTripAndStaleKeysGo) {
  TempDir dir;
  PosixFileSystem fs;
  dir.writeFile("Ritoma.ini",
                "[RepText]\nCountB=2\nB-0=old\nB-1=\xE8\xA1\xA8|x\nB-7=stale\nCountA=1\nA-0=new\n");
  ReplaceHistory history;
  history.load(IniFile(fs, dir / "Ritoma.ini"));
  EXPECT_EQ(history.search.entries, (std::vector<std::string>{"old", J("表|x")}));
  EXPECT_EQ(history.replacement.entries, (std::vector<std::string>{"new"}));

  history.search.AddToHistory(J("ソ*"));
  IniFile ini(fs, dir / "Ritoma.ini");
  history.save(ini);
  IniFile reread(fs, dir / "Ritoma.ini");
  EXPECT_FALSE(reread.valueExists("RepText", "B-7"));
  ReplaceHistory again;
  again.load(reread);
  EXPECT_EQ(again.search.entries, history.search.entries);
  EXPECT_EQ(again.replacement.entries, history.replacement.entries);
}

}  // namespace
}  // namespace ritoma
