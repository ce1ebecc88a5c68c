#include "conversion/RegisteredReplaceList.h"

#include <algorithm>

namespace ritoma {

namespace {

// The digits of `text` from `pos` on (at most `count`), or `fallback` when
// there is none.
int readDigits(std::string_view text, std::size_t pos, std::size_t count, int fallback) {
  int value = 0;
  bool any = false;
  for (std::size_t i = pos; i < text.size() && i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') break;
    value = value * 10 + (text[i] - '0');
    any = true;
  }
  return any ? value : fallback;
}

}  // namespace

std::string ReplaceParameters::encode() const {
  std::string text;
  text += caseSensitive ? '1' : '0';
  text += static_cast<char>('0' + static_cast<int>(target));
  text += leftToRight ? '0' : '1';
  text += static_cast<char>('0' + std::clamp(replaceCount, 0, 9));
  text += std::to_string(std::clamp(skipCount, 0, 999));
  return text;
}

ReplaceParameters ReplaceParameters::decode(std::string_view text) {
  const ReplaceParameters d;
  ReplaceParameters p;
  p.caseSensitive = readDigits(text, 0, 1, d.caseSensitive ? 1 : 0) != 0;
  p.target = static_cast<NamePart>(std::clamp(readDigits(text, 1, 1, static_cast<int>(d.target)), 0, 2));
  p.leftToRight = readDigits(text, 2, 1, d.leftToRight ? 0 : 1) == 0;
  p.replaceCount = readDigits(text, 3, 1, d.replaceCount);
  p.skipCount = std::clamp(readDigits(text, 4, 3, d.skipCount), 0, 999);
  return p;
}

RegisteredReplaceList::RegisteredReplaceList()
    : RegisteredList("Replace", {{{"B-", &RegisteredReplace::before},
                                  {"A-", &RegisteredReplace::after},
                                  {"P-", &RegisteredReplace::parameters}}}) {}

}  // namespace ritoma
