#pragma once

#include <string>

#include "archive/ArcBackup.h"
#include "execution/ExecutionSettings.h"
#include "execution/PlanEngine.h"
#include "platform/FileSystem.h"
#include "selection/FolderTree.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// The plan engine of archive mode: CheckArchivePlan and ExecuteArchivePlan
// on the open archive of `state`. A failed run puts the archive back itself
// (ArchiveRenameRun) and marks its rows failed; only a backup that could not
// be put back is named in the result.
class ArchivePlanEngine final : public PlanEngine {
public:
  ArchivePlanEngine(FileSystem& fs, ProgressSink& progress, const ExecutionSettings& settings,
                    ArchiveState& state)
      : fs_(fs), progress_(progress), settings_(settings), state_(state) {}

  // [Option] ArcBackup, an ArcBackupMode.
  void setBackupMode(int mode) { backupMode_ = mode; }
  // Where runs keep their crash journal (RunJournal::pathBeside the undo file).
  void setJournalPath(std::string path) { journalPath_ = std::move(path); }

  CheckResult check(PlanList& plan, RunOptions& options, bool automatic) override;
  RunResult execute(PlanList& plan, RunOptions& options) override;
  std::vector<std::string> rollBack(PlanList& plan, const RunOptions& options, int flags,
                                    int last) override;

  // Marks every row whose new name equals, without regard to case (in LZH
  // paths: nor to "\" or "/"), the name of an entry that no row renames
  // (MarkExists), and in an LZH archive every row whose entry's rebuilt
  // header would be too large to write (MarkHeaderTooLong).
  CheckResult CheckArchivePlan(PlanList& plan, const RunOptions& options, bool automatic);
  // Backup, rewrite, time copy and backup removal; on success the processed
  // names are the rows' new names as the archive lists them (LZH: with "/").
  RunResult ExecuteArchivePlan(PlanList& plan);

private:
  FileSystem& fs_;
  ProgressSink& progress_;
  const ExecutionSettings& settings_;
  ArchiveState& state_;
  int backupMode_ = ArcBackupKeepAll;
  std::string journalPath_;
};

}  // namespace ritoma
