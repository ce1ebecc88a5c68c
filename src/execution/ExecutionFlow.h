#pragma once

#include <string>
#include <utility>

#include "execution/ExecutionSettings.h"
#include "execution/PlanEngine.h"
#include "execution/PlanList.h"
#include "execution/RunOptions.h"
#include "execution/RunResult.h"
#include "shell/UserInteraction.h"

namespace ritoma {

// What "実行" does, for the forms and the command line alike: confirm, warn
// about folders, run the plan with the engine of its mode and, on failure,
// report it and roll back what was renamed in place.
class ExecutionFlow {
public:
  static constexpr const char* Caption = "Ritoma";
  static constexpr const char* FailureText = "予期せぬエラーが発生しました\nファイルの存在を確認してください";
  static constexpr const char* RollBackText =
      "予期せぬエラーが発生しました\nファイルの存在を確認してください\n処理済ファイルを元に戻します";
  static constexpr const char* FolderWarningText =
      "ディレクトリはコピー処理および\n日付・属性変更処理の対象外になります";
  // Told after a roll-back that left files changed, with their names and
  // the way to put them back (the recovery hint).
  static constexpr const char* NotRolledBackText = "以下のファイルを元に戻せませんでした";
  static constexpr const char* RecoveryHint = "Ritomaを起動し直すと元に戻せます";
  // Told after a failed copy run, with the names of the copies it made.
  static constexpr const char* CopiesLeftText = "以下のファイルはコピー先に残っています";
  // Heads the notes of a run (RunResult::rowNotes): dummies written with
  // the fallback content because their archive could not give its file.
  static constexpr const char* FellBackText =
      "書庫から取り出せなかったため\n以下のファイルは代わりの内容で作成しました";

  // The confirmation text (UTF-8) listing what the run will do.
  static std::string confirmationText(const PlanList& plan, const RunOptions& options);
  // True when folders of the batch would be left out and the user is to be told.
  static bool needsFolderWarning(const PlanList& plan, const RunOptions& options,
                                 int folderCount, const ExecutionSettings& settings);
  // The warning telling the notes of `result`, each row as "name: note";
  // empty when it has none.
  static std::string notesText(const RunResult& result);

  ExecutionFlow(UserInteraction& ui, const ExecutionSettings& settings);

  // How the user puts back the files a roll-back left (UTF-8); the
  // window's recovery at its next start unless set.
  void setRecoveryHint(std::string hint) { recoveryHint_ = std::move(hint); }

  // `folderCount` is the number of disk folders in the batch. A failure is
  // told with the fixed message and, below it, each failed row's name and
  // reason.
  RunResult run(PlanEngine& engine, PlanList& plan, RunOptions& options, int folderCount);

private:
  UserInteraction& ui_;
  const ExecutionSettings& settings_;
  std::string recoveryHint_ = RecoveryHint;
};

}  // namespace ritoma
