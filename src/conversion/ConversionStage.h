#pragma once

#include <cstddef>
#include <optional>

#include "selection/EditList.h"

namespace ritoma {

// Where a conversion stage starts: the edit-list column it reads, its
// number, and the column at which saving it stores the result.
class ConversionStage {
public:
  std::size_t sourceColumn = 1;
  int stageNumber = 1;
  std::size_t firstColumnToReplace = 2;
  // Redo after the rename check found errors: only failing rows start checked.
  bool errorRowsOnly = false;

  // The stage button of page 編集: the next stage, or with the check's
  // error column, the last stage built again for the failing rows.
  static ConversionStage ForStageButton(const EditList& edit);
  // A click on an edit-list column header: a stage column is built again
  // from the column before it, the error column acts as the stage button.
  // Nothing for the icon column, "元ﾌｧｲﾙ名" or a column that does not exist.
  static std::optional<ConversionStage> ForHeaderClick(const EditList& edit, std::size_t column);

private:
  static ConversionStage make(std::size_t sourceColumn, bool errorRowsOnly);
};

}  // namespace ritoma
