#pragma once

#include "execution/PlanRow.h"

namespace ritoma {

// What a row mark says about its row, as the plan list tells it beside the
// mark (UTF-8, in the words of the rename check). Empty for MarkNone.
class MarkText {
public:
  static const char* of(RowMark mark);
};

}  // namespace ritoma
