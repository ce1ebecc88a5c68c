#include "text/CaseMap.h"

#include <unicode/uchar.h>

#include <cstdint>

#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

enum class Mapping { Upper, Lower };

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

char32_t mapChar(char32_t c, Mapping mapping) {
  const UChar32 u = static_cast<UChar32>(c);
  return static_cast<char32_t>(mapping == Mapping::Upper ? u_toupper(u) : u_tolower(u));
}

std::string mapText(std::string_view cp932, Mapping mapping) {
  std::string out;
  out.reserve(cp932.size());
  for (std::size_t i = 0; i < cp932.size();) {
    const std::size_t len = Cp932::charLength(cp932, i);
    const std::string_view ch = cp932.substr(i, len);
    i += len;
    if (len == 1 && static_cast<unsigned char>(ch[0]) < 0x80) {
      const char a = ch[0];
      if (mapping == Mapping::Upper)
        out.push_back(a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a);
      else
        out.push_back(asciiLower(a));
      continue;
    }
    const char32_t c = TextCodec::decodeChar(ch);
    if (c == TextCodec::kNoChar) {
      out.append(ch);
      continue;
    }
    const char32_t mapped = mapChar(c, mapping);
    const std::string encoded = mapped == c ? std::string() : TextCodec::encodeChar(mapped);
    out.append(encoded.empty() ? ch : std::string_view(encoded));
  }
  return out;
}

// One unit of the fold key: a folded code point (below 0x110000), or a code
// that stands for no character, tagged with its length so that units order
// exactly as their encodings in the key do.
std::uint64_t foldUnit(std::string_view ch) {
  char32_t c = TextCodec::decodeChar(ch);
  if (c == TextCodec::kNoChar) c = TextCodec::standInChar(ch);
  if (c != TextCodec::kNoChar) return static_cast<std::uint64_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
  std::uint64_t raw = 0;
  for (const char b : ch) raw = (raw << 8) | static_cast<unsigned char>(b);
  return (static_cast<std::uint64_t>(ch.size()) << 32) | raw;
}

// Key encoding of a unit: UTF-8 for characters; 0xFE + byte, 0xFF + two
// bytes (the first a lead byte) or 0xFF 0xFF + four bytes (a stand-in pair
// of an invalid byte) for the rest (neither 0xFE nor 0xFF occurs in UTF-8,
// and both sort after it).
void appendUnit(std::string& key, std::uint64_t unit) {
  const std::uint32_t low = static_cast<std::uint32_t>(unit);
  switch (unit >> 32) {
    case 1:
      key.push_back('\xFE');
      key.push_back(static_cast<char>(low));
      return;
    case 2:
      key.push_back('\xFF');
      key.push_back(static_cast<char>(low >> 8));
      key.push_back(static_cast<char>(low));
      return;
    case 4:
      key.append("\xFF\xFF");
      for (int shift = 24; shift >= 0; shift -= 8) key.push_back(static_cast<char>(low >> shift));
      return;
    default:
      break;
  }
  if (low < 0x80) {
    key.push_back(static_cast<char>(low));
  } else if (low < 0x800) {
    key.push_back(static_cast<char>(0xC0 | (low >> 6)));
    key.push_back(static_cast<char>(0x80 | (low & 0x3F)));
  } else if (low < 0x10000) {
    key.push_back(static_cast<char>(0xE0 | (low >> 12)));
    key.push_back(static_cast<char>(0x80 | ((low >> 6) & 0x3F)));
    key.push_back(static_cast<char>(0x80 | (low & 0x3F)));
  } else {
    key.push_back(static_cast<char>(0xF0 | (low >> 18)));
    key.push_back(static_cast<char>(0x80 | ((low >> 12) & 0x3F)));
    key.push_back(static_cast<char>(0x80 | ((low >> 6) & 0x3F)));
    key.push_back(static_cast<char>(0x80 | (low & 0x3F)));
  }
}

}  // namespace

std::string CaseMap::toUpper(std::string_view cp932) { return mapText(cp932, Mapping::Upper); }

std::string CaseMap::toLower(std::string_view cp932) { return mapText(cp932, Mapping::Lower); }

bool CaseMap::isUpper(std::string_view cp932Char) {
  const char32_t c = TextCodec::decodeChar(cp932Char);
  return c != TextCodec::kNoChar && u_isUUppercase(static_cast<UChar32>(c));
}

bool CaseMap::isLower(std::string_view cp932Char) {
  const char32_t c = TextCodec::decodeChar(cp932Char);
  return c != TextCodec::kNoChar && u_isULowercase(static_cast<UChar32>(c));
}

std::string CaseMap::foldKey(std::string_view cp932) {
  // A leading ASCII run (all of most names) holds only one-byte characters.
  const std::size_t ascii = Cp932::asciiPrefix(cp932);
  std::string key(cp932.substr(0, ascii));
  for (char& c : key) c = asciiLower(c);
  if (ascii == cp932.size()) return key;
  key.reserve(cp932.size());
  for (std::size_t i = ascii; i < cp932.size();) {
    const std::size_t len = Cp932::charLength(cp932, i);
    if (len == 1 && static_cast<unsigned char>(cp932[i]) < 0x80)
      key.push_back(asciiLower(cp932[i]));
    else
      appendUnit(key, foldUnit(cp932.substr(i, len)));
    i += len;
  }
  return key;
}

int CaseMap::compareIgnoreCase(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::size_t la = Cp932::charLength(a, i);
    const std::size_t lb = Cp932::charLength(b, j);
    const std::uint64_t ua = la == 1 && static_cast<unsigned char>(a[i]) < 0x80
                                 ? static_cast<unsigned char>(asciiLower(a[i]))
                                 : foldUnit(a.substr(i, la));
    const std::uint64_t ub = lb == 1 && static_cast<unsigned char>(b[j]) < 0x80
                                 ? static_cast<unsigned char>(asciiLower(b[j]))
                                 : foldUnit(b.substr(j, lb));
    if (ua != ub) return ua < ub ? -1 : 1;
    i += la;
    j += lb;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool CaseMap::equalIgnoreCase(std::string_view a, std::string_view b) { return compareIgnoreCase(a, b) == 0; }

}  // namespace ritoma
