#include "platform/Prefault.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace ritoma {
namespace {

// Bringing pages in never changes what a block holds, inside it or next
// to it, wherever the block begins and ends.
TEST(PrefaultTest, KeepsEveryByteInAndAroundTheBlock) {
  std::vector<unsigned char> bytes((std::size_t{12} << 20) + 12345);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 131 + 7);
  const std::vector<unsigned char> before = bytes;
  Prefault::bringIn(bytes.data() + 1001, bytes.size() - 3003);
  Prefault::bringIn(bytes.data(), bytes.size());
  Prefault::bringIn(bytes.data() + 17, 100);  // a small block: left alone
  EXPECT_TRUE(bytes == before);
}

}  // namespace
}  // namespace ritoma
