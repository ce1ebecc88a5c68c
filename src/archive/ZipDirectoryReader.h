#pragma once

#include "archive/ArchiveInput.h"
#include "archive/PlannedEntries.h"
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
  // The end record: all of a ZipDirectory but its entries.
  ZipDirectory readEnd();
  // Calls visit(const ZipEntry&, std::string_view storedName) for every
  // record `dir` lists, in directory order, with the checks of read(). The
  // entry's own name strings stay empty; the stored name views the record
  // until the call returns.
  template <class Visit>
  void scan(const ZipDirectory& dir, Visit&& visit) {
    ZipEntry e;
    std::uint64_t pos = dir.directoryOffset;
    for (std::size_t i = 0; i < dir.listed; ++i) {
      const std::string_view stored = readEntry(pos, e, dir);
      visit(static_cast<const ZipEntry&>(e), stored);
      pos += e.recordSize();
    }
    requireDirectoryEnd(pos, dir);
  }
  // Reads the directory like read() but keeps no entry: whether it lists
  // exactly the `planned` entries in order, each name (code page 932) with
  // its data.
  bool listsEntries(const PlannedEntries& planned);
  // The name as listed (code page 932): the stored bytes themselves, or
  // their conversion into `scratch` for a UTF-8 name.
  static std::string_view listedName(const ZipEntry& e, std::string_view stored,
                                     std::string& scratch);
  // Whether stored name bytes `raw` read as UTF-8 under the flags and host
  // of `e`.
  static bool readsAsUtf8(const ZipEntry& e, std::string_view raw);
  static bool isAscii(std::string_view s);

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
  static constexpr std::size_t kCenCrc = 16;
  static constexpr std::size_t kCenCompressedSize = 20;
  static constexpr std::size_t kCenSize = 24;
  static constexpr std::size_t kCenNameLength = 28;
  static constexpr std::size_t kCenExtraLength = 30;
  static constexpr std::size_t kCenCommentLength = 32;
  static constexpr std::size_t kCenDiskStart = 34;
  static constexpr std::size_t kCenExternalAttributes = 38;
  static constexpr std::size_t kCenLocalOffset = 42;
  // Local file header fields
  static constexpr std::size_t kLocFlags = 6;
  static constexpr std::size_t kLocNameLength = 26;
  static constexpr std::size_t kLocExtraLength = 28;
  // "Version made by" host system of Unix
  static constexpr std::uint8_t kHostUnix = 3;

private:
  std::uint64_t findEndRecord();
  void requireDirectoryEnd(std::uint64_t pos, const ZipDirectory& dir) const;
  // Reads and checks the record at `pos` (all but the name strings) and
  // returns its stored name.
  std::string_view readEntry(std::uint64_t pos, ZipEntry& e, const ZipDirectory& dir);

  ArchiveInput& in_;
};

}  // namespace ritoma
