#include "archive/ArchiveRenameRun.h"

#include "archive/ArchiveRewrite.h"
#include "execution/ErrorText.h"
#include "execution/OwnFiles.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

const char* const kJournalPending =
    "前回の処理が中断されたままです\n元に戻してから実行してください";
const char* const kJournalNotWritten = "中断に備えた記録を書き込めないため処理を中止します";

}  // namespace

bool ArchiveRenameRun::run(ArcKind kind, const std::string& archivePath,
                           const std::vector<ArcRenameRow>& rows, int backupMode) {
  backupPath_.clear();
  error_.clear();
  archiveMoved_ = false;
  if (journalPath_.empty()) return runSteps(kind, archivePath, rows, backupMode, nullptr);
  RunJournal journal(fs_, journalPath_);
  if (RunJournal::pending(fs_, journalPath_)) {
    error_ = kJournalPending;
    return false;
  }
  const bool ok = runSteps(kind, archivePath, rows, backupMode, &journal);
  // The run ended either way: the archive is renamed or back in place, or
  // the user is told where its backup is.
  journal.finish();
  return ok;
}

bool ArchiveRenameRun::runSteps(ArcKind kind, const std::string& archivePath,
                                const std::vector<ArcRenameRow>& rows, int backupMode,
                                RunJournal* journal) {
  ArcBackup backup(fs_);
  ArchiveRewrite rewrite(fs_, progress_);
  if (!backup.noteTimes(archivePath) || !rewrite.check(kind, archivePath)) {
    error_ = rewrite.error().empty() ? ErrorText::withReason(archivePath + ": 開けません", backup.error())
                                     : rewrite.error();
    return false;
  }
  bool journaled = true;
  const auto announce = [&](const std::string& backupPath) {
    if (!journal) return true;
    JournalData data;
    data.archive = true;
    data.archivePath = archivePath;
    data.backupPath = backupPath;
    data.rows.reserve(rows.size());
    for (const ArcRenameRow& row : rows) {
      JournalRow& r = data.rows.emplace_back();
      r.oldName = TextCodec::toDisk(row.oldName);
      r.newName = TextCodec::toDisk(row.newName);
    }
    journaled = !journal->begin(data);
    // With the journal in place no other run is under way: what a killed
    // one left beside it can go.
    if (journaled) OwnFiles::removeLeftovers(fs_, RunJournal::folderOf(journalPath_));
    return journaled;
  };
  // From here on the file under the archive's name is this run's, and
  // recovery may remove it.
  rewrite.setOnCreated([&] {
    if (journal) journal->startStage(JournalStage::Renames);
  });
  if (!backup.ArcMakeBackup(archivePath, announce)) {
    error_ = journaled ? ErrorText::withReason(archivePath + ": バックアップを作成できません", backup.error())
                       : kJournalNotWritten;
    return false;
  }
  archiveMoved_ = true;
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
    error_ = ErrorText::withReason(archivePath + ": 日時と属性を設定できません", backup.error());
  } else if (!backup.ArcDropBackup(backupMode)) {
    error_ = ErrorText::withReason(backupPath_ + ": バックアップを削除できません", backup.error());
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
