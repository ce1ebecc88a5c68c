#include "archive/ArchiveRenameRun.h"

#include "archive/ArchiveRewrite.h"

namespace ritoma {

bool ArchiveRenameRun::run(ArcKind kind, const std::string& archivePath,
                           const std::vector<ArcRenameRow>& rows, int backupMode) {
  backupPath_.clear();
  error_.clear();
  ArcBackup backup(fs_);
  if (!backup.ArcMakeBackup(archivePath)) {
    error_ = archivePath + ": バックアップを作成できません";
    return false;
  }
  backupPath_ = backup.backupPath();
  ArchiveRewrite rewrite(fs_, progress_);
  if (!rewrite.rename(kind, backupPath_, archivePath, rows) || !rewrite.verify(kind, archivePath)) {
    error_ = rewrite.error();
    return false;
  }
  if (!backup.ArcCopyTimes(archivePath)) {
    error_ = archivePath + ": 日時と属性を設定できません";
    return false;
  }
  if (!backup.ArcDropBackup(backupMode)) {
    error_ = backupPath_ + ": バックアップを削除できません";
    return false;
  }
  return true;
}

}  // namespace ritoma
