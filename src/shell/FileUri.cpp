#include "shell/FileUri.h"

namespace ritoma {

namespace {

bool isAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  const char l = lower(c);
  if (l >= 'a' && l <= 'f') return l - 'a' + 10;
  return -1;
}

// "file:" in any letter case.
bool hasFileScheme(std::string_view text) { return text.size() >= 5 && equalsIgnoringCase(text.substr(0, 5), "file:"); }

}  // namespace

bool FileUri::isUri(std::string_view text) {
  if (hasFileScheme(text) && text.substr(5).starts_with('/')) return true;
  if (text.empty() || !isAlpha(text.front())) return false;
  std::size_t i = 1;
  while (i < text.size() && (isAlpha(text[i]) || isDigit(text[i]) || text[i] == '+' || text[i] == '-' || text[i] == '.'))
    ++i;
  return text.substr(i).starts_with("://");
}

std::optional<std::string> FileUri::toPath(std::string_view uri) {
  if (!hasFileScheme(uri)) return std::nullopt;
  std::string_view rest = uri.substr(5);
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && !equalsIgnoringCase(host, "localhost")) return std::nullopt;
    rest.remove_prefix(slash);
  }
  if (!rest.starts_with('/') || rest.find_first_of("?#") != std::string_view::npos) return std::nullopt;
  std::string path;
  path.reserve(rest.size());
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size() && hexValue(rest[i + 1]) >= 0 && hexValue(rest[i + 2]) >= 0) {
      const char byte = static_cast<char>(hexValue(rest[i + 1]) * 16 + hexValue(rest[i + 2]));
      if (byte == '\0') return std::nullopt;
      path += byte;
      i += 2;
    } else {
      path += rest[i];
    }
  }
  return path;
}

std::vector<std::string> FileUri::listPaths(std::string_view uriList) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start < uriList.size()) {
    std::size_t end = uriList.find('\n', start);
    if (end == std::string_view::npos) end = uriList.size();
    std::string_view line = uriList.substr(start, end - start);
    start = end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    if (auto path = toPath(line)) paths.push_back(std::move(*path));
  }
  return paths;
}

}  // namespace ritoma
