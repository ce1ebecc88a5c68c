#include "execution/RowStatus.h"

namespace ritoma {

namespace {

const char* outcomeText(RowOutcome outcome) {
  switch (outcome) {
    case RowOutcome::NotRun: return RowStatus::NotRun;
    case RowOutcome::RolledBack: return RowStatus::RolledBack;
    case RowOutcome::NotRolledBack: return RowStatus::NotRolledBack;
    case RowOutcome::CopyLeft: return RowStatus::CopyLeft;
  }
  return RowStatus::NotRun;
}

}  // namespace

std::string RowStatus::afterRun(const PlanRow& row, std::string_view reason, std::string_view note) {
  if (row.mark == MarkNone && !note.empty()) return std::string(FellBack) + ": " + std::string(note);
  // A row the checks marked was skipped like one the run never reached.
  if (row.mark != MarkFailed) return row.mark == MarkNone ? outcomeText(row.outcome) : NotRun;
  std::string text = Failed;
  if (!reason.empty()) {
    text += ": ";
    text += reason;
  }
  if (row.outcome != RowOutcome::NotRun) {
    text += "（";
    text += outcomeText(row.outcome);
    text += "）";
  }
  return text;
}

}  // namespace ritoma
