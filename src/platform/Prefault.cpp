#include "platform/Prefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "platform/ParallelRange.h"

namespace ritoma {

namespace {

// Blocks below this size are left to fault page by page.
constexpr std::size_t kLeastBytes = std::size_t{4} << 20;
// The piece of a block one thread brings in at a time.
constexpr std::size_t kPieceBytes = std::size_t{2} << 20;

}  // namespace

void Prefault::bringIn(void* block, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  if (bytes < kLeastBytes) return;
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t first = (start + page - 1) / page * page;
  const std::uintptr_t end = (start + bytes) / page * page;
  if (end <= first) return;
  const std::size_t pieces = (end - first + kPieceBytes - 1) / kPieceBytes;
  ParallelRange::run(pieces, 2, 1, [&](std::size_t begin, std::size_t stop) {
    for (std::size_t piece = begin; piece < stop; ++piece) {
      const std::uintptr_t from = first + piece * kPieceBytes;
      const std::uintptr_t to = from + kPieceBytes < end ? from + kPieceBytes : end;
      // A refusal (an old kernel, memory short) leaves the pages to fault
      // when they are written, as they would have.
      ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
    }
  });
#else
  (void)block;
  (void)bytes;
#endif
}

}  // namespace ritoma
