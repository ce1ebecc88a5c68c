#pragma once

#include <string>
#include <vector>

#include "archive/ArcBackup.h"
#include "archive/ArcInfo.h"
#include "archive/ArcRenameTable.h"
#include "platform/FileSystem.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// One rename run on an archive, in this order: move the archive to its
// backup name, write the new archive, list it again and compare it with
// the plan, copy the backup's times and attributes, keep or delete the
// backup. The first failing step ends the run; the backup then stays.
class ArchiveRenameRun {
public:
  ArchiveRenameRun(FileSystem& fs, ProgressSink& progress) : fs_(fs), progress_(progress) {}

  bool run(ArcKind kind, const std::string& archivePath, const std::vector<ArcRenameRow>& rows,
           int backupMode);

  // The backup made by the last run (empty when none could be made).
  const std::string& backupPath() const { return backupPath_; }
  // Why the last run failed (display text), empty after success.
  const std::string& error() const { return error_; }

private:
  FileSystem& fs_;
  ProgressSink& progress_;
  std::string backupPath_;
  std::string error_;
};

}  // namespace ritoma
