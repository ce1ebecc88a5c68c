#include "text/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "text/Cp932.h"

namespace ritoma {

namespace {

#include "text/Cp932Table.inc"

constexpr char16_t kTableNone = 0xFFFF;
constexpr char32_t kReplacement = 0xFFFD;

// The user-defined area: lead bytes 0xF0-0xF9, each with the 188 trail
// bytes 0x40-0x7E and 0x80-0xFC.
constexpr unsigned kCodesPerLead = 188;
constexpr unsigned kUserCodeCount = (Cp932::kUserLastLead - Cp932::kUserFirstLead + 1) * kCodesPerLead;
// Values of the pairs of invalid bytes: kByteBase + the byte (0x80-0xFF).
constexpr std::uint32_t kByteBase = 0x110000;
constexpr std::uint32_t kNoValue = 0xFFFFFFFF;

int doubleByteRow(unsigned lead) { return lead <= 0x9F ? static_cast<int>(lead - 0x81) : static_cast<int>(lead - 0xE0 + 31); }

bool isPrivateUse(char32_t c) { return (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000; }

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Code point of a one- or two-byte code by the fixed table, or kNoChar.
char32_t tableDecode(const unsigned char* p, std::size_t len) {
  char16_t cp = kTableNone;
  if (len == 1) {
    cp = kSingleByteTable[p[0]];
  } else if (len == 2 && Cp932::isLeadByte(p[0]) && Cp932::isTrailByte(p[1])) {
    cp = kDoubleByteTable[doubleByteRow(p[0])][p[1] - 0x40];
  }
  return cp == kTableNone ? TextCodec::kNoChar : static_cast<char32_t>(cp);
}

// Code of a round-tripping BMP character, or 0xFFFF: a flat table built
// once from the sorted pairs.
struct EncodeTable {
  EncodeTable() {
    std::fill(std::begin(codes), std::end(codes), 0xFFFF);
    for (const auto& pair : kEncodeTable) codes[pair.codePoint] = pair.code;
  }
  std::uint16_t codes[0x10000];
};

unsigned tableEncode(char32_t c) {
  static const EncodeTable table;
  return c > 0xFFFF ? 0xFFFFu : table.codes[c];
}

void appendCode(std::string& out, unsigned code) {
  if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void appendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 | (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
  }
}

// Length of the well-formed UTF-8 sequence at `p`, or 0 when the byte at `p`
// does not start one (stray continuation byte, 0xC0/0xC1/0xF5-0xFF,
// overlong form, encoded surrogate, beyond U+10FFFF, truncated).
std::size_t utf8SequenceLength(const unsigned char* p, std::size_t avail, char32_t& cp) {
  const unsigned char b = p[0];
  if (b < 0x80) {
    cp = b;
    return 1;
  }
  std::size_t len;
  unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
    cp = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
    cp = b & 0x07;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (avail < len) return 0;
  if (p[1] < lo || p[1] > hi) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  return len;
}

// The number (0-1879) of a code of the user-defined area.
unsigned userCodeIndex(const unsigned char* p) {
  const unsigned t = p[1] < 0x80 ? p[1] - 0x40u : p[1] - 0x80u + 63;
  return (p[0] - Cp932::kUserFirstLead) * kCodesPerLead + t;
}

unsigned userCode(unsigned index) {
  const unsigned lead = Cp932::kUserFirstLead + index / kCodesPerLead;
  const unsigned t = index % kCodesPerLead;
  return (lead << 8) | (t < 63 ? 0x40 + t : 0x80 + (t - 63));
}

void appendPair(std::string& out, std::uint32_t value) {
  appendCode(out, userCode(value / kUserCodeCount));
  appendCode(out, userCode(value % kUserCodeCount));
}

// True when `c` is written as a stand-in pair.
bool needsPair(char32_t c) { return isPrivateUse(c) || tableEncode(c) == 0xFFFF; }

// The value of the stand-in pair at `p` (4 bytes, Cp932::isPairAt): a code
// point that needs a pair, kByteBase + an invalid byte, or kNoValue for a
// pair the codec never writes.
std::uint32_t pairValue(const unsigned char* p) {
  const std::uint32_t v = userCodeIndex(p) * kUserCodeCount + userCodeIndex(p + 2);
  if (v < kByteBase) return !isSurrogate(v) && needsPair(v) ? v : kNoValue;
  return v >= kByteBase + 0x80 && v <= kByteBase + 0xFF ? v : kNoValue;
}

// The value of `cp932Char` when it is one whole stand-in pair, else kNoValue.
std::uint32_t standInValue(std::string_view cp932Char) {
  if (cp932Char.size() != 4 || !Cp932::isPairAt(cp932Char, 0)) return kNoValue;
  return pairValue(reinterpret_cast<const unsigned char*>(cp932Char.data()));
}

bool isUserCode(const unsigned char* p, std::size_t len) {
  return len == 2 && p[0] >= Cp932::kUserFirstLead && p[0] <= Cp932::kUserLastLead;
}

void appendChar(std::string& out, char32_t c) {
  if (isSurrogate(c) || c > 0x10FFFF) c = kReplacement;
  const unsigned code = isPrivateUse(c) ? 0xFFFF : tableEncode(c);
  if (code != 0xFFFF)
    appendCode(out, code);
  else
    appendPair(out, c);
}

// Walks `cp932` and hands each character on: a code point to `onChar`, the
// byte a pair of an invalid byte stands for to `onByte`, and a lone lead
// byte, an unassigned code, a user-defined code outside a pair or a pair the
// codec never writes to `onBad`.
template <typename CharSink, typename ByteSink, typename BadSink>
void walkCp932(std::string_view cp932, CharSink onChar, ByteSink onByte, BadSink onBad) {
  const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
  for (std::size_t i = 0; i < cp932.size();) {
    const std::size_t len = Cp932::charLength(cp932, i);
    if (len == 1 && p[i] < 0x80) {
      onChar(p[i]);
    } else if (len == 4) {
      const std::uint32_t v = pairValue(p + i);
      if (v == kNoValue)
        onBad();
      else if (v >= kByteBase)
        onByte(static_cast<unsigned char>(v - kByteBase));
      else
        onChar(static_cast<char32_t>(v));
    } else if (isUserCode(p + i, len)) {
      onBad();
    } else if (const char32_t c = tableDecode(p + i, len); c != TextCodec::kNoChar) {
      onChar(c);
    } else {
      onBad();
    }
    i += len;
  }
}

}  // namespace

std::string TextCodec::toInternal(std::string_view diskBytes) {
  const std::size_t plain = Cp932::asciiPrefix(diskBytes);
  if (plain == diskBytes.size()) return std::string(diskBytes);
  std::string out;
  out.reserve(diskBytes.size());
  out.append(diskBytes.substr(0, plain));
  const auto* p = reinterpret_cast<const unsigned char*>(diskBytes.data());
  for (std::size_t i = plain; i < diskBytes.size();) {
    if (p[i] < 0x80) {
      out.push_back(static_cast<char>(p[i++]));
      continue;
    }
    char32_t c = 0;
    const std::size_t len = utf8SequenceLength(p + i, diskBytes.size() - i, c);
    if (len == 0) {
      appendPair(out, kByteBase + p[i]);
      ++i;
    } else {
      appendChar(out, c);
      i += len;
    }
  }
  return out;
}

std::string TextCodec::toDisk(std::string_view cp932, bool* ok) {
  const std::size_t plain = Cp932::asciiPrefix(cp932);
  if (ok) *ok = true;
  if (plain == cp932.size()) return std::string(cp932);
  std::string out;
  out.reserve(cp932.size() + cp932.size() / 2);
  out.append(cp932.substr(0, plain));
  bool good = true;
  walkCp932(
      cp932.substr(plain), [&](char32_t c) { appendUtf8(out, c); }, [&](unsigned char b) { out.push_back(static_cast<char>(b)); },
      [&] { good = false; });
  if (!good) out.clear();
  if (ok) *ok = good;
  return out;
}

std::string TextCodec::toCodePage(std::string_view cp932, bool* ok) {
  std::string out;
  out.reserve(cp932.size());
  bool good = true;
  for (std::size_t i = 0; i < cp932.size();) {
    const std::size_t len = Cp932::charLength(cp932, i);
    const std::uint32_t v =
        len == 4 ? pairValue(reinterpret_cast<const unsigned char*>(cp932.data() + i)) : kNoValue;
    if (v == kNoValue) {
      out.append(cp932.substr(i, len));
    } else if (const auto* oneWay = std::lower_bound(
                   std::begin(kOneWayTable), std::end(kOneWayTable), v,
                   [](const Cp932EncodePair& pair, std::uint32_t c) { return pair.codePoint < c; });
               oneWay != std::end(kOneWayTable) && oneWay->codePoint == v) {
      appendCode(out, oneWay->code);
    } else {
      good = false;
    }
    i += len;
  }
  if (!good) out.clear();
  if (ok) *ok = good;
  return out;
}

std::u16string TextCodec::toDisplay(std::string_view cp932) {
  std::u16string out;
  out.reserve(cp932.size());
  walkCp932(
      cp932, [&](char32_t c) { appendUtf16(out, c); }, [&](unsigned char) { out.push_back(kReplacement); },
      [&] { out.push_back(kReplacement); });
  return out;
}

std::string TextCodec::toDisplayUtf8(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() + cp932.size() / 2);
  walkCp932(
      cp932, [&](char32_t c) { appendUtf8(out, c); }, [&](unsigned char) { appendUtf8(out, kReplacement); },
      [&] { appendUtf8(out, kReplacement); });
  return out;
}

std::string TextCodec::fromDisplay(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    appendChar(out, c);
  }
  return out;
}

char32_t TextCodec::decodeChar(std::string_view cp932Char) {
  if (cp932Char.empty() || Cp932::charLength(cp932Char, 0) != cp932Char.size()) return kNoChar;
  const auto* p = reinterpret_cast<const unsigned char*>(cp932Char.data());
  if (isUserCode(p, cp932Char.size())) return kNoChar;
  return tableDecode(p, cp932Char.size());
}

std::string TextCodec::encodeChar(char32_t c) {
  std::string out;
  if (isPrivateUse(c)) return out;
  const unsigned code = tableEncode(c);
  if (code != 0xFFFF) appendCode(out, code);
  return out;
}

std::string TextCodec::fromCodePoint(char32_t c) {
  std::string out;
  appendChar(out, c);
  return out;
}

bool TextCodec::isStandIn(std::string_view cp932Char) { return standInValue(cp932Char) != kNoValue; }

char32_t TextCodec::standInChar(std::string_view cp932Char) {
  const std::uint32_t v = standInValue(cp932Char);
  return v < kByteBase ? static_cast<char32_t>(v) : kNoChar;
}

}  // namespace ritoma
