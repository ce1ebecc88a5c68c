#include "execution/JournalRecovery.h"

#include <unordered_set>

#include <optional>

#include "execution/MetadataWriter.h"

namespace ritoma {

namespace {

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

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
    error_ = path_ + ": 中断された処理の記録を読み込めません";
    return Load::Damaged;
  }
  if (JournalFile::decode(bytes, data_) != JournalFile::Status::Ok) {
    error_ = path_ + ": 中断された処理の記録が壊れています";
    return Load::Damaged;
  }
  return Load::Ok;
}

std::string JournalRecovery::folder() const {
  if (data_.archive) return folderOf(data_.archivePath);
  const std::string& f = data_.folder;
  return f.size() > 1 && f.back() == '/' ? f.substr(0, f.size() - 1) : f;
}

bool JournalRecovery::recover() {
  error_.clear();
  back_.assign(data_.rows.size(), false);
  if (!(data_.archive ? recoverArchive() : recoverFolder())) return false;
  return removeJournal();
}

bool JournalRecovery::recoverFolder() {
  const std::string& folder = data_.folder;
  std::vector<std::string> listed;
  if (fs_.listNames(folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder, listed)) {
    error_ = folder + ": フォルダを読み込めません";
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
  if (!all) error_ = folder + ": 元に戻せなかったファイルがあります";
  return all;
}

bool JournalRecovery::recoverArchive() {
  const bool hasBackup = fs_.exists(data_.backupPath);
  const bool hasArchive = fs_.exists(data_.archivePath);
  bool ok = hasArchive;
  if (hasBackup) {
    // What the run left under the archive's name is its own new archive,
    // complete or not; the backup holds the archive as it was.
    ok = !(hasArchive ? fs_.replace(data_.backupPath, data_.archivePath)
                      : fs_.rename(data_.backupPath, data_.archivePath));
  }
  back_.assign(data_.rows.size(), ok);
  if (!ok)
    error_ = data_.archivePath + ": 書庫ファイルを元に戻せません\n書庫ファイルのバックアップファイル名\n\n" +
             data_.backupPath;
  return ok;
}

bool JournalRecovery::removeJournal() {
  if (fs_.remove(path_)) {
    error_ = path_ + ": 中断された処理の記録を削除できません";
    return false;
  }
  // A removal lost to a power cut only makes the next start recover again,
  // which finds every row back.
  fs_.syncFolder(folderOf(path_));
  return true;
}

}  // namespace ritoma
