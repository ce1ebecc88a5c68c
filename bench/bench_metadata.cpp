// The photo plug-in against exiftool: `ritoma-cli plan -t
// '/xE<date,%Y%m%d>_/n'` (list, date taken of every photo, check) against
// `exiftool -p '$DateTimeOriginal' -q` over the same folder of 2,000 JPEGs
// of 3 MB each, both writing to /dev/null. Target: at least 5 times faster
// than exiftool.
//
// The photos are copies of one JPEG that ImageMagick draws (noise, so it
// does not compress below 3 MB) and exiftool tags. Each contender runs
// ROUNDS times in turn with the other after one unmeasured run each that
// brings the files into the page cache; the best round of each counts.
//
//   bench_metadata [FILES [FOLDER [ROUNDS]]]
//
// FOLDER is created and filled when it does not exist (a folder made by the
// benchmark is removed at the end; a kept one saves writing 6 GB again).
// Needs imagemagick and libimage-exiftool-perl.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchTiming.h"

namespace {

namespace fs = std::filesystem;

// Runs `argv` with standard output to /dev/null (or to `output`); returns
// its wall time in seconds, or a negative number when it failed.
double run(const std::vector<std::string>& argv, const std::string& output = "/dev/null") {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || ::dup2(out, STDOUT_FILENO) < 0) ::_exit(127);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  const double seconds = BenchTiming::seconds(std::chrono::steady_clock::now() - start);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

// One tagged JPEG of about 3 MB at `path`.
bool makePhoto(const std::string& path) {
  if (run({"convert", "-size", "2048x2048", "xc:gray", "+noise", "Random", "-quality", "92", path}) < 0) return false;
  if (run({"exiftool", "-q", "-overwrite_original", "-DateTimeOriginal=2024:05:03 14:25:01",
           "-Model=Bench camera", path}) < 0)
    return false;
  std::printf("one photo: %.1f MB\n", static_cast<double>(fs::file_size(path)) / 1e6);
  return true;
}

bool fill(const std::string& folder, int count) {
  fs::create_directories(folder);
  const std::string first = folder + "/IMG_00000.jpg";
  if (!makePhoto(first)) return false;
  std::printf("copying it %d times into %s ...\n", count - 1, folder.c_str());
  std::fflush(stdout);
  for (int i = 1; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%05d.jpg", i);
    fs::copy_file(first, folder + name);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
  std::string folder = argc > 2 ? argv[2] : "";
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;

  bool made = false;
  if (folder.empty()) {
    char pattern[] = "/tmp/ritoma-bench-metadata-XXXXXX";
    if (!::mkdtemp(pattern)) return 2;
    folder = pattern;
    made = true;
  }
  if ((made || !fs::exists(folder)) && !fill(folder, files)) {
    std::fprintf(stderr, "could not make the photos (imagemagick and libimage-exiftool-perl installed?)\n");
    return 2;
  }

  // The settings that put the photo plug-in in service as /xE.
  char cfgPattern[] = "/tmp/ritoma-bench-metadata-cfg-XXXXXX";
  if (!::mkdtemp(cfgPattern)) return 2;
  const std::string cfg = cfgPattern;
  std::ofstream(cfg + "/Ritoma.ini") << "[MacroEx]\nCount=1\nDLLName-0=exif.so\nCommand-0=E\n";

  const std::vector<std::string> ritoma = {RITOMA_CLI_PATH, "plan", "--config-dir", cfg, "-t", "/xE<date,%Y%m%d>_/n", folder};
  const std::vector<std::string> exiftool = {"exiftool", "-p", "$DateTimeOriginal", "-q", folder};

  // Both must work, and the plug-in must have read the dates.
  const std::string planFile = cfg + "/plan.txt";
  if (run(ritoma, planFile) < 0 || run(exiftool) < 0) {
    std::fprintf(stderr, "a contender failed\n");
    return 1;
  }
  std::ifstream plan(planFile);
  const std::string planText((std::istreambuf_iterator<char>(plan)), std::istreambuf_iterator<char>());
  if (planText.find("20240503_") == std::string::npos) {
    std::fprintf(stderr, "the plan shows no date taken:\n%s\n", planText.substr(0, 400).c_str());
    return 1;
  }

  double bestRitoma = 1e9, bestExiftool = 1e9;
  for (int r = 0; r < rounds; ++r) {
    const double a = run(ritoma);
    const double b = run(exiftool);
    if (a < 0 || b < 0) return 1;
    std::printf("round %d: ritoma-cli %.3f s, exiftool %.3f s\n", r + 1, a, b);
    std::fflush(stdout);
    bestRitoma = std::min(bestRitoma, a);
    bestExiftool = std::min(bestExiftool, b);
  }
  std::printf("%d photos: ritoma-cli plan with /xE %.3f s, exiftool %.3f s: %.1f times faster (target: 5)\n",
              files, bestRitoma, bestExiftool, bestExiftool / bestRitoma);

  fs::remove_all(cfg);
  if (made) fs::remove_all(folder);
  return 0;
}
