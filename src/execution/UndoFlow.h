#pragma once

#include <optional>
#include <string>

#include "execution/PlanList.h"
#include "execution/UndoFile.h"
#include "execution/UndoSelection.h"
#include "platform/FileSystem.h"
#include "selection/EditList.h"
#include "shell/UserInteraction.h"

namespace ritoma {

// The "UNDO" button: reads the undo file and builds the reverse plan of the
// last batch. The caller opens the recorded folder between the two steps,
// and afterwards shows page 属性 ("Ritoma - 属性（UNDO）") and runs the
// collision check.
class UndoFlow {
public:
  static constexpr const char* Caption = "Ritoma";
  static constexpr const char* NoInfoText = "UNDO情報はありません";
  static constexpr const char* DamagedText = "UNDO情報が壊れています\n処理を中止します";

  UndoFlow(FileSystem& fs, UserInteraction& ui, std::string undoPath);

  // Reads the undo file. Tells the user and returns nothing when there is
  // nothing to undo: no file, an empty or damaged one, a folder that no
  // longer exists (then offers to delete the file), or no records.
  std::optional<UndoLog> load();

  // With the recorded folder open and every entry unchecked: checks the
  // entries of the recorded files, fills the edit list (one stage: the
  // names to return to) and the reverse plan, all four time and attribute
  // columns marked changed. A file that is not found is asked about; "No"
  // clears both lists and returns false.
  bool buildReversePlan(const UndoLog& log, UndoSelection& selection, EditList& edit,
                        PlanList& plan);

private:
  FileSystem& fs_;
  UserInteraction& ui_;
  std::string undoPath_;
};

}  // namespace ritoma
