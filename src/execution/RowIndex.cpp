#include "execution/RowIndex.h"

#include <functional>

namespace ritoma {

RowIndex::RowIndex(std::size_t keys) {
  // At most half full, so that a probe ends soon at an empty slot.
  std::size_t size = 16;
  while (size < 2 * keys) size *= 2;
  slots_.resize(size);
  mask_ = size - 1;
}

std::uint64_t RowIndex::hashOf(std::string_view key) { return std::hash<std::string_view>{}(key); }

void RowIndex::set(std::size_t slot, std::uint64_t hash, std::uint32_t row) {
  slots_[slot].hash = hash;
  slots_[slot].row = row;
}

void RowIndex::clear() {
  for (Slot& slot : slots_) slot = Slot();
}

}  // namespace ritoma
