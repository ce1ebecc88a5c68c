#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ArchiveTestSupport.h"
#include "archive/ArcBackup.h"
#include "archive/ArchiveRenameRun.h"
#include "platform/TimeConvert.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

using test::fixturePath;

TEST(ArcBackup, NamesBackupsBakThenBkNumberedWithTheExtensionAsSpelled) {
  TempDir dir;
  PosixFileSystem fs;
  ArcBackup backup(fs);
  const std::vector<std::pair<std::string, bool>> expected = {
      {"pics_BAK.lzh", true}, {"pics_BK1.lzh", false}, {"pics_BK2.lzh", false}};
  for (const auto& [name, first] : expected) {
    dir.writeFile("pics.lzh", "archive");
    ASSERT_TRUE(backup.ArcMakeBackup(dir / "pics.lzh"));
    EXPECT_EQ(backup.backupPath(), dir / name);
    EXPECT_EQ(backup.isFirstBackup(), first);
    EXPECT_FALSE(dir.exists("pics.lzh"));
  }
  dir.writeFile("PICS.LZH", "archive");
  ASSERT_TRUE(backup.ArcMakeBackup(dir / "PICS.LZH"));
  EXPECT_EQ(backup.backupPath(), dir / "PICS_BAK.LZH");
}

struct ModeCase {
  const char* name;
  int mode;
  std::vector<std::vector<std::string>> namesAfterRun;  // folder contents after runs 1, 2, 3
};

class ArchiveRenameRunModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ArchiveRenameRunModes, KeepsOrDeletesBackupsOverSeveralRuns) {
  const ModeCase& c = GetParam();
  TempDir dir;
  PosixFileSystem fs;
  NullProgress progress;
  dir.writeFile("pics.lzh", test::readBytes(fixturePath("level2.lzh")));
  std::string current = "plain.txt";
  for (std::size_t run = 0; run < c.namesAfterRun.size(); ++run) {
    ArchiveRenameRun rename(fs, progress);
    std::string next = "p";
    next += std::to_string(run);
    next += ".txt";
    ASSERT_TRUE(rename.run(ArcLzh, dir / "pics.lzh", {{0, current, next}}, c.mode))
        << rename.error();
    current = next;
    EXPECT_EQ(dir.names(), c.namesAfterRun[run]) << "run " << run + 1;
    EXPECT_EQ(test::listOrFail(fs, ArcLzh, dir / "pics.lzh")[0].name, next);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ArchiveRenameRunModes,
    ::testing::Values(
        ModeCase{"DeleteEveryBackup", ArcBackupDelete, {{"pics.lzh"}, {"pics.lzh"}, {"pics.lzh"}}},
        ModeCase{"KeepEveryBackup",
                 ArcBackupKeepAll,
                 {{"pics.lzh", "pics_BAK.lzh"},
                  {"pics.lzh", "pics_BAK.lzh", "pics_BK1.lzh"},
                  {"pics.lzh", "pics_BAK.lzh", "pics_BK1.lzh", "pics_BK2.lzh"}}},
        ModeCase{"KeepOnlyTheFirstBackup",
                 ArcBackupKeepFirst,
                 {{"pics.lzh", "pics_BAK.lzh"},
                  {"pics.lzh", "pics_BAK.lzh"},
                  {"pics.lzh", "pics_BAK.lzh"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Reading the backup during the rewrite may update its access time; the new
// archive gets the times the archive had before the run.
TEST(ArchiveRenameRun, NewArchiveGetsTheTimesFromBeforeTheRun) {
  TempDir dir;
  PosixFileSystem fs;
  NullProgress progress;
  dir.writeFile("a.zip", test::readBytes(fixturePath("deflated.zip")));
  const FileTime old = TimeConvert::fromUnixSeconds(1041346800);
  ASSERT_FALSE(fs.setTimes(dir / "a.zip", std::nullopt, old, old));
  ArchiveRenameRun rename(fs, progress);
  ASSERT_TRUE(rename.run(ArcZip, dir / "a.zip", {{0, "plain.txt", "b.txt"}}, ArcBackupKeepAll));
  FileInfo info;
  ASSERT_FALSE(fs.stat(dir / "a.zip", info));
  EXPECT_EQ(info.modified, old);
  EXPECT_EQ(info.accessed, old);
}

// On a file system without extended attributes (a FAT card, ramfs) the
// archive's creation time and S, H, A cannot follow it; the rest does, and
// the run succeeds, so that mode 0 leaves no backup.
TEST(ArchiveRenameRun, FileSystemWithoutExtendedAttributesTakesWhatItCanHold) {
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs(real);
  NullProgress progress;
  dir.writeFile("\xE8\xA1\xA8.zip", test::readBytes(fixturePath("deflated.zip")));
  const std::string archive = dir / "\xE8\xA1\xA8.zip";
  const FileTime old = TimeConvert::fromUnixSeconds(1041346800);
  ASSERT_FALSE(real.setTimes(archive, std::nullopt, old, old));
  ASSERT_EQ(::chmod(archive.c_str(), 0444), 0);
  fs.refuseExtendedAttributes();
  ArchiveRenameRun rename(fs, progress);
  ASSERT_TRUE(rename.run(ArcZip, archive, {{0, "plain.txt", "\x83\x5c.txt"}}, ArcBackupDelete))
      << rename.error();
  EXPECT_EQ(dir.names(), std::vector<std::string>{"\xE8\xA1\xA8.zip"});
  FileInfo info;
  ASSERT_FALSE(fs.stat(archive, info));
  EXPECT_EQ(info.modified, old);
  EXPECT_EQ(info.accessed, old);
  EXPECT_EQ(info.attributes, std::uint32_t{AttrReadOnly});
}

// The rewritten archive keeps the permission bits of the archive it
// replaces (a private archive stays private, a self-extractor executable),
// and the owner and group where the process may set them.
struct PermissionCase {
  const char* name;
  ArcKind kind;
  const char* fixture;
  mode_t mode;
};

class ArchivePermissions : public ::testing::TestWithParam<PermissionCase> {};

TEST_P(ArchivePermissions, NewArchiveKeepsTheMode) {
  const PermissionCase& c = GetParam();
  TempDir dir;
  PosixFileSystem fs;
  NullProgress progress;
  const std::string name = c.kind == ArcZip ? "表.zip" : "ソ.lzh";
  dir.writeFile(name, test::readBytes(fixturePath(c.fixture)));
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown((dir / name).c_str(), 4321, 8765), 0);
  }
  ASSERT_EQ(::chmod((dir / name).c_str(), c.mode), 0);
  ArchiveRenameRun rename(fs, progress);
  ASSERT_TRUE(rename.run(c.kind, dir / name, {{0, "plain.txt", "b.txt"}}, ArcBackupDelete)) << rename.error();
  EXPECT_EQ(test::listOrFail(fs, c.kind, dir / name)[0].name, "b.txt");
  EXPECT_EQ(dir.names(), std::vector<std::string>{name});
  struct stat st{};
  ASSERT_EQ(::stat((dir / name).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, c.mode);
  if (root) {
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ArchivePermissions,
    ::testing::Values(PermissionCase{"PrivateZip0600", ArcZip, "stored.zip", 0600},
                      PermissionCase{"SelfExtractorZip0755", ArcZip, "sfx.zip", 0755},
                      PermissionCase{"GroupLzh0640", ArcLzh, "level2.lzh", 0640}),
    [](const auto& info) { return std::string(info.param.name); });

// Every step after the backup can fail; the archive is then back under its
// own name, byte for byte, and no backup or new archive is left, whatever
// the mode.
struct FaultCase {
  const char* name;
  FsOp op;
  int nth;              // 0: fail every call on a path matching `pattern`
  const char* pattern;
};

class ArchiveRenameRunFaults
    : public ::testing::TestWithParam<std::tuple<FaultCase, int>> {};

TEST_P(ArchiveRenameRunFaults, FailedStepPutsTheArchiveBack) {
  const auto& [fault, mode] = GetParam();
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs(real);
  NullProgress progress;
  const std::string original = test::readBytes(fixturePath("level1.lzh"));
  dir.writeFile("pics.lzh", original);
  const FileTime old = TimeConvert::fromUnixSeconds(1041346800);
  ASSERT_FALSE(real.setTimes(dir / "pics.lzh", std::nullopt, old, old));
  if (fault.nth > 0)
    fs.failNth(fault.op, fault.nth, ENOSPC);
  else
    fs.failMatching(fault.op, fault.pattern, EIO);
  ArchiveRenameRun rename(fs, progress);
  EXPECT_FALSE(rename.run(ArcLzh, dir / "pics.lzh", {{0, "plain.txt", "x.txt"}}, mode));
  EXPECT_FALSE(rename.error().empty());
  EXPECT_EQ(rename.backupPath(), "");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"pics.lzh"});
  EXPECT_TRUE(dir.readFile("pics.lzh") == original);
  FileInfo info;
  ASSERT_FALSE(real.stat(dir / "pics.lzh", info));
  EXPECT_EQ(info.modified, old);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ArchiveRenameRunFaults,
    ::testing::Combine(
        ::testing::Values(FaultCase{"CreateOutput", FsOp::OpenWrite, 1, ""},
                          FaultCase{"WriteOutput", FsOp::Write, 1, ""},
                          FaultCase{"CloseOutput", FsOp::Close, 1, ""},
                          FaultCase{"ReadBackup", FsOp::Read, 0, "*/pics_BAK.lzh"},
                          // the check, the rewrite, then the new archive
                          FaultCase{"ListNewArchiveAgain", FsOp::OpenRead, 3, ""},
                          FaultCase{"CopyTimes", FsOp::SetTimes, 1, ""},
                          FaultCase{"CopyAttributes", FsOp::SetAttributes, 1, ""}),
        ::testing::Values(ArcBackupDelete, ArcBackupKeepAll, ArcBackupKeepFirst)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "Mode" +
             std::to_string(std::get<1>(info.param));
    });

TEST(ArchiveRenameRun, FailedBackupChangesNothingAndUndeletableBackupIsPutBack) {
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs(real);
  NullProgress progress;
  const std::string original = test::readBytes(fixturePath("stored.zip"));
  dir.writeFile("a.zip", original);

  fs.failNth(FsOp::Rename, 1, EACCES);
  ArchiveRenameRun first(fs, progress);
  EXPECT_FALSE(first.run(ArcZip, dir / "a.zip", {{0, "plain.txt", "b.txt"}}, ArcBackupDelete));
  EXPECT_EQ(first.backupPath(), "");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"a.zip"});
  EXPECT_TRUE(dir.readFile("a.zip") == original);

  fs.reset();
  fs.failNth(FsOp::Remove, 1, EACCES);
  ArchiveRenameRun second(fs, progress);
  EXPECT_FALSE(second.run(ArcZip, dir / "a.zip", {{0, "plain.txt", "b.txt"}}, ArcBackupDelete));
  EXPECT_EQ(dir.names(), std::vector<std::string>{"a.zip"});
  EXPECT_TRUE(dir.readFile("a.zip") == original);
}

// A file system on which another program takes the archive's name just
// before the rewrite creates it.
class IntrudingFileSystem : public FaultyFileSystem {
public:
  IntrudingFileSystem(FileSystem& real, std::string path)
      : FaultyFileSystem(real), real_(real), path_(std::move(path)) {}
  std::error_code createLike(const std::string& path, const std::string& model,
                             std::unique_ptr<OutputFile>& out) override {
    if (path == path_ && !real_.exists(path_)) {
      std::unique_ptr<OutputFile> other;
      if (auto ec = real_.openWrite(path_, WriteMode::CreateNew, other)) return ec;
      other->write("other", 5);
      other->close();
    }
    return FaultyFileSystem::createLike(path, model, out);
  }

private:
  FileSystem& real_;
  std::string path_;
};

// When the new archive's file cannot be removed after a failed rewrite, the
// backup replaces it; a file another program put at the archive's path
// stays, and so does the backup, which the run names.
TEST(ArchiveRenameRun, RestoreReplacesOnlyItsOwnOutput) {
  TempDir dir;
  PosixFileSystem real;
  NullProgress progress;
  const std::string original = test::readBytes(fixturePath("deflated.zip"));
  dir.writeFile("a.zip", original);
  FaultyFileSystem fs(real);
  fs.failNth(FsOp::Write, 1, ENOSPC);
  fs.failNth(FsOp::Remove, 1, EIO);
  ArchiveRenameRun own(fs, progress);
  EXPECT_FALSE(own.run(ArcZip, dir / "a.zip", {{0, "plain.txt", "b.txt"}}, ArcBackupKeepAll));
  EXPECT_EQ(own.backupPath(), "");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"a.zip"});
  EXPECT_TRUE(dir.readFile("a.zip") == original);

  IntrudingFileSystem intruded(real, dir / "a.zip");
  ArchiveRenameRun taken(intruded, progress);
  EXPECT_FALSE(taken.run(ArcZip, dir / "a.zip", {{0, "plain.txt", "b.txt"}}, ArcBackupKeepAll));
  EXPECT_EQ(taken.backupPath(), dir / "a_BAK.zip");
  EXPECT_EQ(dir.readFile("a.zip"), "other");
  EXPECT_TRUE(dir.readFile("a_BAK.zip") == original);
}

}  // namespace
}  // namespace ritoma
