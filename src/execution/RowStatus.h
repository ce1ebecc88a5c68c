#pragma once

#include <string>
#include <string_view>

#include "execution/PlanRow.h"

namespace ritoma {

// The texts of the plan list's result column after a run that failed or
// left notes (UTF-8): what the run left of each row, never a word of
// success for a row that is not done.
class RowStatus {
public:
  static constexpr const char* Caption = "実行結果";
  static constexpr const char* Failed = "失敗";
  static constexpr const char* NotRun = "未処理";
  static constexpr const char* RolledBack = "元に戻しました";
  static constexpr const char* NotRolledBack = "元に戻せませんでした";
  static constexpr const char* CopyLeft = "コピー済";
  // A dummy written with the fallback content, followed by the note.
  static constexpr const char* FellBack = "代わりの内容で作成";

  // `reason` is the row's entry of RunResult::rowErrors, `note` its entry of
  // RunResult::rowNotes (each empty if none).
  static std::string afterRun(const PlanRow& row, std::string_view reason, std::string_view note = {});
};

}  // namespace ritoma
