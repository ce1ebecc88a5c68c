#pragma once

#include <string>

#include "archive/ArcInfo.h"
#include "archive/ArchiveLibraries.h"
#include "execution/ExecutionSettings.h"
#include "execution/PlanEngine.h"
#include "platform/FileSystem.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// The plan engine of archive mode: CheckArchivePlan and ExecuteArchivePlan
// over one archive. The run rewrites the archive's names behind a backup
// (move to the backup name, rewrite, copy times and attributes, keep or
// drop the backup); a failure is not rolled back, the backup stays and its
// name is reported.
class ArchivePlanEngine final : public PlanEngine {
public:
  static constexpr const char* BackupNameText = "書庫ファイルのバックアップファイル名\n\n";

  // `archivePath` is the archive as the file system names it; `backupMode`
  // is the setting ArcBackup.
  ArchivePlanEngine(ArchiveLibraries& libraries, FileSystem& fs, ProgressSink& progress,
                    const ExecutionSettings& settings, ArcKind kind, std::string archivePath,
                    int backupMode);

  // Marks MarkExists on every row whose new name equals, without regard to
  // letter case, a stored name that no row of the batch carries. There is
  // no order check: the rewrite renames every entry in one pass.
  CheckResult check(PlanList& plan, RunOptions& options, bool automatic) override;
  // 0 on success; −1 with the backup's name among the further messages.
  RunResult execute(PlanList& plan, RunOptions& options) override;
  // Archive runs are never rolled back: their result is never positive.
  void rollBack(PlanList&, const RunOptions&, int, int) override {}

private:
  ArchiveLibraries& libraries_;
  FileSystem& fs_;
  ProgressSink& progress_;
  const ExecutionSettings& settings_;
  ArcKind kind_;
  std::string archivePath_;
  int backupMode_;
};

}  // namespace ritoma
