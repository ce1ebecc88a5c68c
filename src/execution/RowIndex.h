#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// A hash table from text keys to rows that keeps only each key's 64-bit
// hash, its row and a counter: a large batch does not hold its keys twice.
// The key of a stored row is made again, by the caller's `keyOf(row)`, to
// compare exactly whenever a hash matches, so two keys that share a hash
// stay apart.
class RowIndex {
public:
  static constexpr std::uint32_t NoRow = UINT32_MAX;

  // Room for `keys` distinct keys without growing.
  explicit RowIndex(std::size_t keys);

  static std::uint64_t hashOf(std::string_view key);

  // The slot of `key` (hash `hash`): the one that holds it, or the empty
  // one where it goes.
  template <class KeyOf>
  std::size_t slotOf(std::string_view key, std::uint64_t hash, KeyOf&& keyOf) const {
    for (std::size_t s = hash & mask_;; s = (s + 1) & mask_) {
      const Slot& slot = slots_[s];
      if (slot.row == NoRow) return s;
      if (slot.hash == hash && keyOf(slot.row) == key) return s;
    }
  }

  // The same for the key of `row` (hash `hash`), made by keyOf only when a
  // stored row's hash matches: the hashes of a big batch can be made on
  // every core beforehand.
  template <class KeyOf>
  std::size_t slotOfRow(std::uint64_t hash, std::uint32_t row, KeyOf&& keyOf) const {
    for (std::size_t s = hash & mask_;; s = (s + 1) & mask_) {
      const Slot& slot = slots_[s];
      if (slot.row == NoRow) return s;
      if (slot.hash == hash && keyOf(slot.row) == keyOf(row)) return s;
    }
  }

  // The row stored in a slot, NoRow for an empty one.
  std::uint32_t row(std::size_t slot) const { return slots_[slot].row; }
  // Stores `row` for the key of hash `hash` in a slot that slotOf gave.
  void set(std::size_t slot, std::uint64_t hash, std::uint32_t row);
  // A counter kept with each slot, 0 in a new one.
  std::uint32_t& counter(std::size_t slot) { return slots_[slot].counter; }
  void clear();

private:
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t row = NoRow;
    std::uint32_t counter = 0;
  };
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
};

}  // namespace ritoma
