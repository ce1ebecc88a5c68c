#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArcInfo.h"
#include "archive/PlannedEntries.h"

namespace ritoma {

// One central directory record of a ZIP archive.
struct ZipEntry {
  std::uint64_t centralOffset = 0;  // where the record starts
  std::uint16_t madeBy = 0;         // high byte: host system (0 FAT, 3 Unix, 11 NTFS, ...)
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint16_t dosTime = 0, dosDate = 0;
  std::uint32_t crc = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t size = 0;
  std::uint16_t nameLength = 0, extraLength = 0, commentLength = 0;
  std::uint32_t externalAttributes = 0;
  std::uint64_t localOffset = 0;    // absolute position of the local header
  std::string rawName;              // the name bytes as stored
  std::string name;                 // code page 932 (converted when utf8Name)
  // The name is read and written as UTF-8: the UTF-8 flag is set, or a Unix
  // host stored a name that is valid UTF-8 (ASCII included) without the
  // flag, as Info-ZIP zip does. Other names are raw code page 932.
  bool utf8Name = false;

  static constexpr std::uint16_t kFlagUtf8 = 0x0800;  // general purpose flag bit 11

  bool isUtf8() const { return (flags & kFlagUtf8) != 0; }
  std::uint8_t hostSystem() const { return static_cast<std::uint8_t>(madeBy >> 8); }
  std::uint64_t recordSize() const { return 46u + nameLength + extraLength + commentLength; }
  ArcInfo info(std::uint32_t index) const;
  ArcEntryData data() const { return {crc, compressedSize, size}; }
};

// The central directory and end record of a ZIP archive.
struct ZipDirectory {
  std::vector<ZipEntry> entries;   // central directory order
  std::size_t listed = 0;          // how many records the end record lists
  std::uint64_t directoryOffset = 0;  // absolute start of the central directory
  std::uint64_t endOffset = 0;        // start of the end record
  std::array<std::uint8_t, 22> endRecord{};
  // Added to every stored offset: non-zero when bytes were put in front of
  // the archive without adjusting its offsets.
  std::uint64_t shift = 0;
};

}  // namespace ritoma
