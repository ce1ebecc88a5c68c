#include "selection/NamePattern.h"

#include "text/CaseMap.h"
#include "text/Cp932.h"

namespace ritoma {

NamePattern::NamePattern(std::string_view pattern) : text_(pattern), upper_(upper(pattern)) {
  matchesAll_ = upper_ == "*" || upper_ == "*.*";
}

std::vector<NamePattern> NamePattern::parseList(std::string_view patternText) {
  std::vector<NamePattern> patterns;
  std::size_t start = 0;
  while (start <= patternText.size()) {
    std::size_t end = Cp932::find(patternText, ';', start);
    if (end == Cp932::npos) end = patternText.size();
    std::string_view one = patternText.substr(start, end - start);
    while (!one.empty() && one.front() == ' ') one.remove_prefix(1);
    while (!one.empty() && one.back() == ' ') one.remove_suffix(1);
    if (!one.empty()) patterns.emplace_back(one);
    start = end + 1;
  }
  return patterns;
}

bool NamePattern::matches(std::string_view name) const {
  if (matchesAll_) return true;
  const std::string key = upper(name);
  if (wildcardMatch(upper_, key)) return true;
  const std::string_view p = upper_;
  return p.size() >= 2 && p.substr(p.size() - 2) == ".*" && Cp932::isCharBoundary(p, p.size() - 2) &&
         wildcardMatch(p.substr(0, p.size() - 2), key);
}

std::string NamePattern::upper(std::string_view s) {
  bool ascii = true;
  for (unsigned char c : s) ascii = ascii && c < 0x80;
  if (!ascii) return CaseMap::toUpper(s);
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// Iterative matcher with one backtrack point (the last "*"): linear in
// practice, never exponential.
bool NamePattern::wildcardMatch(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, s = 0;
  std::size_t starP = std::string_view::npos, starS = 0;
  while (s < name.size()) {
    if (p < pattern.size()) {
      const std::size_t pl = Cp932::charLength(pattern, p);
      const std::size_t sl = Cp932::charLength(name, s);
      if (pattern[p] == '*') {
        starP = p++;
        starS = s;
        continue;
      }
      if (pattern[p] == '?' || pattern.substr(p, pl) == name.substr(s, sl)) {
        p += pl;
        s += sl;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    p = starP + 1;
    starS += Cp932::charLength(name, starS);
    s = starS;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace ritoma
