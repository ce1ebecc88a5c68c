#pragma once

#include <optional>
#include <string>
#include <vector>

#include "execution/DummyWriter.h"
#include "execution/ExecutionSettings.h"
#include "execution/PlanList.h"
#include "execution/RunOptions.h"
#include "execution/RunResult.h"
#include "execution/RunJournal.h"
#include "platform/FileSystem.h"

namespace ritoma {

// Carries out a checked folder plan: renaming in place (optionally through
// temporary names) or copying (optionally as dummy files), then the times,
// then the attributes, in row order; rows with a mark are skipped. A failing
// row gets MarkFailed, its reason in the result, and ends the run; each row
// keeps what the run left of it (RowOutcome). A successful in-place run puts
// its undo record on top of the undo history (UndoHistory); the older ones
// stay as they are until the new one is complete, and a run whose record
// cannot be written says so in its result. The run of a reverse plan
// (PlanList::reverses) records nothing and takes the record it reverses
// out of the history instead.
//
// A run that changes the files in place (not copies) keeps the crash
// journal beside the undo file from before its first operation until it
// ends; a failed run keeps it until rollBack has put every row back. A run
// is refused while an older journal is pending.
//
// Times and attributes are written and read back through MetadataWriter:
// one the file already shows is not written, one the medium ignored fails
// its row. A row's listed values only carry over (to a copy, back to a
// file by undo): those the target folder's file system cannot hold are
// left out. A new value there that it cannot hold refuses the run before
// anything changes.
class FolderPlanRun {
public:
  // `undoPath` is where the undo file lives; `dummy` supplies the dummy
  // writers (may be null when dummy files are never asked for).
  FolderPlanRun(FileSystem& fs, const ExecutionSettings& settings, std::string undoPath,
                DummyWriter* dummy = nullptr);

  RunResult execute(PlanList& plan, RunOptions& options);
  void setDummyWriter(DummyWriter* dummy) { dummy_ = dummy; }

  // Restores a partly renamed in-place plan after a failure with the given
  // stage flags, `last` being the last row the failing stage completed.
  // Every step runs from the higher row index down and goes on past a
  // failure; the journal is removed only when every step succeeded. Each
  // row it puts back reads RolledBack, each it could not NotRolledBack;
  // returns the names (disk bytes) those files have now.
  std::vector<std::string> rollBack(PlanList& plan, const RunOptions& options, int flags, int last);

private:
  // Copies the unmarked file rows. With "ｴﾗｰ無視" a row whose new name
  // was taken since the check is skipped (MarkFailed) and its new name
  // added to `skipped`; any other failure ends the copying. Failed rows go
  // to the result's rowErrors.
  bool copyRows(PlanList& plan, const RunOptions& options, const std::string& target,
                RunResult& result, std::vector<std::string>& skipped);
  // Writes the dummies of the unmarked file rows; false, with the failed
  // row marked, when a writer fails. A row whose archive could not give its
  // stored file gets the fallback content and a note in the result.
  bool writeDummies(PlanList& plan, const std::string& source, const std::string& target,
                    RunResult& result);
  // Why the plan cannot run where `target` (with its trailing "/") lies,
  // on `medium`: a new creation time, last access time or attribute that
  // its file system cannot hold. Empty when it can run.
  std::string unheldChanges(const PlanList& plan, const std::string& target,
                            const MediumTraits& medium);
  // Writes the undo record of `plan` (its rows encoded in `rows`, which
  // are let go as they are written; `encoded` false when they could not
  // be) under a temporary name.
  bool prepareUndo(const PlanList& plan, std::vector<std::string>& rows, bool encoded,
                   RunResult& result);
  bool mayChangeHistory(RunResult& result);
  void commitUndo(const PlanList& plan, RunResult& result);
  void dropPreparedUndo();
  // Starts the journal of `plan`, its rows encoded in `rows`.
  bool beginJournal(const PlanList& plan, const RunOptions& options,
                    const std::vector<std::string>& rows, bool encoded, RunResult& result);

  FileSystem& fs_;
  const ExecutionSettings& settings_;
  std::string undoPath_;
  DummyWriter* dummy_;
  std::string undoTemp_;  // the prepared undo file under its temporary name, if any
  std::unique_ptr<OutputFile> undoFile_;  // that file, written, open until it is synced
  RunJournal journal_;
};

}  // namespace ritoma
