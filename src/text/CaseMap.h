#pragma once

#include <string>
#include <string_view>

namespace ritoma {

// Letter case of code-page-932 text: the Unicode simple case mapping of each
// decoded character (full-width Latin, Greek and Cyrillic included), encoded
// back only when the mapped character round-trips; otherwise the character
// is kept. Stand-in pairs stay as they are.
class CaseMap {
public:
  static std::string toUpper(std::string_view cp932);
  static std::string toLower(std::string_view cp932);
  // Per-character classification for the character-type tools (the
  // Unicode Uppercase / Lowercase properties of the decoded character;
  // false for stand-in pairs and for what is not a character).
  static bool isUpper(std::string_view cp932Char);
  static bool isLower(std::string_view cp932Char);
  // A key that is equal for two names exactly when they compare equal
  // without letter case (simple case folding). Use it for hashing. The key
  // is not code-page-932 text: it holds the folded characters, so the
  // characters that stand-in pairs stand for (é and É) fold as well; pairs
  // of invalid bytes and codes that are no character count byte for byte.
  static std::string foldKey(std::string_view cp932);
  // Case-insensitive comparison used by the rename and collision checks:
  // <0, 0, >0, in the order of the folded code points; 0 exactly when the
  // foldKeys are equal.
  static int compareIgnoreCase(std::string_view a, std::string_view b);
  static bool equalIgnoreCase(std::string_view a, std::string_view b);
};

}  // namespace ritoma
