#include "text/Composition.h"

#include <gtest/gtest.h>

#include <string>

#include "text/TextCodec.h"

namespace ritoma {
namespace {

// Names as the disk holds them (UTF-8 bytes, some invalid), through the
// codec as every name enters the engine, composed and written back.
struct Row {
  const char* label;
  std::string disk;
  std::string composed;  // the disk bytes afterwards; equal to `disk` when nothing changes
};

const Row kRows[] = {
    {"voiced mark", "\u304B\u3099.txt", "\u304C.txt"},                                  // か゛ → が
    {"semi-voiced mark beside 0x5C trail bytes", "\u30CF\u309A表ソ", "\u30D1表ソ"},    // ハ゜ → パ
    {"both marks in a katakana word", "\u30C6\u3099\u30FC\u30BF\u306E\u30DB\u309A\u30FC\u30C8.pdf",
     "\u30C7\u30FC\u30BF\u306E\u30DD\u30FC\u30C8.pdf"},                                 // データのポート
    {"composed and decomposed parts mixed", "\u30D1\u30B9\u30DB\u309A\u30FC\u30C8 \u304C\u304B\u3099",
     "\u30D1\u30B9\u30DD\u30FC\u30C8 \u304C\u304C"},
    {"latin accent outside code page 932", "cafe\u0301 re\u0301sume\u0301.doc", "caf\u00E9 r\u00E9sum\u00E9.doc"},
    {"two marks in either order", "e\u0302\u0323|e\u0323\u0302", "\u1EC7|\u1EC7"},
    {"hangul jamo", "\u1112\u1161\u11AB\u1100\u1173\u11AF.txt", "\uD55C\uAE00.txt"},  // 한글
    {"voiced mark on a kana without a voiced form", "\u3042\u3099", "\u3042\u3099"},
    {"mark at the very start", "\u3099\u304B", "\u3099\u304B"},
    {"invalid bytes around a sequence", "\xFF\u304B\u3099\xC3", "\xFF\u304C\xC3"},
    {"nothing composes across an invalid byte", "\u304B\xFF\u3099", "\u304B\xFF\u3099"},
    {"composed name", "表ソ\u30AC\u00E9.txt", "表ソ\u30AC\u00E9.txt"},
    {"exclusions stay: angstrom sign, compatibility ideograph", "5\u212B\uFA19.txt", "5\u212B\uFA19.txt"},
    {"exclusion before a mark stays itself", "\u212B\u0301", "\u212B\u0301"},
    {"ascii", "plain name.txt", "plain name.txt"},
};

TEST(Composition, ComposesDecodedRunsAndKeepsEveryOtherByte) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.label);
    const std::string internal = TextCodec::toInternal(row.disk);
    const std::string composed = Composition::compose(internal);
    bool ok = false;
    EXPECT_EQ(TextCodec::toDisk(composed, &ok), row.composed);
    EXPECT_TRUE(ok);
    if (row.composed == row.disk) {
      EXPECT_TRUE(composed == internal);  // byte-identical inside too
    }
    EXPECT_EQ(Composition::isComposed(internal), row.composed == row.disk);
    EXPECT_TRUE(Composition::isComposed(composed));
  }
}

// Names read from a code-page-932 header (an LZH entry) hold codes of their
// own; a composition keeps them, and writes a composed kana as its code.
TEST(Composition, CodePageNamesKeepTheirCodes) {
  // 0xED40 (NEC-selected IBM 纊) decodes to U+7E8A, whose code by the table is 0xFA5C.
  const std::string ibm = "\xED\x40";
  const std::string name = ibm + "\x82\xA9" + TextCodec::fromCodePoint(0x3099) + "\xF0\x40";
  EXPECT_FALSE(Composition::isComposed(name));
  EXPECT_EQ(Composition::compose(name), ibm + "\x82\xAA" + "\xF0\x40");  // が, and a lone user code kept
  EXPECT_TRUE(Composition::isComposed(ibm + "\x95\x5C\x83\x5C"));

  // After a lone lead byte or a lone first code of a pair, a composed
  // character would join that byte or code and change how the rest reads:
  // that first sequence stays, the later ones compose.
  const std::string notEqual = "=" + TextCodec::fromCodePoint(0x0338);  // ≠ is 81 82
  const std::string accent = "e" + TextCodec::fromCodePoint(0x0301);    // é is a pair F0.. F0..
  for (const std::string& lone : {std::string("\x81"), std::string("\xF0\x40")}) {
    SCOPED_TRACE(lone.size());
    const std::string name = lone + notEqual + accent + "\x82\xA9" + TextCodec::fromCodePoint(0x3099);
    const std::string composed = lone + notEqual + TextCodec::fromCodePoint(0xE9) + "\x82\xAA";
    EXPECT_EQ(Composition::compose(lone + notEqual), lone + notEqual);
    EXPECT_TRUE(Composition::isComposed(lone + accent));
    EXPECT_EQ(Composition::compose(name), composed);
    EXPECT_FALSE(Composition::isComposed(name));
    EXPECT_TRUE(Composition::isComposed(composed));
  }
}

}  // namespace
}  // namespace ritoma
