#pragma once

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
// extended header it had besides its name and directory. Compressed data is
// never touched. Bytes before the first header are dropped. Throws ArchiveError.
class LzhRewriter {
public:
  static void rewrite(ArchiveInput& in, ArchiveOutput& out, ProgressSink& progress,
                      const std::vector<ArcRenameRow>& rows, PlannedEntries& planned);
  // Every header of an archive the rewrite accepts: ending in the end
  // marker, with nothing after it.
  static std::vector<LzhHeader> readHeaders(ArchiveInput& in);
  // The level-2 header of `h` under the stored path `path`, whose last "/"
  // or "\" ends its directory part, with every extended header of `h`.
  static std::string buildLevel2(const LzhHeader& h, std::string_view path);
};

}  // namespace ritoma
