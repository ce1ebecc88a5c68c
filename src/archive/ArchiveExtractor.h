#pragma once

#include <cstdint>
#include <string>

#include "archive/ArcInfo.h"
#include "archive/ArchiveInput.h"

namespace ritoma {

// Decompresses one entry with libarchive. The entry's compressed data is
// cut out of the archive and framed as a one-entry archive under a plain
// name, so the entry is found by its position, never by its name.
// Throws ArchiveError.
class ArchiveExtractor {
public:
  // `entry` must still be listed at its position under its name.
  static void extract(ArchiveInput& in, ArcKind kind, const ArcInfo& entry, std::string& out);

private:
  static std::string frameLzh(ArchiveInput& in, const ArcInfo& entry);
  static std::string frameZip(ArchiveInput& in, const ArcInfo& entry);
  static void decode(const std::string& framed, ArcKind kind, const std::string& displayPath,
                     std::string& out);
};

}  // namespace ritoma
