#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ritoma {

// Which part of a name a tool works on: the name without its extension, the
// extension with its dot, or the whole name.
enum class NamePart { Name = 0, Extension = 1, Both = 2 };

// The string replacement tool. Search texts may hold the wildcards "*"
// (lazy, never backtracks) and "?" (one character); several pairs are
// separated by "|". Double-byte characters are units: a match never starts
// inside one and the scan never splits one.
class StringReplacer {
public:
  std::string search;       // search texts, "|"-separated
  std::string replacement;  // their replacements, paired by position
  NamePart target = NamePart::Name;
  bool leftToRight = true;
  bool caseSensitive = true;
  int skipCount = 0;     // matches left unchanged before replacing starts
  int replaceCount = 0;  // most replacements; 0 means no limit

  // Applies every pair in order, each to the previous pair's result.
  std::string ReplaceAll(std::string_view name) const;
  std::string ReplacePair(std::string_view name, std::string_view searchText,
                          std::string_view replacementText) const;
  // Bytes of `text` matched by `pattern` at its left end (right end when
  // scanning right to left); 0 for no match.
  static std::size_t MatchAtStart(std::string_view pattern, std::string_view text, bool leftToRight);
};

}  // namespace ritoma
