// ritoma-cli on real removable and network media, mounted through FUSE
// for each test (see MountedMedium): renames and their undo, case-only
// renames, swaps through temporary names, copies into the medium and
// archive renames on it, with the settings folder on the medium too.
// Needs root; elsewhere the tests skip with the reason.

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/HistoryWalk.h"
#include "cli/ProgramRun.h"
#include "support/MountedMedium.h"

namespace ritoma::test {
namespace {

using Names = std::vector<std::string>;

struct Medium {
  MountedMedium::Kind kind;
  // fusefat makes no entry whose name is not ASCII.
  bool unicodeNames;
};

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  ASSERT_TRUE(out.good()) << path;
}

Names sorted(Names names) {
  std::sort(names.begin(), names.end());
  return names;
}

// The names in `folder` byte for byte as the file system lists them, sorted.
Names namesIn(const std::string& folder) {
  Names names;
  if (DIR* listing = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(listing)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(listing);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class RemovableMedia : public ::testing::TestWithParam<Medium> {
protected:
  void SetUp() override {
    medium = std::make_unique<MountedMedium>(GetParam().kind);
    if (!medium->skipReason().empty()) GTEST_SKIP() << medium->skipReason();
    ASSERT_TRUE(medium->failure().empty()) << medium->failure();
    ASSERT_EQ(::mkdir(cfg().c_str(), 0777), 0);
    ASSERT_EQ(::mkdir(work().c_str(), 0777), 0);
    writeFile(cfg() + "/Ritoma.ini", "[Option]\nArcBackup=0\n");
  }

  std::string cfg() const { return medium->path() + "/cfg"; }
  std::string work() const { return medium->path() + "/work"; }
  // `unicode` where the medium holds such names, else `ascii`.
  std::string name(const std::string& unicode, const std::string& ascii) const {
    return GetParam().unicodeNames ? unicode : ascii;
  }

  ProgramRun cli(std::vector<std::string> args) const {
    args.insert(args.begin() + 1, {"--config-dir", cfg()});
    return ProgramRun::run(args);
  }
  void expectRun(std::vector<std::string> args) const {
    const ProgramRun run = cli(args);
    EXPECT_EQ(run.status, 0) << args[0] << ": " << run.err << run.out;
  }

  std::unique_ptr<MountedMedium> medium;
};

TEST_P(RemovableMedia, RenameAndItsUndoWithTheSettingsOnTheMedium) {
  const std::string one = name("表.JPG", "IMG_0001.JPG");
  const std::string two = name("ソ.JPG", "IMG_0002.JPG");
  const std::string prefix = name("新", "new_");
  writeFile(work() + "/" + one, "one");
  writeFile(work() + "/" + two, "two");

  expectRun({"run", "--tsv", "-t", prefix + "/f", work()});
  EXPECT_EQ(namesIn(work()), sorted({prefix + one, prefix + two}));
  EXPECT_EQ(readFile(work() + "/" + prefix + one), "one");
  // The undo file is in place and no temporary file or journal is left;
  // fusefat itself may show a stray "~N" entry after renames.
  Names settings = namesIn(cfg());
  std::erase_if(settings, [](const std::string& n) { return n.starts_with("~"); });
  EXPECT_EQ(settings, (Names{"Ritoma.ini", "Ritoma.und"}));

  expectRun({"undo", "--tsv", "--yes"});
  EXPECT_EQ(namesIn(work()), sorted({one, two}));
  EXPECT_EQ(readFile(work() + "/" + two), "two");
}

TEST_P(RemovableMedia, CaseOnlyRenameAndItsUndo) {
  const std::string one = name("表ソ.JPG", "IMG_0001.JPG");
  writeFile(work() + "/" + one, "photo");
  writeFile(work() + "/DSC_0002.JPG", "other");
  const Names before = namesIn(work());

  expectRun({"run", "--tsv", "-c", "lower", "--target", "both", work()});
  EXPECT_EQ(namesIn(work()), sorted({"dsc_0002.jpg", name("表ソ.jpg", "img_0001.jpg")}));
  EXPECT_EQ(readFile(work() + "/" + name("表ソ.jpg", "img_0001.jpg")), "photo");

  expectRun({"undo", "--tsv", "--yes"});
  EXPECT_EQ(namesIn(work()), before);
  EXPECT_EQ(readFile(work() + "/DSC_0002.JPG"), "other");
}

TEST_P(RemovableMedia, SwapThroughTemporaryNames) {
  const std::string prefix = name("表", "p");
  const std::string one = prefix + "1.txt";
  const std::string two = prefix + "2.txt";
  writeFile(work() + "/" + one, "one");
  writeFile(work() + "/" + two, "two");

  // In reverse order, numbered from 1: the two names trade places.
  expectRun({"run", "--tsv", "--force-temp", "--sort", "name,desc", "-t", prefix + "/n<1,1>", work()});
  EXPECT_EQ(namesIn(work()), sorted({one, two}));
  EXPECT_EQ(readFile(work() + "/" + one), "two");
  EXPECT_EQ(readFile(work() + "/" + two), "one");

  expectRun({"undo", "--tsv", "--yes", "--force-temp"});
  EXPECT_EQ(namesIn(work()), sorted({one, two}));
  EXPECT_EQ(readFile(work() + "/" + one), "one");
  EXPECT_EQ(readFile(work() + "/" + two), "two");
}

TEST_P(RemovableMedia, CopyIntoTheMediumNeverReplaces) {
  const std::string source = medium->scratch();
  const std::string one = name("ソ表.txt", "copy.txt");
  writeFile(source + "/" + one, "data");
  ASSERT_EQ(::mkdir((work() + "/out").c_str(), 0777), 0);

  expectRun({"run", "--tsv", "-t", "c/f", "--copy-to", work() + "/out", source});
  EXPECT_EQ(namesIn(work() + "/out"), Names{"c" + one});
  EXPECT_EQ(readFile(work() + "/out/c" + one), "data");

  // Another spelling of a copy's name is taken, and kept.
  writeFile(source + "/" + one, "again");
  EXPECT_NE(cli({"run", "--tsv", "-t", "C/f", "--copy-to", work() + "/out", source}).status, 0);
  EXPECT_EQ(namesIn(work() + "/out"), Names{"c" + one});
  EXPECT_EQ(readFile(work() + "/out/c" + one), "data");
  EXPECT_EQ(namesIn(source), Names{one});
}

TEST_P(RemovableMedia, ArchiveRenameOnTheMedium) {
  writeFile(work() + "/a.zip", readFile(std::string(RITOMA_FIXTURES) + "/archive/stored.zip"));
  expectRun({"run", "--tsv", "--archive", "-r", "plain", "-w", "flat", work() + "/a.zip"});
  EXPECT_EQ(namesIn(work()), Names{"a.zip"});
  const ProgramRun listed = cli({"plan", "--tsv", "--archive", "-t", "/f", work() + "/a.zip"});
  EXPECT_NE(listed.out.find("flat.txt"), std::string::npos) << listed.out << listed.err;
}

// Three batches undone in turn on exFAT, the settings folder on the medium:
// the records move back and forth there by renames that replace nothing.
TEST(RemovableMediaHistory, ExfatWalksBackThreeBatchesByteForByte) {
  MountedMedium medium(MountedMedium::Kind::Exfat);
  if (!medium.skipReason().empty()) GTEST_SKIP() << medium.skipReason();
  ASSERT_TRUE(medium.failure().empty()) << medium.failure();
  const std::string cfg = medium.path() + "/cfg";
  const std::string work = medium.path() + "/work";
  ASSERT_EQ(::mkdir(cfg.c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(work.c_str(), 0777), 0);
  walkBackThreeBatches(
      [&](std::vector<std::string> args) {
        args.insert(args.begin() + 1, {"--config-dir", cfg});
        return ProgramRun::run(args);
      },
      work, "ソ");
}

INSTANTIATE_TEST_SUITE_P(Mounted, RemovableMedia,
                         ::testing::Values(Medium{MountedMedium::Kind::Exfat, true},
                                           Medium{MountedMedium::Kind::Fat, false},
                                           Medium{MountedMedium::Kind::Ntfs, true},
                                           Medium{MountedMedium::Kind::Sshfs, true}),
                         [](const auto& info) {
                           switch (info.param.kind) {
                             case MountedMedium::Kind::Exfat: return std::string("Exfat");
                             case MountedMedium::Kind::Fat: return std::string("Fat");
                             case MountedMedium::Kind::Ntfs: return std::string("Ntfs");
                             case MountedMedium::Kind::Sshfs: return std::string("Sshfs");
                           }
                           return std::string();
                         });

}  // namespace
}  // namespace ritoma::test
