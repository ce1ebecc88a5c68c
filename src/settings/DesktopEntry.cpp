#include "settings/DesktopEntry.h"

namespace ritoma {

namespace {

// Characters that make the Exec program need quotes.
constexpr std::string_view Reserved = " \t\n\"'\\><~|&;$*?#()`";

bool validUtf8WithoutControls(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) return false;
    std::size_t extra = 0;
    char32_t code = 0;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      code = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= text.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto t = static_cast<unsigned char>(text[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      code = (code << 6) | (t & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF.
    if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace

std::string DesktopEntry::execProgram(std::string_view path) {
  std::string argument;
  for (char c : path) {
    if (c == '%') argument += '%';
    argument += c;
  }
  if (argument.find_first_of(Reserved) != std::string::npos) {
    std::string quoted = "\"";
    for (char c : argument) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
      quoted += c;
    }
    argument = quoted + '"';
  }
  std::string value;
  for (char c : argument) {
    if (c == '\\') value += '\\';
    value += c;
  }
  return value;
}

std::optional<std::string> DesktopEntry::text(std::string_view executable, Place place) {
  if (!validUtf8WithoutControls(executable)) return std::nullopt;
  std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Version=1.4\n"
      "Name=Ritoma\n"
      "Comment=ファイル名を一括して変更します\n"
      "Icon=ritoma\n"
      "Exec=" + execProgram(executable) + " %F\n"
      "Terminal=false\n"
      "Categories=Utility;FileTools;\n";
  if (place == Place::SendTo) text += "MimeType=inode/directory;application/zip;application/x-lha;application/x-lzh-compressed;\n";
  return text;
}

}  // namespace ritoma
