#pragma once

#include <cstddef>
#include <string>

#include "execution/DummyWriter.h"
#include "execution/ExecutionSettings.h"
#include "execution/FolderPlanCheck.h"
#include "execution/FolderPlanRun.h"
#include "execution/PlanEngine.h"
#include "platform/FileSystem.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// The plan engine of folder mode: CheckFolderPlan, ExecuteFolderPlan and
// RollBackPlan over the file system.
class FolderPlanEngine final : public PlanEngine {
public:
  FolderPlanEngine(FileSystem& fs, ProgressSink& progress, const ExecutionSettings& settings,
                   std::string undoPath, DummyWriter* dummy = nullptr);

  // Size of the selection list, for the check's progress window.
  void setListedCount(std::size_t count) { listedCount_ = count; }
  void setDummyWriter(DummyWriter* dummy) { run_.setDummyWriter(dummy); }

  CheckResult check(PlanList& plan, RunOptions& options, bool automatic) override;
  RunResult execute(PlanList& plan, RunOptions& options) override;
  std::vector<std::string> rollBack(PlanList& plan, const RunOptions& options, int flags,
                                    int last) override;

private:
  FileSystem& fs_;
  ProgressSink& progress_;
  const ExecutionSettings& settings_;
  std::string ownFolder_;  // the settings folder, beside the undo record
  FolderPlanRun run_;
  std::size_t listedCount_ = 0;
};

}  // namespace ritoma
