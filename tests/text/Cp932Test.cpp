#include "text/Cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace ritoma {
namespace {

// 表 and ソ end in the trail byte 0x5C, the code of "\".
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";
constexpr auto npos = Cp932::npos;

TEST(Cp932Walk, CharactersAreOneOrTwoBytes) {
  const std::string s = "a" + kHyo + "\xB1" + kSo;  // a表ｱソ
  EXPECT_EQ(Cp932::charLength(s, 0), 1u);
  EXPECT_EQ(Cp932::charLength(s, 1), 2u);
  EXPECT_EQ(Cp932::charLength(s, 3), 1u) << "half-width katakana is one byte";
  EXPECT_EQ(Cp932::charLength(s, 4), 2u);
  EXPECT_EQ(Cp932::charCount(s), 4u);
  EXPECT_TRUE(Cp932::isCharBoundary(s, 3));
  EXPECT_FALSE(Cp932::isCharBoundary(s, 2));
  EXPECT_FALSE(Cp932::isCharBoundary(s, 5));
  EXPECT_TRUE(Cp932::isCharBoundary(s, s.size()));
  EXPECT_TRUE(Cp932::isWellFormed(s));
}

TEST(Cp932Walk, BrokenLeadBytesStandAlone) {
  // A lead byte at the end, or followed by a byte that cannot trail, is a
  // character of its own, so the "." after it is still seen.
  const std::string atEnd = "ab\x81";
  EXPECT_EQ(Cp932::charCount(atEnd), 3u);
  EXPECT_FALSE(Cp932::isWellFormed(atEnd));
  const std::string beforeDot = "a\x81.txt";
  EXPECT_EQ(Cp932::charLength(beforeDot, 1), 1u);
  EXPECT_FALSE(Cp932::isWellFormed(beforeDot));
  EXPECT_EQ(Cp932::extensionPos(beforeDot), 2u);
}

TEST(Cp932Walk, StandInPairIsOneCharacter) {
  // é is the pair F040 F16D; two of them hold F16D F040, the bytes of
  // another pair, across their border.
  const std::string e = "\xF0\x40\xF1\x6D";
  const std::string s = "a" + e + e + kHyo;
  EXPECT_EQ(Cp932::charLength(s, 1), 4u);
  EXPECT_EQ(Cp932::charCount(s), 4u);
  EXPECT_FALSE(Cp932::isCharBoundary(s, 3));
  EXPECT_TRUE(Cp932::isCharBoundary(s, 5));
  EXPECT_TRUE(Cp932::isWellFormed(s));
  EXPECT_EQ(Cp932::findText(s, "\xF1\x6D\xF0\x40"), npos);
  EXPECT_EQ(Cp932::findText(s, e), 1u);
  // Only a first code F0-F3 opens a pair; a second code alone is two bytes.
  EXPECT_EQ(Cp932::charLength("\xF4\x68\xF0\x40", 0), 2u);
  EXPECT_EQ(Cp932::charLength("\xF0\x40\xF0", 0), 2u);
  EXPECT_EQ(Cp932::charLength("\xF0\x40\x95\x5C", 0), 2u);
}

TEST(Cp932Find, TrailByteIsNeverABackslash) {
  const std::string path = "C:\\" + kHyo + "\\" + kSo + kHyo;  // C:\表\ソ表
  EXPECT_EQ(Cp932::find(path, '\\'), 2u);
  EXPECT_EQ(Cp932::find(path, '\\', 3), 5u);
  EXPECT_EQ(Cp932::find(path, '\\', 6), npos);
  EXPECT_EQ(Cp932::findLast(path, '\\'), 5u);
  EXPECT_EQ(Cp932::findLastOf(path, "\\:"), 5u);
  EXPECT_EQ(Cp932::findLast(kSo + kHyo, '\\'), npos);
  EXPECT_EQ(Cp932::findLastOf(kSo + kHyo, "\\"), npos);
}

TEST(Cp932Find, SingleByteSearchSkipsLeadBytesToo) {
  // Searching for the value of a lead byte finds it only as a character.
  const std::string s = kHyo + "\x95";
  EXPECT_EQ(Cp932::find(s, '\x95'), 2u);
  EXPECT_EQ(Cp932::findLast(s, '\x95'), 2u);
}

TEST(Cp932Find, TextMatchesWholeCharactersOnly) {
  const std::string s = kSo + kHyo + "\\" + kHyo;  // ソ表\表
  EXPECT_EQ(Cp932::findText(s, kHyo), 2u);
  EXPECT_EQ(Cp932::findText(s, kHyo, 4), 5u);
  EXPECT_EQ(Cp932::findText(s, "\\"), 4u);
  EXPECT_EQ(Cp932::findText(s, "\\" + kHyo), 4u);
  // "\x5C\x95" also occurs at byte 1 (ソ's trail, 表's lead): not a match.
  EXPECT_EQ(Cp932::findText(kSo + kHyo, "\\\x95"), npos);
  // A text ending in a lead byte does not match the first half of a pair.
  EXPECT_EQ(Cp932::findText("a" + kHyo, "a\x95"), npos);
  EXPECT_EQ(Cp932::findText(s, ""), 0u);
  EXPECT_EQ(Cp932::findText(s, "x"), npos);
}

TEST(Cp932Extension, SplitTable) {
  struct Row {
    const char* label;
    std::string name;
    std::size_t extension;      // last "." of the whole name
    std::size_t listExtension;  // a "." after the last "\" or ":"
  };
  const Row rows[] = {
      {"double extension", "archive.tar.gz", 11, 11},
      {"leading dot", ".profile", 0, 0},
      {"no dot", "README", npos, npos},
      {"slash is ordinary in the list", "rel.2/readme", 3, 3},
      {"backslash ends the list's search", "rel.2\\readme", 3, npos},
      {"colon ends the list's search", "a.b:c", 1, npos},
      {"dot after a backslash", "dir\\a.txt", 5, 5},
      {"trail byte 0x5C after the dot", "a." + kHyo, 1, 1},
      {"trail byte 0x5C before the dot", kSo + kHyo + ".txt", 4, 4},
      {"dot only in the folder part", "d.x\\" + kHyo, 1, npos},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(Cp932::extensionPos(row.name), row.extension);
    EXPECT_EQ(Cp932::listExtensionPos(row.name), row.listExtension);
  }
}

}  // namespace
}  // namespace ritoma
