#include "platform/ParallelRange.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace ritoma {

void ParallelRange::run(std::size_t count, std::size_t minimum, std::size_t block,
                        const std::function<void(std::size_t, std::size_t)>& work) {
  block = std::max<std::size_t>(block, 1);
  std::atomic<std::size_t> next{0};
  std::mutex failureLock;
  std::exception_ptr failure;

  // Takes blocks until none is left or one has failed.
  auto takeBlocks = [&] {
    for (;;) {
      const std::size_t begin = next.fetch_add(block, std::memory_order_relaxed);
      if (begin >= count) return;
      try {
        work(begin, std::min(count, begin + block));
      } catch (...) {
        next.store(count, std::memory_order_relaxed);
        const std::lock_guard lock(failureLock);
        if (!failure) failure = std::current_exception();
        return;
      }
    }
  };

  {
    std::vector<std::jthread> helpers;
    if (count >= minimum && count > block) {
      const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
      const std::size_t blocks = (count + block - 1) / block;
      const std::size_t threads = std::min<std::size_t>({cores, MaxThreads, blocks});
      for (std::size_t i = 1; i < threads; ++i) {
        try {
          helpers.emplace_back(takeBlocks);
        } catch (const std::system_error&) {
          break;  // the threads that did start share the work
        }
      }
    }
    takeBlocks();
  }
  if (failure) std::rethrow_exception(failure);
}

void ParallelRange::forRowsInStretches(
    std::size_t count, const std::function<void(std::size_t begin, std::size_t end)>& work,
    const std::function<void(std::size_t first, std::size_t count)>& done) {
  for (std::size_t first = 0; first < count; first += Stretch) {
    const std::size_t rows = std::min(Stretch, count - first);
    forRows(rows, [&](std::size_t begin, std::size_t end) { work(first + begin, first + end); });
    done(first, rows);
  }
}

}  // namespace ritoma
