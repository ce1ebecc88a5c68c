#include "conversion/ConversionStage.h"

namespace ritoma {

ConversionStage ConversionStage::make(std::size_t sourceColumn, bool errorRowsOnly) {
  ConversionStage stage;
  stage.sourceColumn = sourceColumn;
  stage.stageNumber = static_cast<int>(sourceColumn);
  stage.firstColumnToReplace = sourceColumn + 1;
  stage.errorRowsOnly = errorRowsOnly;
  return stage;
}

ConversionStage ConversionStage::ForStageButton(const EditList& edit) {
  const std::size_t last = edit.columnCount() - 1;
  return edit.hasErrorColumn() ? make(last - 1, true) : make(last, false);
}

std::optional<ConversionStage> ConversionStage::ForHeaderClick(const EditList& edit, std::size_t column) {
  const std::size_t count = edit.columnCount();
  if (column < 2 || column >= count) return std::nullopt;
  if (edit.hasErrorColumn() && column == count - 1) return make(column - 1, true);
  return make(column - 1, false);
}

}  // namespace ritoma
