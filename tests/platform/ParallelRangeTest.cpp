#include "platform/ParallelRange.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <utility>
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

// Each stretch is done whole, rows at their own places, before its
// done() runs on the calling thread; the stretches come in order, the
// last one short.
TEST(ParallelRangeTest, StretchesAreDoneInOrderBetweenTheirRows) {
  const std::size_t count = 2 * ParallelRange::Stretch + 1'234;
  const auto caller = std::this_thread::get_id();
  std::vector<std::atomic<int>> done(count);
  std::vector<std::pair<std::size_t, std::size_t>> stretches;
  ParallelRange::forRowsInStretches(
      count,
      [&](std::size_t begin, std::size_t end) {
        ASSERT_LE(end, count);
        ASSERT_EQ(begin / ParallelRange::Stretch, (end - 1) / ParallelRange::Stretch);
        for (std::size_t i = begin; i < end; ++i) ++done[i];
      },
      [&](std::size_t first, std::size_t rows) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        for (std::size_t i = 0; i < first + rows; ++i) ASSERT_EQ(done[i], 1) << "row " << i;
        for (std::size_t i = first + rows; i < count; ++i) ASSERT_EQ(done[i], 0) << "row " << i;
        stretches.emplace_back(first, rows);
      });
  EXPECT_EQ(stretches, (std::vector<std::pair<std::size_t, std::size_t>>{
                           {0, ParallelRange::Stretch},
                           {ParallelRange::Stretch, ParallelRange::Stretch},
                           {2 * ParallelRange::Stretch, 1'234}}));
}

}  // namespace
}  // namespace ritoma
