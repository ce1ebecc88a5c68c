#include "shell/HandOff.h"

#include "shell/FileUri.h"

namespace ritoma {

namespace {

void putU32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint32_t getU32(std::string_view in, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[offset + i])) << (8 * i);
  return value;
}

}  // namespace

std::string HandOff::joinPaths(const std::vector<std::string>& paths) {
  std::string text;
  for (const auto& path : paths) {
    text += path;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> HandOff::splitPaths(std::string_view text) {
  if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(pos));
      break;
    }
    lines.emplace_back(text.substr(pos, end - pos));
    pos = end + 1;
    if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
  return lines;
}

std::string HandOff::makeAbsolute(std::string_view path, std::string_view workingFolder) {
  std::string joined;
  if (path.empty() || path.front() != '/') {
    joined = workingFolder;
    joined += '/';
  }
  joined += path;

  // A path that ends in "/", "/." or "/.." names a folder: its folder part
  // must be the folder itself, so the result keeps a final "/".
  const std::string_view whole = joined;
  const bool namesFolder = whole.ends_with('/') || whole.ends_with("/.") || whole.ends_with("/..");

  std::vector<std::string_view> parts;
  std::string_view rest = joined;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string result;
  for (const auto part : parts) {
    result += '/';
    result += part;
  }
  if (result.empty() || namesFolder) result += '/';
  return result;
}

std::vector<std::string> HandOff::argumentPaths(const std::vector<std::string>& arguments,
                                                std::string_view workingFolder, std::vector<std::string>& refused) {
  std::vector<std::string> paths;
  for (const std::string& argument : arguments) {
    if (!FileUri::isUri(argument)) {
      paths.push_back(makeAbsolute(argument, workingFolder));
    } else if (const auto path = FileUri::toPath(argument)) {
      paths.push_back(makeAbsolute(*path, workingFolder));
    } else {
      refused.push_back(argument);
    }
  }
  return paths;
}

std::string HandOff::encode(const Frame& frame) {
  std::string out;
  out.reserve(HeaderSize + frame.text.size() + 1);
  putU32(out, frame.marker);
  putU32(out, static_cast<std::uint32_t>(frame.text.size() + 1));
  out += frame.text;
  out.push_back('\0');
  return out;
}

HandOff::Parse HandOff::decode(std::string_view buffer, Frame& frame, std::size_t& consumed) {
  if (buffer.size() < HeaderSize) return Parse::NeedMore;
  const std::uint32_t count = getU32(buffer, CountOffset);
  if (count == 0 || count > MaxCount) return Parse::Invalid;
  if (buffer.size() - HeaderSize < count) return Parse::NeedMore;
  frame.marker = getU32(buffer, MarkerOffset);
  frame.text.assign(buffer.substr(HeaderSize, count));
  if (const auto nul = frame.text.find('\0'); nul != std::string::npos) frame.text.resize(nul);
  consumed = HeaderSize + count;
  return Parse::Complete;
}

}  // namespace ritoma
