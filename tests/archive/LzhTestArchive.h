#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/LzhCrc16.h"

namespace ritoma::test {

// LZH entries written byte by byte for tests, independent of the program's
// own writer: -lh0- (stored) data under headers of level 0, 1 or 2 with the
// extended headers a test asks for. An archive is entries + "\0".
struct LzhExtension {
  std::uint8_t type;
  std::string body;
  // The header as stored, without its next-size field.
  std::string bytes() const { return static_cast<char>(type) + body; }
};

inline std::string lzhLittle(std::uint32_t value, std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  return bytes;
}

// A chain of extended headers, each followed by the size of the next one;
// the size of the first one is returned in `firstSize`.
inline std::string lzhChain(const std::vector<LzhExtension>& chain, std::size_t& firstSize) {
  std::string bytes;
  firstSize = chain.empty() ? 0 : chain[0].body.size() + 3;
  for (std::size_t i = 0; i < chain.size(); ++i) {
    bytes += chain[i].bytes();
    bytes += lzhLittle(i + 1 < chain.size() ? static_cast<std::uint32_t>(chain[i + 1].body.size() + 3) : 0, 2);
  }
  return bytes;
}

// Levels 0 and 1: the base header up to the name's CRC, with the sum of the
// header bytes after offset 1 at offset 1.
inline std::string lzhDosEntry(int level, const std::string& name, const std::string& data,
                               std::uint32_t dosStamp, const std::vector<LzhExtension>& chain,
                               char os) {
  std::size_t firstSize = 0;
  const std::string extensions = level == 1 ? lzhChain(chain, firstSize) : std::string();
  std::string header = "-lh0-" + lzhLittle(static_cast<std::uint32_t>(data.size() + extensions.size()), 4) +
                       lzhLittle(static_cast<std::uint32_t>(data.size()), 4) + lzhLittle(dosStamp, 4) +
                       '\x20' + static_cast<char>(level) + static_cast<char>(name.size()) + name +
                       lzhLittle(LzhCrc16::compute(data.data(), data.size()), 2);
  if (level == 1) header += os + lzhLittle(static_cast<std::uint32_t>(firstSize), 2);
  unsigned sum = 0;
  for (char c : header) sum += static_cast<unsigned char>(c);
  return static_cast<char>(header.size()) + std::string(1, static_cast<char>(sum)) + header +
         extensions + data;
}

inline std::string lzhLevel0(const std::string& path, const std::string& data, std::uint32_t dosStamp) {
  return lzhDosEntry(0, path, data, dosStamp, {}, 0);
}

inline std::string lzhLevel1(const std::string& name, const std::string& data, std::uint32_t dosStamp,
                             const std::vector<LzhExtension>& chain, char os = 'U') {
  return lzhDosEntry(1, name, data, dosStamp, chain, os);
}

// Level 2: `chain` follows the name and directory headers; a CRC header
// ends it.
inline std::string lzhLevel2(const std::string& name, const std::string& directory,
                             const std::string& data, std::uint32_t unixTime,
                             std::vector<LzhExtension> chain, char os = 'U') {
  chain.insert(chain.begin(), {0x01, name});
  if (!directory.empty()) chain.insert(chain.begin() + 1, {0x02, directory});
  chain.push_back({0x00, std::string(2, '\0')});
  std::size_t firstSize = 0;
  const std::string extensions = lzhChain(chain, firstSize);
  const std::size_t total = 26 + extensions.size();
  std::string header = lzhLittle(static_cast<std::uint32_t>(total), 2) + "-lh0-" +
                       lzhLittle(static_cast<std::uint32_t>(data.size()), 4) +
                       lzhLittle(static_cast<std::uint32_t>(data.size()), 4) + lzhLittle(unixTime, 4) +
                       '\x20' + '\x02' + lzhLittle(LzhCrc16::compute(data.data(), data.size()), 2) +
                       os + lzhLittle(static_cast<std::uint32_t>(firstSize), 2) + extensions;
  const std::uint16_t crc = LzhCrc16::compute(header.data(), header.size());
  header.replace(header.size() - 4, 2, lzhLittle(crc, 2));  // the CRC header's body
  return header + data;
}

}  // namespace ritoma::test
