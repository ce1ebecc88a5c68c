#include "conversion/StringReplacer.h"

#include <algorithm>
#include <vector>

#include "text/CaseMap.h"
#include "text/Cp932.h"

namespace ritoma {

namespace {

// Cp932::charLength for the scan's inner loop, where the call itself would
// cost more than the test: a lead byte followed by a trail byte makes two,
// a stand-in pair four.
inline std::size_t charLength(std::string_view s, std::size_t pos) {
  const auto c = static_cast<unsigned char>(s[pos]);
  if (!((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) || pos + 1 >= s.size()) return 1;
  const auto t = static_cast<unsigned char>(s[pos + 1]);
  if (!((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC))) return 1;
  return c >= Cp932::kUserFirstLead && Cp932::isPairAt(s, pos) ? 4 : 2;
}

// Characters in reverse order, each keeping its bytes in order.
std::string reversedByCharacter(std::string_view text) {
  std::string out(text.size(), '\0');
  std::size_t end = text.size();
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = Cp932::charLength(text, i);
    end -= n;
    std::copy_n(text.data() + i, n, out.data() + end);
    i += n;
  }
  return out;
}

// The pattern walk over `text` from `start` (a character boundary) to its
// end. Returns the bytes matched, 0 for none.
std::size_t matchFrom(std::string_view pattern, std::string_view text, std::size_t start) {
  std::size_t i = start;
  std::size_t p = 0;
  bool pendingStar = false;
  while (p < pattern.size()) {
    if (i >= text.size()) return 0;
    const char c = pattern[p];
    if (c == '*') {
      pendingStar = true;
      ++p;
      continue;
    }
    if (c == '?') {
      i += charLength(text, i);
      if (!pendingStar) ++p;
      continue;
    }
    const std::size_t n = charLength(pattern, p);
    const std::size_t t = charLength(text, i);
    if (t == n && text.compare(i, n, pattern.substr(p, n)) == 0) {
      i += n;
      p += n;
      pendingStar = false;
    } else if (pendingStar) {
      i += t;
    } else {
      return 0;
    }
  }
  return pendingStar ? 0 : i - start;
}

// Upper-case copy for the comparison, character by character, so that its
// positions stay those of the original text (a character whose mapping
// would change its length is compared as it is).
std::string upperAligned(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = Cp932::charLength(text, i);
    const std::string_view ch = text.substr(i, n);
    if (n == 1 && static_cast<unsigned char>(ch[0]) < 0x80) {
      const char b = ch[0];
      out += (b >= 'a' && b <= 'z') ? static_cast<char>(b - 'a' + 'A') : b;
    } else {
      const std::string mapped = CaseMap::toUpper(ch);
      out += mapped.size() == n ? std::string_view(mapped) : ch;
    }
    i += n;
  }
  return out;
}

}  // namespace

std::size_t StringReplacer::MatchAtStart(std::string_view pattern, std::string_view text, bool leftToRight) {
  if (leftToRight) return matchFrom(pattern, text, 0);
  return matchFrom(reversedByCharacter(pattern), reversedByCharacter(text), 0);
}

std::string StringReplacer::ReplaceAll(std::string_view name) const {
  std::string result(name);
  std::string_view s = search;
  std::string_view r = replacement;
  while (!s.empty() && s != "|") {
    const std::size_t i = std::min(Cp932::find(s, '|'), s.size());
    const std::size_t j = std::min(Cp932::find(r, '|'), r.size());
    if (i > 0) result = ReplacePair(result, s.substr(0, i), r.substr(0, j));
    s.remove_prefix(std::min(i + 1, s.size()));
    r.remove_prefix(std::min(j + 1, r.size()));
  }
  return result;
}

std::string StringReplacer::ReplacePair(std::string_view name, std::string_view searchText,
                                        std::string_view replacementText) const {
  std::string_view prefix;
  std::string_view work = name;
  std::string_view suffix;
  const std::size_t dot = Cp932::extensionPos(name);
  if (target == NamePart::Name && dot != Cp932::npos) {
    work = name.substr(0, dot);
    suffix = name.substr(dot);
  } else if (target == NamePart::Extension) {
    prefix = dot == Cp932::npos ? name : name.substr(0, dot);
    work = dot == Cp932::npos ? std::string_view() : name.substr(dot);
  }

  const std::string key = caseSensitive ? std::string(searchText) : upperAligned(searchText);
  const std::string folded = caseSensitive ? std::string() : upperAligned(work);
  const std::string_view compared = caseSensitive ? work : std::string_view(folded);

  // Right to left, the scan runs over the reversed text: the match at the
  // right end of the first k bytes of work is the match at position
  // size - k of the reversed text.
  const std::string pattern = leftToRight ? key : reversedByCharacter(key);
  const std::string reversed = leftToRight ? std::string() : reversedByCharacter(compared);
  const std::string_view text = leftToRight ? compared : std::string_view(reversed);
  const std::size_t size = work.size();

  std::string out;
  out.reserve(prefix.size() + size + suffix.size() + replacementText.size());
  out += prefix;
  std::vector<std::string_view> pieces;  // right to left: the output pieces, last first
  auto emit = [&](std::string_view piece) {
    if (leftToRight)
      out += piece;
    else
      pieces.push_back(piece);
  };
  // `n` bytes of work at scan position `pos`, in text order.
  auto original = [&](std::size_t pos, std::size_t n) {
    return leftToRight ? work.substr(pos, n) : work.substr(size - pos - n, n);
  };
  int skipped = 0;
  int replaced = 0;
  std::size_t pos = 0;  // bytes of work processed from the scan's start side
  while (pos < size) {
    const std::size_t h = matchFrom(pattern, text, pos);
    if (h == 0) {
      const std::size_t n = charLength(text, pos);
      emit(original(pos, n));
      pos += n;
    } else if (skipped < skipCount) {
      emit(original(pos, h));
      pos += h;
      ++skipped;
    } else {
      emit(replacementText);
      pos += h;
      if (++replaced == replaceCount) {
        emit(original(pos, size - pos));
        break;
      }
    }
  }

  for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) out += *it;
  out += suffix;
  return out;
}

}  // namespace ritoma
