#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "execution/UndoFile.h"
#include "platform/PosixFileSystem.h"

// The in-place batch that bench_execution (ext4) and bench_exfat time:
// `ritoma-cli run -t 'x_/f'` (list, template, check, execute, undo file) on
// one folder against perl `rename 's/^/x_/'` on an identical one.
class BenchBatch {
public:
  struct Outcome {
    bool ok = false;
    double seconds = 0;     // wall time
    double cpuSeconds = 0;  // user and system time, the program's children included
    double peakMegabytes = 0;
  };

  // Runs `argv` in `folder` with standard output to /dev/null.
  static Outcome runProgram(const std::vector<std::string>& argv, const std::string& folder = {}) {
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
    outcome.cpuSeconds = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
    outcome.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    outcome.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return outcome;
  }

  // Fills `folder` with `count` empty files of short names, one in three
  // with a kanji whose second code-page-932 byte is "\".
  static void fill(const std::string& folder, int count) {
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "%s%06d", i % 3 == 0 ? "表" : "f", i);
      const int fd = ::open((folder + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
      if (fd >= 0) ::close(fd);
    }
  }

  // Makes the settings folder `config` and fills the folders `ours` and
  // `perl` with `count` files each (fill), saying so with `where` after the
  // count; synced, so that neither contender waits on the other's writes.
  static void prepare(const std::string& ours, const std::string& perl, const std::string& config, int count,
                      const char* where) {
    std::filesystem::create_directories(config);
    std::printf("creating 2 x %d files%s ...\n", count, where);
    std::fflush(stdout);
    fill(ours, count);
    fill(perl, count);
    ::sync();
  }

  // The processor time (user and system) the process `pid` has used so
  // far, in seconds; 0 when it cannot be read.
  static double processCpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The fields after the name, which ends at the last ")": utime and
    // stime are the 12th and 13th of them.
    const std::size_t end = text.rfind(')');
    if (end == std::string::npos) return 0;
    std::istringstream fields(text.substr(end + 1));
    std::string field;
    double ticks = 0;
    for (int i = 1; i <= 13 && fields >> field; ++i)
      if (i >= 12) ticks += std::stod(field);
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
  }

  // The process whose command line names `argument` (a FUSE file system's
  // server, by its mount point), or -1.
  static pid_t processNaming(const std::string& argument) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
      const std::string name = entry.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) continue;
      std::ifstream in(entry.path() / "cmdline");
      std::string arg;
      while (std::getline(in, arg, '\0'))
        if (arg == argument) return static_cast<pid_t>(std::stol(name));
    }
    return -1;
  }

  // Runs ritoma-cli (`cli`, settings in `config`) on the folder `ours` and
  // perl rename on the folder `perl`, `rounds` times in turn (each round
  // adds one more "x_"), and prints every round and the best of each, whose
  // wall times give the ratio against `target`. The best processor times
  // are printed beside them, as a busy machine stretches wall times far
  // more; they include what `server` (a FUSE file system's server, or -1)
  // spent meanwhile. The undo file must hold every row. Returns 0, or 1
  // after saying what failed.
  static int compare(const std::string& cli, const std::string& ours, const std::string& perl,
                     const std::string& config, int count, int rounds, double target, pid_t server = -1) {
    auto timed = [&](const std::vector<std::string>& argv, const std::string& folder) {
      const double before = server > 0 ? processCpuSeconds(server) : 0;
      Outcome o = runProgram(argv, folder);
      if (server > 0) o.cpuSeconds += processCpuSeconds(server) - before;
      return o;
    };
    double best = 1e30, bestPerl = 1e30, cpu = 1e30, cpuPerl = 1e30;
    for (int round = 1; round <= rounds; ++round) {
      const Outcome o = timed({cli, "run", "-t", "x_/f", "--config-dir", config, ours}, {});
      if (!o.ok) return fail("ritoma-cli run");
      const long recorded = undoRows(config + "/" + ritoma::UndoFile::FileName);
      if (recorded != count) return fail("undo file (" + std::to_string(recorded) + " rows)");
      // The names come on standard input: printf is built into the shell,
      // so no command line has to hold them all.
      const Outcome p = timed({"sh", "-c", "printf '%s\\n' * | rename 's/^/x_/'"}, perl);
      if (!p.ok) return fail("perl rename");
      std::printf("  round %d: ritoma-cli run %.3f s (cpu %.3f s, %.0f MB), perl rename %.3f s (cpu %.3f s)\n",
                  round, o.seconds, o.cpuSeconds, o.peakMegabytes, p.seconds, p.cpuSeconds);
      std::fflush(stdout);
      best = std::min(best, o.seconds);
      bestPerl = std::min(bestPerl, p.seconds);
      cpu = std::min(cpu, o.cpuSeconds);
      cpuPerl = std::min(cpuPerl, p.cpuSeconds);
    }
    std::printf("in-place batch of %d files, one batch, undo file of %d rows, best of %d\n", count, count,
                rounds);
    std::printf("  ritoma-cli run      %8.3f s   cpu %8.3f s\n", best, cpu);
    std::printf("  perl rename         %8.3f s   cpu %8.3f s\n", bestPerl, cpuPerl);
    std::printf("  ratio               %8.2f     cpu %8.2f     (target <= %.2f)\n", best / bestPerl,
                cpu / cpuPerl, target);
    return 0;
  }

  static int fail(const std::string& what) {
    std::fprintf(stderr, "benchmark: %s failed\n", what.c_str());
    return 1;
  }

private:
  static double secondsOf(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

  // Rows recorded by the undo file at `path`, or -1.
  static long undoRows(const std::string& path) {
    ritoma::PosixFileSystem fs;
    std::string bytes;
    ritoma::UndoLog log;
    if (fs.readWholeFile(path, bytes) || ritoma::UndoFile::decode(bytes, log) != ritoma::UndoFile::Status::Ok)
      return -1;
    return static_cast<long>(log.records.size());
  }
};
