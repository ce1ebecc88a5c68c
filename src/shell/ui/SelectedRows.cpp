#include "shell/ui/SelectedRows.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <algorithm>

namespace ritoma {

std::vector<std::size_t> SelectedRows::of(const QAbstractItemView* view) {
  std::vector<std::size_t> rows;
  const QItemSelectionModel* selection = view->selectionModel();
  if (!selection) return rows;
  for (const QModelIndex& index : selection->selectedRows()) rows.push_back(static_cast<std::size_t>(index.row()));
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace ritoma
