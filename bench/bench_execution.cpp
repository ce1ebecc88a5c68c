// Two measurements of ritoma-cli against the shell tools, in one run:
//
// 1. An in-place batch of 100,000 files as one batch on the disk of /tmp:
//    `ritoma-cli run -t 'x_/f'` (list, template, check, execute, undo file)
//    against perl `rename 's/^/x_/'` on an identical folder (BenchBatch).
//    Target: at most 1.0 × perl rename. The undo file must hold every row.
// 2. `ritoma-cli plan -t 'x_/f'` of a folder of 1,000,000 files against
//    `ls -l` of the same folder, both writing to /dev/null. Targets: at most
//    2 × ls -l, a peak resident size under 600 MB.
//
// Each contender runs ROUNDS times in turn with the other (the batch adds
// one more "x_" per round); the best round of each counts, so that a busy
// machine disturbs the ratios as little as it can. The batch also prints
// the processor times (user and system), whose ratio a busy machine
// disturbs far less than the wall times'.
//
//   bench_execution [BATCH_FILES [PLAN_FILES [PLAN_FOLDER [ROUNDS]]]]
//
// PLAN_FOLDER is created and filled when it does not exist (a folder made
// by the benchmark is removed at the end; filling a million files takes
// minutes, so a kept folder saves that on the next run). A count of 0
// skips that measurement.

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchBatch.h"
#include "BenchFolder.h"

namespace {

using Outcome = BenchBatch::Outcome;

int batch(const std::string& root, int count, int rounds) {
  const std::string ours = root + "/ours";
  const std::string perl = root + "/perl";
  const std::string config = root + "/config";
  BenchBatch::prepare(ours, perl, config, count, "");
  return BenchBatch::compare(RITOMA_CLI_PATH, ours, perl, config, count, rounds, 1.0);
}

int plan(const std::string& named, const std::string& root, int count, int rounds) {
  bool made = false;
  const std::string folder = BenchFolder::prepare(named, count, root + "/plan-XXXXXX", made);
  if (folder.empty()) return BenchBatch::fail("plan folder");
  const std::string config = root + "/config";
  std::filesystem::create_directories(config);
  std::fflush(stdout);
  if (!BenchBatch::runProgram({"ls", "-l", folder}).ok) return BenchBatch::fail("ls -l");  // warms the caches
  Outcome best{true, 1e30, 0, 0}, bestLs{true, 1e30, 0, 0};
  for (int round = 1; round <= rounds; ++round) {
    const Outcome o =
        BenchBatch::runProgram({RITOMA_CLI_PATH, "plan", "-t", "x_/f", "--config-dir", config, folder});
    if (!o.ok) return BenchBatch::fail("ritoma-cli plan");
    const Outcome l = BenchBatch::runProgram({"ls", "-l", folder});
    if (!l.ok) return BenchBatch::fail("ls -l");
    std::printf("  round %d: ritoma-cli plan %.3f s (%.0f MB), ls -l %.3f s (%.0f MB)\n", round,
                o.seconds, o.peakMegabytes, l.seconds, l.peakMegabytes);
    if (o.seconds < best.seconds) best = o;
    best.peakMegabytes = std::max(best.peakMegabytes, o.peakMegabytes);
    if (l.seconds < bestLs.seconds) bestLs = l;
  }
  std::printf("plan of %s (%d files)\n", folder.c_str(), count);
  std::printf("  ritoma-cli plan     %8.3f s\n", best.seconds);
  std::printf("  ls -l               %8.3f s\n", bestLs.seconds);
  std::printf("  ratio               %8.2f   (target <= 2.00)\n", best.seconds / bestLs.seconds);
  std::printf("  peak resident size  %8.0f MB (target < 600)\n", best.peakMegabytes);
  if (made) std::filesystem::remove_all(folder);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int batchFiles = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int planFiles = argc > 2 ? std::atoi(argv[2]) : 1000000;
  const std::string planFolder = argc > 3 ? argv[3] : "";
  const int rounds = std::max(1, argc > 4 ? std::atoi(argv[4]) : 3);
  char pattern[] = "/tmp/ritoma-bench-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const std::string root = pattern;
  int status = 0;
  if (batchFiles > 0) status = batch(root, batchFiles, rounds);
  if (status == 0 && planFiles > 0) status = plan(planFolder, root, planFiles, rounds);
  std::filesystem::remove_all(root);
  return status;
}
