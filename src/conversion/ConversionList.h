#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/CharConverter.h"
#include "conversion/ConversionRow.h"
#include "conversion/ConversionStage.h"
#include "conversion/StringReplacer.h"
#include "conversion/TemplateEngine.h"
#include "selection/EditList.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// The conversion list of page 変換: one row per edit-list row, in the same
// order. Applying a tool recomputes the results of the checked rows from
// their sources; saving stores them as a stage of the edit list.
class ConversionList {
public:
  std::vector<ConversionRow> rows;
  std::size_t firstColumnToReplace = 2;
  int stageNumber = 1;

  // Fills the rows for a stage: sources from its column, results empty,
  // every row checked (in the error case only the failing rows), no keys.
  void Open(const EditList& edit, const ConversionStage& stage);

  // The template engine's view of row `i`.
  TemplateRow templateRow(const EditList& edit, std::size_t i) const;

  // Preview of the template tool on row `i`: compiles both templates (the
  // extension template, or "/e<0,0,0>" without one) and expands the row
  // numbered as the first of a run. The compiled lists stay for the apply
  // step. Throws NotIntegerError.
  std::string PreviewTemplate(TemplateEngine& engine, const EditList& edit, std::size_t i,
                              std::string_view nameTemplate, const std::string* extTemplate) const;

  // Applies a tool to the checked rows in list order. The progress window
  // ("変換中…") opens when `progressThreshold` > 0 and the list has at
  // least that many rows. The template pass uses the templates compiled by
  // the last preview and clears them afterwards.
  void ApplyToRows(TemplateEngine& engine, const EditList& edit, ProgressSink& progress, int progressThreshold);
  void ApplyToRows(const StringReplacer& replacer, ProgressSink& progress, int progressThreshold);
  void ApplyToRows(const CharConverter& converter, ProgressSink& progress, int progressThreshold);

  // "保存": replaces the edit-list columns from the first column to replace
  // on with a new stage of the results (the source where a result is
  // empty). Returns the number of the next stage.
  int SaveStage(EditList& edit) const;

private:
  template <typename Convert>
  void applyChecked(ProgressSink& progress, int progressThreshold, Convert convert);
};

}  // namespace ritoma
