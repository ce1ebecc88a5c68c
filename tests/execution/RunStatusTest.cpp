#include <gtest/gtest.h>

#include <cerrno>

#include "ExecutionTestSupport.h"
#include "archive/ArchiveLibraries.h"
#include "dummy/DummyFileWriter.h"
#include "execution/ErrorText.h"
#include "execution/ExecutionFlow.h"
#include "execution/RowStatus.h"
#include "execution/RunJournal.h"
#include "settings/DummySettings.h"

namespace ritoma::test {
namespace {

// After a failed run every row tells what the run left of it, and the row
// that failed tells why.
class RunStatus : public FolderFixture {
protected:
  FolderPlanEngine engine{fs, progress, settings, undoPath()};

  void SetUp() override {
    FolderFixture::SetUp();
    settings.msgExec = false;
  }

  // Three files renamed in place, checked.
  PlanList threeFiles() {
    makeFile("表.txt", 0);
    makeFile("ソ.txt", 1);
    makeFile("c", 2);
    PlanList plan = build(makeEditList({{"表.txt", "x表.txt"}, {"ソ.txt", "xソ.txt"}, {"c", "xc"}}));
    EXPECT_TRUE(engine.check(plan, options, true).passed);
    return plan;
  }

  RunResult run(PlanList& plan) { return ExecutionFlow(ui, settings).run(engine, plan, options, 0); }

  static std::vector<std::string> statuses(const PlanList& plan, const RunResult& result) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < plan.rows.size(); ++i)
      out.push_back(RowStatus::afterRun(plan.rows[i], result.errorOf(i)));
    return out;
  }

  static std::string reason(int error) { return ErrorText::of({error, std::generic_category()}); }
};

struct RenameFailure {
  const char* label;
  bool force;
  int nthRename;
  int error;
  std::size_t failedRow;
  std::vector<std::string> statuses;  // in the window's result column
};

void PrintTo(const RenameFailure& c, std::ostream* os) { *os << c.label; }

class FailedRename : public RunStatus, public ::testing::WithParamInterface<RenameFailure> {};

TEST_P(FailedRename, RowsSayWhatWasLeftAndTheFailedOneWhy) {
  const RenameFailure& c = GetParam();
  options.force = c.force;
  PlanList plan = threeFiles();
  const FolderState before = state();
  fs.reset();
  fs.failNth(FsOp::Rename, c.nthRename, c.error);
  const RunResult result = run(plan);
  ASSERT_TRUE(result.failed);
  EXPECT_EQ(state(), before);
  ASSERT_EQ(result.rowErrors.size(), 1u);
  EXPECT_EQ(result.rowErrors[0].row, c.failedRow);
  EXPECT_EQ(result.rowErrors[0].text, reason(c.error));
  EXPECT_EQ(statuses(plan, result), c.statuses);
  // The fixed message, then the row under its name before the run.
  const std::string fixed = result.code > 0 ? ExecutionFlow::RollBackText : ExecutionFlow::FailureText;
  const char* const names[] = {"表.txt", "ソ.txt", "c"};
  EXPECT_EQ(ui.messages, (std::vector<std::string>{fixed + "\n\n" + names[c.failedRow] + ": " + reason(c.error)}));
  EXPECT_TRUE(result.notRolledBack.empty());
  EXPECT_FALSE(RunJournal::pending(real, RunJournal::pathBeside(undoPath())));
}

INSTANTIATE_TEST_SUITE_P(
    Renames, FailedRename,
    ::testing::Values(
        RenameFailure{"FirstRowNoSpace", false, 1, ENOSPC, 0,
                      {"失敗: ディスクの空き容量が足りません", "未処理", "未処理"}},
        RenameFailure{"MiddleRowPermission", false, 2, EACCES, 1,
                      {"元に戻しました", "失敗: アクセス権がありません", "未処理"}},
        RenameFailure{"LastRowReadOnlyMedium", false, 3, EROFS, 2,
                      {"元に戻しました", "元に戻しました", "失敗: 書き込みが禁止されたメディアです"}},
        RenameFailure{"TemporaryNameTooLong", true, 2, ENAMETOOLONG, 1,
                      {"元に戻しました", "失敗: 名前が長すぎます", "未処理"}},
        // Every row went to its temporary name first and came back.
        RenameFailure{"AfterTemporaryNamesNotSupported", true, 5, ENOTSUP, 1,
                      {"元に戻しました", "失敗: このファイルシステムでは使えない操作です（元に戻しました）",
                       "元に戻しました"}}),
    [](const auto& info) { return std::string(info.param.label); });

// A roll-back that cannot put a file back names it as it is named now,
// points at the recovery and keeps the journal for it.
struct RollBackFailure {
  const char* label;
  bool force;
  int failingRollBackRename;  // the n-th rename overall
  std::string leftAs;
};

void PrintTo(const RollBackFailure& c, std::ostream* os) { *os << c.label; }

class FailedRollBack : public RunStatus, public ::testing::WithParamInterface<RollBackFailure> {};

TEST_P(FailedRollBack, NamesTheFileLeftAndPointsAtTheRecovery) {
  const RollBackFailure& c = GetParam();
  options.force = c.force;
  PlanList plan = threeFiles();
  fs.reset();
  // The second row's rename to its new name fails: the 2nd rename, or the
  // 5th after three temporary names.
  fs.failNth(FsOp::Rename, c.force ? 5 : 2, EACCES);
  fs.failNth(FsOp::Rename, c.failingRollBackRename, EBUSY);
  const RunResult result = run(plan);
  ASSERT_TRUE(result.failed);
  EXPECT_EQ(result.notRolledBack, (std::vector<std::string>{c.leftAs}));
  EXPECT_EQ(plan.rows[0].outcome, RowOutcome::NotRolledBack);
  EXPECT_EQ(RowStatus::afterRun(plan.rows[0], result.errorOf(0)), "元に戻せませんでした");
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1], std::string(ExecutionFlow::NotRolledBackText) + "\n\n" + c.leftAs + "\n\n" +
                                ExecutionFlow::RecoveryHint);
  EXPECT_TRUE(real.exists(disk(c.leftAs)));
  EXPECT_TRUE(RunJournal::pending(real, RunJournal::pathBeside(undoPath())));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailedRollBack,
    ::testing::Values(
        // The first row's new name back to its old one.
        RollBackFailure{"RenameBack", false, 3, "x表.txt"},
        // With temporary names: back to its temporary name, which then
        // is not tried to its plain name.
        RollBackFailure{"RenameBackToTemporary", true, 6, "x表.txt"},
        // Back to the temporary name, but not from it to the plain one;
        // rows 2 and 1 come back first.
        RollBackFailure{"TemporaryBackToPlain", true, 9, "@表.txt"}),
    [](const auto& info) { return std::string(info.param.label); });

// A failed copy names the copies it left in the copy folder; rows it never
// reached are not run.
TEST_F(RunStatus, FailedCopyNamesTheCopiesLeft) {
  dir.makeFolder("out");
  options.copy = true;
  options.copyPath = cp(dir / "out");
  PlanList plan = threeFiles();
  fs.reset();
  fs.failNth(FsOp::CopyFile, 2, ENOSPC);
  const RunResult result = run(plan);
  ASSERT_TRUE(result.failed);
  EXPECT_EQ(statuses(plan, result),
            (std::vector<std::string>{"コピー済", "失敗: ディスクの空き容量が足りません", "未処理"}));
  EXPECT_EQ(ui.messages, (std::vector<std::string>{
                             std::string(ExecutionFlow::FailureText) + "\n\nソ.txt: ディスクの空き容量が足りません",
                             std::string(ExecutionFlow::CopiesLeftText) + "\n\nx表.txt"}));
  EXPECT_EQ(dir.names("out"), (std::vector<std::string>{"x表.txt"}));
}

// The copies stand when their times fail: the failed row's copy too.
TEST_F(RunStatus, CopyWhoseTimesFailStaysAndIsNamed) {
  dir.makeFolder("out");
  options.copy = true;
  options.copyPath = cp(dir / "out");
  PlanList plan = threeFiles();
  TimeChange change;
  change.text = "2010/05/06 07:08:09";
  change.target = {false, true, false};
  change.all = {false, true, false};
  ASSERT_TRUE(plan.applyTimeChange(change, {}));
  fs.reset();
  fs.failNth(FsOp::SetTimes, 2, EPERM);
  const RunResult result = run(plan);
  ASSERT_TRUE(result.failed);
  EXPECT_EQ(statuses(plan, result),
            (std::vector<std::string>{"コピー済", "失敗: この操作は許可されていません（コピー済）", "コピー済"}));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1], std::string(ExecutionFlow::CopiesLeftText) + "\n\nx表.txt\nxソ.txt\nxc");
}

// A dummy that cannot be written fails its row with the writer's reason;
// the dummies written before it are removed again.
TEST_F(RunStatus, FailedDummyTellsWhyAndTakesBackTheOthers) {
  dir.makeFolder("out");
  ArchiveLibraries archives{fs};
  DummySettings dummySettings;
  DummyFileWriter writer{fs, archives, dummySettings};
  engine.setDummyWriter(&writer);
  options.copy = true;
  options.dummy = true;
  options.copyPath = cp(dir / "out");
  PlanList plan = threeFiles();
  fs.reset();
  fs.failMatching(FsOp::OpenWrite, "*/out/xソ.txt", ENOSPC);
  const RunResult result = run(plan);
  ASSERT_TRUE(result.failed);
  const std::string why = dir / "out/xソ.txt" + ": 書き込めません（ディスクの空き容量が足りません）";
  EXPECT_EQ(statuses(plan, result), (std::vector<std::string>{"元に戻しました", "失敗: " + why, "未処理"}));
  EXPECT_EQ(ui.messages, (std::vector<std::string>{std::string(ExecutionFlow::FailureText) + "\n\nソ.txt: " + why}));
  EXPECT_TRUE(dir.names("out").empty());
}

// Times set in place and then failing: every row was renamed and is
// renamed back, and the time stage is undone for the rows before.
TEST_F(RunStatus, FailedTimeStageRollsBackEveryRenamedRow) {
  PlanList plan = threeFiles();
  TimeChange change;
  change.text = "2010/05/06 07:08:09";
  change.target = {false, true, false};
  change.all = {false, true, false};
  ASSERT_TRUE(plan.applyTimeChange(change, {}));
  const FolderState before = state();
  fs.reset();
  fs.failNth(FsOp::SetTimes, 2, EROFS);
  const RunResult result = run(plan);
  ASSERT_TRUE(result.failed);
  EXPECT_EQ(state(), before);
  EXPECT_EQ(statuses(plan, result),
            (std::vector<std::string>{"元に戻しました", "失敗: 書き込みが禁止されたメディアです（元に戻しました）",
                                      "元に戻しました"}));
}

}  // namespace
}  // namespace ritoma::test
