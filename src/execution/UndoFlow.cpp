#include "execution/UndoFlow.h"

#include <unordered_map>
#include <vector>

#include "execution/AttributeText.h"
#include "execution/DisplayText.h"
#include "platform/TimeConvert.h"
#include "text/TextCodec.h"

namespace ritoma {

UndoFlow::UndoFlow(FileSystem& fs, UserInteraction& ui, std::string undoPath)
    : fs_(fs), ui_(ui), undoPath_(std::move(undoPath)) {}

std::optional<UndoLog> UndoFlow::load() {
  std::string bytes;
  if (fs_.readWholeFile(undoPath_, bytes) || bytes.empty()) {
    ui_.tell(MessageKind::Error, NoInfoText, Caption);
    return std::nullopt;
  }
  UndoLog log;
  if (UndoFile::decode(bytes, log) != UndoFile::Status::Ok) {
    ui_.tell(MessageKind::Error, DamagedText, Caption);
    return std::nullopt;
  }
  FileInfo info;
  if (fs_.stat(log.folder, info) || !info.isFolder) {
    ui_.tell(MessageKind::Error,
             DisplayText::fromDisk(log.folder) + "\nUNDO情報のパスが存在しません\n処理を中止します",
             Caption);
    if (ui_.askAs(MessageKind::Error, QuestionKind::YesNo, "UNDO情報を削除しますか？", Caption) == Answer::Yes)
      fs_.remove(undoPath_);
    return std::nullopt;
  }
  if (log.records.empty()) {
    ui_.tell(MessageKind::Error, NoInfoText, Caption);
    return std::nullopt;
  }
  return log;
}

bool UndoFlow::buildReversePlan(const UndoLog& log, UndoSelection& selection, EditList& edit,
                                PlanList& plan) {
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
      const std::string question =
          DisplayText::fromCp932(row.oldName) + "\nファイルが見つかりません\n続行しますか？";
      if (ui_.askAs(MessageKind::Warning, QuestionKind::YesNo, question, Caption) != Answer::Yes) {
        plan.clear();
        edit.clear();
        return false;
      }
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
  edit.appendStage(newNames);
  edit.sizeWidth = static_cast<int>(longestInfo) - 20;

  plan.setDefaultCaptions();
  for (std::size_t c = PlanList::ColCreated; c <= PlanList::ColAttrs; ++c) plan.markChanged(c);
  return true;
}

}  // namespace ritoma
