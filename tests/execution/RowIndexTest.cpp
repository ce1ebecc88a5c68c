#include "execution/RowIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ritoma::test {
namespace {

// Keys that share one hash stay apart: a match of the hash alone never
// finds another key's row, and each key keeps its own row and counter.
TEST(RowIndexTest, KeysSharingAHashStayApart) {
  const std::vector<std::string> keys = {"表.txt", "ソ.txt", "a", "表.txt"};
  auto keyOf = [&](std::size_t row) { return keys[row]; };
  RowIndex index(keys.size());
  constexpr std::uint64_t kSameHash = 42;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::size_t slot = index.slotOf(keys[i], kSameHash, keyOf);
    if (index.row(slot) == RowIndex::NoRow) index.set(slot, kSameHash, static_cast<std::uint32_t>(i));
    ++index.counter(slot);
  }
  auto find = [&](const std::string& key) { return index.slotOf(key, kSameHash, keyOf); };
  EXPECT_EQ(index.row(find("表.txt")), 0u);
  EXPECT_EQ(index.counter(find("表.txt")), 2u);
  EXPECT_EQ(index.row(find("ソ.txt")), 1u);
  EXPECT_EQ(index.counter(find("ソ.txt")), 1u);
  EXPECT_EQ(index.row(find("a")), 2u);
  EXPECT_EQ(index.row(find("b")), RowIndex::NoRow);
  // The real hash tells the same keys apart as well.
  EXPECT_EQ(index.row(index.slotOf("表.txt", RowIndex::hashOf("表.txt"), keyOf)), RowIndex::NoRow);

  index.clear();
  EXPECT_EQ(index.row(find("表.txt")), RowIndex::NoRow);
}

}  // namespace
}  // namespace ritoma::test
