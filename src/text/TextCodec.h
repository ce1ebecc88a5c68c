#pragma once

#include <string>
#include <string_view>

namespace ritoma {

// The lossless codec between text on disk (UTF-8, the system code page) and
// the engine's code page 932.
//
// A character converts to code page 932 only when it converts back to the
// same character (so "¥", "〜" U+301C and "−" U+2212 do not become 0x5C,
// 0x8160 and 0x817C). Every other character, every private-use character
// and every byte of an invalid UTF-8 sequence becomes a stand-in pair: two
// codes of the user-defined area F040-F9FC computed from the code point (or
// the byte) alone, so it passes through every stage unchanged and comes
// back as the same bytes. There is no table: the codes never run out, are
// the same in every process and need no lock.
//
// Layout: number the 1880 codes F040-F9FC from 0 (lead byte by lead byte,
// trail bytes 40-7E then 80-FC). A value v becomes the code numbered
// v / 1880 followed by the code numbered v % 1880; v is the code point, or
// 0x110000 + the byte for a byte of invalid UTF-8. So the first code has
// lead byte F0-F3, and pairs sort as their code points do. Cp932 counts a
// pair as one character. Nothing on disk holds these codes: the undo and
// settings files store disk text.
class TextCodec {
public:
  // Disk bytes (UTF-8, possibly invalid) to code page 932. Never fails.
  static std::string toInternal(std::string_view diskBytes);
  // Code page 932 back to disk bytes. A stand-in pair gives back exactly
  // what it stands for; a byte that is not a valid code-page-932 character
  // (a lone lead byte, an unassigned code, a code of the user-defined area
  // outside a pair, a pair that stands for nothing) makes the result empty
  // and `ok` false.
  static std::string toDisk(std::string_view cp932, bool* ok = nullptr);
  // The text as code page 932 proper, for headers that store code-page-932
  // bytes (archives without a UTF-8 name): a stand-in pair of a character
  // that code page 932 encodes one way (〜 U+301C as 8160, − U+2212 as 817C,
  // ‖ ¢ £ ¬) becomes that code; a stand-in pair of any other character or of
  // an invalid byte makes the result empty and `ok` false. Everything else
  // is kept as it is, user-defined codes outside a pair included.
  static std::string toCodePage(std::string_view cp932, bool* ok = nullptr);

  // For display and for text typed by the user (UTF-16, as Qt holds it).
  // Pairs of invalid bytes display as U+FFFD; so does what is no character.
  static std::u16string toDisplay(std::string_view cp932);
  static std::string fromDisplay(std::u16string_view text);
  // toDisplay as UTF-8, for messages: always valid UTF-8.
  static std::string toDisplayUtf8(std::string_view cp932);

  // Convenience for literals in the sources (which are UTF-8).
  static std::string fromUtf8(std::string_view utf8) { return toInternal(utf8); }
  static std::string toUtf8(std::string_view cp932) { return toDisk(cp932); }

  // Single characters, for the tools that map characters through Unicode
  // (letter case, width, kana).
  static constexpr char32_t kNoChar = 0xFFFFFFFF;
  // The code point of the one code-page-932 character `cp932Char` (one or
  // two bytes) by the fixed table, or kNoChar for a stand-in pair, a code
  // of the user-defined area, an unassigned code, a lone lead byte or
  // anything longer than one character.
  static char32_t decodeChar(std::string_view cp932Char);
  // The code-page-932 bytes of `c` when it round-trips by the fixed table,
  // else an empty string.
  static std::string encodeChar(char32_t c);
  // The bytes of `c` as toInternal gives them: encodeChar, or the stand-in
  // pair of a character that does not round-trip; a surrogate code point
  // stands for U+FFFD.
  static std::string fromCodePoint(char32_t c);
  // True when `cp932Char` is a stand-in pair the codec writes (for a
  // character or for a byte of invalid UTF-8).
  static bool isStandIn(std::string_view cp932Char);
  // The character a stand-in pair stands for; kNoChar for the pair of an
  // invalid byte and for anything that is not a stand-in pair.
  static char32_t standInChar(std::string_view cp932Char);
};

}  // namespace ritoma
