#pragma once

#include <cstdint>
#include <vector>

#include "archive/ArchiveInput.h"
#include "archive/LzhHeader.h"

namespace ritoma {

// Reads the headers of an LZH archive (levels 0, 1 and 2). Every length is
// checked against the file before it is used; a damaged or unsupported
// header throws ArchiveError.
class LzhHeaderReader {
public:
  explicit LzhHeaderReader(ArchiveInput& input) : in_(input) {}

  // Offset of the first header: the first position holding "-l?-" at
  // offsets 2 to 6 (bytes before it, such as a self-extracting prefix, are
  // no part of the archive).
  std::uint64_t findFirstHeader();
  // Reads every header from the first one up to the end marker (a 0 byte)
  // or the end of the file. `endOffset` receives the position after the
  // last entry.
  std::vector<LzhHeader> readAll(std::uint64_t& endOffset);
  LzhHeader readHeader(std::uint64_t offset);

private:
  // What levels 0 and 1 share: the base header with its DOS stamp, the name
  // and the CRC, checked against `fixedLength`, the level's header length
  // without the name. `header` views the header until the next read.
  struct DosBase {
    const std::uint8_t* header = nullptr;
    std::size_t headerLength = 0;
    std::size_t nameLength = 0;
    std::uint64_t packed = 0;  // the packed size field
  };
  DosBase readDosBase(LzhHeader& h, std::size_t fixedLength);
  void readLevel0(LzhHeader& h);
  void readLevel1(LzhHeader& h);
  void readLevel2(LzhHeader& h);
  // Walks an extended-header chain starting at `pos` with the size of the
  // first header; returns the position after the last one. No header may
  // reach `limit`.
  std::uint64_t readExtendedHeaders(LzhHeader& h, std::uint64_t pos, std::uint16_t firstSize,
                                    std::uint64_t limit, std::string& extName);
  void convertBase(LzhHeader& h, const std::uint8_t* p);

  ArchiveInput& in_;
};

}  // namespace ritoma
