#include "settings/IniFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>

#include "text/CaseMap.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

// At most this many bytes of a value are read.
constexpr std::size_t kMaxValueBytes = 2047;
const std::string kBom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view unquote(std::string_view s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

std::string fold(std::string_view cp932) { return CaseMap::foldKey(cp932); }

std::string toDiskText(std::string_view cp932) {
  bool ok = true;
  std::string disk = TextCodec::toDisk(cp932, &ok);
  if (!ok) throw std::invalid_argument("settings text is not valid code page 932");
  return disk;
}

// A value as it goes to disk: reading strips blanks and one pair of
// quotes, so a value that would lose either is put in quotes; a line
// break would end the line, so it becomes a blank.
std::string diskValue(std::string_view cp932) {
  std::string value = toDiskText(cp932);
  for (char& c : value)
    if (c == '\n') c = ' ';
  if (!value.empty() && (isBlank(value.front()) || isBlank(value.back()) ||
                         (value.size() >= 2 && value.front() == '"' && value.back() == '"')))
    value = '"' + value + '"';
  return value;
}

// Integer of a value: decimal, or hexadecimal after "0x"/"0X", with an
// optional sign; the whole value must be the number.
std::optional<int> parseInteger(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  std::int64_t value = 0;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    if (s.size() > 8) return std::nullopt;
    std::uint32_t bits = 0;
    for (char c : s) {
      unsigned digit;
      if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
      else return std::nullopt;
      bits = bits << 4 | digit;
    }
    // Eight hex digits are the 32 bits of an int ("0xFFFFFFFF" is -1).
    const int result = static_cast<int>(bits);
    return negative ? static_cast<int>(0u - bits) : result;
  }
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
    return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error(path + " に書き込めません"), path_(path) {}

IniFile::IniFile(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) { load(); }

void IniFile::load() {
  bom_.clear();
  lines_.clear();
  lineEnd_.assign(1, '\n');
  std::string content;
  FileInfo info;
  tooLarge_ = !fs_.stat(path_, info) && !info.isFolder && info.size > MaxSize;
  // A missing or unreadable file reads as empty: every value is its default.
  if (tooLarge_ || fs_.readWholeFile(path_, content)) return;
  std::string_view rest = content;
  if (rest.starts_with(kBom)) {
    bom_ = kBom;
    rest.remove_prefix(kBom.size());
  }
  bool endSeen = false;
  while (!rest.empty()) {
    const std::size_t newline = rest.find('\n');
    std::string_view text = rest.substr(0, newline);
    std::string_view end;
    if (newline == std::string_view::npos) {
      rest = {};
    } else {
      rest.remove_prefix(newline + 1);
      end = "\n";
      if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
        end = "\r\n";
      }
      if (!endSeen) lineEnd_ = std::string(end);
      endSeen = true;
    }
    lines_.push_back(parseLine(std::string(text), std::string(end)));
  }
}

IniFile::Line IniFile::parseLine(std::string text, std::string end) {
  Line line;
  line.text = std::move(text);
  line.end = std::move(end);
  const std::string_view body = trim(line.text);
  if (body.starts_with('[')) {
    const std::size_t close = body.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      line.kind = Line::Kind::Section;
      line.name = fold(TextCodec::toInternal(trim(body.substr(1, close - 1))));
    }
    return line;
  }
  if (body.starts_with(';')) return line;
  const std::size_t equals = line.text.find('=');
  if (equals == std::string::npos) return line;
  const std::string_view key = trim(std::string_view(line.text).substr(0, equals));
  if (key.empty()) return line;
  line.kind = Line::Kind::Key;
  line.name = fold(TextCodec::toInternal(key));
  line.valueAt = equals + 1;
  while (line.valueAt < line.text.size() && isBlank(line.text[line.valueAt])) ++line.valueAt;
  return line;
}

std::size_t IniFile::findSection(const std::string& folded) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Line::Kind::Section && lines_[i].name == folded) return i;
  return lines_.size();
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Line::Kind::Section) ++i;
  return i;
}

std::size_t IniFile::findKey(std::string_view section, std::string_view key) const {
  const std::size_t header = findSection(fold(section));
  if (header == lines_.size()) return lines_.size();
  const std::string folded = fold(key);
  const std::size_t end = sectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == Line::Kind::Key && lines_[i].name == folded) return i;
  return lines_.size();
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  const std::size_t at = findKey(section, key);
  if (at == lines_.size()) return std::string(defaultValue);
  const Line& line = lines_[at];
  std::string value = TextCodec::toInternal(unquote(trim(std::string_view(line.text).substr(line.valueAt))));
  if (value.size() > kMaxValueBytes) {
    // Cut at a character boundary, so no lead byte is left alone.
    std::size_t cut = 0;
    while (cut < value.size()) {
      const std::size_t next = cut + Cp932::charLength(value, cut);
      if (next > kMaxValueBytes) break;
      cut = next;
    }
    value.resize(cut);
  }
  return value;
}

int IniFile::readInteger(std::string_view section, std::string_view key, int defaultValue) const {
  if (findKey(section, key) == lines_.size()) return defaultValue;
  return parseInteger(readString(section, key)).value_or(defaultValue);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::sectionExists(std::string_view section) const {
  return findSection(fold(section)) != lines_.size();
}

bool IniFile::valueExists(std::string_view section, std::string_view key) const {
  return findKey(section, key) != lines_.size();
}

int IniFile::readListCount(std::string_view section, std::string_view key) const {
  const int count = readInteger(section, key, 0);
  if (count <= 0) return 0;
  const std::size_t header = findSection(fold(section));
  const std::size_t end = sectionEnd(header);
  // A count within the keys the section holds stands (trailing entries may be empty);
  // a larger one is read as one more than the highest index that ends a key's name
  // ("A-2", "C-007").
  long long keys = 0;
  long long present = 0;
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind != Line::Kind::Key) continue;
    ++keys;
    const std::string& name = lines_[i].name;
    std::size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) --digits;
    if (digits == name.size()) continue;
    long long index = 0;
    for (std::size_t d = digits; d < name.size() && index < count; ++d) index = index * 10 + (name[d] - '0');
    present = std::max(present, index + 1);
  }
  return count <= keys ? count : static_cast<int>(std::min<long long>(count, present));
}

std::vector<std::string> IniFile::readSectionKeys(std::string_view section) const {
  std::vector<std::string> keys;
  const std::size_t header = findSection(fold(section));
  if (header == lines_.size()) return keys;
  std::vector<std::string> seen;
  const std::size_t end = sectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const Line& line = lines_[i];
    if (line.kind != Line::Kind::Key) continue;
    bool duplicate = false;
    for (const auto& s : seen) duplicate = duplicate || s == line.name;
    if (duplicate) continue;
    seen.push_back(line.name);
    const std::string_view name = std::string_view(line.text).substr(0, line.text.find('='));
    keys.push_back(TextCodec::toInternal(trim(name)));
  }
  return keys;
}

std::string IniFile::keyLineText(std::string_view key, std::string_view value) const {
  return toDiskText(key) + "=" + diskValue(value);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  const std::size_t at = findKey(section, key);
  if (at != lines_.size()) {
    // The key keeps its spelling and the spacing around "=".
    Line& line = lines_[at];
    line = parseLine(line.text.substr(0, line.valueAt) + diskValue(value), line.end);
    persist();
    return;
  }

  std::size_t header = findSection(fold(section));
  if (header == lines_.size()) {
    if (!lines_.empty()) {
      if (lines_.back().end.empty()) lines_.back().end = lineEnd_;
      if (!trim(lines_.back().text).empty()) lines_.push_back(parseLine({}, lineEnd_));
    }
    std::string sectionLine = "[";
    sectionLine += toDiskText(section);
    sectionLine += ']';
    lines_.push_back(parseLine(std::move(sectionLine), lineEnd_));
    lines_.push_back(parseLine(keyLineText(key, value), lineEnd_));
    persist();
    return;
  }

  // A new key goes after the last key of the section (or its header), so
  // comments and blank lines before the next section stay where they are.
  std::size_t insertAt = header + 1;
  const std::size_t end = sectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == Line::Kind::Key) insertAt = i + 1;
  if (lines_[insertAt - 1].end.empty()) lines_[insertAt - 1].end = lineEnd_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                parseLine(keyLineText(key, value), lineEnd_));
  persist();
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
  writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
  writeString(section, key, value ? "1" : "0");
}

void IniFile::eraseKey(std::string_view section, std::string_view key) {
  const std::size_t header = findSection(fold(section));
  if (header == lines_.size()) return;
  const std::string folded = fold(key);
  const std::size_t end = sectionEnd(header);
  bool erased = false;
  for (std::size_t i = end; i-- > header + 1;) {
    if (lines_[i].kind == Line::Kind::Key && lines_[i].name == folded) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      erased = true;
    }
  }
  if (erased) persist();
}

void IniFile::eraseSection(std::string_view section) {
  // Every occurrence goes: a later duplicate would otherwise come to light
  // with stale keys.
  const std::string folded = fold(section);
  bool erased = false;
  for (std::size_t header = findSection(folded); header != lines_.size();
       header = findSection(folded)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd(header)));
    erased = true;
  }
  if (erased) persist();
}

std::string IniFile::numberedKey(std::string_view prefix, int index) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%.3d", index);
  return std::string(prefix) + digits;
}

std::string IniFile::indexedKey(std::string_view prefix, int index) {
  return std::string(prefix) + std::to_string(index);
}

void IniFile::persist() {
  if (batchDepth_ > 0) {
    dirty_ = true;
    return;
  }
  // The file is replaced, which the folder's permissions alone would
  // allow; a file marked read-only is refused as the platform refuses it.
  std::uint32_t attributes = 0;
  bool refused = tooLarge_ || (!fs_.getAttributes(path_, attributes) && (attributes & AttrReadOnly));
  if (!refused) {
    std::string data = bom_;
    for (const auto& line : lines_) data += line.text + line.end;
    refused = static_cast<bool>(fs_.replaceFileContent(path_, data));
  }
  dirty_ = false;
  if (refused) {
    // The file is as it was; so is what this object reads from now on.
    load();
    throw IniWriteError(path_);
  }
}

IniFile::Batch::Batch(IniFile& file) : file_(file) { ++file_.batchDepth_; }

IniFile::Batch::~Batch() {
  try {
    commit();
  } catch (...) {
    // Reported by an explicit commit(); a destructor must not throw.
  }
}

void IniFile::Batch::commit() {
  if (done_) return;
  done_ = true;
  if (--file_.batchDepth_ == 0 && file_.dirty_) file_.persist();
}

}  // namespace ritoma
