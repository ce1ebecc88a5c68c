#pragma once

#include <string_view>
#include <vector>

namespace ritoma::fuzz {

// The input cut at each "\n": harnesses that need several texts (a pattern
// and its subject, a template and its names) take them line by line.
inline std::vector<std::string_view> inputLines(std::string_view text) {
  std::vector<std::string_view> out;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    out.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return out;
}

}  // namespace ritoma::fuzz
