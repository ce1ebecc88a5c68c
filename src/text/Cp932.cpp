#include "text/Cp932.h"

namespace ritoma {

bool Cp932::isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool Cp932::isTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

bool Cp932::isHalfWidthKana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

// A lead byte counts as a character of its own when no trail byte follows
// it, so a "." or ":" after a broken lead byte is still found.
std::size_t Cp932::charLength(std::string_view s, std::size_t pos) {
  if (pos >= s.size()) return 0;
  const auto lead = static_cast<unsigned char>(s[pos]);
  if (isLeadByte(lead) && pos + 1 < s.size() && isTrailByte(static_cast<unsigned char>(s[pos + 1])))
    return lead >= kUserFirstLead && lead <= kPairLastFirstLead && isPairAt(s, pos) ? 4 : 2;
  return 1;
}

bool Cp932::isPairAt(std::string_view s, std::size_t pos) {
  if (pos + 4 > s.size()) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(s.data() + pos);
  return p[0] >= kUserFirstLead && p[0] <= kPairLastFirstLead && isTrailByte(p[1]) && p[2] >= kUserFirstLead &&
         p[2] <= kUserLastLead && isTrailByte(p[3]);
}

bool Cp932::isCharBoundary(std::string_view s, std::size_t pos) {
  if (pos > s.size()) return false;
  std::size_t i = 0;
  while (i < pos) i += charLength(s, i);
  return i == pos;
}

std::size_t Cp932::charCount(std::string_view s) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < s.size(); i += charLength(s, i)) ++count;
  return count;
}

std::size_t Cp932::asciiPrefix(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  return i;
}

bool Cp932::isWellFormed(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); i += charLength(s, i))
    if (isLeadByte(static_cast<unsigned char>(s[i])) && charLength(s, i) == 1) return false;
  return true;
}

std::size_t Cp932::find(std::string_view s, char c, std::size_t from) {
  for (std::size_t i = from; i < s.size(); i += charLength(s, i))
    if (s[i] == c && charLength(s, i) == 1) return i;
  return npos;
}

std::size_t Cp932::findLast(std::string_view s, char c) {
  std::size_t found = npos;
  for (std::size_t i = 0; i < s.size(); i += charLength(s, i))
    if (s[i] == c && charLength(s, i) == 1) found = i;
  return found;
}

std::size_t Cp932::findLastOf(std::string_view s, std::string_view set) {
  std::size_t found = npos;
  for (std::size_t i = 0; i < s.size(); i += charLength(s, i))
    if (charLength(s, i) == 1 && set.find(s[i]) != std::string_view::npos) found = i;
  return found;
}

std::size_t Cp932::findText(std::string_view s, std::string_view text, std::size_t from) {
  if (from > s.size()) return npos;
  if (text.empty()) return from;
  for (std::size_t i = from; i < s.size(); i += charLength(s, i)) {
    if (s.compare(i, text.size(), text) != 0) continue;
    // The match must also end on a character boundary of `s`: a text
    // ending in a lead byte must not take the first half of a pair.
    std::size_t end = i;
    while (end < i + text.size()) end += charLength(s, end);
    if (end == i + text.size()) return i;
  }
  return npos;
}

std::size_t Cp932::extensionPos(std::string_view name) { return findLast(name, '.'); }

std::size_t Cp932::listExtensionPos(std::string_view name) {
  std::size_t dot = npos;
  for (std::size_t i = 0; i < name.size(); i += charLength(name, i)) {
    if (charLength(name, i) != 1) continue;
    if (name[i] == '.')
      dot = i;
    else if (name[i] == '\\' || name[i] == ':')
      dot = npos;
  }
  return dot;
}

std::string Cp932::unifySeparators(std::string_view s) {
  std::string out(s);
  for (std::size_t i = find(out, '\\'); i != npos; i = find(out, '\\', i + 1)) out[i] = '/';
  return out;
}

}  // namespace ritoma
