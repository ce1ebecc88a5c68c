#include "archive/ArchiveRenameRun.h"

#include "archive/ArchiveRewrite.h"

namespace ritoma {

bool ArchiveRenameRun::run(ArcKind kind, const std::string& archivePath,
                           const std::vector<ArcRenameRow>& rows, int backupMode) {
  backupPath_.clear();
  error_.clear();
  ArcBackup backup(fs_);
  ArchiveRewrite rewrite(fs_, progress_);
  if (!backup.noteTimes(archivePath) || !rewrite.check(kind, archivePath)) {
    error_ = rewrite.error().empty() ? archivePath + ": 開けません" : rewrite.error();
    return false;
  }
  if (!backup.ArcMakeBackup(archivePath)) {
    error_ = archivePath + ": バックアップを作成できません";
    return false;
  }
  backupPath_ = backup.backupPath();
  if (!rewrite.rename(kind, backupPath_, archivePath, rows)) {
    error_ = rewrite.error();
    // A file at the archive's path that the rewrite did not leave is
    // someone else's and stays.
    restore(backup, archivePath, rewrite.outputRemains());
    return false;
  }
  if (!rewrite.verify(kind, archivePath)) {
    error_ = rewrite.error();
  } else if (!backup.ArcCopyTimes(archivePath)) {
    error_ = archivePath + ": 日時と属性を設定できません";
  } else if (!backup.ArcDropBackup(backupMode)) {
    error_ = backupPath_ + ": バックアップを削除できません";
  } else {
    return true;
  }
  restore(backup, archivePath, true);
  return false;
}

void ArchiveRenameRun::restore(ArcBackup& backup, const std::string& archivePath,
                               bool outputIsOurs) {
  const std::error_code ec = outputIsOurs ? fs_.replace(backupPath_, archivePath)
                                          : fs_.rename(backupPath_, archivePath);
  if (ec) return;
  backupPath_.clear();
  // Reading the backup may have changed its access time.
  backup.ArcCopyTimes(archivePath);
}

}  // namespace ritoma
