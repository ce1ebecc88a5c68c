#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// A file-name wildcard over code-page-932 characters: "*" matches any run
// of characters, "?" exactly one character (a double-byte character is one),
// letter case is ignored. As on the original platform, a pattern ending in
// ".*" also matches names without that extension, so "*.*" matches every name.
class NamePattern {
public:
  explicit NamePattern(std::string_view pattern);

  bool matches(std::string_view name) const;
  const std::string& text() const { return text_; }
  bool matchesEverything() const { return matchesAll_; }

  // The patterns of a pattern text: separated by ";", surrounding blanks
  // dropped, empty ones skipped.
  static std::vector<NamePattern> parseList(std::string_view patternText);

private:
  static bool wildcardMatch(std::string_view pattern, std::string_view name);
  static std::string upper(std::string_view s);

  std::string text_;
  std::string upper_;       // pattern in upper case
  bool matchesAll_ = false; // "*" or "*.*"
};

}  // namespace ritoma
