#include "execution/PlanBuilder.h"

#include <type_traits>

#include "execution/AttributeText.h"
#include "platform/LocalTimes.h"
#include "platform/ParallelRange.h"
#include "platform/Prefault.h"
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


// What a plan row takes from the edit row of a list that is given up.
struct TakenRow {
  std::string oldName;
  std::string newName;
  std::int64_t archiveIndex = -1;
  int icon = 0;
};

// The rows of `list` in order; `lookUp(i, name, info)` describes the file
// of row i, false when it is not found. A list given as an rvalue (folder
// mode only) gives up its names and rows; they are let go before the plan
// rows are made, so that a large batch never holds both lists.
template <class List, class LookUp>
PlanList buildRows(List&& list, PlanMode mode, const std::string& folder,
                   ProgressSink& progress, int greet4, LookUp&& lookUp) {
  constexpr bool consume = !std::is_reference_v<List>;
  PlanList plan;
  plan.mode = mode;
  plan.folder = folder;
  plan.renameMode = mode == PlanMode::Archive || list.stageCount() > 0;
  plan.setDefaultCaptions();

  const std::size_t rows = list.rows.size();
  const bool showProgress = greet4 > 0 && rows >= static_cast<std::size_t>(greet4);
  if (showProgress) progress.open("ファイル名展開中…", static_cast<std::int64_t>(rows));

  std::vector<TakenRow> taken;
  if constexpr (consume) {
    taken.resize(rows);
    for (std::size_t i = 0; i < rows; ++i) {
      EditRow& edit = list.rows[i];
      TakenRow& t = taken[i];
      t.oldName = std::move(edit.names.front());
      t.newName = plan.renameMode && edit.names.size() > 1 ? std::move(edit.names.back()) : t.oldName;
      t.archiveIndex = edit.archiveIndex;
      t.icon = edit.icon;
      edit = EditRow();
    }
    list.clear();
    list.rows.shrink_to_fit();
  }

  Prefault::resize(plan.rows, rows);
  auto makeRow = [&](std::size_t i, LocalTimes& zone) {
    PlanRow& row = plan.rows[i];
    int icon = 0;
    if constexpr (consume) {
      TakenRow& t = taken[i];
      row.oldName = std::move(t.oldName);
      row.newName = std::move(t.newName);
      row.archiveIndex = t.archiveIndex;
      icon = t.icon;
    } else {
      const EditRow& edit = list.rows[i];
      row.oldName = edit.names.front();
      row.newName = plan.renameMode ? edit.names.back() : row.oldName;
      row.archiveIndex = edit.archiveIndex;
      icon = edit.icon;
      if (mode == PlanMode::Archive) {
        row.storedAsCodePage = edit.storedAsCodePage;
        row.modified = firstChars(edit.infoText, 19);
      }
    }
    row.image = icon;
    if (mode != PlanMode::Archive && icon == 0) {
      // A file that vanished since it was listed keeps empty texts; its
      // rename then fails and the run is rolled back.
      FileInfo info;
      if (lookUp(i, row.oldName, info)) {
        row.created = std::string(zone.toText(info.created).view());
        row.modified = std::string(zone.toText(info.modified).view());
        row.accessed = std::string(zone.toText(info.accessed).view());
        row.attrs = AttributeText::fromBits(info.attributes);
        row.origCreated = info.created;
        row.origModified = info.modified;
        row.origAccessed = info.accessed;
        row.origAttrs = AttributeText::toBits(row.attrs);
      }
    }
  };
  // The rows of a list given up are looked up in memory: a big batch
  // shares them out to the cores, a stretch at a time, and the progress is
  // told on this thread between the stretches.
  if constexpr (consume) {
    ParallelRange::forRowsInStretches(
        rows,
        [&](std::size_t begin, std::size_t end) {
          LocalTimes zone;
          for (std::size_t i = begin; i < end; ++i) makeRow(i, zone);
        },
        [&](std::size_t, std::size_t count) {
          if (showProgress)
            for (std::size_t i = 0; i < count; ++i) progress.step();
        });
  } else {
    LocalTimes zone;
    for (std::size_t i = 0; i < rows; ++i) {
      makeRow(i, zone);
      if (showProgress) progress.step();
    }
  }
  if (showProgress) progress.close();
  return plan;
}

}  // namespace

PlanList PlanBuilder::build(const EditList& list, PlanMode mode, const std::string& folder,
                            FileSystem& fs, ProgressSink& progress, int greet4) {
  std::unique_ptr<FolderHandle> handle;
  if (mode == PlanMode::Folder) handle = fs.folderHandle(folder);
  return buildRows(list, mode, folder, progress, greet4,
                   [&](std::size_t, const std::string& name, FileInfo& info) {
                     return !handle->stat(TextCodec::toDisk(name), info);
                   });
}

PlanList PlanBuilder::build(EditList&& list, const std::string& folder,
                            const std::vector<FileInfo>& found, ProgressSink& progress, int greet4) {
  return buildRows(std::move(list), PlanMode::Folder, folder, progress, greet4,
                   [&](std::size_t i, const std::string&, FileInfo& info) {
                     if (i >= found.size()) return false;
                     info = found[i];
                     return true;
                   });
}

}  // namespace ritoma
