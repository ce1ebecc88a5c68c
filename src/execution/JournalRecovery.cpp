#include "execution/JournalRecovery.h"

#include <ctime>
#include <optional>
#include <unordered_set>

#include "archive/ArcBackup.h"
#include "execution/DisplayText.h"
#include "execution/MetadataWriter.h"
#include "execution/OwnFiles.h"
#include "execution/RunJournal.h"
#include "execution/UndoFile.h"
#include "execution/UndoFlow.h"
#include "execution/UndoHistory.h"
#include "platform/TimeConvert.h"

namespace ritoma {

JournalRecovery::JournalRecovery(FileSystem& fs, std::string journalPath)
    : fs_(fs), path_(std::move(journalPath)) {}

JournalRecovery::Load JournalRecovery::load() {
  data_ = {};
  back_.clear();
  error_.clear();
  FileInfo info;
  if (fs_.stat(path_, info)) return Load::None;
  std::string bytes;
  if (info.isFolder || info.size > MaxSize || fs_.readWholeFile(path_, bytes)) {
    error_ = DisplayText::fromDisk(path_) + ": 中断された処理の記録を読み込めません";
    return Load::Damaged;
  }
  if (JournalFile::decode(bytes, data_) != JournalFile::Status::Ok || !acceptable()) {
    data_ = {};
    error_ = DisplayText::fromDisk(path_) + ": 中断された処理の記録が壊れています";
    return Load::Damaged;
  }
  return Load::Ok;
}

// What a run of this program can have recorded: no row names one of the
// program's own files beside the journal (the check refuses those names),
// and an archive's backup has a backup name of that archive.
bool JournalRecovery::acceptable() const {
  const std::string home = RunJournal::folderOf(path_);
  if (data_.archive) {
    const std::string archiveFolder = RunJournal::folderOf(data_.archivePath);
    const std::string archiveName = data_.archivePath.substr(data_.archivePath.rfind('/') + 1);
    if (OwnFiles::sameFolder(archiveFolder, home) && OwnFiles::isOwnName(archiveName)) return false;
    return ArcBackup::isBackupOf(data_.archivePath, data_.backupPath);
  }
  if (!OwnFiles::sameFolder(data_.folder, home)) return true;
  for (const JournalRow& row : data_.rows) {
    if (OwnFiles::isOwnName(row.oldName) || OwnFiles::isOwnName(row.newName) ||
        (!row.tempName.empty() && OwnFiles::isOwnName(row.tempName)))
      return false;
  }
  return true;
}

std::string JournalRecovery::question() const {
  std::string text = "前回の処理が中断されています\n\n";
  if (data_.archive)
    text += "書庫ファイル: " + DisplayText::fromDisk(data_.archivePath);
  else
    text += "フォルダ: " + DisplayText::fromDisk(folder());
  return text + "\nファイル数: " + std::to_string(data_.rows.size()) + "\n\n元に戻しますか？";
}

std::string JournalRecovery::summary() const {
  if (data_.archive) {
    const bool ok = error_.empty();
    return (ok ? "書庫ファイルを元に戻しました\n" : "書庫ファイルを元に戻せませんでした\n") +
           DisplayText::fromDisk(data_.archivePath);
  }
  std::size_t back = 0;
  for (bool b : back_) back += b ? 1 : 0;
  std::string text = DisplayText::fromDisk(folder()) + "\n" + std::to_string(back) +
                     "個のファイルを元に戻しました";
  if (back < back_.size())
    text.append("\n").append(std::to_string(back_.size() - back)).append("個のファイルは元に戻せませんでした");
  return text;
}

bool JournalRecovery::discard() {
  error_.clear();
  setAside_.clear();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  // Never over another file: a second discard within the same second takes
  // the next free suffix.
  std::error_code ec;
  for (int n = 0; n < 100; ++n) {
    const std::string candidate =
        path_ + "." + stamp + (n == 0 ? std::string() : std::string("-").append(std::to_string(n)));
    ec = fs_.rename(path_, candidate);
    if (ec == std::errc::file_exists) continue;
    if (!ec) setAside_ = candidate;
    break;
  }
  if (setAside_.empty()) {
    error_ = DisplayText::fromDisk(path_) + ": 中断された処理の記録を移動できません";
    return false;
  }
  fs_.syncFolder(RunJournal::folderOf(path_));
  removeLeftovers();
  return true;
}

void JournalRecovery::removeLeftovers() {
  OwnFiles::removeLeftovers(fs_, RunJournal::folderOf(path_));
}

std::string JournalRecovery::folder() const {
  if (data_.archive) return RunJournal::folderOf(data_.archivePath);
  const std::string& f = data_.folder;
  return f.size() > 1 && f.back() == '/' ? f.substr(0, f.size() - 1) : f;
}

bool JournalRecovery::recover() {
  error_.clear();
  back_.assign(data_.rows.size(), false);
  if (!(data_.archive ? recoverArchive() : recoverFolder())) return false;
  if (!data_.archive) settleUndoHistory();
  return removeJournal();
}

void JournalRecovery::settleUndoHistory() {
  UndoHistory history(fs_, FileSystem::joinPath(RunJournal::folderOf(path_), UndoFile::FileName));
  if (fs_.exists(history.setAsidePath())) {
    history.restoreSetAside();
    return;
  }
  // Only a run that renamed can have recorded itself, at its very end.
  if (!data_.stageStarted(JournalStage::Renames) || history.compact()) return;
  const std::string latest = history.pathOf(0);
  FileInfo info;
  std::string bytes;
  UndoLog log;
  if (fs_.lookUp(latest, info) || info.kind != EntryKind::File || info.size > UndoFlow::MaxSize ||
      fs_.readWholeFile(latest, bytes) || UndoFile::decode(bytes, log) != UndoFile::Status::Ok)
    return;
  if (log.folder != data_.folder || log.records.size() != data_.rows.size()) return;
  for (std::size_t i = 0; i < log.records.size(); ++i)
    if (log.records[i].newName != data_.rows[i].newName || log.records[i].oldName != data_.rows[i].oldName)
      return;
  history.dropLatest();
}

bool JournalRecovery::recoverFolder() {
  const std::string& folder = data_.folder;
  std::vector<std::string> listed;
  if (fs_.listNames(folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder, listed)) {
    error_ = DisplayText::fromDisk(folder) + ": フォルダを読み込めません";
    return false;
  }
  std::unordered_set<std::string> names(listed.begin(), listed.end());
  listed.clear();
  const std::size_t count = data_.rows.size();
  std::vector<bool> failed(count, false);

  // Moves row i from `from` back to `to` when the disk shows it under `from`.
  auto moveBack = [&](std::size_t i, const std::string& from, const std::string& to) {
    if (from == to || !names.count(from)) return;
    if (names.count(to) || fs_.rename(folder + from, folder + to)) {
      failed[i] = true;  // the name to return to is taken, or the rename failed
      return;
    }
    names.erase(from);
    names.insert(to);
  };
  // A stage that never began may find a row's next name held by another
  // row that has not moved yet; only begun stages are undone.
  if (data_.stageStarted(JournalStage::Renames)) {
    for (std::size_t i = count; i-- > 0;) {
      const JournalRow& row = data_.rows[i];
      if (row.tempName.empty())
        moveBack(i, row.newName, row.oldName);
      else if (row.newName != row.oldName)
        moveBack(i, row.newName, row.tempName);
    }
  }
  if (data_.stageStarted(JournalStage::TempNames)) {
    for (std::size_t i = count; i-- > 0;) {
      const JournalRow& row = data_.rows[i];
      if (!row.tempName.empty()) moveBack(i, row.tempName, row.oldName);
    }
  }

  const bool times = data_.stageStarted(JournalStage::Times);
  const bool attributes = times || data_.stageStarted(JournalStage::Attributes);
  std::optional<MetadataWriter> writer;
  if (attributes) writer.emplace(fs_, fs_.medium(folder));
  bool all = true;
  for (std::size_t i = 0; i < count; ++i) {
    const JournalRow& row = data_.rows[i];
    bool ok = !failed[i] && names.count(row.oldName);
    if (ok && row.isFile && attributes) {
      const std::string path = folder + row.oldName;
      // The recorded values carry over: what the file system cannot hold
      // it never had.
      if (times) ok = !writer->writeTimeTexts(path, row.created, row.modified, row.accessed, true);
      ok = !writer->writeAttributes(path, row.attributes, true, row.attributes) && ok;
    }
    back_[i] = ok;
    all = all && ok;
  }
  if (!all) error_ = DisplayText::fromDisk(folder) + ": 元に戻せなかったファイルがあります";
  return all;
}

bool JournalRecovery::recoverArchive() {
  const bool hasBackup = fs_.exists(data_.backupPath);
  const bool hasArchive = fs_.exists(data_.archivePath);
  bool ok = hasArchive;
  std::string why;
  if (hasBackup && !hasArchive) {
    ok = !fs_.rename(data_.backupPath, data_.archivePath);
  } else if (hasBackup && data_.archiveWritten()) {
    // The file under the archive's name is the run's new archive, complete
    // or not; the backup holds the archive as it was.
    ok = !fs_.remove(data_.archivePath) && !fs_.rename(data_.backupPath, data_.archivePath);
  } else if (hasBackup) {
    // Nothing says the run wrote what sits under the archive's name: both stay.
    ok = false;
    why = "\n書庫ファイルの名前のファイルが残っているため両方を残します";
  }
  back_.assign(data_.rows.size(), ok);
  if (!ok)
    error_ = DisplayText::fromDisk(data_.archivePath) + ": 書庫ファイルを元に戻せません" + why +
             "\n書庫ファイルのバックアップファイル名\n\n" + DisplayText::fromDisk(data_.backupPath);
  return ok;
}

bool JournalRecovery::removeJournal() {
  if (fs_.remove(path_)) {
    error_ = DisplayText::fromDisk(path_) + ": 中断された処理の記録を削除できません";
    return false;
  }
  // A removal lost to a power cut only makes the next start recover again,
  // which finds every row back.
  fs_.syncFolder(RunJournal::folderOf(path_));
  removeLeftovers();
  return true;
}

}  // namespace ritoma
