#pragma once

#include <cstddef>
#include <string>

#include "execution/ExecutionSettings.h"
#include "execution/PlanList.h"
#include "execution/RunOptions.h"
#include "platform/FileSystem.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// Outcome of a collision check.
struct CheckResult {
  bool passed = false;   // no row marked: "実行" may be enabled
  bool pending = false;  // the check did not run ("？" shows it is pending)
};

// The collision check of a folder plan: marks the rows whose rename or copy
// would meet an existing name or a name still held by a later row, and,
// with force change, those whose temporary name is longer than a name on
// disk may be.
//
// The marks are those of the row-by-row comparison in list order (which row
// of a pair is marked, where ChkStop ends), found through hash tables of
// case-folded names so that large batches check in linear time.
//
// A copy check marks every colliding row whatever ChkStop says: "ｴﾗｰ無視"
// copies the unmarked rows, so a row left clear must be free. A copy
// folder that cannot be listed marks every row.
class FolderPlanCheck {
public:
  // `listedCount` is the number of entries of the selection list; it only
  // sizes the progress window. In `ownFolder` (the settings folder) a new
  // name that is one of the program's own files there is marked as taken.
  FolderPlanCheck(FileSystem& fs, ProgressSink& progress, const ExecutionSettings& settings,
                  std::size_t listedCount = 0, std::string ownFolder = {});

  // `automatic` is false only for the "？" button. With copy on, a copy
  // folder that does not exist is cleared from `options` (names are then
  // compared with the current folder) and an existing one goes to the top
  // of the copy folder history.
  CheckResult check(PlanList& plan, RunOptions& options, bool automatic);

  // Enabling of "ｴﾗｰ無視": only a failed copy check can be ignored.
  static bool ignoreOptionEnabled(bool copyEnabled, bool copyChecked, bool executeEnabled);

private:
  bool checkCopy(PlanList& plan, RunOptions& options, const std::string& target);
  bool checkInPlace(PlanList& plan, const RunOptions& options);
  void step(std::size_t count = 1);

  FileSystem& fs_;
  ProgressSink& progress_;
  const ExecutionSettings& settings_;
  std::size_t listedCount_;
  std::string ownFolder_;
  bool showProgress_ = false;
};

}  // namespace ritoma
