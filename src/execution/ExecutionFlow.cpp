#include "execution/ExecutionFlow.h"

#include "execution/DisplayText.h"

namespace ritoma {

namespace {

// `message` with the rows below it, each as "name: text".
std::string withReasons(const char* message, const std::vector<RunResult::RowError>& rows) {
  if (rows.empty()) return message;
  std::vector<std::string> lines;
  lines.reserve(rows.size());
  for (const RunResult::RowError& e : rows) lines.push_back(e.text.empty() ? e.name : e.name + ": " + e.text);
  return std::string(message) + "\n" + DisplayText::nameLines(lines);
}

}  // namespace

std::string ExecutionFlow::confirmationText(const PlanList& plan, const RunOptions& options) {
  std::string text = "\n以下の処理を実行します\n\n・ リネーム";
  if (plan.renameMode) {
    text += "あり\n";
    if (plan.mode == PlanMode::Folder) {
      if (options.copy)
        text += std::string("　（コピー") + (options.dummy ? "/ダミー" : "") + "）\n";
      else if (options.force)
        text += "　（強制変更）\n";
    }
  } else {
    text += "なし\n";
  }
  text += std::string("\n・ 日付変更") + (plan.anyTimeChanged() ? "あり\n" : "なし\n");
  text += std::string("\n・ 属性変更") + (plan.isChanged(PlanList::ColAttrs) ? "あり\n" : "なし\n");
  return text;
}

bool ExecutionFlow::needsFolderWarning(const PlanList& plan, const RunOptions& options,
                                       int folderCount, const ExecutionSettings& settings) {
  if (folderCount <= 0 || !settings.msgDir) return false;
  return (plan.renameMode && options.copy) || plan.anyTimeChanged() ||
         plan.isChanged(PlanList::ColAttrs);
}

std::string ExecutionFlow::notesText(const RunResult& result) {
  return result.rowNotes.empty() ? std::string() : withReasons(FellBackText, result.rowNotes);
}

ExecutionFlow::ExecutionFlow(UserInteraction& ui, const ExecutionSettings& settings)
    : ui_(ui), settings_(settings) {}

RunResult ExecutionFlow::run(PlanEngine& engine, PlanList& plan, RunOptions& options,
                             int folderCount) {
  RunResult result;
  if (settings_.msgExec &&
      ui_.askAs(MessageKind::Information, QuestionKind::OkCancel, confirmationText(plan, options), Caption) != Answer::Ok) {
    result.cancelled = true;
    return result;
  }
  if (needsFolderWarning(plan, options, folderCount, settings_) &&
      ui_.askAs(MessageKind::Warning, QuestionKind::OkCancel, FolderWarningText, Caption) != Answer::Ok) {
    result.cancelled = true;
    return result;
  }

  result = engine.execute(plan, options);
  if (!result.refusal.empty()) {
    ui_.tell(MessageKind::Error, result.refusal, Caption);
  } else if (result.code > 0) {
    ui_.tell(MessageKind::Error, withReasons(RollBackText, result.rowErrors), Caption);
    result.notRolledBack = engine.rollBack(plan, options, result.stageFlags(), result.lastDoneRow());
    if (!result.notRolledBack.empty()) {
      std::vector<std::string> names;
      names.reserve(result.notRolledBack.size());
      for (const std::string& name : result.notRolledBack) names.push_back(DisplayText::fromDisk(name));
      ui_.tell(MessageKind::Error,
               std::string(NotRolledBackText) + "\n" + DisplayText::nameLines(names) + "\n\n" + recoveryHint_,
               Caption);
    }
  } else if (result.failed) {
    ui_.tell(MessageKind::Error, withReasons(FailureText, result.rowErrors), Caption);
    for (const auto& message : result.furtherMessages) ui_.tell(MessageKind::Error, message, Caption);
    std::vector<std::string> copies;
    for (const PlanRow& row : plan.rows)
      if (row.outcome == RowOutcome::CopyLeft) copies.push_back(DisplayText::fromCp932(row.newName));
    if (!copies.empty())
      ui_.tell(MessageKind::Warning, std::string(CopiesLeftText) + "\n" + DisplayText::nameLines(copies),
               Caption);
  }
  if (!result.failed && !result.skipWarning.empty())
    ui_.tell(MessageKind::Warning, result.skipWarning, Caption);
  if (!result.failed && !result.undoWarning.empty())
    ui_.tell(MessageKind::Warning, result.undoWarning, Caption);
  return result;
}

}  // namespace ritoma
