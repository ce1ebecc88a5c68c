#pragma once

#include "execution/UndoSelection.h"
#include "selection/SelectionList.h"

namespace ritoma {

// The selection list of page 選択 as the attribute page sees it after a run
// or for the UNDO flow.
class SelectionRows final : public UndoSelection {
public:
  explicit SelectionRows(SelectionList& list) : list_(list) {}

  std::size_t size() const override { return list_.size(); }
  std::string fullName(std::size_t entry) const override { return list_.row(entry).fullName(); }
  bool isChecked(std::size_t entry) const override { return list_.row(entry).checked; }
  void check(std::size_t entry) override { list_.setChecked(entry, true); }
  int icon(std::size_t entry) const override { return list_.row(entry).icon; }
  std::string infoText(std::size_t entry) const override;

private:
  SelectionList& list_;
};

}  // namespace ritoma
