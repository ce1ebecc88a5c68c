#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "conversion/StringReplacer.h"

namespace ritoma {

// State of a class check box of the width operations.
enum class ClassState { Unchecked, Checked, Grayed };

// The character-type tool: letter case, word capitals, half-width and
// full-width forms, hiragana and katakana, and the composition of names
// stored decomposed. Walks a code-page-932 name character by character and
// never splits a double-byte character. Width and kana forms follow the
// Unicode rules (U+0020 ↔ U+3000, U+0021-U+007E ↔ U+FF01-U+FF5E, half-width
// katakana ↔ katakana with voiced and semi-voiced marks composed or
// decomposed, hiragana ↔ katakana by the offset 0x60).
class CharConverter {
public:
  // Positions of the operation tree, fully expanded.
  static constexpr int PositionCount = 17;
  // "分離 ⇒ 合成 (NFC)": canonical composition of the whole name, extension
  // included (Composition).
  static constexpr int ComposePosition = 16;

  int position = -1;  // the selected node, -1 for none
  NamePart target = NamePart::Name;
  std::string delimiters = DefaultDelimiters();  // key Word of section Rename
  bool letters = false;  // "英字"
  bool digits = false;   // "数字"
  ClassState kana = ClassState::Unchecked;   // "カナ"
  ClassState other = ClassState::Unchecked;  // "その他"

  // "!#$%&'()=-~^@{}[]+;,･_", the middle dot being the half-width 0xA5.
  static std::string DefaultDelimiters();
  // Caption of a tree node (UTF-8); headings start with "[".
  static const char* NodeCaption(int position);
  static bool IsHeading(int position);
  // Enabling rules of the tab's controls for the selected node. Only the
  // case and word operations offer a target; the width and kana operations
  // work on the name part only, the composition on the whole name.
  static bool TargetChoiceEnabled(int position) { return position >= 0 && position <= 6; }
  static bool DelimitersEnabled(int position) { return position >= 4 && position <= 6; }
  static bool ClassesEnabled(int position) { return position >= 7 && position <= 10; }

  // The selected operation applied to one full name; unchanged with no
  // operation selected or a heading selected.
  std::string ConvertChars(std::string_view name) const;

  // Mode 1, 2 or 3 as bits: 1 upper to lower, 2 lower to upper.
  static char ConvertCase(char c, int mode);
  // Takes one word off the front of `body` and appends it converted; mode 0
  // lowers the rest of the word, mode 1 keeps it.
  void ConvertWord(std::string_view& body, int mode, std::string& out) const;
  // Converts the single-byte character at `pos` (with the following voiced
  // mark when they compose); returns the bytes consumed.
  std::size_t ToFullWidth(std::string_view body, std::size_t pos, std::string& out) const;
  // Converts one double-byte character.
  void ToHalfWidth(std::string_view ch, std::string& out) const;
  // Mode 1, 2 or 3 as bits: 1 hiragana to katakana, 2 katakana to hiragana.
  static void ConvertKana(std::string_view ch, int mode, std::string& out);
};

}  // namespace ritoma
