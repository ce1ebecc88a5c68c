#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/CharConverter.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string J(const char* utf8) { return TextCodec::fromUtf8(utf8); }

using S = ClassState;

struct Case {
  const char* what;
  int position;
  std::string name, expected;
  NamePart target = NamePart::Name;
  bool letters = false, digits = false;
  ClassState kana = S::Unchecked, other = S::Unchecked;
};

std::string run(const Case& c, const std::string& delimiters = CharConverter::DefaultDelimiters()) {
  CharConverter conv;
  conv.position = c.position;
  conv.target = c.target;
  conv.letters = c.letters;
  conv.digits = c.digits;
  conv.kana = c.kana;
  conv.other = c.other;
  conv.delimiters = delimiters;
  return conv.ConvertChars(c.name);
}

void check(const std::vector<Case>& cases, const std::string& delimiters = CharConverter::DefaultDelimiters()) {
  for (const Case& c : cases)
    EXPECT_EQ(TextCodec::toUtf8(run(c, delimiters)), TextCodec::toUtf8(c.expected)) << c.what;
}

TEST(CharConverterTest, LetterCaseAndTargets) {
  check({
      {"name part", 1, "ABC.TXT", "abc.TXT"},
      {"extension part", 1, "ABC.TXT", "ABC.txt", NamePart::Extension},
      {"both parts", 1, "ABC.TXT", "abc.txt", NamePart::Both},
      {"extension of a name without dot", 1, "ABC", "ABC", NamePart::Extension},
      {"lower to upper", 2, "aBc", "ABC"},
      {"swap", 3, "aBc", "AbC"},
      {"full-width letters untouched", 3, J("Ａa"), J("ＡA")},
      {"trail bytes equal to letters untouched", 3, J("ソaチ"), J("ソAチ")},
      {"heading changes nothing", 0, "ABC", "ABC"},
      {"no node changes nothing", -1, "ABC", "ABC"},
  });
}

TEST(CharConverterTest, WordCapitals) {
  check({
      {"default delimiters, lower the rest", 5, "my file-name.txt", "My File-Name.Txt", NamePart::Both},
      {"default delimiters, keep the rest", 6, "my file-name.txt", "My File-Name.Txt", NamePart::Both},
      {"mode 0 lowers", 5, "HELLO world", "Hello World"},
      {"mode 1 keeps", 6, "HELLO world", "HELLO World"},
      {"leading delimiter", 5, " ab", " Ab"},
      {"half-width middle dot is a delimiter", 5, J("a･b"), J("A･B")},
      {"trail byte 0xA5 is no middle dot", 5, J("aぇb"), J("Aぇb")},
      {"trail byte 0x5F is no underscore", 5, J("a＼b_c"), J("A＼b_C")},
      {"double-byte first character kept", 5, J("ａBC d"), J("ａbc D")},
  });
  check({{"own delimiters plus space and period", 5, "a_b c", "A_B C"}}, "_");
  check({{"no delimiter but space and period", 5, "a-b c.d", "A-b C.D", NamePart::Both}}, "");
}

TEST(CharConverterTest, ToFullWidth) {
  check({
      {"letters only", 8, "ab1.txt", J("ａｂ1.txt"), NamePart::Name, true},
      {"digits only", 8, "ab1", J("ab１"), NamePart::Name, false, true},
      {"other with space", 8, "a b!", J("a　b！"), NamePart::Name, false, false, S::Unchecked, S::Checked},
      {"other grayed keeps the space", 8, "a b!", J("a b！"), NamePart::Name, false, false, S::Unchecked, S::Grayed},
      {"voiced pairs compose", 8, J("ｶﾞｷﾞ"), J("ガギ"), NamePart::Name, false, false, S::Checked},
      {"grayed kana converts byte by byte", 8, J("ｶﾞｷﾞ"), J("カ゛キ゛"), NamePart::Name, false, false, S::Grayed},
      {"semi-voiced", 8, J("ﾊﾟﾎﾟ"), J("パポ"), NamePart::Name, false, false, S::Checked},
      {"u with voiced mark never combines", 8, J("ｳﾞ"), J("ウ゛"), NamePart::Name, false, false, S::Checked},
      {"semi-voiced mark after ka stays apart", 8, J("ｶﾟ"), J("カ゜"), NamePart::Name, false, false, S::Checked},
      {"kana punctuation", 8, J("｡｢｣､･ｰｦｧｯ"), J("。「」、・ーヲァッ"), NamePart::Name, false, false, S::Checked},
      {"double-byte kept beside half-width kana", 8, J("こｱ表ｶﾞ"), J("こア表ガ"), NamePart::Name, false, false,
       S::Checked},
      {"target ignored: name part only", 8, "ab.txt", J("ａｂ.txt"), NamePart::Both, true},
      {"unselected classes copied", 8, J("aｱ1!"), J("aｱ1!")},
  });
}

TEST(CharConverterTest, ToHalfWidth) {
  check({
      {"kana decomposes voiced", 9, J("ガ"), J("ｶﾞ"), NamePart::Name, false, false, S::Checked},
      {"plain kana", 9, J("アパヴ"), J("ｱﾊﾟｳﾞ"), NamePart::Name, false, false, S::Grayed},
      {"kana without half-width form stays", 9, J("ヵヶヮ"), J("ヵヶヮ"), NamePart::Name, false, false, S::Checked},
      {"letters and digits", 9, J("ＡＢ１２"), "AB12", NamePart::Name, true, true},
      {"letters only", 9, J("Ａ１"), J("A１"), NamePart::Name, true},
      {"other checked includes the space", 9, J("　！（）"), " !()", NamePart::Name, false, false, S::Unchecked,
       S::Checked},
      {"other grayed keeps the space", 9, J("　！"), J("　!"), NamePart::Name, false, false, S::Unchecked,
       S::Grayed},
      {"kana punctuation is other", 9, J("。「」、・ー"), J("｡｢｣､･ｰ"), NamePart::Name, false, false, S::Unchecked,
       S::Checked},
      {"voiced marks are kana too", 9, J("゛゜"), J("ﾞﾟ"), NamePart::Name, false, false, S::Checked},
      {"long mark is not kana", 9, J("ー"), J("ー"), NamePart::Name, false, false, S::Checked},
      {"yen sign never becomes a backslash", 9, J("￥"), J("￥"), NamePart::Name, true, true, S::Checked,
       S::Checked},
      {"hiragana untouched", 9, J("が"), J("が"), NamePart::Name, false, false, S::Checked},
      {"single bytes copied", 9, J("ｱa"), J("ｱa"), NamePart::Name, true, true, S::Checked, S::Checked},
      {"both ways", 10, J("ａ1"), J("a１"), NamePart::Name, true, true, S::Checked, S::Checked},
      {"both ways with kana", 10, J("ｶﾞガ"), J("ガｶﾞ"), NamePart::Name, false, false, S::Checked},
  });
}

TEST(CharConverterTest, FullAndHalfWidthRoundTrip) {
  std::string ascii;
  for (char c = 0x20; c <= 0x7E; ++c)
    if (c != '.') ascii += c;  // a dot would start the extension
  Case full{"full", 8, ascii, ""};
  full.letters = full.digits = true;
  full.other = S::Checked;
  const std::string wide = run(full);
  EXPECT_EQ(wide.size(), ascii.size() * 2);
  Case half{"half", 9, wide, ""};
  half.letters = half.digits = true;
  half.other = S::Checked;
  EXPECT_EQ(run(half), ascii);
}

TEST(CharConverterTest, Kana) {
  check({
      {"hiragana to katakana", 12, J("あいう.txt"), J("アイウ.txt")},
      {"swap", 14, J("あア"), J("アあ")},
      {"katakana to hiragana", 13, J("ガッコウ"), J("がっこう")},
      {"half-width katakana untouched", 13, J("ｱ"), J("ｱ")},
      {"no hiragana form", 13, J("ヴヵヶ"), J("ヴヵヶ")},
      {"marks stay", 14, J("ーゝゞヽヾ"), J("ーゝゞヽヾ")},
      {"trail bytes 0x5C beside kana", 12, J("表あソ"), J("表アソ")},
  });
}

// The composition works on the whole name, whatever target the buttons
// last held; its own cases are in the composition's tests.
TEST(CharConverterTest, ComposeTakesTheWholeName) {
  check({
      {"name and extension", CharConverter::ComposePosition, J("か\u3099表.テ\u3099ータ"), J("が表.データ")},
      {"target extension ignored", CharConverter::ComposePosition, J("ハ\u309Aソ.txt"), J("パソ.txt"),
       NamePart::Extension},
      {"heading changes nothing", 15, J("か\u3099"), J("か\u3099")},
  });
}

TEST(CharConverterTest, EnablingRules) {
  for (int p = 0; p < CharConverter::PositionCount; ++p) {
    EXPECT_EQ(CharConverter::IsHeading(p), CharConverter::NodeCaption(p)[0] == '[') << p;
    EXPECT_EQ(CharConverter::TargetChoiceEnabled(p), p <= 6) << p;
    EXPECT_EQ(CharConverter::DelimitersEnabled(p), p >= 4 && p <= 6) << p;
    EXPECT_EQ(CharConverter::ClassesEnabled(p), p >= 7 && p <= 10) << p;
  }
  EXPECT_EQ(CharConverter::DefaultDelimiters(), J("!#$%&'()=-~^@{}[]+;,･_"));
}

}  // namespace
}  // namespace ritoma
