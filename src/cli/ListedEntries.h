#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "execution/UndoSelection.h"
#include "selection/FileEntry.h"

namespace ritoma {

// The entries of a folder as the undo flow looks them up: every file and
// folder in it, hidden ones included (the undo must find whatever the last
// batch renamed), all unchecked at first.
class ListedEntries final : public UndoSelection {
public:
  explicit ListedEntries(std::vector<FileEntry> entries) : entries_(std::move(entries)) {
    for (FileEntry& entry : entries_) entry.checked = false;
  }

  std::size_t size() const override { return entries_.size(); }
  std::string fullName(std::size_t entry) const override { return entries_[entry].fullName(); }
  bool isChecked(std::size_t entry) const override { return entries_[entry].checked; }
  void check(std::size_t entry) override { entries_[entry].checked = true; }
  int icon(std::size_t entry) const override { return entries_[entry].icon; }
  std::string infoText(std::size_t entry) const override;

private:
  std::vector<FileEntry> entries_;
};

}  // namespace ritoma
