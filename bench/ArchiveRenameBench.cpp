// Renaming inside large archives compared with copying the archive (`cp`)
// and, for ZIP, with `zipnote -w`:
//   - one entry of a 1 GiB ZIP (four stored entries of 256 MiB),
//   - one entry of a 1 GiB LZH (four -lh0- entries of 256 MiB),
//   - every entry of a ZIP with 20,000 small entries.
// The archives are made in a temporary folder (TMPDIR or /tmp) and removed
// afterwards. Each time is the best of five runs (25 for the small archive,
// whose times are a few milliseconds), all with warm caches: the archive
// read was written or copied just before. `cp` copies inside the
// kernel (copy_file_range) where the file system offers it, so it is the
// fastest copy there is. `cp` and `zipnote` are timed as commands, the
// rename in this process; the time of starting a command (`true` through
// the same shell) is printed too, and the second ratio compares with cp's
// copy alone. The target is at most 1.3 times `cp` and faster than
// `zipnote -w`.
//
// Arguments, when given, choose the cases: large-zip, large-lzh, small-zip.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/ArcBackup.h"
#include "archive/ArchiveBackend.h"
#include "archive/ArchiveRenameRun.h"
#include "archive/LittleEndian.h"
#include "archive/LzhCrc16.h"
#include "archive/LzhHeader.h"
#include "archive/LzhRewriter.h"
#include "platform/PosixFileSystem.h"

using namespace ritoma;

namespace {

constexpr std::size_t kEntrySize = std::size_t{256} << 20;
constexpr int kLargeEntries = 4;
constexpr int kSmallEntries = 20000;

void shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

// One command or call being timed, with what must happen before each run.
struct Contender {
  std::function<void()> prepare;
  std::function<void()> run;
  double best = 1e30;
};

// Runs each contender `rounds` times in a row and keeps its best time.
// (Taking turns instead made the 1 GiB rename pay for the other commands'
// gigabyte of dirty pages on this kind of machine.)
void bestOf(int rounds, std::vector<Contender*> contenders) {
  for (Contender* c : contenders) {
    for (int i = 0; i < rounds; ++i) {
      c->prepare();
      shell("sync");
      const auto start = std::chrono::steady_clock::now();
      c->run();
      const double seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      c->best = std::min(c->best, seconds);
    }
  }
}

std::string entryData(int index) {
  std::string data(kEntrySize, '\0');
  std::uint64_t x = 0x9E3779B97F4A7C15ull * (index + 1);
  for (std::size_t i = 0; i + 8 <= data.size(); i += 8) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    std::memcpy(data.data() + i, &x, 8);
  }
  return data;
}

// Level-2 -lh0- entries written directly: jlha would take minutes for 1 GiB.
void makeLzh(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  for (int k = 0; k < kLargeEntries; ++k) {
    const std::string data = entryData(k);
    LzhHeader h;
    std::memcpy(h.base.data() + 2, "-lh0-", 5);
    LittleEndian::put32(h.base.data() + 7, static_cast<std::uint32_t>(data.size()));
    LittleEndian::put32(h.base.data() + 11, static_cast<std::uint32_t>(data.size()));
    LittleEndian::put32(h.base.data() + 15, 1041346800);
    h.base[19] = 0x20;
    h.base[20] = 2;
    LittleEndian::put16(h.base.data() + 21, LzhCrc16::compute(data.data(), data.size()));
    h.base[23] = 'U';
    const std::string header = LzhRewriter::buildLevel2(h, "part" + std::to_string(k) + ".bin");
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
  }
  out.put('\0');
}

void makeLargeZip(const std::string& folder, const std::string& path) {
  shell("mkdir -p '" + folder + "/big'");
  for (int k = 0; k < kLargeEntries; ++k) {
    std::ofstream out(folder + "/big/part" + std::to_string(k) + ".bin", std::ios::binary);
    const std::string data = entryData(k);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
  }
  shell("cd '" + folder + "/big' && zip -q -0 -X '" + path + "' part0.bin part1.bin part2.bin part3.bin");
  shell("rm -rf '" + folder + "/big'");
}

void makeSmallZip(const std::string& folder, const std::string& path) {
  shell("mkdir -p '" + folder + "/small'");
  for (int k = 0; k < kSmallEntries; ++k) {
    std::ofstream out(folder + "/small/f" + std::to_string(k) + ".txt", std::ios::binary);
    out << "small entry " << k << '\n';
  }
  shell("cd '" + folder + "/small' && zip -q -0 -X -r '" + path + "' .");
  shell("rm -rf '" + folder + "/small'");
}

// A zipnote comment file that renames the given entries.
void writeNotes(const std::string& archive, const std::string& notes,
                const std::vector<ArcRenameRow>& rows) {
  shell("zipnote '" + archive + "' > '" + notes + ".in'");
  std::ifstream in(notes + ".in");
  std::ofstream out(notes);
  std::string line;
  std::size_t next = 0;
  while (std::getline(in, line)) {
    out << line << '\n';
    if (line.rfind("@ ", 0) == 0 && next < rows.size() && line.substr(2) == rows[next].oldName)
      out << "@=" << rows[next++].newName << '\n';
  }
}

struct Case {
  std::string label;
  ArcKind kind;
  std::string archive;
  std::vector<ArcRenameRow> rows;
};

void measure(PosixFileSystem& fs, const std::string& folder, const Case& c, int rounds,
             bool withZipnote) {
  const std::string work = folder + "/work" + (c.kind == ArcLzh ? ".lzh" : ".zip");
  const std::string backup = folder + "/work_BAK" + (c.kind == ArcLzh ? ".lzh" : ".zip");
  const auto fresh = [&] { shell("rm -f '" + work + "' '" + backup + "' && cp '" + c.archive + "' '" + work + "'"); };
  const std::string notes = folder + "/notes.txt";
  if (withZipnote) writeNotes(c.archive, notes, c.rows);

  Contender start{[] {}, [] { shell("true"); }};
  Contender cp{[&] { shell("rm -f '" + work + "'"); },
               [&] { shell("cp '" + c.archive + "' '" + work + "'"); }};
  Contender ours{fresh, [&] {
    NullProgress progress;
    ArchiveRenameRun run(fs, progress);
    if (!run.run(c.kind, work, c.rows, ArcBackupKeepAll)) throw std::runtime_error(run.error());
  }};
  Contender zipnote{fresh, [&] { shell("zipnote -w '" + work + "' < '" + notes + "'"); }};
  std::vector<Contender*> all{&start, &cp, &ours};
  if (withZipnote) all.push_back(&zipnote);
  bestOf(rounds, all);

  std::printf("%-30s cp %7.4f s (command start %6.4f s)  rename %7.4f s = %5.2f x cp, %5.2f x cp's copy",
              c.label.c_str(), cp.best, start.best, ours.best, ours.best / cp.best,
              ours.best / std::max(cp.best - start.best, 1e-6));
  if (withZipnote)
    std::printf("  zipnote -w %7.4f s = %5.2f x zipnote", zipnote.best, ours.best / zipnote.best);
  std::printf("\n");
  shell("rm -f '" + work + "' '" + backup + "'");
}

}  // namespace

int main(int argc, char** argv) {
  const auto chosen = [&](const char* key) {
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i)
      if (std::strcmp(argv[i], key) == 0) return true;
    return false;
  };
  const char* tmp = std::getenv("TMPDIR");
  const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/ritoma-archive-bench";
  shell("rm -rf '" + folder + "' && mkdir -p '" + folder + "'");
  try {
    PosixFileSystem fs;
    std::printf("making the archives in %s ...\n", folder.c_str());
    if (chosen("large-zip")) {
      makeLargeZip(folder, folder + "/large.zip");
      measure(fs, folder, {"1 GiB ZIP, one entry", ArcZip, folder + "/large.zip",
                           {{1, "part1.bin", "renamed-part1.bin"}}}, 5, true);
      shell("rm -f '" + folder + "/large.zip'");
    }
    if (chosen("large-lzh")) {
      makeLzh(folder + "/large.lzh");
      measure(fs, folder, {"1 GiB LZH, one entry", ArcLzh, folder + "/large.lzh",
                           {{1, "part1.bin", "renamed-part1.bin"}}}, 5, false);
      shell("rm -f '" + folder + "/large.lzh'");
    }
    if (chosen("small-zip")) {
      makeSmallZip(folder, folder + "/small.zip");
      // zipnote lists the entries in archive order; rows must follow it.
      std::vector<ArcInfo> listed;
      std::string error;
      ArchiveBackend::list(fs, ArcZip, folder + "/small.zip", listed, error);
      std::vector<ArcRenameRow> ordered;
      for (const ArcInfo& e : listed)
        if (e.name.rfind("f", 0) == 0) ordered.push_back({e.index, e.name, "renamed-" + e.name});
      measure(fs, folder, {"20,000-entry ZIP, every entry", ArcZip, folder + "/small.zip", ordered},
              25, true);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "benchmark failed: %s\n", e.what());
    shell("rm -rf '" + folder + "'");
    return 1;
  }
  shell("rm -rf '" + folder + "'");
  return 0;
}
