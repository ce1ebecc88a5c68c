#pragma once

#include <cstddef>
#include <vector>

class QAbstractItemView;

namespace ritoma {

// The rows selected in a list view, by number.
class SelectedRows {
public:
  // In ascending order; empty while the view has no model.
  static std::vector<std::size_t> of(const QAbstractItemView* view);
};

}  // namespace ritoma
