#include "archive/ArchivePlanEngine.h"

#include <unordered_set>

#include "archive/ArchiveBackend.h"
#include "archive/ArchiveRenameRun.h"
#include "archive/LzhRewriter.h"
#include "text/CaseMap.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

// Names collide without regard to case; in LZH paths "\" and "/" are the
// same separator.
std::string collisionKey(std::string_view name, bool lzh) {
  return CaseMap::foldKey(lzh ? Cp932::unifySeparators(name) : std::string(name));
}

// Whether the level-2 header the rewrite gives the row's entry would be
// larger than its 16-bit size can tell: a long path, or a short one beside
// large extended headers the entry keeps. The header stores code page 932
// proper; a name without it is the name check's to refuse.
bool tooLargeForLzh(const PlanRow& row, const std::vector<LzhHeader>& headers) {
  if (row.archiveIndex < 0 || static_cast<std::uint64_t>(row.archiveIndex) >= headers.size()) return false;
  bool ok = false;
  const std::string stored = TextCodec::toCodePage(row.newName, &ok);
  return ok && LzhRewriter::level2Size(headers[static_cast<std::size_t>(row.archiveIndex)], stored) >
                   LzhRewriter::MaxHeaderSize;
}

}  // namespace

CheckResult ArchivePlanEngine::check(PlanList& plan, RunOptions& options, bool automatic) {
  return CheckArchivePlan(plan, options, automatic);
}

RunResult ArchivePlanEngine::execute(PlanList& plan, RunOptions&) { return ExecuteArchivePlan(plan); }

std::vector<std::string> ArchivePlanEngine::rollBack(PlanList&, const RunOptions&, int, int) {
  return {};
}

CheckResult ArchivePlanEngine::CheckArchivePlan(PlanList& plan, const RunOptions& options,
                                                bool automatic) {
  CheckResult outcome;
  if (automatic && !settings_.chkAuto) {
    outcome.pending = true;
    return outcome;
  }
  const std::size_t rows = plan.rows.size();
  const bool showProgress = settings_.greet5 > 0 && rows >= static_cast<std::size_t>(settings_.greet5);
  if (showProgress)
    progress_.open("ファイルチェック中…",
                   static_cast<std::int64_t>((options.force ? 13 : 3) * rows));
  auto step = [&] {
    if (showProgress) progress_.step();
  };

  std::unordered_set<std::int64_t> inBatch;
  for (PlanRow& row : plan.rows) {
    row.mark = MarkNone;
    inBatch.insert(row.archiveIndex);
    step();
  }
  // An archive that cannot be listed contributes no names; the run reports it.
  const bool lzh = state_.arcKind == ArcLzh;
  const std::string path = TextCodec::toDisk(state_.arcPath);
  std::vector<ArcInfo> entries;
  std::vector<LzhHeader> headers;
  std::string error;
  ArchiveBackend::list(fs_, static_cast<ArcKind>(state_.arcKind), path, entries, error, &headers);
  std::unordered_set<std::string> outside;
  for (const ArcInfo& e : entries) {
    if (!inBatch.count(e.index)) outside.insert(collisionKey(e.name, lzh));
    step();
  }
  outcome.passed = true;
  for (PlanRow& row : plan.rows) {
    if (outside.count(collisionKey(row.newName, lzh)))
      row.mark = MarkExists;
    else if (lzh && tooLargeForLzh(row, headers))
      row.mark = MarkHeaderTooLong;
    if (row.mark != MarkNone) {
      outcome.passed = false;
      if (settings_.chkStop) break;
    }
    step();
  }
  if (showProgress) progress_.close();
  return outcome;
}

RunResult ArchivePlanEngine::ExecuteArchivePlan(PlanList& plan) {
  RunResult result;
  std::vector<ArcRenameRow> rows;
  for (const PlanRow& row : plan.rows) {
    if (row.mark != MarkNone) continue;
    if (row.archiveIndex < 0 || row.archiveIndex > 0xFFFFFFFF) {
      result.refusal = TextCodec::toUtf8(row.oldName) + ": 書庫の一覧から選んだ行ではありません";
      return result;
    }
    rows.push_back({static_cast<std::uint32_t>(row.archiveIndex), row.oldName, row.newName});
  }

  ArchiveRenameRun run(fs_, progress_);
  run.setJournalPath(journalPath_);
  const bool ok = run.run(static_cast<ArcKind>(state_.arcKind), TextCodec::toDisk(state_.arcPath),
                          rows, backupMode_);
  state_.arcBackupPath = TextCodec::toInternal(run.backupPath());
  if (!ok) {
    // No row of a failed run was renamed: the archive is back as it was,
    // or only its backup holds it.
    const RowOutcome outcome = !run.archiveMoved()          ? RowOutcome::NotRun
                               : run.backupPath().empty() ? RowOutcome::RolledBack
                                                          : RowOutcome::NotRolledBack;
    for (PlanRow& row : plan.rows) {
      if (row.mark != MarkNone) continue;
      row.mark = MarkFailed;
      row.outcome = outcome;
    }
    result.code = -1;
    result.failed = true;
    result.furtherMessages.push_back(run.error());
    if (!run.backupPath().empty())
      result.furtherMessages.push_back("書庫ファイルのバックアップファイル名\n\n" + run.backupPath());
    return result;
  }
  result.folder = plan.folder;
  // As the archive lists them now: a code-page-932 header holds the real
  // codes (〜 U+301C reads back as ～ U+FF5E), and an LZH path typed with "\"
  // is listed with "/".
  for (const PlanRow& row : plan.rows) {
    if (row.mark != MarkNone) continue;
    std::string name = row.storedAsCodePage ? TextCodec::toCodePage(row.newName) : row.newName;
    result.processedNames.push_back(state_.arcKind == ArcLzh ? Cp932::unifySeparators(name)
                                                             : std::move(name));
  }
  return result;
}

}  // namespace ritoma
