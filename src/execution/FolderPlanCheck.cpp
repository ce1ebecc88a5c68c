#include "execution/FolderPlanCheck.h"

#include "execution/NameCheck.h"
#include "execution/OwnFiles.h"
#include "execution/PlanBuilder.h"
#include "execution/RowIndex.h"
#include "platform/ParallelRange.h"
#include "text/CaseMap.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

// The entries of a folder as the directory search gives them, "." and ".."
// included. False when the folder cannot be listed.
bool listEntries(FileSystem& fs, const std::string& folder, std::vector<std::string>& names) {
  std::vector<std::string> entries;
  if (fs.listNames(folder, entries)) return false;
  names.clear();
  names.reserve(entries.size() + 2);
  names.emplace_back(".");
  names.emplace_back("..");
  for (auto& e : entries) names.push_back(std::move(e));
  return true;
}

}  // namespace

FolderPlanCheck::FolderPlanCheck(FileSystem& fs, ProgressSink& progress,
                                 const ExecutionSettings& settings, std::size_t listedCount,
                                 std::string ownFolder)
    : fs_(fs),
      progress_(progress),
      settings_(settings),
      listedCount_(listedCount),
      ownFolder_(std::move(ownFolder)) {}

bool FolderPlanCheck::ignoreOptionEnabled(bool copyEnabled, bool copyChecked, bool executeEnabled) {
  return copyEnabled && copyChecked && !executeEnabled;
}

void FolderPlanCheck::step(std::size_t count) {
  if (!showProgress_) return;
  for (std::size_t i = 0; i < count; ++i) progress_.step();
}

CheckResult FolderPlanCheck::check(PlanList& plan, RunOptions& options, bool automatic) {
  CheckResult outcome;
  if (automatic && !settings_.chkAuto) {
    outcome.pending = true;
    return outcome;
  }
  const std::size_t rows = plan.rows.size();
  const bool copy = options.copy && plan.renameMode;
  showProgress_ = settings_.greet5 > 0 && rows >= static_cast<std::size_t>(settings_.greet5);
  if (showProgress_) {
    std::int64_t maximum = static_cast<std::int64_t>(listedCount_ + rows);
    if (!copy) maximum += static_cast<std::int64_t>((options.force ? 12 : 2) * rows);
    progress_.open("ファイルチェック中…", maximum);
  }

  std::string target = plan.folder;
  if (copy) {
    FileInfo info;
    const std::string path = TextCodec::toDisk(options.copyPath);
    if (!options.copyPath.empty() && !fs_.stat(path, info) && info.isFolder)
      target = path;
    else
      options.copyPath.clear();
  }
  for (auto& row : plan.rows) {
    row.mark = MarkNone;
    step();
  }
  outcome.passed = copy ? checkCopy(plan, options, target) : checkInPlace(plan, options);
  // The program's own files in its settings folder are taken whether they
  // exist yet or not: a row renamed or copied there would be replaced by
  // them, or take their place.
  if (plan.renameMode && !ownFolder_.empty() && OwnFiles::sameFolder(target, ownFolder_)) {
    for (auto& row : plan.rows) {
      if (row.mark != MarkNone || !OwnFiles::isOwnName(TextCodec::toDisk(row.newName))) continue;
      row.mark = MarkExists;
      outcome.passed = false;
    }
  }
  if (showProgress_) progress_.close();
  showProgress_ = false;
  return outcome;
}

bool FolderPlanCheck::checkCopy(PlanList& plan, RunOptions& options, const std::string& target) {
  std::vector<std::string> entries;
  if (!listEntries(fs_, target, entries)) {
    // Nothing is known of the names there, so no row may be copied, not
    // even by a run that ignores the marks.
    for (auto& row : plan.rows) row.mark = MarkExists;
    return false;
  }

  // The first row, in row order, that each case-folded new name belongs to.
  const std::size_t rows = plan.rows.size();
  auto newKey = [&](std::size_t i) { return CaseMap::foldKey(plan.rows[i].newName); };
  RowIndex firstRow(rows);
  for (std::size_t i = 0; i < rows; ++i) {
    const std::string key = newKey(i);
    const std::uint64_t hash = RowIndex::hashOf(key);
    const std::size_t slot = firstRow.slotOf(key, hash, newKey);
    if (firstRow.row(slot) == RowIndex::NoRow) firstRow.set(slot, hash, static_cast<std::uint32_t>(i));
  }

  bool passed = true;
  for (const std::string& entry : entries) {
    const std::string key = CaseMap::foldKey(TextCodec::toInternal(entry));
    const std::uint32_t row = firstRow.row(firstRow.slotOf(key, RowIndex::hashOf(key), newKey));
    if (row != RowIndex::NoRow) {
      plan.rows[row].mark = MarkExists;
      passed = false;
    }
    step();
  }
  if (!options.copyPath.empty()) options.addToHistory(options.copyPath);
  return passed;
}

bool FolderPlanCheck::checkInPlace(PlanList& plan, const RunOptions& options) {
  const std::size_t rows = plan.rows.size();
  // Only a plan that renames goes through temporary names.
  const bool force = options.force && plan.renameMode;
  bool listed = false;
  // The keys of a big batch are made on every core; the tables are filled
  // on this thread, from their hashes.
  std::vector<std::uint64_t> hashes(rows);
  auto indexRows = [&](RowIndex& index, auto&& keyOf, bool lastWins) {
    ParallelRange::forRows(rows, [&](std::size_t begin, std::size_t end) {
      for (std::size_t i = begin; i < end; ++i) hashes[i] = RowIndex::hashOf(keyOf(i));
    });
    for (std::size_t i = 0; i < rows; ++i) {
      const auto row = static_cast<std::uint32_t>(i);
      const std::size_t slot = index.slotOfRow(hashes[i], row, keyOf);
      if (lastWins || index.row(slot) == RowIndex::NoRow) index.set(slot, hashes[i], row);
    }
  };

  // The case-folded names of the folder outside the batch: every entry
  // that is not byte for byte the old name of a row. The listing and the
  // index of old names are let go as soon as these are known.
  std::vector<std::string> outsideKeys;
  {
    std::vector<std::string> entries;
    listed = listEntries(fs_, plan.folder, entries);
    auto oldDisk = [&](std::size_t i) { return TextCodec::toDisk(plan.rows[i].oldName); };
    RowIndex oldNames(rows);
    indexRows(oldNames, oldDisk, false);
    // The key of each entry outside the batch; an entry of the batch keeps
    // an empty one (no name folds to an empty key).
    std::vector<std::string> keys(entries.size());
    ParallelRange::forRows(entries.size(), [&](std::size_t begin, std::size_t end) {
      for (std::size_t j = begin; j < end; ++j) {
        const std::string& entry = entries[j];
        if (oldNames.row(oldNames.slotOf(entry, RowIndex::hashOf(entry), oldDisk)) == RowIndex::NoRow)
          keys[j] = CaseMap::foldKey(TextCodec::toInternal(entry));
        std::string().swap(entries[j]);
      }
    });
    for (std::size_t j = 0; j < keys.size(); ++j) {
      if (!keys[j].empty()) outsideKeys.push_back(std::move(keys[j]));
      step();
    }
  }
  auto outsideKey = [&](std::size_t j) -> const std::string& { return outsideKeys[j]; };
  RowIndex outside(outsideKeys.size());
  for (std::size_t j = 0; j < outsideKeys.size(); ++j) {
    const std::uint64_t hash = RowIndex::hashOf(outsideKeys[j]);
    const std::size_t slot = outside.slotOf(outsideKeys[j], hash, outsideKey);
    if (outside.row(slot) == RowIndex::NoRow) outside.set(slot, hash, static_cast<std::uint32_t>(j));
  }
  auto isOutside = [&](const std::string& key) {
    return !outsideKeys.empty() &&
           outside.row(outside.slotOf(key, RowIndex::hashOf(key), outsideKey)) != RowIndex::NoRow;
  };

  bool passed = listed;
  // Current names of the rows (their temporary names once force change has
  // moved them): the last row index holding each case-folded name.
  bool moved = false;
  auto currentKey = [&](std::size_t i) {
    return CaseMap::foldKey(moved ? options.temporaryName(plan.rows[i].oldName) : plan.rows[i].oldName);
  };
  RowIndex lastRow(rows);
  auto laterRow = [&](const std::string& key, std::size_t row) {
    const std::uint32_t last = lastRow.row(lastRow.slotOf(key, RowIndex::hashOf(key), currentKey));
    return last != RowIndex::NoRow && last > row;
  };
  indexRows(lastRow, currentKey, true);

  if (force) {
    // A temporary name meets the plain old name of a later row (not yet
    // moved) or a name outside the batch, or is longer than the file
    // system takes: the run would fail there after moving the rows before.
    for (std::size_t k = 0; k < rows; ++k) {
      const std::string temporary = options.temporaryName(plan.rows[k].oldName);
      const std::string tempKey = CaseMap::foldKey(temporary);
      RowMark mark = MarkNone;
      if (TextCodec::toDisk(temporary).size() > NameCheck::MaxDiskNameBytes)
        mark = MarkTempTooLong;
      else if (laterRow(tempKey, k) || isOutside(tempKey))
        mark = MarkTempExists;
      if (mark != MarkNone) {
        plan.rows[k].mark = mark;
        passed = false;
        if (settings_.chkStop) return false;
      }
      step(10);
    }
    moved = true;
    lastRow.clear();
    indexRows(lastRow, currentKey, true);
  }

  // A new name that a later row still holds blocks its row; one outside
  // the batch exists. Both are looked up on every core, then marked in
  // order, so that a check that stops at the first finds the same one.
  std::vector<char> blocked(rows, 0);
  std::vector<char> exists(rows, 0);
  ParallelRange::forRows(rows, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
      const std::string key = CaseMap::foldKey(plan.rows[i].newName);
      blocked[i] = laterRow(key, i);
      exists[i] = isOutside(key);
    }
  });
  for (std::size_t m = 0; m < rows; ++m) {
    if (blocked[m]) {
      plan.rows[m].mark = MarkBlocked;
      passed = false;
      if (settings_.chkStop) return false;
    }
    step();
  }
  for (std::size_t n = 0; n < rows; ++n) {
    if (exists[n]) {
      plan.rows[n].mark = MarkExists;
      passed = false;
      if (settings_.chkStop) return false;
    }
    step();
  }
  return passed;
}

}  // namespace ritoma
