#include "execution/FolderPlanEngine.h"

namespace ritoma {

FolderPlanEngine::FolderPlanEngine(FileSystem& fs, ProgressSink& progress,
                                   const ExecutionSettings& settings, std::string undoPath,
                                   DummyWriter* dummy)
    : fs_(fs),
      progress_(progress),
      settings_(settings),
      ownFolder_(RunJournal::folderOf(undoPath)),
      run_(fs, settings, std::move(undoPath), dummy) {}

CheckResult FolderPlanEngine::check(PlanList& plan, RunOptions& options, bool automatic) {
  return FolderPlanCheck(fs_, progress_, settings_, listedCount_, ownFolder_)
      .check(plan, options, automatic);
}

RunResult FolderPlanEngine::execute(PlanList& plan, RunOptions& options) {
  return run_.execute(plan, options);
}

std::vector<std::string> FolderPlanEngine::rollBack(PlanList& plan, const RunOptions& options,
                                                    int flags, int last) {
  return run_.rollBack(plan, options, flags, last);
}

}  // namespace ritoma
