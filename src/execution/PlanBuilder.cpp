#include "execution/PlanBuilder.h"

#include "execution/AttributeText.h"
#include "platform/TimeConvert.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

// The first `count` characters of a code-page-932 text.
std::string firstChars(const std::string& text, std::size_t count) {
  std::size_t pos = 0;
  for (std::size_t n = 0; n < count && pos < text.size(); ++n) pos += Cp932::charLength(text, pos);
  return text.substr(0, pos);
}

}  // namespace

std::string PlanBuilder::join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

PlanList PlanBuilder::build(const EditList& list, PlanMode mode, const std::string& folder,
                            FileSystem& fs, ProgressSink& progress, int greet4) {
  PlanList plan;
  plan.mode = mode;
  plan.folder = folder;
  plan.renameMode = mode == PlanMode::Archive || list.stageCount() > 0;
  plan.setDefaultCaptions();

  const std::size_t rows = list.rows.size();
  const bool showProgress = greet4 > 0 && rows >= static_cast<std::size_t>(greet4);
  if (showProgress) progress.open("ファイル名展開中…", static_cast<std::int64_t>(rows));

  plan.rows.reserve(rows);
  for (std::size_t i = 0; i < rows; ++i) {
    const EditRow& edit = list.rows[i];
    PlanRow row;
    row.image = edit.icon;
    row.oldName = edit.names.front();
    row.newName = plan.renameMode ? edit.names.back() : row.oldName;
    if (mode == PlanMode::Archive) {
      row.modified = firstChars(edit.infoText, 19);
    } else if (edit.icon == 0) {
      // A file that vanished since it was listed keeps empty texts; its
      // rename then fails and the run is rolled back.
      FileInfo info;
      if (!fs.stat(join(folder, TextCodec::toDisk(row.oldName)), info)) {
        row.created = row.origCreated = TimeConvert::toText(info.created);
        row.modified = row.origModified = TimeConvert::toText(info.modified);
        row.accessed = row.origAccessed = TimeConvert::toText(info.accessed);
        row.attrs = row.origAttrs = AttributeText::fromBits(info.attributes);
      }
    }
    plan.rows.push_back(std::move(row));
    if (showProgress) progress.step();
  }
  if (showProgress) progress.close();
  return plan;
}

}  // namespace ritoma
