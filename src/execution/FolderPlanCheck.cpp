#include "execution/FolderPlanCheck.h"

#include <unordered_map>
#include <unordered_set>

#include "execution/PlanBuilder.h"
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
                                 const ExecutionSettings& settings, std::size_t listedCount)
    : fs_(fs), progress_(progress), settings_(settings), listedCount_(listedCount) {}

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
  std::unordered_map<std::string, std::size_t> firstRow;
  firstRow.reserve(plan.rows.size());
  for (std::size_t i = 0; i < plan.rows.size(); ++i)
    firstRow.try_emplace(CaseMap::foldKey(plan.rows[i].newName), i);

  bool passed = true;
  for (const std::string& entry : entries) {
    auto it = firstRow.find(CaseMap::foldKey(TextCodec::toInternal(entry)));
    if (it != firstRow.end()) {
      plan.rows[it->second].mark = MarkExists;
      passed = false;
    }
    step();
  }
  if (!options.copyPath.empty()) options.addToHistory(options.copyPath);
  return passed;
}

bool FolderPlanCheck::checkInPlace(PlanList& plan, const RunOptions& options) {
  const std::size_t rows = plan.rows.size();
  const bool force = options.force;
  bool listed = false;
  // The names of the folder outside the batch: every entry that is not
  // byte for byte the old name of a row. The listing and the old names are
  // let go as soon as these are known, before the keys below are made.
  std::unordered_set<std::string> outside;
  {
    std::vector<std::string> entries;
    listed = listEntries(fs_, plan.folder, entries);
    std::unordered_set<std::string> oldDisk;
    oldDisk.reserve(rows);
    for (const auto& row : plan.rows) oldDisk.insert(TextCodec::toDisk(row.oldName));
    for (const std::string& entry : entries) {
      if (!oldDisk.count(entry)) outside.insert(CaseMap::foldKey(TextCodec::toInternal(entry)));
      step();
    }
  }

  bool passed = listed;
  // Current names of the rows (their temporary names once force change has
  // moved them): the last row index holding each case-folded name.
  std::vector<std::string> currentKey(rows);
  std::unordered_map<std::string, std::size_t> lastRow;
  lastRow.reserve(rows);
  for (std::size_t i = 0; i < rows; ++i) {
    currentKey[i] = CaseMap::foldKey(plan.rows[i].oldName);
    lastRow[currentKey[i]] = i;
  }

  if (force) {
    // A temporary name meets the plain old name of a later row (not yet
    // moved) or a name outside the batch.
    for (std::size_t k = 0; k < rows; ++k) {
      std::string tempKey = CaseMap::foldKey(options.marker + plan.rows[k].oldName);
      auto later = lastRow.find(tempKey);
      if ((later != lastRow.end() && later->second > k) || outside.count(tempKey)) {
        plan.rows[k].mark = MarkTempExists;
        passed = false;
        if (settings_.chkStop) return false;
      }
      currentKey[k] = std::move(tempKey);
      step(10);
    }
    lastRow.clear();
    for (std::size_t i = 0; i < rows; ++i) lastRow[currentKey[i]] = i;
  }

  std::vector<std::string> newKey(rows);
  for (std::size_t m = 0; m < rows; ++m) {
    newKey[m] = CaseMap::foldKey(plan.rows[m].newName);
    auto later = lastRow.find(newKey[m]);
    if (later != lastRow.end() && later->second > m) {
      plan.rows[m].mark = MarkBlocked;
      passed = false;
      if (settings_.chkStop) return false;
    }
    step();
  }
  for (std::size_t n = 0; n < rows; ++n) {
    if (outside.count(newKey[n])) {
      plan.rows[n].mark = MarkExists;
      passed = false;
      if (settings_.chkStop) return false;
    }
    step();
  }
  return passed;
}

}  // namespace ritoma
