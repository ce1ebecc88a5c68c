#pragma once

#include "archive/ArchiveInput.h"
#include "archive/ZipDirectory.h"

#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// Reads the end record and central directory of a ZIP archive. Offsets and
// lengths are checked against the file; ZIP64 and multi-disk archives are
// refused with a clear message.
class ZipDirectoryReader {
public:
  explicit ZipDirectoryReader(ArchiveInput& input) : in_(input) {}
  ZipDirectory read();
  // Reads the directory with the same checks as read() but keeps no entry:
  // whether it lists exactly `names` (code page 932), in order. A name
  // stored as ASCII is compared as stored, without a copy.
  bool listsNames(const std::vector<std::string>& names);

  // Layout constants shared with the writer.
  static constexpr std::uint32_t kEndSignature = 0x06054B50;
  static constexpr std::uint32_t kCentralSignature = 0x02014B50;
  static constexpr std::uint32_t kLocalSignature = 0x04034B50;
  static constexpr std::size_t kEndSize = 22;
  static constexpr std::size_t kCentralSize = 46;
  static constexpr std::size_t kLocalSize = 30;
  // End record fields
  static constexpr std::size_t kEndDisk = 4;
  static constexpr std::size_t kEndDirectoryDisk = 6;
  static constexpr std::size_t kEndEntriesOnDisk = 8;
  static constexpr std::size_t kEndEntries = 10;
  static constexpr std::size_t kEndDirectorySize = 12;
  static constexpr std::size_t kEndDirectoryOffset = 16;
  static constexpr std::size_t kEndCommentLength = 20;
  // Central directory header fields
  static constexpr std::size_t kCenMadeBy = 4;
  static constexpr std::size_t kCenFlags = 8;
  static constexpr std::size_t kCenMethod = 10;
  static constexpr std::size_t kCenTime = 12;
  static constexpr std::size_t kCenDate = 14;
  static constexpr std::size_t kCenCompressedSize = 20;
  static constexpr std::size_t kCenSize = 24;
  static constexpr std::size_t kCenNameLength = 28;
  static constexpr std::size_t kCenExtraLength = 30;
  static constexpr std::size_t kCenCommentLength = 32;
  static constexpr std::size_t kCenDiskStart = 34;
  static constexpr std::size_t kCenExternalAttributes = 38;
  static constexpr std::size_t kCenLocalOffset = 42;
  // Local file header fields
  static constexpr std::size_t kLocNameLength = 26;
  static constexpr std::size_t kLocExtraLength = 28;
  // "Version made by" host system of Unix
  static constexpr std::uint8_t kHostUnix = 3;

private:
  std::uint64_t findEndRecord();
  // Reads and checks the end record; fills all of `dir` but its entries and
  // returns how many it lists.
  std::uint16_t readEnd(ZipDirectory& dir);
  void requireDirectoryEnd(std::uint64_t pos, const ZipDirectory& dir) const;
  void readEntry(std::uint64_t pos, ZipEntry& e, std::uint64_t shift, bool withName);
  bool nameEquals(const ZipEntry& e, std::string_view name);

  ArchiveInput& in_;
};

}  // namespace ritoma
