#include "text/TextCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "text/Cp932.h"

namespace ritoma {
namespace {

std::string code(unsigned c) {
  std::string s;
  if (c > 0xFF) s.push_back(static_cast<char>(c >> 8));
  s.push_back(static_cast<char>(c & 0xFF));
  return s;
}

bool allCharactersAreStandInsOrAscii(std::string_view cp932) {
  for (std::size_t i = 0; i < cp932.size(); i += Cp932::charLength(cp932, i)) {
    const std::string_view ch = cp932.substr(i, Cp932::charLength(cp932, i));
    if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) < 0x80) continue;
    if (!TextCodec::isStandIn(ch)) return false;
  }
  return true;
}

std::string utf8(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    s.push_back(static_cast<char>(0xC0 | (c >> 6)));
    s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    s.push_back(static_cast<char>(0xE0 | (c >> 12)));
    s.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    s.push_back(static_cast<char>(0xF0 | (c >> 18)));
    s.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    s.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
  return s;
}

TEST(TextCodecRoundTrip, DiskNamesComeBackByteIdentical) {
  struct Row {
    const char* label;
    std::string disk;
    bool onlyStandIns;  // nothing in it may take a fixed code
  };
  const Row rows[] = {
      {"yen sign", "price\xC2\xA5" "100.txt", true},
      {"wave dash U+301C", "a\xE3\x80\x9C" "b", true},
      {"minus sign U+2212", "\xE2\x88\x92" "1", true},
      {"not sign U+00AC", "\xC2\xAC", true},
      {"e acute", "caf\xC3\xA9", true},
      {"emoji", "\xF0\x9F\x98\x80.png", true},
      {"no-break space", "a\xC2\xA0" "b", true},
      {"private use", "\xEE\x80\x80\xEF\xA3\xB0", true},
      {"overlong slash", "a\xC0\xAF" "b", true},
      {"encoded surrogate", "\xED\xA0\x80", true},
      {"truncated sequence", "\xE3\x81" "a", true},
      {"stray continuation", "\x80\xBF", true},
      {"bytes never in UTF-8", "\xC1\xF5\xFE\xFF", true},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", true},
      {"truncated at the end", "x\xF0\x9F\x98", true},
      {"kanji with trail 0x5C", "\xE8\xA1\xA8\xE3\x82\xBD.txt", false},  // 表ソ.txt
      {"mixed", "\xE8\xA1\xA8\xC2\xA5\xFF\xE3\x80\x9C\xEF\xBD\x9E", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string internal = TextCodec::toInternal(row.disk);
    EXPECT_TRUE(Cp932::isWellFormed(internal));
    if (row.onlyStandIns) {
      EXPECT_TRUE(allCharactersAreStandInsOrAscii(internal));
    }
    // Nothing on disk may turn into a "\" inside the engine.
    EXPECT_EQ(Cp932::find(internal, '\\'), Cp932::npos);
    bool ok = false;
    EXPECT_EQ(TextCodec::toDisk(internal, &ok), row.disk);
    EXPECT_TRUE(ok);
  }
}

TEST(TextCodecRoundTrip, FixedCodes) {
  struct Row {
    const char* label;
    std::string disk;
    std::string cp932;
  };
  const Row rows[] = {
      {"ascii", "a\\b~", "a\\b~"},
      {"hyo", "\xE8\xA1\xA8", "\x95\x5C"},
      {"so", "\xE3\x82\xBD", "\x83\x5C"},
      {"half-width katakana", "\xEF\xBD\xB1", "\xB1"},
      {"full-width tilde U+FF5E", "\xEF\xBD\x9E", "\x81\x60"},
      {"full-width minus U+FF0D", "\xEF\xBC\x8D", "\x81\x7C"},
      {"full-width not sign: the JIS code, not the NEC or IBM one", "\xEF\xBF\xA2", "\x81\xCA"},
      {"small roman one: the IBM code, not the NEC-selected one", "\xE2\x85\xB0", "\xFA\x40"},
      {"IBM kanji: the IBM code, not the NEC-selected one", "\xE7\xBA\x8A", "\xFA\x5C"},
      {"approximately equal: the JIS code, not the NEC one", "\xE2\x89\x92", "\x81\xE0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(TextCodec::toInternal(row.disk), row.cp932);
    EXPECT_EQ(TextCodec::toDisk(row.cp932), row.disk);
  }
  // The duplicate codes still decode: NEC-selected 纊 (ED40) and NEC ≒ (8790).
  EXPECT_EQ(TextCodec::toDisk("\xED\x40"), "\xE7\xBA\x8A");
  EXPECT_EQ(TextCodec::toDisk("\x87\x90"), "\xE2\x89\x92");
}

TEST(TextCodecRoundTrip, StandInsAreComputedFromTheCodePoint) {
  // The code point 0xAC00 (가) is 23 * 1880 + 792: codes number 23 (F057)
  // and 792 (F468). The invalid byte 0xFF is 0x1100FF = 592 * 1880 + 1407:
  // F35C and F79C. The same bytes in every process, with nothing assigned.
  EXPECT_EQ(TextCodec::toInternal("\xEA\xB0\x80"), "\xF0\x57\xF4\x68");
  EXPECT_EQ(TextCodec::toInternal("\xFF"), "\xF3\x5C\xF7\x9C");
  const std::string first = TextCodec::toInternal("\xC3\xA9");  // é
  EXPECT_EQ(TextCodec::toInternal("x\xC3\xA9"), "x" + first);
  EXPECT_NE(TextCodec::toInternal("\xC3\xA8"), first);  // è
  // A byte's pair and a character's pair never coincide.
  EXPECT_NE(TextCodec::toInternal("\xC3"), TextCodec::toInternal("\xC3\x83"));
  EXPECT_EQ(TextCodec::standInChar(first), U'\u00E9');
  EXPECT_TRUE(TextCodec::isStandIn(TextCodec::toInternal("\xFF")));
  EXPECT_EQ(TextCodec::standInChar(TextCodec::toInternal("\xFF")), TextCodec::kNoChar);
  // Pairs sort as their code points do.
  EXPECT_LT(TextCodec::toInternal("\xEA\xB0\x80"), TextCodec::toInternal("\xEA\xB0\x81"));
  EXPECT_LT(TextCodec::toInternal("\xED\x9E\xA3"), TextCodec::toInternal("\xF0\x9F\x98\x80"));
}

// Every code point, one by one: the codes never run out, and each character
// is one character of the engine, whatever it is.
TEST(TextCodecRoundTrip, EveryCodePointComesBack) {
  int pairs = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::string disk = utf8(c);
    const std::string internal = TextCodec::toInternal(disk);
    bool ok = false;
    const std::string back = TextCodec::toDisk(internal, &ok);
    if (!ok || back != disk || Cp932::charLength(internal, 0) != internal.size()) {
      ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(c);
      break;
    }
    if (internal.size() == 4) {
      ++pairs;
      if (TextCodec::standInChar(internal) != c) {
        ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(c) << " pair";
        break;
      }
    }
  }
  EXPECT_GT(pairs, 1100000);
}

// decode(encode(x)) == x for random byte strings: mostly valid UTF-8 of
// every range (Hangul, CJK, emoji, characters code page 932 has) mixed with
// stray bytes and cut sequences.
TEST(TextCodecRoundTrip, RandomByteStringsComeBack) {
  std::mt19937 random(20261210);
  const char32_t ranges[][2] = {{0x20, 0x7E},       {0x80, 0x7FF},     {0x3040, 0x30FF}, {0x4E00, 0x9FFF},
                                {0xAC00, 0xD7A3},   {0xE000, 0xF8FF},  {0xFF00, 0xFFEF}, {0x1F300, 0x1FAFF},
                                {0x20000, 0x2FFFF}, {0xF0000, 0x10FFFF}};
  for (int round = 0; round < 20000; ++round) {
    std::string disk;
    const int parts = static_cast<int>(random() % 12);
    for (int k = 0; k < parts; ++k) {
      const unsigned kind = random() % 8;
      if (kind == 0) {
        disk.push_back(static_cast<char>(random() % 256));
      } else if (kind == 1) {
        std::string cut = utf8(0x80 + random() % 0x10FF80);
        disk.append(cut, 0, 1 + random() % cut.size());
      } else {
        const auto& range = ranges[random() % std::size(ranges)];
        char32_t c = range[0] + random() % (range[1] - range[0] + 1);
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        disk += utf8(c);
      }
    }
    const std::string internal = TextCodec::toInternal(disk);
    bool ok = false;
    const std::string back = TextCodec::toDisk(internal, &ok);
    // No stand-in reads as a "\\" of the engine.
    std::size_t backslashes = 0;
    for (std::size_t i = Cp932::find(internal, '\\'); i != Cp932::npos; i = Cp932::find(internal, '\\', i + 1))
      ++backslashes;
    if (!ok || back != disk || !Cp932::isWellFormed(internal) ||
        backslashes != static_cast<std::size_t>(std::count(disk.begin(), disk.end(), '\\'))) {
      std::string hex;
      for (const char b : disk) hex += testing::PrintToString(static_cast<unsigned>(static_cast<unsigned char>(b))) + " ";
      ADD_FAILURE() << "disk bytes: " << hex;
      break;
    }
  }
}

// Every code of the fixed table: single bytes and all lead/trail pairs.
TEST(TextCodecTable, EveryCodeDecodesAndEncodes) {
  int roundTrips = 0;
  int duplicates = 0;
  for (unsigned c = 0; c <= 0xFCFC; ++c) {
    if (c > 0xFF && (!Cp932::isLeadByte(c >> 8) || !Cp932::isTrailByte(c & 0xFF))) continue;
    if (c <= 0xFF && Cp932::isLeadByte(c)) continue;
    const std::string bytes = code(c);
    SCOPED_TRACE(testing::Message() << std::hex << "code 0x" << c);
    if (static_cast<unsigned char>(bytes[0]) >= 0xF0 && static_cast<unsigned char>(bytes[0]) <= 0xF9) {
      // A user-defined code alone is no character of the engine.
      EXPECT_EQ(TextCodec::decodeChar(bytes), TextCodec::kNoChar);
      continue;
    }
    const char32_t cp = TextCodec::decodeChar(bytes);
    bool ok = false;
    const std::string disk = TextCodec::toDisk(bytes, &ok);
    if (cp == TextCodec::kNoChar) {
      EXPECT_FALSE(ok);
      EXPECT_EQ(TextCodec::toDisplay(bytes), u"\uFFFD");
      continue;
    }
    EXPECT_TRUE(ok);
    const std::string encoded = TextCodec::encodeChar(cp);
    if (encoded == bytes) {
      ++roundTrips;
      EXPECT_EQ(TextCodec::toInternal(disk), bytes);
    } else if (!encoded.empty()) {
      // A duplicate: its character is encoded by another code of the same
      // character.
      ++duplicates;
      EXPECT_EQ(TextCodec::decodeChar(encoded), cp);
      EXPECT_EQ(TextCodec::toInternal(disk), encoded);
    } else {
      // Private-use single bytes (0xA0, 0xFD-0xFF) decode but take pairs.
      EXPECT_TRUE(cp >= 0xE000 && cp <= 0xF8FF) << std::hex << static_cast<unsigned>(cp);
      EXPECT_TRUE(TextCodec::isStandIn(TextCodec::toInternal(disk)));
    }
  }
  // JIS X 0208, the NEC and IBM extensions and the single bytes.
  EXPECT_GT(roundTrips, 7400);
  EXPECT_GT(duplicates, 350);
}

TEST(TextCodecToDisk, InvalidTextFails) {
  struct Row {
    const char* label;
    std::string cp932;
  };
  const Row rows[] = {
      {"lone lead byte at the end", "ab\x81"},
      {"lead byte before a non-trail byte", "\x81" ".txt"},
      {"unassigned code", "\x85\x40"},
      {"user-defined code alone", "\xF9\xFC"},
      {"first code of a pair alone", "a\xF0\x57"},
      {"first code of a pair at the end", "a\xF0\x57\xF4"},
      {"pair of a character with a fixed code (A)", "\xF0\x40\xF0\x82"},
      {"pair of a surrogate", "\xF0\x5D\xF4\x58"},
      {"pair of a byte below 0x80", "\xF3\x5C\xF6\x9A"},
      {"pair beyond every value", "\xF3\xFC\xF9\xFC"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    bool ok = true;
    EXPECT_EQ(TextCodec::toDisk(row.cp932, &ok), "");
    EXPECT_FALSE(ok);
  }
}

TEST(TextCodecDisplay, StandInsShowTheirCharacters) {
  const std::string internal = TextCodec::toInternal("\xE8\xA1\xA8\xF0\x9F\x98\x80\xE3\x80\x9C\xFF");
  EXPECT_EQ(TextCodec::toDisplay(internal), u"表😀〜\uFFFD");
  EXPECT_EQ(TextCodec::toDisplay("\x81"), u"\uFFFD");
  EXPECT_EQ(TextCodec::toDisplay("\xB1\xDF"), u"ｱﾟ");
  EXPECT_EQ(TextCodec::toDisplayUtf8(internal), "表😀〜\uFFFD");
  EXPECT_EQ(TextCodec::toDisplayUtf8("\x81"), "\uFFFD");
  EXPECT_EQ(TextCodec::toDisplayUtf8("\xB1\xDF"), "ｱﾟ");
}

TEST(TextCodecDisplay, TypedTextTakesTheSameCodesAsDisk) {
  EXPECT_EQ(TextCodec::fromDisplay(u"表ソ〜−¥😀é ｱ"),
            TextCodec::toInternal("表ソ〜−¥😀é ｱ"));
  // A lone surrogate cannot be stored; it stands for U+FFFD.
  const std::u16string lone(1, char16_t(0xD800));
  EXPECT_EQ(TextCodec::toDisk(TextCodec::fromDisplay(lone)), "\xEF\xBF\xBD");
}

TEST(TextCodecChar, SingleCharacterHelpers) {
  EXPECT_EQ(TextCodec::decodeChar("\x95\x5C"), U'表');
  EXPECT_EQ(TextCodec::decodeChar("\xB1"), U'ｱ');
  EXPECT_EQ(TextCodec::decodeChar("\x95\x5C" "a"), TextCodec::kNoChar);
  EXPECT_EQ(TextCodec::decodeChar(""), TextCodec::kNoChar);
  EXPECT_EQ(TextCodec::encodeChar(U'Ａ'), "\x82\x60");
  EXPECT_EQ(TextCodec::encodeChar(U'〜'), "");
  EXPECT_EQ(TextCodec::encodeChar(U'\uE000'), "");
  const std::string pair = TextCodec::fromCodePoint(U'〜');
  EXPECT_TRUE(TextCodec::isStandIn(pair));
  EXPECT_EQ(pair, TextCodec::toInternal("〜"));
  EXPECT_EQ(TextCodec::decodeChar(pair), TextCodec::kNoChar);
  EXPECT_EQ(TextCodec::standInChar(pair), U'〜');
  EXPECT_EQ(TextCodec::standInChar("\x95\x5C"), TextCodec::kNoChar);
  EXPECT_EQ(TextCodec::fromCodePoint(U'表'), "\x95\x5C");
}

TEST(TextCodecCodePage, StoredNamesTakeRealCodes) {
  struct Row {
    const char* label;
    std::string disk;
    std::string stored;  // empty: refused
  };
  const Row rows[] = {
      {"kanji with trail 0x5C", "\xE8\xA1\xA8\xE3\x82\xBD.txt", "\x95\x5C\x83\x5C.txt"},
      {"wave dash U+301C one way", "a\xE3\x80\x9C" "b", "a\x81\x60" "b"},
      {"full-width tilde U+FF5E", "\xEF\xBD\x9E", "\x81\x60"},
      {"minus sign U+2212", "\xE2\x88\x92" "1", "\x81\x7C" "1"},
      {"double vertical line U+2016", "\xE2\x80\x96", "\x81\x61"},
      {"cent, pound, not signs", "\xC2\xA2\xC2\xA3\xC2\xAC", "\x81\x91\x81\x92\x81\xCA"},
      {"half-width katakana", "\xEF\xBD\xB1", "\xB1"},
      {"e acute", "caf\xC3\xA9", ""},
      {"emoji", "\xF0\x9F\x98\x80.png", ""},
      {"hangul", "\xEA\xB0\x80", ""},
      {"invalid byte", "a\xFF", ""},
      {"yen sign: its only code is the separator", "\xC2\xA5", ""},
      {"private use", "\xEE\x80\x80", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    bool ok = !row.stored.empty();
    EXPECT_EQ(TextCodec::toCodePage(TextCodec::toInternal(row.disk), &ok), row.stored);
    EXPECT_EQ(ok, !row.stored.empty());
  }
  // Codes of an archive's own header pass unchanged: a user-defined
  // character and a lone lead byte.
  bool ok = false;
  EXPECT_EQ(TextCodec::toCodePage("\xF0\x40x\x81", &ok), "\xF0\x40x\x81");
  EXPECT_TRUE(ok);
}

}  // namespace
}  // namespace ritoma
