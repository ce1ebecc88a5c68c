// Two measurements of ritoma-cli against the shell tools, in one run:
//
// 1. An in-place batch of 100,000 files as one batch: `ritoma-cli run -t
//    'x_/f'` (list, template, check, execute, undo file) against
//    `rename 's/^/x_/' *` (perl rename) on an identical folder. Target: at
//    most 1.2 × perl rename. The undo file must hold every row.
// 2. `ritoma-cli plan -t 'x_/f'` of a folder of 1,000,000 files against
//    `ls -l` of the same folder, both writing to /dev/null. Targets: at most
//    2 × ls -l, a peak resident size under 600 MB.
//
// Each contender runs ROUNDS times in turn with the other (the batch adds
// one more "x_" per round); the best round of each counts, so that a busy
// machine disturbs the ratios as little as it can.
//
//   bench_execution [BATCH_FILES [PLAN_FILES [PLAN_FOLDER [ROUNDS]]]]
//
// PLAN_FOLDER is created and filled when it does not exist (a folder made
// by the benchmark is removed at the end; filling a million files takes
// minutes, so a kept folder saves that on the next run). A count of 0
// skips that measurement.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "BenchTiming.h"
#include "execution/UndoFile.h"
#include "platform/PosixFileSystem.h"

namespace {

struct Outcome {
  bool ok = false;
  double seconds = 0;
  double peakMegabytes = 0;
};

// Runs `argv` in `folder` with standard output to /dev/null and returns
// its wall time and peak resident size.
Outcome runProgram(const std::vector<std::string>& argv, const std::string& folder = {}) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) return {};
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    if (null < 0 || ::dup2(null, STDOUT_FILENO) < 0) ::_exit(127);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(127);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid) return {};
  Outcome outcome;
  outcome.seconds = BenchTiming::seconds(std::chrono::steady_clock::now() - start);
  outcome.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
  outcome.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return outcome;
}

// Short names (the shell passes them all on one command line), one in
// three with a kanji whose second code-page-932 byte is "\".
void fillBatchFolder(const std::string& folder, int count) {
  std::filesystem::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%06d", i % 3 == 0 ? "表" : "f", i);
    const int fd = ::open((folder + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) ::close(fd);
  }
}

int fail(const std::string& what) {
  std::fprintf(stderr, "bench_execution: %s failed\n", what.c_str());
  return 1;
}

// Rows recorded by the undo file at `path`, or -1.
long undoRows(const std::string& path) {
  ritoma::PosixFileSystem fs;
  std::string bytes;
  ritoma::UndoLog log;
  if (fs.readWholeFile(path, bytes) || ritoma::UndoFile::decode(bytes, log) != ritoma::UndoFile::Status::Ok)
    return -1;
  return static_cast<long>(log.records.size());
}

int batch(const std::string& root, int count, int rounds) {
  const std::string ours = root + "/ours";
  const std::string perl = root + "/perl";
  const std::string config = root + "/config";
  std::filesystem::create_directories(config);
  std::printf("creating 2 x %d files ...\n", count);
  std::fflush(stdout);
  fillBatchFolder(ours, count);
  fillBatchFolder(perl, count);
  ::sync();

  double best = 1e30, bestPerl = 1e30;
  for (int round = 1; round <= rounds; ++round) {
    const Outcome o = runProgram({RITOMA_CLI_PATH, "run", "-t", "x_/f", "--config-dir", config, ours});
    if (!o.ok) return fail("ritoma-cli run");
    const long recorded = undoRows(config + "/" + ritoma::UndoFile::FileName);
    if (recorded != count) return fail("undo file (" + std::to_string(recorded) + " rows)");
    const Outcome p = runProgram({"sh", "-c", "rename 's/^/x_/' *"}, perl);
    if (!p.ok) return fail("perl rename");
    std::printf("  round %d: ritoma-cli run %.3f s (%.0f MB), perl rename %.3f s\n", round, o.seconds,
                o.peakMegabytes, p.seconds);
    best = std::min(best, o.seconds);
    bestPerl = std::min(bestPerl, p.seconds);
  }
  std::printf("in-place batch of %d files, one batch, undo file of %d rows\n", count, count);
  std::printf("  ritoma-cli run      %8.3f s\n", best);
  std::printf("  perl rename         %8.3f s\n", bestPerl);
  std::printf("  ratio               %8.2f   (target <= 1.20)\n", best / bestPerl);
  return 0;
}

int plan(const std::string& named, const std::string& root, int count, int rounds) {
  bool made = false;
  const std::string folder = BenchFolder::prepare(named, count, root + "/plan-XXXXXX", made);
  if (folder.empty()) return fail("plan folder");
  const std::string config = root + "/config";
  std::filesystem::create_directories(config);
  std::fflush(stdout);
  if (!runProgram({"ls", "-l", folder}).ok) return fail("ls -l");  // warms the caches
  Outcome best{true, 1e30, 0}, bestLs{true, 1e30, 0};
  for (int round = 1; round <= rounds; ++round) {
    const Outcome o = runProgram({RITOMA_CLI_PATH, "plan", "-t", "x_/f", "--config-dir", config, folder});
    if (!o.ok) return fail("ritoma-cli plan");
    const Outcome l = runProgram({"ls", "-l", folder});
    if (!l.ok) return fail("ls -l");
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
