#include "platform/ParallelRange.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace ritoma {
namespace {

TEST(ParallelRangeTest, EveryRowIsDoneExactlyOnce) {
  struct Row {
    const char* name;
    std::size_t count, minimum, block;
  };
  const Row rows[] = {
      {"no rows", 0, 1, 16},
      {"below the minimum", 100, 1000, 16},
      {"shared, last block short", 10'007, 1000, 64},
      {"one block only", 50, 1, 64},
      {"block of one", 3'000, 1, 1},
  };
  for (const auto& row : rows) {
    std::vector<std::atomic<int>> done(row.count);
    ParallelRange::run(row.count, row.minimum, row.block, [&](std::size_t begin, std::size_t end) {
      ASSERT_LT(begin, end);
      ASSERT_LE(end, row.count);
      for (std::size_t i = begin; i < end; ++i) ++done[i];
    });
    for (std::size_t i = 0; i < row.count; ++i) ASSERT_EQ(done[i], 1) << row.name << " row " << i;
  }
}

TEST(ParallelRangeTest, AFailedBlockIsRethrownAfterEveryThreadStopped) {
  std::atomic<int> inBlock{0};
  try {
    ParallelRange::run(100'000, 1, 100, [&](std::size_t begin, std::size_t) {
      ++inBlock;
      std::this_thread::sleep_for(std::chrono::microseconds(20));
      --inBlock;
      if (begin == 5'000) throw std::runtime_error("block 50 failed");
    });
    FAIL() << "the failure was not rethrown";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "block 50 failed");
  }
  // run() returns only once no thread is inside a block any more.
  EXPECT_EQ(inBlock.load(), 0);
}

}  // namespace
}  // namespace ritoma
