#pragma once

#include <string_view>
#include <vector>

#include "archive/ArcInfo.h"

namespace ritoma::fuzz {

// Drives every reader of one archive kind over the same bytes, the way the
// program does: the listing, extraction of the first entries, and a rename
// of every entry through the rewrite with its check. A damaged archive may
// only end in ArchiveError; any other exception, a memory fault or a broken
// promise of the rewrite aborts.
class ArchiveProbe {
public:
  static void run(ArcKind kind, std::string_view bytes);

private:
  static void rewriteAll(ArcKind kind, std::string_view bytes, const std::vector<ArcInfo>& entries);
};

}  // namespace ritoma::fuzz
