// Builds, checks and executes an in-place plan that puts "x_" in front of
// every name of a folder of 100,000 files (undo file included), and
// compares the time with `rename 's/^/x_/' *` (perl rename) on an identical
// folder. Target: at most 1.5 × perl rename.
//
//   bench_execution [COUNT]

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "execution/ExecutionSettings.h"
#include "execution/FolderPlanCheck.h"
#include "execution/FolderPlanRun.h"
#include "execution/NameCheck.h"
#include "execution/PlanBuilder.h"
#include "platform/PosixFileSystem.h"
#include "selection/EditList.h"
#include "shell/ProgressSink.h"
#include "text/TextCodec.h"

namespace {

// Short names (the shell passes them all on one command line), one in
// three with a kanji whose second code-page-932 byte is "\".
void fill(const std::string& folder, int count) {
  std::filesystem::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%05d", i % 3 == 0 ? "表" : "f", i);
    std::ofstream(folder + "/" + name);
  }
}

int fail(const char* step) {
  std::fprintf(stderr, "bench_execution: %s failed\n", step);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  char pattern[] = "/tmp/ritoma-bench-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const std::string root = pattern;
  const std::string ours = root + "/ours";
  const std::string perl = root + "/perl";
  std::filesystem::create_directories(root + "/config");
  fill(ours, count);
  fill(perl, count);
  ::sync();

  ritoma::PosixFileSystem fs;
  ritoma::NullProgress progress;
  ritoma::ExecutionSettings settings;
  ritoma::RunOptions options;
  // The files go through as one batch: listed (names only, as the shell's
  // "*"), checked, built, checked against the folder, run and recorded.
  double listing = 0, naming = 0, building = 0, checking = 0, running = 0;
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t done = 0; done < static_cast<std::size_t>(count);) {
    const auto t0 = std::chrono::steady_clock::now();
    std::vector<std::string> entries;
    if (fs.listNames(ours, entries)) return fail("listing");
    ritoma::EditList list;
    std::vector<std::string> stage;
    for (const auto& name : entries) {
      if (name.rfind("x_", 0) == 0) continue;
      ritoma::EditRow row;
      row.names.push_back(ritoma::TextCodec::toInternal(name));
      stage.push_back("x_" + row.names.back());
      list.rows.push_back(std::move(row));
    }
    list.appendStage(stage);
    done += list.rows.size();
    const auto t1 = std::chrono::steady_clock::now();
    if (!ritoma::NameCheck::checkEditList(list, true, progress, settings.greet3).passed())
      return fail("name check");
    const auto t2 = std::chrono::steady_clock::now();
    ritoma::PlanList plan =
        ritoma::PlanBuilder::build(list, ritoma::PlanMode::Folder, ours, fs, progress, settings.greet4);
    const auto t3 = std::chrono::steady_clock::now();
    if (!ritoma::FolderPlanCheck(fs, progress, settings, entries.size()).check(plan, options, true).passed)
      return fail("collision check");
    const auto t4 = std::chrono::steady_clock::now();
    ritoma::FolderPlanRun run(fs, settings, root + "/config/Ritoma.und");
    const ritoma::RunResult result = run.execute(plan, options);
    if (result.failed || !result.undoWarning.empty()) return fail("execution");
    const auto t5 = std::chrono::steady_clock::now();
    listing += BenchTiming::seconds(t1 - t0);
    naming += BenchTiming::seconds(t2 - t1);
    building += BenchTiming::seconds(t3 - t2);
    checking += BenchTiming::seconds(t4 - t3);
    running += BenchTiming::seconds(t5 - t4);
    std::printf("batch of %zu rows\n", list.rows.size());
  }
  const double ourTime = BenchTiming::seconds(std::chrono::steady_clock::now() - start);

  const std::string command = "cd '" + perl + "' && rename 's/^/x_/' *";
  const auto perlStart = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) return fail("perl rename");
  const double perlTime = BenchTiming::seconds(std::chrono::steady_clock::now() - perlStart);

  std::printf("files: %d\n", count);
  std::printf("  list + edit list  %.3f s\n", listing);
  std::printf("  name check        %.3f s\n", naming);
  std::printf("  plan building     %.3f s\n", building);
  std::printf("  collision check   %.3f s\n", checking);
  std::printf("  execution + undo  %.3f s\n", running);
  std::printf("ritoma total        %.3f s\n", ourTime);
  std::printf("perl rename         %.3f s\n", perlTime);
  std::printf("ratio               %.2f (target <= 1.50)\n", ourTime / perlTime);
  std::filesystem::remove_all(root);
  return 0;
}
