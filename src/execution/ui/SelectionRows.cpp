#include "execution/ui/SelectionRows.h"

#include "selection/EditListBuilder.h"

namespace ritoma {

std::string SelectionRows::infoText(std::size_t entry) const { return EditListBuilder::infoText(list_.row(entry)); }

}  // namespace ritoma
