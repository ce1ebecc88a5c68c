#pragma once

#include <cstddef>
#include <functional>

namespace ritoma {

// Shares the rows [0, count) of a long list out to the cores: blocks of
// `block` rows are taken in turn by up to MaxThreads threads, the calling
// thread among them. Below `minimum` rows, or on one core, the calling
// thread does them all in order.
//
// work(begin, end) may run beside itself on other threads: it touches only
// its own rows and shared state that is safe to read at once. An exception
// from any block stops the handing out of blocks and is rethrown once every
// thread has stopped.
class ParallelRange {
public:
  static constexpr unsigned MaxThreads = 4;

  static void run(std::size_t count, std::size_t minimum, std::size_t block,
                  const std::function<void(std::size_t begin, std::size_t end)>& work);

  // The block of rows that work made in memory alone (no system calls) is
  // shared out by: big enough that handing blocks out costs nothing beside
  // the work, small enough that the cores finish together.
  static constexpr std::size_t RowBlock = 4096;

  // run() for such work: blocks begin at multiples of RowBlock, and a list
  // of fewer than two blocks stays on the calling thread.
  static void forRows(std::size_t count,
                      const std::function<void(std::size_t begin, std::size_t end)>& work) {
    run(count, 2 * RowBlock, RowBlock, work);
  }

  // The rows a stretch holds: 16 blocks.
  static constexpr std::size_t Stretch = 16 * RowBlock;

  // forRows() over the rows [0, count) one stretch at a time: `work` gets
  // rows of the stretch starting at a multiple of Stretch, and once the
  // stretch is done, done(first, count) runs on the calling thread, for
  // what only it may do (a progress told, the stretch's results handed on
  // in order).
  static void forRowsInStretches(
      std::size_t count, const std::function<void(std::size_t begin, std::size_t end)>& work,
      const std::function<void(std::size_t first, std::size_t count)>& done);
};

}  // namespace ritoma
