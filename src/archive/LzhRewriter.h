#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ArcRenameTable.h"
#include "archive/ArchiveInput.h"
#include "archive/ArchiveOutput.h"
#include "archive/PlannedEntries.h"
#include "archive/LzhHeader.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// Writes a copy of an LZH archive with some entries renamed. Entries that
// keep their names are copied byte for byte, whatever their level; a
// renamed entry's header is rebuilt at level 2 with a header CRC and every
// extended header it had besides its name and directory (a level-0 or
// level-1 entry's attribute byte goes into an attribute header). Compressed
// data is never touched. Bytes before the first header (a self-extracting
// stub) are copied unchanged. Throws ArchiveError.
class LzhRewriter {
public:
  static void rewrite(ArchiveInput& in, ArchiveOutput& out, ProgressSink& progress,
                      const std::vector<ArcRenameRow>& rows, PlannedEntries& planned);
  // Every header of an archive the rewrite accepts: ending in the end
  // marker, with nothing after it. `start` receives the offset of the first
  // header (of the end marker when there is none).
  static std::vector<LzhHeader> readHeaders(ArchiveInput& in, std::uint64_t* start = nullptr);
  // The largest header the 16-bit size at the start of a level-2 header
  // can tell.
  static constexpr std::size_t MaxHeaderSize = 0xFFFF;
  // The level-2 header of `h` under the stored path `path`, whose last "/"
  // or "\" ends its directory part, with every extended header of `h`.
  // Throws ArchiveError when it would be larger than MaxHeaderSize.
  static std::string buildLevel2(const LzhHeader& h, std::string_view path);
  // The size of the header buildLevel2 makes of `h` under `path`, so that a
  // check can tell beforehand which names the rewrite cannot store.
  static std::size_t level2Size(const LzhHeader& h, std::string_view path);
};

}  // namespace ritoma
