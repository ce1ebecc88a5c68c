#pragma once

#include <string>
#include <vector>

#include "archive/ArcRenameTable.h"
#include "archive/ArchiveInput.h"
#include "archive/ArchiveOutput.h"
#include "archive/PlannedEntries.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// Writes a copy of a ZIP archive with some entries renamed. Every byte is
// carried over except the names and name lengths of renamed entries (and
// flag bit 11 of one whose new name becomes UTF-8), the
// local header offsets in the central directory and the directory's size
// and offset in the end record. Bytes in front of the first entry and
// between entries (self-extracting stubs, data descriptors) are kept, and
// the offsets written are absolute. Throws ArchiveError.
class ZipRewriter {
public:
  static void rewrite(ArchiveInput& in, ArchiveOutput& out, ProgressSink& progress,
                      const std::vector<ArcRenameRow>& rows, PlannedEntries& planned);
};

}  // namespace ritoma
