#pragma once

#include <string>
#include <vector>

#include "archive/ArcBackup.h"
#include "archive/ArcInfo.h"
#include "archive/ArcRenameTable.h"
#include "execution/RunJournal.h"
#include "platform/FileSystem.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// One rename run on an archive, in this order: check the archive's headers
// or directory, move the archive to its backup name, write the new archive,
// list it again and compare it with the plan, copy the backup's times and
// attributes, keep or delete the backup. The first failing step ends the
// run. Damage the check finds leaves everything untouched; a failure after
// the backup was made removes the new archive and puts the backup back
// under the archive's name, so the archive is as it was, byte for byte.
// With a journal path, the crash journal names the archive and its backup
// from before the archive is moved until the run ends; a run is refused
// while an older journal is pending.
class ArchiveRenameRun {
public:
  ArchiveRenameRun(FileSystem& fs, ProgressSink& progress) : fs_(fs), progress_(progress) {}

  bool run(ArcKind kind, const std::string& archivePath, const std::vector<ArcRenameRow>& rows,
           int backupMode);
  void setJournalPath(std::string path) { journalPath_ = std::move(path); }

  // The backup the last run left: after success the one it kept or deleted
  // by the mode, after a failure only one that could not be put back (empty
  // when the archive is back in its place or no backup was made).
  const std::string& backupPath() const { return backupPath_; }
  // Why the last run failed (display text), empty after success.
  const std::string& error() const { return error_; }
  // Whether the last run got as far as moving the archive to its backup
  // name: after a failure the archive was then put back, unless
  // backupPath() names where it stays.
  bool archiveMoved() const { return archiveMoved_; }

private:
  bool runSteps(ArcKind kind, const std::string& archivePath, const std::vector<ArcRenameRow>& rows,
                int backupMode, RunJournal* journal);
  // Puts the backup back under `archivePath`; `outputIsOurs` says whether a
  // file at `archivePath` is the run's own new archive, which is replaced.
  void restore(ArcBackup& backup, const std::string& archivePath, bool outputIsOurs);

  FileSystem& fs_;
  ProgressSink& progress_;
  std::string backupPath_;
  std::string error_;
  std::string journalPath_;
  bool archiveMoved_ = false;
};

}  // namespace ritoma
