#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "ExecutionTestSupport.h"
#include "archive/ArcBackup.h"
#include "execution/ExecutionFlow.h"
#include "execution/JournalFile.h"
#include "execution/JournalRecovery.h"
#include "execution/RunJournal.h"

namespace ritoma::test {
namespace {

JournalData folderJournal(bool temp) {
  JournalData data;
  data.folder = "/data/表/";
  for (const char* name : {"\x83\x5c.txt", "b", "dir"}) {
    JournalRow& row = data.rows.emplace_back();
    row.oldName = name;
    row.newName = std::string("x_") + name;
    if (temp) row.tempName = std::string("@") + name;
    row.isFile = std::string(name) != "dir";
    if (!row.isFile) continue;
    row.created = "2001/02/03 04:05:06";
    row.modified = "2002/02/03 04:05:06";
    row.accessed = "2003/02/03 04:05:06";
    row.attributes = AttrReadOnly | AttrArchive;
  }
  return data;
}

void expectSameRows(const JournalData& a, const JournalData& b) {
  ASSERT_EQ(a.rows.size(), b.rows.size());
  for (std::size_t i = 0; i < a.rows.size(); ++i) {
    const JournalRow& x = a.rows[i];
    const JournalRow& y = b.rows[i];
    EXPECT_EQ(std::tie(x.oldName, x.tempName, x.newName, x.isFile, x.created, x.modified, x.accessed,
                       x.attributes),
              std::tie(y.oldName, y.tempName, y.newName, y.isFile, y.created, y.modified, y.accessed,
                       y.attributes))
        << i;
  }
}

TEST(JournalFile, RoundTripsWithProgressAndIgnoresARecordCutShort) {
  for (bool temp : {false, true}) {
    const JournalData data = folderJournal(temp);
    std::string bytes = *JournalFile::encode(data);
    bytes += JournalFile::stageRecord(JournalStage::Renames);
    bytes += JournalFile::progressRecord(JournalStage::Renames, 2);
    bytes += JournalFile::stageRecord(JournalStage::Times);
    const std::string whole = bytes;
    bytes += JournalFile::progressRecord(JournalStage::Times, 1).substr(0, 4);
    JournalData read;
    ASSERT_EQ(JournalFile::decode(bytes, read), JournalFile::Status::Ok);
    EXPECT_EQ(read.folder, data.folder);
    expectSameRows(read, data);
    EXPECT_TRUE(read.stageStarted(JournalStage::Renames));
    EXPECT_TRUE(read.stageStarted(JournalStage::Times));
    EXPECT_FALSE(read.stageStarted(JournalStage::TempNames));
    EXPECT_EQ(read.done[static_cast<int>(JournalStage::Renames)], 2u);
    EXPECT_EQ(read.done[static_cast<int>(JournalStage::Times)], 0u);
  }
  JournalData archive;
  archive.archive = true;
  archive.archivePath = "/a/表.zip";
  archive.backupPath = "/a/表_BAK.zip";
  archive.rows.emplace_back().oldName = "sub/ソ.txt";
  archive.rows.back().newName = "x.txt";
  JournalData read;
  ASSERT_EQ(JournalFile::decode(*JournalFile::encode(archive), read), JournalFile::Status::Ok);
  EXPECT_TRUE(read.archive);
  EXPECT_EQ(read.backupPath, archive.backupPath);
  EXPECT_EQ(read.rows[0].oldName, "sub/ソ.txt");
  EXPECT_EQ(JournalFile::decode("", read), JournalFile::Status::Empty);
}

struct DamagedJournal {
  const char* name;
  std::function<void(std::string&)> damage;
};

class JournalDamage : public ::testing::TestWithParam<DamagedJournal> {};

// Nothing but a journal this program wrote reads; a refused one gives no rows.
TEST_P(JournalDamage, IsRefused) {
  std::string bytes = *JournalFile::encode(folderJournal(true));
  GetParam().damage(bytes);
  JournalData read;
  read.folder = "stale";
  EXPECT_EQ(JournalFile::decode(bytes, read), JournalFile::Status::Damaged);
  EXPECT_TRUE(read.rows.empty());
  EXPECT_TRUE(read.folder.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JournalDamage,
    ::testing::Values(
        DamagedJournal{"OtherMagic", [](std::string& b) { b[0] = 'X'; }},
        DamagedJournal{"CutInTheHeader", [](std::string& b) { b.resize(b.size() - 3); }},
        DamagedJournal{"UnknownKind", [](std::string& b) { b[8] = 7; }},
        DamagedJournal{"RelativeFolder", [](std::string& b) { b[11] = 'd'; }},
        // A count of 2^32 - 1 rows in a short file: refused before any row is made.
        DamagedJournal{"HugeCount",
                       [](std::string& b) { b.replace(b.find("/\x01") + 2, 4, "\xFF\xFF\xFF\xFF"); }},
        DamagedJournal{"NameWithSlash", [](std::string& b) { b[b.find("x_b")] = '/'; }},
        DamagedJournal{"BadTimeText", [](std::string& b) { b[b.find("2002/")] = 'X'; }},
        DamagedJournal{"UnknownAttributeBit",
                       [](std::string& b) { b[b.find("2003/02/03 04:05:06") + 19] = '\x40'; }},
        DamagedJournal{"UnknownRecord", [](std::string& b) { b += "Q\x02"; }},
        DamagedJournal{"ProgressOfAStageNotBegun",
                       [](std::string& b) { b += JournalFile::progressRecord(JournalStage::Times, 1); }},
        DamagedJournal{"ProgressPastTheRows", [](std::string& b) {
                         b += JournalFile::stageRecord(JournalStage::Renames);
                         b += JournalFile::progressRecord(JournalStage::Renames, 4);
                       }}),
    [](const auto& info) { return std::string(info.param.name); });

class Journal : public FolderFixture {
protected:
  FolderPlanEngine engine{fs, progress, settings, undoPath()};
  std::string journalPath() const { return dir / "config/Ritoma.jnl"; }

  void SetUp() override {
    FolderFixture::SetUp();
    settings.msgExec = false;
  }

  JournalData journal() {
    std::string bytes;
    EXPECT_FALSE(real.readWholeFile(journalPath(), bytes));
    JournalData data;
    EXPECT_EQ(JournalFile::decode(bytes, data), JournalFile::Status::Ok);
    return data;
  }

  // Runs the plan without the roll-back: what a crash at the failing
  // operation leaves.
  RunResult interrupted(PlanList& plan) { return engine.execute(plan, options); }

  bool recover() {
    JournalRecovery recovery(real, journalPath());
    EXPECT_EQ(recovery.load(), JournalRecovery::Load::Ok) << recovery.error();
    return recovery.recover();
  }

  static void changeTimesAndAttributes(PlanList& plan) {
    TimeChange change;
    change.text = "2010/05/06 07:08:09";
    change.target = {true, true, true};
    change.all = {true, true, true};
    ASSERT_TRUE(plan.applyTimeChange(change, {}));
    ASSERT_TRUE(plan.applyAttributeChange("-H-A", true, {}));
  }
};

// The plan is on the disk before the first rename; a failed run keeps it
// until the roll-back has put every row back.
TEST_F(Journal, WrittenBeforeTheFirstOperationAndRemovedAfterTheRollBack) {
  makeFile("表.txt", 0);
  makeFile("ソ", 1);
  makeFolder("d");
  options.force = true;
  options.marker = "@";
  PlanList plan = build(makeEditList({{"表.txt", "a"}, {"ソ", "b"}, {"d", "e"}}, {"d"}));
  fs.failNth(FsOp::Rename, 1, EIO);
  fs.failNth(FsOp::Rename, 6, EIO);  // the next run's second rename to a new name
  // The first temporary rename fails: nothing changed, nothing kept.
  EXPECT_TRUE(interrupted(plan).failed);
  EXPECT_FALSE(dir.exists("config/Ritoma.jnl"));

  plan = build(makeEditList({{"表.txt", "a"}, {"ソ", "b"}, {"d", "e"}}, {"d"}));
  const RunResult result = interrupted(plan);
  EXPECT_EQ(result.code, 11);
  const JournalData data = journal();
  EXPECT_EQ(data.folder, work() + "/");
  ASSERT_EQ(data.rows.size(), 3u);
  EXPECT_EQ(data.rows[0].oldName, "表.txt");
  EXPECT_EQ(data.rows[0].tempName, "@表.txt");
  EXPECT_EQ(data.rows[0].newName, "a");
  EXPECT_EQ(data.rows[0].created, plan.listedText(0, PlanList::ColCreated));
  EXPECT_FALSE(data.rows[2].isFile);
  EXPECT_TRUE(data.stageStarted(JournalStage::TempNames));
  EXPECT_TRUE(data.stageStarted(JournalStage::Renames));
  EXPECT_FALSE(data.stageStarted(JournalStage::Times));

  engine.rollBack(plan, options, result.stageFlags(), result.lastDoneRow());
  EXPECT_EQ(dir.names("work"), (std::vector<std::string>{"d", "ソ", "表.txt"}));
  EXPECT_FALSE(dir.exists("config/Ritoma.jnl"));
}

// Progress reaches the journal without a sync of its own: a big batch
// waits on the disk as often as a batch of one row, not once more every
// few thousand rows.
TEST_F(Journal, ProgressIsRecordedWithoutSyncs) {
  // The syncs of a batch of `rows` new files stopped at its last rename.
  auto syncsOfARunStoppedAtTheEnd = [&](const std::string& prefix, std::size_t rows) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i < rows; ++i) {
      const std::string name = prefix + std::to_string(i);
      dir.writeFile("work/" + name);
      pairs.emplace_back(name, "x_" + name);
    }
    PlanList plan = build(makeEditList(pairs));
    fs.reset();
    fs.failNth(FsOp::Rename, static_cast<int>(rows), EIO);  // the last rename stands for a crash
    EXPECT_TRUE(interrupted(plan).failed);
    return fs.calls(FsOp::Sync);
  };
  const int big = syncsOfARunStoppedAtTheEnd("表", 4200);
  EXPECT_EQ(journal().done[static_cast<int>(JournalStage::Renames)], 4096u);
  ASSERT_TRUE(recover());
  EXPECT_EQ(big, syncsOfARunStoppedAtTheEnd("ソ", 1));
}

TEST_F(Journal, RunIsRefusedWhileAJournalIsPendingOrCannotBeWritten) {
  makeFile("表.txt");
  dir.writeFile("config/Ritoma.jnl", "pending");
  PlanList plan = build(makeEditList({{"表.txt", "a"}}));
  RunResult result = interrupted(plan);
  EXPECT_TRUE(result.failed);
  EXPECT_EQ(result.refusal, "前回の処理が中断されたままです\n元に戻してから実行してください");
  EXPECT_EQ(dir.readFile("config/Ritoma.jnl"), "pending");

  ASSERT_FALSE(real.remove(journalPath()));
  fs.failMatching(FsOp::Sync, "*", EIO);
  result = interrupted(plan);
  EXPECT_EQ(result.refusal, "中断に備えた記録を書き込めないため処理を中止します");
  EXPECT_EQ(dir.names("work"), std::vector<std::string>{"表.txt"});
  EXPECT_EQ(dir.names("config"), std::vector<std::string>{});
}

struct CrashCase {
  const char* name;
  bool force;
  bool timesAndAttributes;
  FsOp op;
  int nth;  // the failing call stands for the crash
};

class JournalCrash : public Journal, public ::testing::WithParamInterface<CrashCase> {};

// Whatever stage the run stopped in, recovery returns every row to its old
// name with its times and attributes, and a second recovery finds nothing to do.
TEST_P(JournalCrash, RecoveryPutsEveryRowBack) {
  const CrashCase& c = GetParam();
  // A swap and a chain: names that are each other's new names.
  makeFile("表", 0, AttrArchive | AttrReadOnly);
  makeFile("ソ", 1);
  makeFile("c", 2, AttrArchive | AttrHidden);
  makeFile("keep", 3);
  options.force = c.force;
  options.marker = "@";
  const auto pairs = c.force ? std::vector<std::pair<std::string, std::string>>{{"表", "ソ"}, {"ソ", "表"}, {"c", "d"}}
                             : std::vector<std::pair<std::string, std::string>>{{"c", "d"}, {"ソ", "c"}, {"表", "ソ"}};
  PlanList plan = build(makeEditList(pairs));
  if (c.timesAndAttributes) changeTimesAndAttributes(plan);
  const FolderState before = state();
  fs.failNth(c.op, c.nth, EIO);
  ASSERT_TRUE(interrupted(plan).failed);
  ASSERT_TRUE(dir.exists("config/Ritoma.jnl"));

  EXPECT_TRUE(recover());
  EXPECT_EQ(state(), before);
  EXPECT_FALSE(dir.exists("config/Ritoma.jnl"));
}

INSTANTIATE_TEST_SUITE_P(
    Stages, JournalCrash,
    ::testing::Values(CrashCase{"InTemporaryNames", true, false, FsOp::Rename, 2},
                      CrashCase{"InRenamesThroughTemporaryNames", true, false, FsOp::Rename, 5},
                      CrashCase{"InRenames", false, false, FsOp::Rename, 3},
                      CrashCase{"InTimes", false, true, FsOp::SetTimes, 2},
                      // the time stage's clearing of the second file's attributes
                      CrashCase{"InTimesWithAttributesCleared", true, true, FsOp::SetTimes, 2},
                      // the time stage clears and restores R of 表 only; then
                      // the second row of the attribute stage
                      CrashCase{"InAttributes", false, true, FsOp::SetAttributes, 4}),
    [](const auto& info) { return std::string(info.param.name); });

// A recovery that fails halfway keeps the journal; run again it finishes.
TEST_F(Journal, InterruptedRecoveryRunsAgain) {
  for (int i = 0; i < 6; ++i) makeFile("表" + std::to_string(i), i);
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < 6; ++i) pairs.emplace_back("表" + std::to_string(i), "ソ" + std::to_string(i));
  const FolderState before = state();
  PlanList plan = build(makeEditList(pairs));
  fs.failNth(FsOp::Rename, 5, EIO);
  ASSERT_TRUE(interrupted(plan).failed);

  FaultyFileSystem faulty(real);
  faulty.failNth(FsOp::Rename, 2, EIO);
  JournalRecovery first(faulty, journalPath());
  ASSERT_EQ(first.load(), JournalRecovery::Load::Ok);
  EXPECT_FALSE(first.recover());
  EXPECT_EQ(first.rowsBack(), (std::vector<bool>{true, true, false, true, true, true}));
  EXPECT_NE(state(), before);
  EXPECT_TRUE(dir.exists("config/Ritoma.jnl"));

  EXPECT_TRUE(recover());
  EXPECT_EQ(state(), before);
}

// A name to return to that another file took meanwhile is never replaced.
TEST_F(Journal, TakenOldNameIsReportedAndKept) {
  makeFile("a", 0);
  makeFile("b", 1);
  PlanList plan = build(makeEditList({{"a", "x"}, {"b", "y"}}));
  fs.failNth(FsOp::Rename, 2, EIO);
  ASSERT_TRUE(interrupted(plan).failed);
  dir.writeFile("work/a", "other");
  JournalRecovery recovery(real, journalPath());
  ASSERT_EQ(recovery.load(), JournalRecovery::Load::Ok);
  EXPECT_FALSE(recovery.recover());
  EXPECT_EQ(recovery.rowsBack(), (std::vector<bool>{false, true}));
  EXPECT_EQ(dir.readFile("work/a"), "other");
  EXPECT_EQ(dir.readFile("work/x"), "a");
  EXPECT_TRUE(dir.exists("config/Ritoma.jnl"));
}

TEST_F(Journal, DamagedOrMissingJournalChangesNothing) {
  JournalRecovery none(real, journalPath());
  EXPECT_EQ(none.load(), JournalRecovery::Load::None);
  dir.writeFile("config/Ritoma.jnl", "RitomaJ1\x00garbage");
  JournalRecovery damaged(real, journalPath());
  EXPECT_EQ(damaged.load(), JournalRecovery::Load::Damaged);
  EXPECT_EQ(damaged.error(), journalPath() + ": 中断された処理の記録が壊れています");
  EXPECT_TRUE(dir.exists("config/Ritoma.jnl"));
}

struct ArchiveCrash {
  const char* name;
  bool backup;    // the backup is there
  bool archive;   // a file is under the archive's name
  bool written;   // the journal records that the run created it
  bool recovered;
  std::vector<std::string> after;  // the folder afterwards
};

class JournalArchive : public Journal, public ::testing::WithParamInterface<ArchiveCrash> {};

// An archive run stopped after its backup: the backup goes back under the
// archive's name. What sits there is removed only when the journal says the
// run created it; otherwise both files stay and the message names them.
TEST_P(JournalArchive, BackupGoesBackWithoutReplacingAnything) {
  const ArchiveCrash& c = GetParam();
  JournalData data;
  data.archive = true;
  data.archivePath = dir / "work/表.zip";
  data.backupPath = dir / "work/表_BK2.zip";
  data.rows.emplace_back().oldName = "a.txt";
  data.rows.back().newName = "b.txt";
  if (c.backup) dir.writeFile("work/表_BK2.zip", "original");
  if (c.archive) dir.writeFile("work/表.zip", "PK half");
  RunJournal journal(real, journalPath());
  ASSERT_FALSE(journal.begin(data));
  if (c.written) {
    ASSERT_FALSE(journal.startStage(JournalStage::Renames));
  }
  journal.abandon();

  JournalRecovery recovery(real, journalPath());
  ASSERT_EQ(recovery.load(), JournalRecovery::Load::Ok);
  EXPECT_EQ(recovery.recover(), c.recovered);
  EXPECT_EQ(dir.names("work"), c.after);
  EXPECT_EQ(dir.exists("config/Ritoma.jnl"), !c.recovered);
  if (c.backup && c.recovered) {
    EXPECT_EQ(dir.readFile("work/表.zip"), "original");
  }
  if (!c.recovered) {
    EXPECT_NE(recovery.error().find(data.archivePath), std::string::npos);
    EXPECT_NE(recovery.error().find(data.backupPath), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JournalArchive,
    ::testing::Values(
        ArchiveCrash{"WrittenByTheRun", true, true, true, true, {"表.zip"}},
        ArchiveCrash{"NotRecordedAsTheRuns", true, true, false, false, {"表.zip", "表_BK2.zip"}},
        ArchiveCrash{"BeforeTheRewrite", true, false, false, true, {"表.zip"}},
        ArchiveCrash{"BackupAlreadyGone", false, true, true, true, {"表.zip"}},
        ArchiveCrash{"BothGone", false, false, false, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Journals that no run of this program writes are refused unread: they
// would move or delete files that are not the run's.
TEST_F(Journal, CraftedJournalsMoveNothing) {
  dir.writeFile("work/keep.txt", "keep");
  dir.writeFile("work/x.txt", "x");
  dir.writeFile("config/Ritoma_BAK.jnl", "backup");
  JournalData foreignBackup;
  foreignBackup.archive = true;
  foreignBackup.archivePath = dir / "work/keep.txt";
  foreignBackup.backupPath = dir / "work/x.txt";
  JournalData journalAsArchive = foreignBackup;
  journalAsArchive.archivePath = journalPath();
  journalAsArchive.backupPath = dir / "config/Ritoma_BAK.jnl";
  JournalData ownFileRow;
  ownFileRow.folder = dir / "config/";
  JournalRow& row = ownFileRow.rows.emplace_back();
  row.oldName = "表.txt";
  row.newName = "Ritoma.und";
  row.isFile = false;
  for (const auto& [name, data] : {std::pair{"ForeignBackup", foreignBackup},
                                   std::pair{"JournalAsArchive", journalAsArchive},
                                   std::pair{"OwnFileAsRow", ownFileRow}}) {
    const std::string bytes = *JournalFile::encode(data) + JournalFile::stageRecord(JournalStage::Renames);
    dir.writeFile("config/Ritoma.jnl", bytes);
    JournalRecovery recovery(real, journalPath());
    EXPECT_EQ(recovery.load(), JournalRecovery::Load::Damaged) << name;
    EXPECT_FALSE(recovery.recover()) << name;
    EXPECT_EQ(dir.readFile("config/Ritoma.jnl"), bytes) << name;
  }
  EXPECT_EQ(dir.readFile("work/keep.txt"), "keep");
  EXPECT_EQ(dir.readFile("work/x.txt"), "x");
  EXPECT_EQ(dir.readFile("config/Ritoma_BAK.jnl"), "backup");
}

TEST(ArcBackupNames, OnlyTheBackupNamingOfTheArchiveIsABackup) {
  for (const auto& [backup, ok] : std::vector<std::pair<std::string, bool>>{
           {"/a/表_BAK.lzh", true}, {"/a/表_BK1.lzh", true}, {"/a/表_BK12.lzh", true},
           {"/a/表_BK0.lzh", false}, {"/a/表_BK01.lzh", false}, {"/a/表_BK.lzh", false},
           {"/a/表_BKx.lzh", false}, {"/b/表_BAK.lzh", false}, {"/a/表_BAK.zip", false},
           {"/a/ソ_BAK.lzh", false}, {"/a/表.lzh", false}})
    EXPECT_EQ(ArcBackup::isBackupOf("/a/表.lzh", backup), ok) << backup;
}

// The question names the folder and the count; afterwards the summary says
// what came back and what did not.
TEST_F(Journal, QuestionAndSummaryNameTheFolderAndTheCounts) {
  makeFile("a", 0);
  makeFile("b", 1);
  makeFile("c", 2);
  PlanList plan = build(makeEditList({{"a", "x"}, {"b", "y"}, {"c", "z"}}));
  fs.failNth(FsOp::Rename, 3, EIO);
  ASSERT_TRUE(interrupted(plan).failed);
  dir.writeFile("work/a", "other");
  JournalRecovery recovery(real, journalPath());
  ASSERT_EQ(recovery.load(), JournalRecovery::Load::Ok);
  EXPECT_EQ(recovery.question(),
            "前回の処理が中断されています\n\nフォルダ: " + work() + "\nファイル数: 3\n\n元に戻しますか？");
  EXPECT_FALSE(recovery.recover());
  EXPECT_EQ(recovery.summary(),
            work() + "\n2個のファイルを元に戻しました\n1個のファイルは元に戻せませんでした");
}

// A journal that cannot finish is set aside under a dated name, unchanged;
// nothing else moves, and runs are no longer refused.
TEST_F(Journal, DiscardSetsTheJournalAsideUnderADatedName) {
  dir.writeFile("config/Ritoma.jnl", "RitomaJ1 damaged");
  JournalRecovery recovery(real, journalPath());
  ASSERT_EQ(recovery.load(), JournalRecovery::Load::Damaged);
  ASSERT_TRUE(recovery.discard()) << recovery.error();
  const std::vector<std::string> names = dir.names("config");
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(recovery.setAsidePath(), dir / ("config/" + names[0]));
  EXPECT_TRUE(names[0].starts_with("Ritoma.jnl.20")) << names[0];
  EXPECT_EQ(dir.readFile("config/" + names[0]), "RitomaJ1 damaged");

  // A second discard in the same second takes another name.
  dir.writeFile("config/Ritoma.jnl", "again");
  JournalRecovery second(real, journalPath());
  ASSERT_TRUE(second.discard());
  EXPECT_NE(second.setAsidePath(), recovery.setAsidePath());
  EXPECT_EQ(dir.names("config").size(), 2u);

  makeFile("表.txt");
  PlanList plan = build(makeEditList({{"表.txt", "ソ.txt"}}));
  EXPECT_FALSE(interrupted(plan).failed);
}

// The journal's temporary file is a new one of the run's own: a user's
// file of the old temporary name stays, and what a killed run left (the
// temporary undo record and journal, and an undo record set aside by an
// undo run, recognised by their content) goes with the next run; a user's
// file of such a name whose content is not the program's stays.
TEST_F(Journal, TemporaryFilesAreTheRunsOwnAndLeftoversGo) {
  dir.writeFile("config/Ritoma.jnl.new", "mine");
  std::string undoHead = std::string("\x07\x00", 2) + "/w/表/";
  dir.writeFile("config/Ritoma.und.tmp123", undoHead + "cut");
  dir.writeFile("config/Ritoma.und.undone", undoHead + "x");
  dir.writeFile("config/Ritoma.jnl.tmp9", "RitomaJ1\x00");
  dir.writeFile("config/Ritoma.und.tmp77", "not a record");
  dir.writeFile("config/Ritoma.jnl.tmpx", "RitomaJ1");
  makeFile("ソ.txt");
  PlanList plan = build(makeEditList({{"ソ.txt", "表.txt"}}));
  ASSERT_FALSE(interrupted(plan).failed);
  EXPECT_EQ(dir.names("config"), (std::vector<std::string>{"Ritoma.jnl.new", "Ritoma.jnl.tmpx",
                                                           "Ritoma.und", "Ritoma.und.tmp77"}));
  EXPECT_EQ(dir.readFile("config/Ritoma.jnl.new"), "mine");
}

}  // namespace
}  // namespace ritoma::test
