#pragma once

#include <string>
#include <vector>

#include "execution/PlanList.h"
#include "platform/FileSystem.h"
#include "selection/EditList.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// Builds the plan list from the edit list after the rename check passed:
// one row per edit row, in order, with the times and attributes of the
// files as they are on disk now.
class PlanBuilder {
public:
  // `folder` is the current folder as the file system names it. Rename mode
  // is on when the edit list has a stage (always in archive mode). The
  // progress window opens when `greet4` > 0 and rows >= `greet4`.
  static PlanList build(const EditList& list, PlanMode mode, const std::string& folder,
                        FileSystem& fs, ProgressSink& progress, int greet4);
  // The same for a folder plan whose files the caller has just looked up
  // itself: `found[i]` is what that look-up found for row i (its name is
  // not used), so no file is looked up a second time; rows beyond `found`
  // keep empty texts. The names move from the edit list into the plan; the
  // list is left empty.
  static PlanList build(EditList&& list, const std::string& folder,
                        const std::vector<FileInfo>& found, ProgressSink& progress, int greet4);
};

}  // namespace ritoma
