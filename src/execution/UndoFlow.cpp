#include "execution/UndoFlow.h"

#include <unordered_map>
#include <vector>

#include "execution/AttributeText.h"
#include "execution/DisplayText.h"
#include "execution/OwnFiles.h"
#include "execution/RunJournal.h"
#include "execution/UndoHistory.h"
#include "platform/TimeConvert.h"
#include "text/TextCodec.h"

namespace ritoma {

UndoFlow::UndoFlow(FileSystem& fs, UserInteraction& ui, std::string undoPath)
    : fs_(fs), ui_(ui), undoPath_(std::move(undoPath)) {}

std::optional<UndoLog> UndoFlow::load() {
  // The record may name files an interrupted run still holds under other names.
  if (RunJournal::pending(fs_, RunJournal::pathBeside(undoPath_))) {
    ui_.tell(MessageKind::Error, JournalPendingText, Caption);
    return std::nullopt;
  }
  // A rotation cut short may have left the latest's place empty.
  UndoHistory history(fs_, undoPath_);
  history.compact();
  std::string bytes;
  FileInfo record;
  if (!fs_.stat(undoPath_, record) && !record.isFolder && record.size > MaxSize) {
    ui_.tell(MessageKind::Error, TooLargeText, Caption);
    return std::nullopt;
  }
  if (fs_.readWholeFile(undoPath_, bytes) || bytes.empty()) {
    ui_.tell(MessageKind::Error, NoInfoText, Caption);
    return std::nullopt;
  }
  UndoLog log;
  if (UndoFile::decode(bytes, log) != UndoFile::Status::Ok) {
    ui_.tell(MessageKind::Error, DamagedText, Caption);
    return std::nullopt;
  }
  log.digest = UndoHistory::digest(bytes);
  bytes = std::string();
  FileInfo info;
  if (fs_.stat(log.folder, info) || !info.isFolder) {
    ui_.tell(MessageKind::Error,
             DisplayText::fromDisk(log.folder) + "\nUNDO情報のパスが存在しません\n処理を中止します",
             Caption);
    if (ui_.askAs(MessageKind::Error, QuestionKind::YesNo, "UNDO情報を削除しますか？", Caption) == Answer::Yes)
      history.dropLatest();
    return std::nullopt;
  }
  if (log.records.empty()) {
    ui_.tell(MessageKind::Error, NoInfoText, Caption);
    return std::nullopt;
  }
  return log;
}

UndoFlow::Built UndoFlow::buildReversePlan(const UndoLog& log, UndoSelection& selection,
                                           EditList& edit, PlanList& plan) {
  missing_.clear();
  nameCheck_ = {};
  plan.clear();
  plan.mode = PlanMode::Folder;
  plan.renameMode = true;
  plan.folder = log.folder.size() > 1 && log.folder.back() == '/'
                    ? log.folder.substr(0, log.folder.size() - 1)
                    : log.folder;
  edit.clear();

  // Entries by full name, in list order.
  std::unordered_map<std::string, std::vector<std::size_t>> entries;
  entries.reserve(selection.size());
  for (std::size_t e = 0; e < selection.size(); ++e) entries[selection.fullName(e)].push_back(e);

  std::vector<std::string> newNames;
  std::size_t longestInfo = 0;
  for (const UndoRecord& record : log.records) {
    PlanRow row;
    row.oldName = TextCodec::toInternal(record.newName);
    row.newName = TextCodec::toInternal(record.oldName);
    if (record.isFile) {
      row.created = record.created;
      row.modified = record.modified;
      row.accessed = record.accessed;
      row.attrs = record.attrs;
      row.origCreated = TimeConvert::fromText(record.created).value_or(0);
      row.origModified = TimeConvert::fromText(record.modified).value_or(0);
      row.origAccessed = TimeConvert::fromText(record.accessed).value_or(0);
      row.origAttrs = AttributeText::toBits(record.attrs);
    }

    std::optional<std::size_t> found;
    if (auto it = entries.find(row.oldName); it != entries.end()) {
      for (std::size_t e : it->second) {
        if (!selection.isChecked(e)) {
          found = e;
          break;
        }
      }
    }
    if (!found) {
      missing_.push_back(std::move(row.oldName));
      continue;
    }
    selection.check(*found);
    EditRow editRow;
    editRow.icon = selection.icon(*found);
    editRow.isFolder = editRow.icon == 1;
    editRow.infoText = selection.infoText(*found);
    editRow.names.push_back(row.oldName);
    longestInfo = std::max(longestInfo, editRow.infoText.size());
    if (editRow.isFolder) ++edit.folderCount;
    edit.rows.push_back(std::move(editRow));
    newNames.push_back(row.newName);
    row.image = selection.icon(*found);
    plan.rows.push_back(std::move(row));
  }
  // One question for all the files that are missing, however many.
  auto abandon = [&](Built why) {
    plan.clear();
    edit.clear();
    return why;
  };
  if (!missing_.empty() && plan.rows.empty()) {
    ui_.tell(MessageKind::Error,
             "UNDOするファイルが見つかりません\n" + DisplayText::fromDisk(log.folder) + "\n" +
                 std::to_string(missing_.size()) + "個のファイルがありません\nUNDO情報は残します",
             Caption);
    return abandon(Built::NoneFound);
  }
  if (!missing_.empty()) {
    std::string question = DisplayText::fromCp932(missing_.front());
    if (missing_.size() > 1) question += " ほか" + std::to_string(missing_.size() - 1) + "個";
    question += "\nファイルが見つかりません\n続行しますか？";
    if (ui_.askAs(MessageKind::Warning, QuestionKind::YesNo, question, Caption) != Answer::Yes)
      return abandon(Built::Declined);
  }

  edit.appendStage(newNames);
  edit.sizeWidth = static_cast<int>(longestInfo) - 20;

  // The names to return to pass the rename check of any batch: two rows
  // going back to one name, or a name the folder cannot take, are refused
  // before anything is renamed.
  NullProgress quiet;
  const bool ownFolder = OwnFiles::sameFolder(log.folder, RunJournal::folderOf(undoPath_));
  nameCheck_ = NameCheck::checkEditList(edit, true, quiet, 0, false, nullptr, ownFolder);
  if (!nameCheck_.passed()) {
    plan.clear();
    ui_.tell(MessageKind::Error,
             "元に戻すファイル名が正しくないため処理を中止します\n" +
                 (nameCheck_.refusal.empty() ? TextCodec::toUtf8(nameCheck_.caption()) : nameCheck_.refusal),
             Caption);
    return Built::NamesRefused;
  }

  plan.reverses = log.digest;
  plan.setDefaultCaptions();
  for (std::size_t c = PlanList::ColCreated; c <= PlanList::ColAttrs; ++c) plan.markChanged(c);
  return Built::Ok;
}

}  // namespace ritoma
