#include "text/TextCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
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

// Every code of the user-defined area is a slot: F0-F9 with 188 trails each.
bool allCharactersAreSlotsOrAscii(std::string_view cp932) {
  for (std::size_t i = 0; i < cp932.size(); i += Cp932::charLength(cp932, i)) {
    const std::string_view ch = cp932.substr(i, Cp932::charLength(cp932, i));
    if (ch.size() == 1 && static_cast<unsigned char>(ch[0]) < 0x80) continue;
    if (!TextCodec::isSlot(ch)) return false;
  }
  return true;
}

TEST(TextCodecRoundTrip, DiskNamesComeBackByteIdentical) {
  struct Row {
    const char* label;
    std::string disk;
    bool onlySlots;  // nothing in it may take a fixed code
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
    if (row.onlySlots) {
      EXPECT_TRUE(allCharactersAreSlotsOrAscii(internal));
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

TEST(TextCodecRoundTrip, SameCharacterSameSlot) {
  const std::string first = TextCodec::toInternal("\xC3\xA9");   // é
  const std::string second = TextCodec::toInternal("x\xC3\xA9");
  EXPECT_EQ(second, "x" + first);
  EXPECT_NE(TextCodec::toInternal("\xC3\xA8"), first);            // è
  EXPECT_EQ(TextCodec::toInternal("\xFF"), TextCodec::toInternal("\xFF"));
  // A byte slot and a character slot never coincide.
  EXPECT_NE(TextCodec::toInternal("\xC3"), TextCodec::toInternal("\xC3\x83"));
  EXPECT_EQ(TextCodec::slotChar(first), U'\u00E9');
  EXPECT_EQ(TextCodec::slotChar(TextCodec::toInternal("\xFF")), TextCodec::kNoChar);
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
    if (TextCodec::isSlot(bytes)) {
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
      // Private-use single bytes (0xA0, 0xFD-0xFF) decode but take slots.
      EXPECT_TRUE(cp >= 0xE000 && cp <= 0xF8FF) << std::hex << static_cast<unsigned>(cp);
      EXPECT_TRUE(TextCodec::isSlot(TextCodec::toInternal(disk)));
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
      {"unused slot", "\xF9\xFC"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    bool ok = true;
    EXPECT_EQ(TextCodec::toDisk(row.cp932, &ok), "");
    EXPECT_FALSE(ok);
  }
}

TEST(TextCodecDisplay, SlotsShowTheirCharacters) {
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
  const std::string slot = TextCodec::fromCodePoint(U'〜');
  EXPECT_TRUE(TextCodec::isSlot(slot));
  EXPECT_EQ(slot, TextCodec::toInternal("〜"));
  EXPECT_EQ(TextCodec::fromCodePoint(U'表'), "\x95\x5C");
}

TEST(TextCodecSlots, ConcurrentAssignmentAgrees) {
  // Threads racing for the same new characters must get the same slots.
  constexpr int kThreads = 4;
  std::vector<std::string> results(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&results, t] {
      std::u16string text;
      for (char16_t c = 0x0100; c < 0x0180; ++c) text.push_back(c);  // Latin Extended-A
      results[t] = TextCodec::fromDisplay(text);
    });
  for (auto& th : threads) th.join();
  for (int t = 1; t < kThreads; ++t) EXPECT_EQ(results[t], results[0]);
  EXPECT_EQ(TextCodec::toDisplay(results[0]).size(), 0x80u);
}

TEST(TextCodecSlotsDeathTest, RunningOutOfSlotsThrows) {
  // Runs in a child process so the exhausted table does not leak into
  // other tests.
  EXPECT_EXIT(
      {
        const std::string kept = TextCodec::toInternal("\xC3\xA9");
        bool threw = false;
        try {
          for (char32_t c = 0xF0000; c < 0xF0000 + 2000; ++c) TextCodec::fromCodePoint(c);
        } catch (const std::runtime_error&) {
          threw = true;
        }
        const bool keptWorks = TextCodec::toDisk(kept) == "\xC3\xA9";
        std::exit(threw && keptWorks ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace ritoma
