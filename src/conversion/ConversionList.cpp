#include "conversion/ConversionList.h"

namespace ritoma {

namespace {

// Closes the progress window on every way out of a pass.
class ProgressScope {
public:
  ProgressScope(ProgressSink& sink, int threshold, std::size_t rows) : sink_(sink) {
    if (threshold > 0 && rows >= static_cast<std::size_t>(threshold)) {
      sink_.open("変換中…", static_cast<std::int64_t>(rows));
      opened_ = true;
    }
  }
  ~ProgressScope() {
    if (opened_ && sink_.isOpen()) sink_.close();
  }
  void step() {
    if (opened_ && sink_.isOpen()) sink_.step();
  }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

private:
  ProgressSink& sink_;
  bool opened_ = false;
};

}  // namespace

void ConversionList::Open(const EditList& edit, const ConversionStage& stage) {
  rows.clear();
  rows.reserve(edit.rows.size());
  for (std::size_t i = 0; i < edit.rows.size(); ++i) {
    ConversionRow row;
    row.icon = edit.rows[i].icon;
    row.source = edit.nameAt(i, stage.sourceColumn);
    row.checked = !stage.errorRowsOnly || !edit.rows[i].error.empty();
    rows.push_back(std::move(row));
  }
  firstColumnToReplace = stage.firstColumnToReplace;
  stageNumber = stage.stageNumber;
}

TemplateRow ConversionList::templateRow(const EditList& edit, std::size_t i) const {
  TemplateRow row;
  row.source = rows[i].source;
  row.key = rows[i].key;
  row.infoText = edit.rows[i].infoText;
  row.listedName = edit.rows[i].names.front();
  return row;
}

std::string ConversionList::PreviewTemplate(TemplateEngine& engine, const EditList& edit, std::size_t i,
                                            std::string_view nameTemplate, const std::string* extTemplate) const {
  engine.ClearTemplates();
  engine.CompileTemplate(nameTemplate, engine.nameTemplate);
  engine.CompileTemplate(extTemplate ? std::string_view(*extTemplate) : std::string_view("/e<0,0,0>"),
                         engine.extTemplate);
  engine.ResetCounters(true);
  return engine.ExpandEntry(templateRow(edit, i));
}

template <typename Convert>
void ConversionList::applyChecked(ProgressSink& progress, int progressThreshold, Convert convert) {
  ProgressScope scope(progress, progressThreshold, rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].checked) continue;
    rows[i].result = convert(i);
    scope.step();
  }
}

void ConversionList::ApplyToRows(TemplateEngine& engine, const EditList& edit, ProgressSink& progress,
                                 int progressThreshold) {
  engine.ResetCounters(false);
  applyChecked(progress, progressThreshold, [&](std::size_t i) { return engine.ExpandEntry(templateRow(edit, i)); });
  engine.ClearTemplates();
}

void ConversionList::ApplyToRows(const StringReplacer& replacer, ProgressSink& progress, int progressThreshold) {
  applyChecked(progress, progressThreshold, [&](std::size_t i) { return replacer.ReplaceAll(rows[i].source); });
}

void ConversionList::ApplyToRows(const CharConverter& converter, ProgressSink& progress, int progressThreshold) {
  applyChecked(progress, progressThreshold, [&](std::size_t i) { return converter.ConvertChars(rows[i].source); });
}

int ConversionList::SaveStage(EditList& edit) const {
  edit.removeColumnsFrom(firstColumnToReplace);
  std::vector<std::string> names;
  names.reserve(rows.size());
  for (const ConversionRow& row : rows) names.push_back(row.result.empty() ? row.source : row.result);
  edit.appendStage(names);
  return static_cast<int>(edit.columnCount()) - 1;
}

}  // namespace ritoma
