#include "execution/ArchivePlanEngine.h"

#include <unordered_set>
#include <vector>

#include "archive/ArcRenameTable.h"
#include "archive/ArchiveRenameRun.h"
#include "text/CaseMap.h"

namespace ritoma {

ArchivePlanEngine::ArchivePlanEngine(ArchiveLibraries& libraries, FileSystem& fs,
                                     ProgressSink& progress, const ExecutionSettings& settings,
                                     ArcKind kind, std::string archivePath, int backupMode)
    : libraries_(libraries),
      fs_(fs),
      progress_(progress),
      settings_(settings),
      kind_(kind),
      archivePath_(std::move(archivePath)),
      backupMode_(backupMode) {}

CheckResult ArchivePlanEngine::check(PlanList& plan, RunOptions& options, bool automatic) {
  CheckResult outcome;
  if (automatic && !settings_.chkAuto) {
    outcome.pending = true;
    return outcome;
  }
  const std::size_t rows = plan.rows.size();
  const bool showProgress =
      settings_.greet5 > 0 && rows >= static_cast<std::size_t>(settings_.greet5);
  if (showProgress) {
    progress_.open("ファイルチェック中…",
                   static_cast<std::int64_t>((options.force ? 13 : 3) * rows));
  }
  auto step = [&] {
    if (showProgress) progress_.step();
  };

  std::unordered_set<std::string> oldNames;
  for (PlanRow& row : plan.rows) {
    row.mark = MarkNone;
    oldNames.insert(row.oldName);
    step();
  }
  // Stored names that no row carries, case-folded: the names a new name
  // must not take.
  std::unordered_set<std::string> others;
  std::string error;
  bool listed = libraries_.ArcListEntries(
      kind_, archivePath_,
      [&](const ArcInfo& entry) {
        if (!oldNames.count(entry.name)) others.insert(CaseMap::foldKey(entry.name));
        step();
      },
      &error);

  outcome.passed = listed;
  for (PlanRow& row : plan.rows) {
    step();
    if (!others.count(CaseMap::foldKey(row.newName))) continue;
    row.mark = MarkExists;
    outcome.passed = false;
    if (settings_.chkStop) break;
  }
  if (showProgress) progress_.close();
  return outcome;
}

RunResult ArchivePlanEngine::execute(PlanList& plan, RunOptions&) {
  RunResult result;
  std::vector<ArcRenameRow> rows;
  for (const PlanRow& row : plan.rows) {
    if (row.mark == MarkNone) rows.push_back({row.oldName, row.newName});
  }
  ArchiveRenameRun run(fs_, progress_);
  if (!run.run(kind_, archivePath_, rows, backupMode_)) {
    result.code = -1;
    result.failed = true;
    if (!run.error().empty()) result.furtherMessages.push_back(run.error());
    if (!run.backupPath().empty()) {
      result.furtherMessages.push_back(std::string(BackupNameText) + run.backupPath());
    }
    return result;
  }
  for (const ArcRenameRow& row : rows) result.processedNames.push_back(row.newName);
  return result;
}

}  // namespace ritoma
