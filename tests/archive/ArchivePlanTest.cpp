#include <gtest/gtest.h>

#include <cerrno>

#include "ArchiveTestSupport.h"
#include "archive/ArchivePlanEngine.h"
#include "archive/ArchiveSelection.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

using test::fixturePath;

const std::string kSo = "\x83\x5c";   // ソ
const std::string kHyo = "\x95\x5c";  // 表

TEST(ArchiveSelection, RowsOfAnArchiveWithFolderRowsAndSplitNames) {
  PosixFileSystem fs;
  ArchiveLibraries libraries(fs);
  libraries.load(ArcZip);
  libraries.load(ArcLzh);
  SelectionList list;
  test::RecordingProgress progress;
  ASSERT_TRUE(ArchiveSelection::buildSelectionList(libraries, ArcZip, fixturePath("stored.zip"),
                                                   true, list, progress, 500));
  EXPECT_EQ(progress.opened_, 0);
  ASSERT_EQ(list.size(), 4u);
  const FileEntry& folder = list.row(0);  // folders sort first
  EXPECT_EQ(folder.fullName(), "sub/");
  EXPECT_EQ(folder.kindCode, "02");
  EXPECT_EQ(folder.icon, FileEntry::IconArchiveFolder);
  EXPECT_FALSE(folder.checked);
  bool sawSjis = false;
  for (const FileEntry& row : list.rows()) {
    if (row.baseName != kSo + kHyo) continue;
    sawSjis = true;
    EXPECT_EQ(row.extension, ".txt");
    EXPECT_EQ(row.kindCode, "11");
    EXPECT_TRUE(row.checked);
    EXPECT_EQ(row.sizeText, "7,000");
    EXPECT_EQ(row.modifiedText, "2003/01/01 00:00:00");
  }
  EXPECT_TRUE(sawSjis);

  // "dir表\" ends in the byte "\": a folder row; the path stays in the name.
  ASSERT_TRUE(ArchiveSelection::buildSelectionList(libraries, ArcLzh, fixturePath("level0.lzh"),
                                                   false, list, progress, 2));
  EXPECT_EQ(progress.opened_, 1);
  EXPECT_EQ(progress.caption_, "ファイル取得中…");
  EXPECT_FALSE(progress.isOpen());
  EXPECT_EQ(list.row(0).fullName(), "dir" + kHyo + "\\");
  EXPECT_EQ(list.row(0).icon, FileEntry::IconArchiveFolder);
  for (const FileEntry& row : list.rows()) EXPECT_FALSE(row.checked);
}

TEST(ArchiveSelection, DamagedArchiveGivesAnEmptyListAndAMessage) {
  TempDir dir;
  dir.writeFile("bad.zip", "not an archive at all, not even close");
  PosixFileSystem fs;
  ArchiveLibraries libraries(fs);
  libraries.load(ArcZip);
  SelectionList list;
  NullProgress progress;
  std::string error;
  EXPECT_FALSE(ArchiveSelection::buildSelectionList(libraries, ArcZip, dir / "bad.zip", true, list,
                                                    progress, 0, &error));
  EXPECT_EQ(list.size(), 0u);
  EXPECT_FALSE(error.empty());
}

TEST(ArchiveSelection, StoredStampIsShownAsStored) {
  EXPECT_EQ(ArchiveSelection::dosText((23 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29),
            "2003/12/31 23:59:58");
}

struct ArchivePlan : ::testing::Test {
  TempDir dir;
  ExecutionSettings settings;
  ArchiveState state;
  RunOptions options;

  PlanList planFor(const std::vector<std::pair<std::string, std::string>>& names) {
    PlanList plan;
    plan.mode = PlanMode::Archive;
    plan.folder = dir.path();
    for (const auto& [oldName, newName] : names) {
      PlanRow row;
      row.oldName = oldName;
      row.newName = newName;
      plan.rows.push_back(row);
    }
    return plan;
  }
  void open(const char* fixture, const std::string& name, ArcKind kind) {
    dir.writeFile(name, test::readBytes(fixturePath(fixture)));
    state.arcKind = kind;
    state.arcPath = TextCodec::toInternal(dir / name);
  }
};

TEST_F(ArchivePlan, CheckMarksNewNamesHeldByEntriesOutsideTheBatch) {
  PosixFileSystem fs;
  NullProgress progress;
  open("level2.lzh", "a.lzh", ArcLzh);
  ArchivePlanEngine engine(fs, progress, settings, state);
  const std::string stored = "dir" + kHyo + "/" + kSo + "a.txt";
  PlanList plan = planFor({{"plain.txt", "DIR" + kHyo + "/" + kSo + "A.TXT"}});
  EXPECT_FALSE(engine.check(plan, options, true).passed);
  EXPECT_EQ(plan.rows[0].mark, MarkExists);

  // A swap inside the batch is no collision: the archive is rewritten in one pass.
  plan = planFor({{"plain.txt", stored}, {stored, "plain.txt"}});
  EXPECT_TRUE(engine.check(plan, options, true).passed);
  EXPECT_EQ(plan.rows[0].mark, MarkNone);

  settings.chkAuto = false;
  const CheckResult pending = engine.check(plan, options, true);
  EXPECT_TRUE(pending.pending);
  EXPECT_FALSE(pending.passed);
}

TEST_F(ArchivePlan, ExecuteRenamesEntriesAndNamesTheBackup) {
  PosixFileSystem fs;
  NullProgress progress;
  open("deflated.zip", "a.zip", ArcZip);
  ArchivePlanEngine engine(fs, progress, settings, state);
  PlanList plan = planFor({{"plain.txt", "sub/moved.txt"}});
  const RunResult result = engine.execute(plan, options);
  EXPECT_EQ(result.code, 0);
  EXPECT_FALSE(result.failed);
  EXPECT_EQ(result.processedNames, std::vector<std::string>{"sub/moved.txt"});
  EXPECT_EQ(state.arcBackupPath, TextCodec::toInternal(dir / "a_BAK.zip"));
  EXPECT_EQ(test::listOrFail(fs, ArcZip, dir / "a.zip")[0].name, "sub/moved.txt");
}

// A failed run puts the archive back and marks every row of the run
// failed; only a backup that could not be put back is named.
TEST_F(ArchivePlan, FailedExecuteRestoresTheArchiveAndMarksItsRowsFailed) {
  PosixFileSystem real;
  FaultyFileSystem fs(real);
  NullProgress progress;
  const std::string original = test::readBytes(fixturePath("level1.lzh"));
  open("level1.lzh", "a.lzh", ArcLzh);
  fs.failNth(FsOp::Write, 1, ENOSPC);
  ArchivePlanEngine engine(fs, progress, settings, state);
  engine.setBackupMode(ArcBackupDelete);
  PlanList plan = planFor({{"plain.txt", "b.txt"}, {"x.txt", "y.txt"}});
  plan.rows[1].mark = MarkExists;
  RunResult result = engine.execute(plan, options);
  EXPECT_EQ(result.code, -1);
  EXPECT_TRUE(result.failed);
  EXPECT_EQ(plan.rows[0].mark, MarkFailed);
  EXPECT_EQ(plan.rows[1].mark, MarkExists);
  EXPECT_EQ(result.furtherMessages.size(), 1u);
  EXPECT_EQ(state.arcBackupPath, "");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"a.lzh"});
  EXPECT_TRUE(dir.readFile("a.lzh") == original);

  // The backup cannot be moved back either: it stays and is named.
  fs.reset();
  fs.failNth(FsOp::Write, 1, ENOSPC);
  fs.failNth(FsOp::Rename, 2, EIO);
  plan = planFor({{"plain.txt", "b.txt"}});
  result = engine.execute(plan, options);
  EXPECT_EQ(plan.rows[0].mark, MarkFailed);
  ASSERT_EQ(result.furtherMessages.size(), 2u);
  EXPECT_EQ(result.furtherMessages[1], "書庫ファイルのバックアップファイル名\n\n" + (dir / "a_BAK.lzh"));
  EXPECT_TRUE(dir.readFile("a_BAK.lzh") == original);
}

}  // namespace
}  // namespace ritoma
