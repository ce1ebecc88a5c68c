// ritoma-cli on a real file system without extended attributes: a ramfs
// mounted in a temporary folder stands in for FAT and exFAT cards, NFSv3
// and the like. Mounting needs root; elsewhere the tests skip.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "support/TempDir.h"

namespace ritoma::test {
namespace {

std::string fixture(const std::string& name) {
  std::FILE* f = std::fopen((std::string(RITOMA_FIXTURES) + "/archive/" + name).c_str(), "rb");
  if (!f) return {};
  std::string data;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, got);
  std::fclose(f);
  return data;
}

struct stat statOf(const std::string& path) {
  struct stat st{};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st;
}

// Equal to the 100 ns the program keeps; a time written from its text
// would have lost everything below the second.
bool sameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec / 100 == b.tv_nsec / 100;
}

// A ramfs on `point` for the life of the object.
class RamfsMount {
public:
  explicit RamfsMount(std::string point) : point_(std::move(point)) {
    if (::geteuid() != 0) {
      reason_ = "mounting a ramfs needs root";
    } else if (::mount("ramfs", point_.c_str(), "ramfs", 0, "mode=0755") != 0) {
      reason_ = std::string("cannot mount a ramfs: ") + std::strerror(errno);
    } else {
      mounted_ = true;
    }
  }
  ~RamfsMount() {
    if (mounted_ && ::umount2(point_.c_str(), 0) != 0) ::umount2(point_.c_str(), MNT_DETACH);
  }
  RamfsMount(const RamfsMount&) = delete;
  RamfsMount& operator=(const RamfsMount&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& reason() const { return reason_; }

private:
  std::string point_;
  std::string reason_;
  bool mounted_ = false;
};

class Ramfs : public ::testing::Test {
protected:
  void SetUp() override {
    dir.makeFolder("mnt");
    mount = std::make_unique<RamfsMount>(dir / "mnt");
    if (!mount->mounted()) GTEST_SKIP() << mount->reason();
    dir.makeFolder("cfg");
    dir.writeFile("cfg/Ritoma.ini", "[Option]\nArcBackup=0\n");
    dir.makeFolder("mnt/work");
    dir.makeFolder("mnt/out");
  }

  ProgramRun cli(std::vector<std::string> args) const {
    args.insert(args.begin() + 1, {"--config-dir", dir / "cfg"});
    return ProgramRun::run(args);
  }
  std::string work() const { return dir / "mnt/work"; }

  TempDir dir;
  std::unique_ptr<RamfsMount> mount;  // after `dir`: unmounted before the folder goes
};

TEST_F(Ramfs, RenameItsUndoCopyAndArchiveRenameRun) {
  dir.writeFile("mnt/work/表.txt", "hyo");
  dir.writeFile("mnt/work/ソ.txt", "so");
  const struct stat omote = statOf(work() + "/表.txt");

  ProgramRun renamed = cli({"run", "--tsv", "-t", "新/f", work()});
  ASSERT_EQ(renamed.status, 0) << renamed.err;
  EXPECT_EQ(dir.names("mnt/work"), (std::vector<std::string>{"新ソ.txt", "新表.txt"}));

  ProgramRun undone = cli({"undo", "--tsv"});
  ASSERT_EQ(undone.status, 0) << undone.err;
  EXPECT_EQ(dir.names("mnt/work"), (std::vector<std::string>{"ソ.txt", "表.txt"}));
  // The times were already those recorded: nothing was written to them.
  const struct stat back = statOf(work() + "/表.txt");
  EXPECT_TRUE(sameTime(back.st_mtim, omote.st_mtim));
  EXPECT_EQ(dir.readFile("mnt/work/表.txt"), "hyo");

  // A copy from a folder that holds the archive bit carries what ramfs takes.
  dir.makeFolder("src");
  dir.writeFile("src/ソ表", "data");
  ASSERT_EQ(cli({"run", "--attributes", "---A", dir / "src"}).status, 0);
  ProgramRun copied = cli({"run", "--tsv", "-t", "c/f", "--copy-to", dir / "mnt/out", dir / "src"});
  ASSERT_EQ(copied.status, 0) << copied.err;
  EXPECT_EQ(dir.readFile("mnt/out/cソ表"), "data");
  EXPECT_TRUE(sameTime(statOf(dir / "mnt/out/cソ表").st_mtim, statOf(dir / "src/ソ表").st_mtim));

  // ArcBackup=0: the backup goes once the archive holds its old times.
  dir.writeFile("mnt/work/a.zip", fixture("stored.zip"));
  const struct stat archive = statOf(work() + "/a.zip");
  ProgramRun rewritten = cli({"run", "--tsv", "--archive", "-r", "plain", "-w", "flat", work() + "/a.zip"});
  ASSERT_EQ(rewritten.status, 0) << rewritten.err;
  EXPECT_EQ(dir.names("mnt/work"), (std::vector<std::string>{"a.zip", "ソ.txt", "表.txt"}));
  EXPECT_TRUE(sameTime(statOf(work() + "/a.zip").st_mtim, archive.st_mtim));
  ProgramRun listed = cli({"plan", "--tsv", "--archive", "-t", "/f", work() + "/a.zip"});
  EXPECT_NE(listed.out.find("flat.txt"), std::string::npos) << listed.out;
}

TEST_F(Ramfs, NewCreationTimeOrArchiveBitIsRefusedWithStatus1) {
  dir.writeFile("mnt/work/表.txt", "hyo");
  const struct stat before = statOf(work() + "/表.txt");
  ProgramRun created = cli({"run", "-t", "新/f", "--created", "2010/01/02 03:04:05", work()});
  EXPECT_EQ(created.status, 1);
  EXPECT_NE(created.err.find("このディレクトリのファイルシステムには\nファイル作成日時を保存できません"),
            std::string::npos)
      << created.err;
  ProgramRun archived = cli({"run", "--attributes", "---A", work()});
  EXPECT_EQ(archived.status, 1);
  EXPECT_NE(archived.err.find("アーカイブ属性を保存できません"), std::string::npos) << archived.err;

  EXPECT_EQ(dir.names("mnt/work"), std::vector<std::string>{"表.txt"});
  EXPECT_TRUE(sameTime(statOf(work() + "/表.txt").st_mtim, before.st_mtim));
  EXPECT_FALSE(dir.exists("cfg/Ritoma.und"));
}

}  // namespace
}  // namespace ritoma::test
