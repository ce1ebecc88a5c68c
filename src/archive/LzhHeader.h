#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArcInfo.h"
#include "archive/PlannedEntries.h"

namespace ritoma {

// One LZH entry as read from its header, any level, with what a rebuilt
// level-2 header needs.
struct LzhHeader {
  std::uint64_t offset = 0;     // first byte of the header
  std::uint64_t dataOffset = 0; // first byte of the compressed data
  std::uint64_t dataSize = 0;   // compressed data, extended headers excluded
  int level = 0;
  // The level-2 base header this entry gets when it is rebuilt (offsets 0-1
  // and 24-25 are filled in by the writer). At level 2 these are the bytes
  // as read; levels 0 and 1 are converted.
  std::array<std::uint8_t, 26> base{};
  std::string method;           // the 5-byte method identifier
  std::uint32_t originalSize = 0;
  std::uint16_t dosDate = 0, dosTime = 0;
  std::uint16_t attributes = 0;
  std::string name;             // file name as stored (level 0: the whole path)
  std::string directory;        // body of the directory header, 0xFF separators
  // Every extended header but the name (0x01), directory (0x02) and header
  // CRC (0x00), as read and in order: its type and body, without the size
  // of the next one. A rebuilt header carries them unchanged.
  std::vector<std::string> extended;

  std::uint64_t next() const { return dataOffset + dataSize; }
  // The data's CRC-16 and sizes.
  ArcEntryData data() const;
  // The stored path as listed: directory (0xFF shown as "/") + name.
  std::string listedName() const;
  ArcInfo info(std::uint32_t index) const;
};

}  // namespace ritoma
