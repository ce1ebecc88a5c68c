#include "text/TextCodec.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <unordered_map>

#include "text/Cp932.h"

namespace ritoma {

namespace {

#include "text/Cp932Table.inc"

constexpr char16_t kTableNone = 0xFFFF;
constexpr char32_t kReplacement = 0xFFFD;

// The user-defined area: lead bytes 0xF0-0xF9, each with the 188 trail
// bytes 0x40-0x7E and 0x80-0xFC.
constexpr unsigned kSlotFirstLead = 0xF0;
constexpr unsigned kSlotLastLead = 0xF9;
constexpr unsigned kSlotsPerLead = 188;
constexpr unsigned kSlotCount = (kSlotLastLead - kSlotFirstLead + 1) * kSlotsPerLead;

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

// The process-wide slot table. A slot holds either a character (stored as
// code point + 1) or an invalid byte (stored as kByteFlag | byte); 0 means
// unused. Slots are only ever added, so readers need no lock.
class SlotTable {
public:
  static SlotTable& instance() {
    static SlotTable table;
    return table;
  }

  unsigned forChar(char32_t c) { return assign(static_cast<std::uint32_t>(c) + 1); }
  unsigned forByte(unsigned char b) { return assign(kByteFlag | b); }

  std::uint32_t at(unsigned index) const {
    return index < kSlotCount ? entries_[index].load(std::memory_order_acquire) : 0;
  }

  static constexpr std::uint32_t kByteFlag = 0x80000000u;

private:
  unsigned assign(std::uint32_t value) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = index_.find(value);
    if (it != index_.end()) return it->second;
    if (used_ == kSlotCount)
      throw std::runtime_error(
          "変換できない文字が多すぎます (利用者定義領域の 1880 文字をすべて使いました)");
    const unsigned slot = used_++;
    entries_[slot].store(value, std::memory_order_release);
    index_.emplace(value, slot);
    return slot;
  }

  std::mutex mutex_;
  std::unordered_map<std::uint32_t, unsigned> index_;
  std::array<std::atomic<std::uint32_t>, kSlotCount> entries_{};
  unsigned used_ = 0;
};

unsigned slotCode(unsigned index) {
  const unsigned lead = kSlotFirstLead + index / kSlotsPerLead;
  const unsigned t = index % kSlotsPerLead;
  return (lead << 8) | (t < 63 ? 0x40 + t : 0x80 + (t - 63));
}

// Index of the slot a two-byte code stands for, or kSlotCount.
unsigned slotIndex(const unsigned char* p, std::size_t len) {
  if (len != 2 || p[0] < kSlotFirstLead || p[0] > kSlotLastLead || !Cp932::isTrailByte(p[1])) return kSlotCount;
  const unsigned t = p[1] < 0x80 ? p[1] - 0x40u : p[1] - 0x80u + 63;
  return (p[0] - kSlotFirstLead) * kSlotsPerLead + t;
}

void appendChar(std::string& out, char32_t c) {
  if (isSurrogate(c) || c > 0x10FFFF) c = kReplacement;
  const unsigned code = isPrivateUse(c) ? 0xFFFF : tableEncode(c);
  appendCode(out, code != 0xFFFF ? code : slotCode(SlotTable::instance().forChar(c)));
}

// Walks `cp932` and hands each character on: a code point to `onChar`, the
// byte a slot of an invalid byte stands for to `onByte`, and a lone lead
// byte, an unassigned code or an unused slot to `onBad`.
template <typename CharSink, typename ByteSink, typename BadSink>
void walkCp932(std::string_view cp932, CharSink onChar, ByteSink onByte, BadSink onBad) {
  const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
  for (std::size_t i = 0; i < cp932.size();) {
    const std::size_t len = Cp932::charLength(cp932, i);
    if (len == 1 && p[i] < 0x80) {
      onChar(p[i]);
    } else if (const unsigned slot = slotIndex(p + i, len); slot < kSlotCount) {
      const std::uint32_t entry = SlotTable::instance().at(slot);
      if (entry == 0)
        onBad();
      else if (entry & SlotTable::kByteFlag)
        onByte(static_cast<unsigned char>(entry & 0xFF));
      else
        onChar(static_cast<char32_t>(entry - 1));
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
  std::string out;
  out.reserve(diskBytes.size());
  const auto* p = reinterpret_cast<const unsigned char*>(diskBytes.data());
  for (std::size_t i = 0; i < diskBytes.size();) {
    if (p[i] < 0x80) {
      out.push_back(static_cast<char>(p[i++]));
      continue;
    }
    char32_t c = 0;
    const std::size_t len = utf8SequenceLength(p + i, diskBytes.size() - i, c);
    if (len == 0) {
      appendCode(out, slotCode(SlotTable::instance().forByte(p[i])));
      ++i;
    } else {
      appendChar(out, c);
      i += len;
    }
  }
  return out;
}

std::string TextCodec::toDisk(std::string_view cp932, bool* ok) {
  std::string out;
  out.reserve(cp932.size() + cp932.size() / 2);
  bool good = true;
  walkCp932(
      cp932, [&](char32_t c) { appendUtf8(out, c); }, [&](unsigned char b) { out.push_back(static_cast<char>(b)); },
      [&] { good = false; });
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
  if (slotIndex(p, cp932Char.size()) < kSlotCount) return kNoChar;
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

bool TextCodec::isSlot(std::string_view cp932Char) {
  return slotIndex(reinterpret_cast<const unsigned char*>(cp932Char.data()), cp932Char.size()) < kSlotCount;
}

char32_t TextCodec::slotChar(std::string_view cp932Char) {
  const unsigned slot = slotIndex(reinterpret_cast<const unsigned char*>(cp932Char.data()), cp932Char.size());
  const std::uint32_t entry = SlotTable::instance().at(slot);
  if (entry == 0 || (entry & SlotTable::kByteFlag)) return kNoChar;
  return static_cast<char32_t>(entry - 1);
}

}  // namespace ritoma
