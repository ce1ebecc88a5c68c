#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ritoma {

// Character rules of code page 932 (Shift_JIS as Windows has it). A
// character is one single byte (0x00-0x7F, half-width katakana 0xA1-0xDF,
// or any other lone byte) or a lead byte (0x81-0x9F, 0xE0-0xFC) followed by
// a trail byte. Every search for a single-byte character walks characters,
// so a trail byte equal to "\" (as in 表 0x95 0x5C, ソ 0x83 0x5C) is never
// taken for one. A lead byte at the very end of a string counts as a
// one-byte character.
//
// One more unit counts as a single character: a stand-in pair, two codes of
// the user-defined area that TextCodec writes for one character outside
// code page 932 (a first code with lead byte F0-F3, then any code F040-F9FC).
// So a Korean syllable or an emoji is one character for every tool that
// counts, matches, cuts or reverses characters, and is never cut in half.
class Cp932 {
public:
  static constexpr std::size_t npos = std::string_view::npos;

  static bool isLeadByte(unsigned char c);
  static bool isTrailByte(unsigned char c);  // 0x40-0x7E, 0x80-0xFC
  static bool isHalfWidthKana(unsigned char c);  // 0xA1-0xDF

  // Lead bytes of the user-defined area F040-F9FC, and of the first code of
  // a stand-in pair.
  static constexpr unsigned char kUserFirstLead = 0xF0;
  static constexpr unsigned char kUserLastLead = 0xF9;
  static constexpr unsigned char kPairLastFirstLead = 0xF3;

  // Length in bytes (1, 2, or 4 for a stand-in pair) of the character
  // starting at `pos`.
  static std::size_t charLength(std::string_view s, std::size_t pos);
  // True when `pos` is the start of a character (not a trail byte).
  static bool isCharBoundary(std::string_view s, std::size_t pos);
  // Number of characters in `s`.
  static std::size_t charCount(std::string_view s);
  // How many bytes `s` begins with below 0x80: one character each (no lead
  // byte is below 0x80), the same bytes in UTF-8.
  static std::size_t asciiPrefix(std::string_view s);
  // True when a stand-in pair starts at `pos` (the byte test only: whether
  // the pair stands for a character is TextCodec's to say).
  static bool isPairAt(std::string_view s, std::size_t pos);
  // True when every lead byte is followed by a valid trail byte.
  static bool isWellFormed(std::string_view s);

  // First / last position of the single-byte character `c` at a character
  // boundary, or npos. `from` must be a character boundary.
  static std::size_t find(std::string_view s, char c, std::size_t from = 0);
  static std::size_t findLast(std::string_view s, char c);
  // Last position of any of the single-byte characters in `set`, or npos.
  static std::size_t findLastOf(std::string_view s, std::string_view set);
  // `s` with every "\" that is a character of its own (not a trail byte)
  // as "/": the form in which LZH paths, which may store either separator,
  // are compared.
  static std::string unifySeparators(std::string_view s);
  // Character-aware search for a substring starting at boundaries only.
  static std::size_t findText(std::string_view s, std::string_view text, std::size_t from = 0);

  // Position of the extension: the last "." of the whole string, or npos.
  static std::size_t extensionPos(std::string_view name);
  // The selection list's rule: a "." after the last "\" or ":" ("/" is an
  // ordinary character there), or npos.
  static std::size_t listExtensionPos(std::string_view name);
};

}  // namespace ritoma
