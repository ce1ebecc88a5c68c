// Lists a folder of 100,000 empty files into the selection list (listing,
// filters, rows, sort by name) and compares the time with `ls -l` on the
// same folder. Targets: at most 2 × ls -l, at most 150 MB for the list.
//
//   bench_selection_listing [FOLDER] [COUNT]
//
// The folder is created (and filled) when it does not exist; a folder made
// by the benchmark is removed at the end.

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "BenchTiming.h"
#include "platform/PosixFileSystem.h"
#include "selection/SelectionList.h"
#include "shell/ProgressSink.h"

int main(int argc, char** argv) {
  const int count = argc > 2 ? std::atoi(argv[2]) : 100000;
  bool made = false;
  const std::string folder = BenchFolder::prepare(argc > 1 ? argv[1] : "", count, "/tmp/ritoma_bench_XXXXXX", made);
  if (folder.empty()) return 1;

  const std::string ls = "ls -l '" + folder + "' > /dev/null";
  if (std::system(ls.c_str()) != 0) return 1;  // warm the caches
  const double lsTime = BenchTiming::medianOf(5, [&] {
    if (std::system(ls.c_str()) != 0) std::exit(1);
  });

  ritoma::PosixFileSystem fs;
  ritoma::NullProgress progress;
  ritoma::FolderSource source;
  source.folder = folder + "/";
  std::size_t rows = 0;
  const double listTime = BenchTiming::medianOf(5, [&] {
    ritoma::SelectionList list;
    if (list.buildSelectionList(fs, source, true, progress, 0)) std::exit(1);
    rows = list.size();
  });

  const double rawListTime = BenchTiming::medianOf(5, [&] {
    std::vector<ritoma::FileInfo> entries;
    if (fs.listFolder(folder, entries)) std::exit(1);
  });

  // Heap held by one list.
  const std::size_t before = mallinfo2().uordblks;
  auto* list = new ritoma::SelectionList;
  if (list->buildSelectionList(fs, source, true, progress, 0)) return 1;
  const std::size_t held = mallinfo2().uordblks - before;
  const double sortTime = BenchTiming::medianOf(5, [&] { list->sortByColumn(ritoma::SelectionList::ColumnSize); });
  delete list;

  std::printf("rows listed:                %zu\n", rows);
  std::printf("ls -l:                      %8.3f s\n", lsTime);
  std::printf("buildSelectionList + sort:  %8.3f s   (%.2f x ls -l, target <= 2)\n", listTime,
              listTime / lsTime);
  std::printf("  of which the folder read:  %8.3f s\n", rawListTime);
  std::printf("re-sort by size alone:      %8.3f s\n", sortTime);
  std::printf("memory held by the list:    %8.1f MB  (target <= 150)\n", held / 1048576.0);

  if (made) std::filesystem::remove_all(folder);
  return 0;
}
