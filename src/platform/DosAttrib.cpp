#include "platform/DosAttrib.h"

#include <cstring>

namespace ritoma {

namespace {

// Version-4 record offsets (the empty hex string and its pad take 2 bytes).
constexpr std::size_t kV4Version = 2;
constexpr std::size_t kV4Level = 4;
constexpr std::size_t kV4Flags = 8;
constexpr std::size_t kV4Attrib = 12;
constexpr std::size_t kV4ITime = 16;
constexpr std::size_t kV4Created = 24;
constexpr std::size_t kV4Size = 32;

// Body offsets, relative to the 4-aligned start of the level field.
constexpr std::size_t kBodyFlags = 4;
constexpr std::size_t kBodyAttrib = 8;
constexpr std::size_t kBody4Created = 20;  // after itime at 12
constexpr std::size_t kBody4Size = 28;
constexpr std::size_t kBody3Created = 32;  // after ea size 12, size 16, alloc size 24
constexpr std::size_t kBody3Size = 48;     // change time at 40

// Longest hex string taken seriously: "0x" and eight digits.
constexpr std::size_t kMaxHexString = 10;

std::uint16_t readU16(std::string_view s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                    static_cast<unsigned char>(s[at + 1]) << 8);
}

std::uint32_t readU32(std::string_view s, std::size_t at) {
  return static_cast<std::uint32_t>(readU16(s, at)) |
         static_cast<std::uint32_t>(readU16(s, at + 2)) << 16;
}

std::uint64_t readU64(std::string_view s, std::size_t at) {
  return static_cast<std::uint64_t>(readU32(s, at)) |
         static_cast<std::uint64_t>(readU32(s, at + 4)) << 32;
}

void writeU16(std::string& s, std::size_t at, std::uint16_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}

void writeU32(std::string& s, std::size_t at, std::uint32_t v) {
  writeU16(s, at, static_cast<std::uint16_t>(v & 0xFFFF));
  writeU16(s, at + 2, static_cast<std::uint16_t>(v >> 16));
}

void writeU64(std::string& s, std::size_t at, std::uint64_t v) {
  writeU32(s, at, static_cast<std::uint32_t>(v & 0xFFFFFFFFu));
  writeU32(s, at + 4, static_cast<std::uint32_t>(v >> 32));
}

constexpr std::size_t alignUp(std::size_t at, std::size_t to) { return (at + to - 1) / to * to; }

// "0x20" (or "20") as a number; nullopt when it is not hex.
std::optional<std::uint32_t> parseHex(std::string_view text) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
  if (text.empty() || text.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    unsigned digit;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else return std::nullopt;
    value = value << 4 | digit;
  }
  return value;
}

}  // namespace

std::string DosAttrib::encode(std::uint32_t attributes, std::optional<FileTime> created) {
  std::string value(kV4Size, '\0');
  writeU16(value, kV4Version, 4);
  writeU32(value, kV4Level, 4);
  writeU32(value, kV4Flags, kValidAttributes | (created ? kValidCreated : 0));
  writeU32(value, kV4Attrib, attributes & kStoredBits);
  writeU64(value, kV4ITime, 0);
  writeU64(value, kV4Created, created ? static_cast<std::uint64_t>(*created) : 0);
  return value;
}

std::optional<DosAttribInfo> DosAttrib::decode(std::string_view value) {
  const std::size_t nul = value.find('\0');
  const std::string_view hexText = value.substr(0, nul);
  std::optional<std::uint32_t> hexAttributes;
  if (!hexText.empty()) {
    if (hexText.size() > kMaxHexString) return std::nullopt;
    hexAttributes = parseHex(hexText);
    if (!hexAttributes) return std::nullopt;
  }

  DosAttribInfo info;
  if (hexAttributes) info.attributes = *hexAttributes & kStoredBits;
  if (nul == std::string_view::npos) {
    // The bare hex string without its NUL.
    if (!hexAttributes) return std::nullopt;
    return info;
  }

  const std::size_t versionAt = alignUp(nul + 1, 2);
  if (versionAt + 2 > value.size()) {
    // The bare hex string with its NUL (and maybe a pad byte).
    if (!hexAttributes) return std::nullopt;
    return info;
  }
  const std::uint16_t version = readU16(value, versionAt);
  const std::size_t body = alignUp(versionAt + 2, 4);
  std::size_t createdAt = 0;
  std::size_t bodySize = 0;
  if (version == 4) {
    createdAt = kBody4Created;
    bodySize = kBody4Size;
  } else if (version == 3) {
    createdAt = kBody3Created;
    bodySize = kBody3Size;
  } else {
    if (!hexAttributes) return std::nullopt;
    return info;
  }
  if (body + bodySize > value.size()) return std::nullopt;
  if (readU32(value, body) != version) return std::nullopt;

  const std::uint32_t flags = readU32(value, body + kBodyFlags);
  if (flags & kValidAttributes) info.attributes = readU32(value, body + kBodyAttrib) & kStoredBits;
  if (flags & kValidCreated) info.created = static_cast<FileTime>(readU64(value, body + createdAt));
  return info;
}

}  // namespace ritoma
