#include "settings/DummyTextEscape.h"

namespace ritoma {

namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

}  // namespace

std::string DummyTextEscape::encode(std::string_view text) {
  // Leading and trailing blanks are counted on the text after the line
  // breaks and TABs became escapes: only what is left of them is blank.
  std::string body;
  body.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\') {
      body += "\\\\";
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      body += "\\n";
      ++i;
    } else if (c == '\n') {
      body += "\\n";
    } else if (c == '\t') {
      body += "\\t";
    } else {
      body += c;
    }
  }
  std::size_t lead = 0;
  while (lead < body.size() && isBlank(body[lead])) ++lead;
  std::size_t trail = 0;
  while (trail < body.size() - lead && isBlank(body[body.size() - 1 - trail])) ++trail;

  std::string out;
  out.reserve(body.size() + 2 * (lead + trail) + 4);
  for (std::size_t i = 0; i < lead; ++i) out += "\\s";
  std::string middle = body.substr(lead, body.size() - lead - trail);
  auto quoteEscape = [](char c) -> const char* {
    return c == '"' ? "\\Q" : c == '\'' ? "\\q" : nullptr;
  };
  if (!middle.empty() && lead == 0) {
    if (const char* e = quoteEscape(middle.front())) middle.replace(0, 1, e);
  }
  if (!middle.empty() && trail == 0) {
    if (const char* e = quoteEscape(middle.back())) middle.replace(middle.size() - 1, 1, e);
  }
  out += middle;
  for (std::size_t i = 0; i < trail; ++i) out += "\\s";
  return out;
}

std::string DummyTextEscape::decode(std::string_view stored) {
  std::string out;
  out.reserve(stored.size());
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const char c = stored[i];
    if (c != '\\' || i + 1 == stored.size()) {
      out += c;
      continue;
    }
    switch (stored[i + 1]) {
      case '\\': out += '\\'; break;
      case 'n': out += "\r\n"; break;
      case 't': out += '\t'; break;
      case 's': out += ' '; break;
      case 'Q': out += '"'; break;
      case 'q': out += '\''; break;
      default: out += c; continue;
    }
    ++i;
  }
  return out;
}

}  // namespace ritoma
