// An in-place batch on a camera card: 10,000 files on exFAT through FUSE
// (exfat-fuse on a loop device over an image file, as the media tests
// mount it), `ritoma-cli run -t 'x_/f'` against perl `rename 's/^/x_/'`
// on an identical folder of the same mount (BenchBatch). Target: at most
// 1.5 × perl rename. exFAT refuses RENAME_NOREPLACE, so every rename of
// ritoma-cli claims the new name first; the settings folder (undo file and
// journal) stays on the local disk, as in a home folder.
//
//   bench_exfat [FILES [ROUNDS]]
//
// Each contender runs ROUNDS times (default 1) in turn with the other; the
// processor times printed beside the wall times include the exfat-fuse
// server's, where most of the work is done. It
// needs root, /dev/fuse, a free loop device and the programs of
// scripts/setup; where one is missing it says which and measures nothing.
// The medium is unmounted and let go at the end, also after a failure.

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchBatch.h"
#include "support/MountedMedium.h"

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int rounds = std::max(1, argc > 2 ? std::atoi(argv[2]) : 1);
  ritoma::test::MountedMedium medium(ritoma::test::MountedMedium::Kind::Exfat);
  if (!medium.skipReason().empty()) {
    std::printf("skipped: %s\n", medium.skipReason().c_str());
    return 0;
  }
  if (!medium.failure().empty()) return BenchBatch::fail(medium.failure());
  const std::string ours = medium.path() + "/ours";
  const std::string perl = medium.path() + "/perl";
  const std::string config = medium.scratch() + "/config";
  BenchBatch::prepare(ours, perl, config, files, " on exFAT through FUSE");
  const pid_t server = BenchBatch::processNaming(medium.path());
  if (server < 0) return BenchBatch::fail("finding the exfat-fuse server of " + medium.path());
  return BenchBatch::compare(RITOMA_CLI_PATH, ours, perl, config, files, rounds, 1.5, server);
}
