#include "archive/NameList.h"

namespace ritoma {

void NameList::reserve(std::size_t count, std::size_t bytes) {
  ends_.reserve(count);
  bytes_.reserve(bytes);
}

void NameList::clear() {
  bytes_.clear();
  ends_.clear();
}

}  // namespace ritoma
