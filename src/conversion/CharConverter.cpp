#include "conversion/CharConverter.h"

#include <array>
#include <cstdint>
#include <vector>

#include "text/CaseMap.h"
#include "text/Composition.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

// Full-width forms of the half-width katakana 0xA1-0xDF (U+FF61-U+FF9F).
constexpr char16_t kFullKana[63] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

bool composesVoiced(unsigned char base) { return (base >= 0xB6 && base <= 0xC4) || (base >= 0xCA && base <= 0xCE); }
bool composesSemiVoiced(unsigned char base) { return base >= 0xCA && base <= 0xCE; }

// Classes of a double-byte character for the half-width conversion.
enum HalfClass : std::uint8_t {
  HalfLetter = 1,
  HalfDigit = 2,
  HalfSymbol = 4,  // "その他" without the space
  HalfSpace = 8,   // the full-width space: "その他" checked only
  HalfKana = 16,   // katakana ァ-ヶ and the marks ゛゜
};

struct HalfEntry {
  std::uint8_t classes = 0;
  std::uint8_t length = 0;  // 0: no half-width form
  char bytes[2] = {0, 0};
};

struct Tables {
  std::array<std::string, 256> full;        // single byte → full-width character
  std::array<std::string, 256> voiced;      // half-width base + ﾞ → composed
  std::array<std::string, 256> semiVoiced;  // half-width base + ﾟ → composed
  std::vector<HalfEntry> half = std::vector<HalfEntry>(0x10000);
  std::vector<std::uint16_t> kanaPair = std::vector<std::uint16_t>(0x10000);  // hiragana ↔ katakana

  static std::string encode(char32_t cp) {
    std::string utf8;
    if (cp < 0x80) {
      utf8 += static_cast<char>(cp);
    } else if (cp < 0x800) {
      utf8 += static_cast<char>(0xC0 | (cp >> 6));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      utf8 += static_cast<char>(0xE0 | (cp >> 12));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return TextCodec::fromUtf8(utf8);
  }
  // A code-page-932 double-byte character outside the codec's slot area
  // F040-F9FC, or empty.
  static std::string encodeDouble(char32_t cp) {
    std::string s = encode(cp);
    const auto lead = static_cast<unsigned char>(s.empty() ? 0 : s[0]);
    if (s.size() != 2 || !Cp932::isLeadByte(lead) || (lead >= 0xF0 && lead <= 0xF9)) return {};
    return s;
  }
  static std::uint16_t code(std::string_view s) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(s[0]) << 8) | static_cast<unsigned char>(s[1]));
  }
  void addHalf(const std::string& fullChar, std::uint8_t classes, std::string_view halfText) {
    if (fullChar.empty()) return;
    HalfEntry& e = half[code(fullChar)];
    e.classes |= classes;
    if (e.length == 0 && !halfText.empty()) {
      e.length = static_cast<std::uint8_t>(halfText.size());
      for (std::size_t i = 0; i < halfText.size(); ++i) e.bytes[i] = halfText[i];
    }
  }

  Tables() {
    for (int b = 0x20; b <= 0x7E; ++b) {
      const std::string f = encodeDouble(b == 0x20 ? char32_t{0x3000} : char32_t(0xFF01 + (b - 0x21)));
      full[b] = f;
      const char ch = static_cast<char>(b);
      std::uint8_t cls = HalfSymbol;
      if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) cls = HalfLetter;
      else if (b >= '0' && b <= '9') cls = HalfDigit;
      else if (b == ' ') cls = HalfSpace;
      addHalf(f, cls, std::string_view(&ch, 1));
    }
    for (int b = 0xA1; b <= 0xDF; ++b) {
      const char32_t cp = kFullKana[b - 0xA1];
      const std::string f = encodeDouble(cp);
      full[b] = f;
      const char ch = static_cast<char>(b);
      // 。「」、・ー are symbols; the katakana and the two marks are kana.
      const bool kanaClass = (cp >= 0x30A1 && cp <= 0x30F6) || cp == 0x309B || cp == 0x309C;
      const bool symbolClass = !kanaClass || cp == 0x309B || cp == 0x309C;
      addHalf(f, static_cast<std::uint8_t>((kanaClass ? HalfKana : 0) | (symbolClass ? HalfSymbol : 0)),
              std::string_view(&ch, 1));
      if (composesVoiced(static_cast<unsigned char>(b))) {
        voiced[b] = encodeDouble(cp + 1);
        addHalf(voiced[b], HalfKana, std::string{ch, static_cast<char>(kVoicedMark)});
      }
      if (composesSemiVoiced(static_cast<unsigned char>(b))) {
        semiVoiced[b] = encodeDouble(cp + 2);
        addHalf(semiVoiced[b], HalfKana, std::string{ch, static_cast<char>(kSemiVoicedMark)});
      }
    }
    // ヴ decomposes, though ｳﾞ never composes back.
    addHalf(encodeDouble(0x30F4), HalfKana, "\xB3\xDE");
    // Katakana without a half-width form stay as they are.
    for (char32_t cp = 0x30A1; cp <= 0x30F6; ++cp) addHalf(encodeDouble(cp), HalfKana, {});
    for (char32_t cp = 0x3041; cp <= 0x3093; ++cp) {
      const std::string hira = encodeDouble(cp);
      const std::string kata = encodeDouble(cp + 0x60);
      if (hira.empty() || kata.empty()) continue;
      kanaPair[code(hira)] = code(kata);
      kanaPair[code(kata)] = code(hira);
    }
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

bool isHiragana(std::uint16_t code) { return code >= 0x829F && code <= 0x82F1; }
bool isKatakana(std::uint16_t code) { return code >= 0x8340 && code <= 0x8396 && code != 0x837F; }

void appendCode(std::string& out, std::uint16_t code) {
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

constexpr const char* kCaptions[CharConverter::PositionCount] = {
    "[大文字/小文字]", "大文字 ⇒ 小文字", "小文字 ⇒ 大文字", "大文字 ⇔ 小文字",
    "[語頭 ⇒ 大文字]", "語頭以外は小文字", "語頭のみ変換",
    "[半角/全角]", "半角 ⇒ 全角", "全角 ⇒ 半角", "全角 ⇔ 半角",
    "[ひらがな/カタカナ]", "ひらがな ⇒ カタカナ", "カタカナ ⇒ ひらがな", "ひらがな ⇔ カタカナ",
    "[濁点/結合文字]", "分離 ⇒ 合成 (NFC)"};

}  // namespace

std::string CharConverter::DefaultDelimiters() { return "!#$%&'()=-~^@{}[]+;,\xA5_"; }

const char* CharConverter::NodeCaption(int position) {
  return position >= 0 && position < PositionCount ? kCaptions[position] : "";
}

bool CharConverter::IsHeading(int position) {
  return position == 0 || position == 4 || position == 7 || position == 11 || position == 15;
}

char CharConverter::ConvertCase(char c, int mode) {
  if ((mode & 1) && c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  if ((mode & 2) && c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  return c;
}

void CharConverter::ConvertWord(std::string_view& body, int mode, std::string& out) const {
  std::size_t end = 0;
  while (end < body.size()) {
    const std::size_t n = Cp932::charLength(body, end);
    const char c = body[end];
    end += n;
    if (n == 1 && (delimiters.find(c) != std::string::npos || c == ' ' || c == '.')) break;
  }
  std::string word = mode == 0 ? CaseMap::toLower(body.substr(0, end)) : std::string(body.substr(0, end));
  body.remove_prefix(end);
  if (!word.empty() && Cp932::charLength(word, 0) == 1) word[0] = ConvertCase(word[0], 2);
  out += word;
}

std::size_t CharConverter::ToFullWidth(std::string_view body, std::size_t pos, std::string& out) const {
  const auto b = static_cast<unsigned char>(body[pos]);
  const Tables& t = tables();
  bool convert = false;
  if (letters && ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))) {
    convert = true;
  } else if (digits && b >= '0' && b <= '9') {
    convert = true;
  } else if (kana != ClassState::Unchecked && Cp932::isHalfWidthKana(b)) {
    if (kana == ClassState::Checked && pos + 1 < body.size()) {
      const auto next = static_cast<unsigned char>(body[pos + 1]);
      const std::string* composed = next == kVoicedMark && composesVoiced(b)         ? &t.voiced[b]
                                    : next == kSemiVoicedMark && composesSemiVoiced(b) ? &t.semiVoiced[b]
                                                                                       : nullptr;
      if (composed && !composed->empty()) {
        out += *composed;
        return 2;
      }
    }
    convert = true;
  } else if (other != ClassState::Unchecked && b >= 0x20 && b <= 0x7E && !(b >= 'A' && b <= 'Z') &&
             !(b >= 'a' && b <= 'z') && !(b >= '0' && b <= '9')) {
    convert = b != ' ' || other == ClassState::Checked;
  }
  if (convert && !t.full[b].empty())
    out += t.full[b];
  else
    out += static_cast<char>(b);
  return 1;
}

void CharConverter::ToHalfWidth(std::string_view ch, std::string& out) const {
  const HalfEntry& e = tables().half[Tables::code(ch)];
  const bool convert = (letters && (e.classes & HalfLetter)) || (digits && (e.classes & HalfDigit)) ||
                       (other != ClassState::Unchecked && (e.classes & HalfSymbol)) ||
                       (other == ClassState::Checked && (e.classes & HalfSpace)) ||
                       (kana != ClassState::Unchecked && (e.classes & HalfKana));
  if (convert && e.length > 0)
    out.append(e.bytes, e.length);
  else
    out += ch;
}

void CharConverter::ConvertKana(std::string_view ch, int mode, std::string& out) {
  const auto code = static_cast<std::uint16_t>((static_cast<unsigned char>(ch[0]) << 8) | static_cast<unsigned char>(ch[1]));
  const std::uint16_t pair = tables().kanaPair[code];
  if (pair != 0 && (((mode & 1) && isHiragana(code)) || ((mode & 2) && isKatakana(code))))
    appendCode(out, pair);
  else
    out += ch;
}

std::string CharConverter::ConvertChars(std::string_view name) const {
  if (position < 0 || position >= PositionCount || IsHeading(position)) return std::string(name);
  if (position == ComposePosition) return Composition::compose(name);
  // Only the case and word operations offer another target.
  const NamePart part = TargetChoiceEnabled(position) ? target : NamePart::Name;
  std::string_view prefix;
  std::string_view body = name;
  std::string_view suffix;
  const std::size_t dot = Cp932::extensionPos(name);
  if (part == NamePart::Name && dot != Cp932::npos) {
    body = name.substr(0, dot);
    suffix = name.substr(dot);
  } else if (part == NamePart::Extension) {
    prefix = dot == Cp932::npos ? name : name.substr(0, dot);
    body = dot == Cp932::npos ? std::string_view() : name.substr(dot);
  }

  std::string out(prefix);
  out.reserve(name.size() * 2);
  if (position == 5 || position == 6) {
    while (!body.empty()) ConvertWord(body, position - 5, out);
  } else {
    for (std::size_t i = 0; i < body.size();) {
      const std::size_t n = Cp932::charLength(body, i);
      const std::string_view ch = body.substr(i, n);
      if (n == 1) {
        if (position <= 3) {
          out += ConvertCase(ch[0], position);
        } else if (position == 8 || position == 10) {
          i += ToFullWidth(body, i, out);
          continue;
        } else {
          out += ch;
        }
      } else if (position == 9 || position == 10) {
        ToHalfWidth(ch, out);
      } else if (position >= 12) {
        ConvertKana(ch, position - 11, out);
      } else {
        out += ch;
      }
      i += n;
    }
  }
  out += suffix;
  return out;
}

}  // namespace ritoma
