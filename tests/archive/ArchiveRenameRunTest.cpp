#include <gtest/gtest.h>

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
    const std::string next = "p" + std::to_string(run) + ".txt";
    ASSERT_TRUE(rename.run(ArcLzh, dir / "pics.lzh", {{current, next}}, c.mode))
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
  ASSERT_TRUE(rename.run(ArcZip, dir / "a.zip", {{"plain.txt", "b.txt"}}, ArcBackupKeepAll));
  FileInfo info;
  ASSERT_FALSE(fs.stat(dir / "a.zip", info));
  EXPECT_EQ(info.modified, old);
  EXPECT_EQ(info.accessed, old);
}

// Every step after the backup can fail; the backup must then stay, holding
// the original archive, whatever the mode.
struct FaultCase {
  const char* name;
  FsOp op;
  int nth;             // 0: fail every call on the archive's own path
  bool outputRemains;  // the rewritten archive stays (it is complete)
};

class ArchiveRenameRunFaults
    : public ::testing::TestWithParam<std::tuple<FaultCase, int>> {};

TEST_P(ArchiveRenameRunFaults, FailedStepKeepsTheBackup) {
  const auto& [fault, mode] = GetParam();
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs(real);
  NullProgress progress;
  const std::string original = test::readBytes(fixturePath("level1.lzh"));
  dir.writeFile("pics.lzh", original);
  if (fault.nth > 0)
    fs.failNth(fault.op, fault.nth, ENOSPC);
  else
    fs.failMatching(fault.op, "*/pics.lzh", EIO);
  ArchiveRenameRun rename(fs, progress);
  EXPECT_FALSE(rename.run(ArcLzh, dir / "pics.lzh", {{"plain.txt", "x.txt"}}, mode));
  EXPECT_FALSE(rename.error().empty());
  EXPECT_EQ(rename.backupPath(), dir / "pics_BAK.lzh");
  EXPECT_TRUE(dir.readFile("pics_BAK.lzh") == original);
  EXPECT_EQ(dir.exists("pics.lzh"), fault.outputRemains);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ArchiveRenameRunFaults,
    ::testing::Combine(
        ::testing::Values(FaultCase{"CreateOutput", FsOp::OpenWrite, 1, false},
                          FaultCase{"WriteOutput", FsOp::Write, 1, false},
                          FaultCase{"CloseOutput", FsOp::Close, 1, false},
                          FaultCase{"ReadBackup", FsOp::Read, 1, false},
                          FaultCase{"ListNewArchiveAgain", FsOp::OpenRead, 0, true},
                          FaultCase{"CopyTimes", FsOp::SetTimes, 1, true},
                          FaultCase{"CopyAttributes", FsOp::SetAttributes, 1, true}),
        ::testing::Values(ArcBackupDelete, ArcBackupKeepAll, ArcBackupKeepFirst)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "Mode" +
             std::to_string(std::get<1>(info.param));
    });

TEST(ArchiveRenameRun, FailedBackupChangesNothingAndUndeletableBackupFailsTheRun) {
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs(real);
  NullProgress progress;
  const std::string original = test::readBytes(fixturePath("stored.zip"));
  dir.writeFile("a.zip", original);

  fs.failNth(FsOp::Rename, 1, EACCES);
  ArchiveRenameRun first(fs, progress);
  EXPECT_FALSE(first.run(ArcZip, dir / "a.zip", {{"plain.txt", "b.txt"}}, ArcBackupDelete));
  EXPECT_EQ(first.backupPath(), "");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"a.zip"});
  EXPECT_TRUE(dir.readFile("a.zip") == original);

  fs.reset();
  fs.failNth(FsOp::Remove, 1, EACCES);
  ArchiveRenameRun second(fs, progress);
  EXPECT_FALSE(second.run(ArcZip, dir / "a.zip", {{"plain.txt", "b.txt"}}, ArcBackupDelete));
  EXPECT_TRUE(dir.readFile("a_BAK.zip") == original);
}

}  // namespace
}  // namespace ritoma
