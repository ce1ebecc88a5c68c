#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "execution/NameCheck.h"
#include "execution/PlanList.h"
#include "execution/UndoFile.h"
#include "execution/UndoSelection.h"
#include "platform/FileSystem.h"
#include "selection/EditList.h"
#include "shell/UserInteraction.h"

namespace ritoma {

// The "UNDO" button: reads the latest record of the undo history and builds
// the reverse plan of its batch. The caller opens the recorded folder
// between the two steps, and afterwards shows page 属性 ("Ritoma - 属性（UNDO）")
// and runs the collision check. The run of that plan takes the record out
// of the history, so that the next UNDO offers the batch before it.
class UndoFlow {
public:
  static constexpr const char* Caption = "Ritoma";
  static constexpr const char* NoInfoText = "UNDO情報はありません";
  static constexpr const char* DamagedText = "UNDO情報が壊れています\n処理を中止します";
  static constexpr const char* TooLargeText = "UNDO情報が大きすぎるため読み込めません\n処理を中止します";
  // A record larger than this is refused unread. A row takes at most about
  // 600 bytes (two names of at most 255 bytes, three time texts and the
  // attributes; typically near 110), so this holds well over a million
  // rows of the longest names, far beyond any folder's batch.
  static constexpr std::uint64_t MaxSize = std::uint64_t{1} << 30;
  static constexpr const char* JournalPendingText =
      "前回の処理が中断されたままです\n元に戻してから実行してください";

  UndoFlow(FileSystem& fs, UserInteraction& ui, std::string undoPath);

  // Reads the latest record. Tells the user and returns nothing while an
  // interrupted run waits to be put back, and when there is nothing to
  // undo: no record, an empty or damaged one, a folder that no longer
  // exists (then offers to delete the record, the one before it becoming
  // the latest), or no rows.
  std::optional<UndoLog> load();

  enum class Built {
    Ok,
    Declined,      // files were missing and the user did not go on
    NoneFound,     // no recorded file is in the folder; the user was told
    NamesRefused,  // the rename check refused names to return to; the user was told
  };

  // With the recorded folder open and every entry unchecked: checks the
  // entries of the recorded files, fills the edit list (one stage: the
  // names to return to) and the reverse plan, all four time and attribute
  // columns marked changed, and runs the rename check on the names to
  // return to (its errors stay in the edit list's error column). Files that
  // are not found are asked about once, with their count; "No" clears both
  // lists. When none is found, nothing is asked and the record stays as it
  // is. The plan reverses the log's record (PlanList::reverses).
  Built buildReversePlan(const UndoLog& log, UndoSelection& selection, EditList& edit,
                         PlanList& plan);

  // After buildReversePlan: the recorded names not found (code page 932),
  // and the rename check's result.
  const std::vector<std::string>& missing() const { return missing_; }
  const NameCheck::Result& nameCheck() const { return nameCheck_; }

private:
  FileSystem& fs_;
  UserInteraction& ui_;
  std::string undoPath_;
  std::vector<std::string> missing_;
  NameCheck::Result nameCheck_;
};

}  // namespace ritoma
