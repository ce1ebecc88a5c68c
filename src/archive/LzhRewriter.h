#pragma once

#include <string>
#include <vector>

#include "archive/ArcRenameTable.h"
#include "archive/ArchiveInput.h"
#include "archive/ArchiveOutput.h"
#include "archive/PlannedEntries.h"
#include "archive/LzhHeader.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// Writes a copy of an LZH archive with some entries renamed. Entries at
// level 2 that keep their names are copied byte for byte; every other
// header is rebuilt at level 2 with a header CRC. Compressed data is never
// touched. Bytes before the first header are dropped. Throws ArchiveError.
class LzhRewriter {
public:
  static void rewrite(ArchiveInput& in, ArchiveOutput& out, ProgressSink& progress,
                      const std::vector<ArcRenameRow>& rows, PlannedEntries& planned);
  // Every header of an archive the rewrite accepts: ending in the end
  // marker, with nothing after it.
  static std::vector<LzhHeader> readHeaders(ArchiveInput& in);
  // The rebuilt level-2 header of `h` under `name` and `directory` (the
  // directory with "/" or "\" separators, or 0xFF).
  static std::string buildLevel2(const LzhHeader& h, std::string name, std::string directory);
};

}  // namespace ritoma
