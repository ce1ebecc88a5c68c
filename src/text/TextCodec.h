#pragma once

#include <string>
#include <string_view>

namespace ritoma {

// The lossless codec between text on disk (UTF-8, the system code page) and
// the engine's code page 932.
//
// A character converts to code page 932 only when it converts back to the
// same character (so "¥", "〜" U+301C and "−" U+2212 do not become 0x5C,
// 0x8160 and 0x817C). Every character that does not round-trip, every
// private-use character and every byte of an invalid UTF-8 sequence gets a
// slot in the user-defined area F040-F9FC, kept for the life of the process,
// so it passes through every stage unchanged and comes back as the same
// bytes. The slot table is shared by the whole process and thread-safe.
class TextCodec {
public:
  // Disk bytes (UTF-8, possibly invalid) to code page 932. Never fails
  // while slots remain; throws std::runtime_error when the 1880 slots of
  // the process are used up.
  static std::string toInternal(std::string_view diskBytes);
  // Code page 932 back to disk bytes. A slot gives back exactly what it
  // stands for; a byte that is not a valid code-page-932 character (a lone
  // lead byte, an unassigned code, an unused slot) makes the result empty
  // and `ok` false.
  static std::string toDisk(std::string_view cp932, bool* ok = nullptr);

  // For display and for text typed by the user (UTF-16, as Qt holds it).
  // Slots of invalid bytes display as U+FFFD; unassigned codes as U+FFFD.
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
  // two bytes) by the fixed table, or kNoChar for a slot, an unassigned
  // code, a lone lead byte or anything longer than one character.
  static char32_t decodeChar(std::string_view cp932Char);
  // The code-page-932 bytes of `c` when it round-trips by the fixed table,
  // else an empty string.
  static std::string encodeChar(char32_t c);
  // The bytes of `c` as toInternal gives them: encodeChar, or the slot of a
  // character that does not round-trip. Throws like toInternal when the
  // slots are used up; a surrogate code point stands for U+FFFD.
  static std::string fromCodePoint(char32_t c);
  // True when `cp932Char` is a code of the user-defined area F040-F9FC.
  static bool isSlot(std::string_view cp932Char);
  // The character a slot stands for; kNoChar for a slot of an invalid byte,
  // an unused slot or a character that is not a slot.
  static char32_t slotChar(std::string_view cp932Char);
};

}  // namespace ritoma
