#include "text/CaseMap.h"

#include <gtest/gtest.h>

#include <string>

#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string cp(std::string_view utf8) { return TextCodec::fromUtf8(utf8); }

TEST(CaseMapMapping, UpperAndLowerTable) {
  struct Row {
    const char* label;
    std::string lower;
    std::string upper;
  };
  const Row rows[] = {
      {"ascii around trail byte 0x5C", cp("abc表ソ.txt"), cp("ABC表ソ.TXT")},
      {"full-width latin", cp("ａｂｚ"), cp("ＡＢＺ")},
      {"greek", cp("αβω"), cp("ΑΒΩ")},
      {"cyrillic", cp("аёя"), cp("АЁЯ")},
      {"roman numerals across the NEC and IBM rows", cp("ⅰⅹ"), cp("ⅠⅩ")},
      // ア and イ have the trail bytes "A" and "C": they are not letters.
      {"katakana with letter trail bytes", cp("アイｱ"), cp("アイｱ")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(CaseMap::toUpper(row.lower), row.upper);
    EXPECT_EQ(CaseMap::toLower(row.upper), row.lower);
  }
}

TEST(CaseMapMapping, KeepsWhatCannotRoundTrip) {
  // Å (81F0, the angstrom sign) lowers to å, which code page 932 lacks.
  const std::string angstrom = "\x81\xF0";
  ASSERT_EQ(TextCodec::decodeChar(angstrom), U'\u212B');
  EXPECT_EQ(CaseMap::toLower(angstrom), angstrom);
  // Stand-in pairs (é, an invalid byte) and broken text stay as they are.
  const std::string pairs = TextCodec::toInternal("\xC3\xA9\xFF");
  EXPECT_EQ(CaseMap::toUpper(pairs), pairs);
  EXPECT_EQ(CaseMap::toUpper("a\x81"), "A\x81");
  EXPECT_EQ(CaseMap::toLower("\x85\x40Z"), "\x85\x40z");
}

TEST(CaseMapClassify, UpperAndLowerLetters) {
  struct Row {
    const char* label;
    std::string ch;
    bool upper;
    bool lower;
  };
  const Row rows[] = {
      {"A", "A", true, false},
      {"z", "z", false, true},
      {"full-width A", cp("Ａ"), true, false},
      {"greek omega", cp("ω"), false, true},
      {"roman numeral one", cp("Ⅰ"), true, false},
      {"digit", "1", false, false},
      {"half-width katakana", cp("ｱ"), false, false},
      {"kanji with trail 0x5C", cp("表"), false, false},
      {"lone lead byte", "\x81", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(CaseMap::isUpper(row.ch), row.upper);
    EXPECT_EQ(CaseMap::isLower(row.ch), row.lower);
  }
}

TEST(CaseMapCompare, EqualIgnoringCase) {
  struct Row {
    const char* label;
    std::string a;
    std::string b;
    bool equal;
  };
  const Row rows[] = {
      {"ascii", "ABC.TXT", "abc.txt", true},
      {"full-width", cp("ＡＢＣ表"), cp("ａｂｃ表"), true},
      {"ascii run, then full-width", cp("Dir/ＡＢ表"), cp("dIR/ａｂ表"), true},
      {"greek sigma", cp("ΣΑΣ"), cp("σασ"), true},
      {"characters in stand-in pairs", TextCodec::toInternal("\xC3\x89t\xC3\xA9"), TextCodec::toInternal("\xC3\xA9T\xC3\x89"), true},
      {"different letters", "abc", "abd", false},
      {"prefix", "ab", "abc", false},
      {"trail byte letter is no letter", cp("ア"), "\x83\x61", false},
      {"hyo and so", cp("表"), cp("ソ"), false},
      {"half and full width", "A", cp("Ａ"), false},
      {"invalid bytes", TextCodec::toInternal("\xFF"), TextCodec::toInternal("\xFE"), false},
      {"broken lead byte", "a\x81", "A\x81", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(CaseMap::equalIgnoreCase(row.a, row.b), row.equal);
    EXPECT_EQ(CaseMap::foldKey(row.a) == CaseMap::foldKey(row.b), row.equal);
    // The comparison orders like the keys, in both directions.
    const int keyOrder = CaseMap::foldKey(row.a).compare(CaseMap::foldKey(row.b));
    const int sign = (keyOrder > 0) - (keyOrder < 0);
    EXPECT_EQ(CaseMap::compareIgnoreCase(row.a, row.b), sign);
    EXPECT_EQ(CaseMap::compareIgnoreCase(row.b, row.a), -sign);
  }
}

TEST(CaseMapCompare, OrdersByFoldedCharacters) {
  EXPECT_LT(CaseMap::compareIgnoreCase("a", "B"), 0);
  EXPECT_GT(CaseMap::compareIgnoreCase("abc", "AB"), 0);
  EXPECT_EQ(CaseMap::compareIgnoreCase("", ""), 0);
}

}  // namespace
}  // namespace ritoma
