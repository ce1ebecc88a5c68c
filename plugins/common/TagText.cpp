#include "TagText.h"

#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma::metadata {

namespace {

// Length of the valid UTF-8 sequence at `pos` with its code point, or 0.
std::size_t utf8At(std::string_view s, std::size_t pos, char32_t& cp) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t length = 0;
  char32_t least = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2, cp = b0 & 0x1F, least = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3, cp = b0 & 0x0F, least = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4, cp = b0 & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (pos + length > s.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(pos + i) & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

bool isCodePage932(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const std::size_t length = Cp932::charLength(s, pos);
    if (length > 2 || TextCodec::decodeChar(s.substr(pos, length)) == TextCodec::kNoChar) return false;
    pos += length;
  }
  return true;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; }

}  // namespace

bool TagText::isUtf8(std::string_view text) {
  char32_t cp = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = utf8At(text, pos, cp);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::string TagText::fromBytes(std::string_view bytes) {
  if (isUtf8(bytes)) return std::string(bytes);
  if (isCodePage932(bytes)) return TextCodec::toDisk(bytes);
  std::string out;
  for (unsigned char c : bytes) appendUtf8(out, c);
  return out;
}

std::string TagText::trim(std::string_view utf8) {
  while (!utf8.empty() && isBlank(utf8.front())) utf8.remove_prefix(1);
  while (!utf8.empty() && isBlank(utf8.back())) utf8.remove_suffix(1);
  return std::string(utf8);
}

std::string TagText::toName(std::string_view text) {
  const std::string utf8 = fromBytes(text);
  std::string clean;
  clean.reserve(utf8.size());
  char32_t cp = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t length = utf8At(utf8, pos, cp);
    const bool unfit = cp == '/' || cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
    if (unfit) {
      clean += '_';
    } else {
      clean.append(utf8, pos, length);
    }
    pos += length;
  }
  return TextCodec::toInternal(clean);
}

}  // namespace ritoma::metadata
