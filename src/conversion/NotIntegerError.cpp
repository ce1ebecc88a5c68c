#include "conversion/NotIntegerError.h"

#include "text/TextCodec.h"

namespace ritoma {

namespace {

// The field as displayed: bytes that are no character show as U+FFFD
// instead of emptying the whole text.
std::string displayUtf8(const std::string& cp932) {
  const std::u16string wide = TextCodec::toDisplay(cp932);
  std::string out;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
    else if (c >= 0xD800 && c <= 0xDFFF)
      c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string message(const std::string& field) {
  std::string text = "'";
  text += displayUtf8(field);
  text += "' は整数ではありません";
  return text;
}

}  // namespace

NotIntegerError::NotIntegerError(const std::string& field) : std::runtime_error(message(field)), field_(field) {}

}  // namespace ritoma
