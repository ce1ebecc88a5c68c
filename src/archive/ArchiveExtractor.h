#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "archive/ArcInfo.h"
#include "archive/ArchiveInput.h"

namespace ritoma {

// Decompresses one entry with libarchive. The entry's compressed data is
// framed as a one-entry archive under a plain name, so the entry is found
// by its position, never by its name. The frame is read straight from the
// archive in pieces, and the output is handed on in pieces of at most
// kPiece bytes: neither side is held in memory as a whole.
// Throws ArchiveError.
class ArchiveExtractor {
public:
  // Receives the decompressed bytes piece by piece; may throw to stop.
  using Sink = std::function<void(const char* data, std::size_t size)>;

  static constexpr std::size_t kPiece = 64 * 1024;

  // `entry` must still be listed at its position under its name. The
  // output must come to exactly the size the listing declares: an entry
  // that expands past it throws as soon as it does, without handing the
  // excess to `sink`, and one that ends short throws at its end. A link
  // (a ZIP entry of a Unix host with the link type, an LZH "-lhd-" entry
  // named "name|target") and any other entry without data throw before
  // anything reaches `sink`.
  static void extract(ArchiveInput& in, ArcKind kind, const ArcInfo& entry, const Sink& sink);

private:
  // A framed entry: `head`, then `dataLength` bytes of the archive from
  // `dataOffset`, then `tail`.
  struct Frame {
    std::string head;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataLength = 0;
    std::string tail;
  };
  static Frame frameLzh(ArchiveInput& in, const ArcInfo& entry);
  static Frame frameZip(ArchiveInput& in, const ArcInfo& entry);
  static void decode(ArchiveInput& in, const Frame& frame, ArcKind kind, const ArcInfo& entry,
                     const Sink& sink);
};

}  // namespace ritoma
