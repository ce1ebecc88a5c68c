#pragma once

#include <string>
#include <vector>

#include "execution/FolderPlanCheck.h"
#include "execution/PlanList.h"
#include "execution/RunOptions.h"
#include "execution/RunResult.h"

namespace ritoma {

// The check and run procedures of one plan mode; the main window holds one
// per mode (folder, archive) and picks it by the plan's mode.
class PlanEngine {
public:
  virtual ~PlanEngine() = default;
  // `automatic` is false only for the "？" button.
  virtual CheckResult check(PlanList& plan, RunOptions& options, bool automatic) = 0;
  virtual RunResult execute(PlanList& plan, RunOptions& options) = 0;
  // Restores what a failed run with a positive result changed; returns the
  // names (disk bytes) of the files it could not put back, as they are
  // named now.
  virtual std::vector<std::string> rollBack(PlanList& plan, const RunOptions& options, int flags,
                                            int last) = 0;
};

}  // namespace ritoma
