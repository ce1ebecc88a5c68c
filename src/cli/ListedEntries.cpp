#include "cli/ListedEntries.h"

#include "selection/EditListBuilder.h"

namespace ritoma {

std::string ListedEntries::infoText(std::size_t entry) const {
  return EditListBuilder::infoText(entries_[entry]);
}

}  // namespace ritoma
