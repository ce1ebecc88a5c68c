// Runs, their roll-back, undo and recovery in a folder that ignores case
// and refuses RENAME_NOREPLACE, as an exFAT card through FUSE does:
// the most common batch there changes only the case of the extensions.

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

#include "ExecutionTestSupport.h"
#include "execution/ExecutionFlow.h"
#include "execution/JournalRecovery.h"
#include "execution/UndoFlow.h"

namespace ritoma::test {
namespace {

using Names = std::vector<std::string>;

class CaseInsensitiveFolder : public FolderFixture {
protected:
  FolderPlanEngine engine{fs, progress, settings, undoPath()};
  UndoFlow flow{fs, ui, undoPath()};

  void SetUp() override {
    FolderFixture::SetUp();
    settings.msgExec = false;
    fs.refuseNoReplaceFlag();
    fs.ignoreCase();
    makeFile("IMG_0001.JPG", 1, AttrArchive, "photo");
    makeFile("表ソ.JPG", 2, AttrArchive, "hyoso");
    makeFolder("DCIM");
  }

  PlanList lowerCase() {
    return build(makeEditList(
        {{"IMG_0001.JPG", "IMG_0001.jpg"}, {"表ソ.JPG", "表ソ.jpg"}, {"DCIM", "dcim"}}, {"DCIM"}));
  }
  Names names() const { return dir.names("work"); }

  RunResult run(PlanList& plan) {
    EXPECT_TRUE(engine.check(plan, options, true).passed);
    return ExecutionFlow(ui, settings).run(engine, plan, options, 0);
  }
};

const Names kUpper{"DCIM", "IMG_0001.JPG", "表ソ.JPG"};
const Names kLower{"IMG_0001.jpg", "dcim", "表ソ.jpg"};

TEST_F(CaseInsensitiveFolder, CaseOnlyBatchAndItsUndo) {
  const FolderState before = state();
  PlanList plan = lowerCase();
  ASSERT_FALSE(run(plan).failed);
  EXPECT_EQ(names(), kLower);
  EXPECT_EQ(dir.readFile("work/表ソ.jpg"), "hyoso");

  const auto log = flow.load();
  ASSERT_TRUE(log);
  FolderSelection selection(fs, work());
  PlanList reverse;
  EditList edit;
  ASSERT_EQ(flow.buildReversePlan(*log, selection, edit, reverse), UndoFlow::Built::Ok);
  ASSERT_FALSE(run(reverse).failed);
  EXPECT_EQ(state(), before);
}

TEST_F(CaseInsensitiveFolder, FailedRowPutsTheSpellingsBack) {
  for (bool force : {false, true}) {
    options.force = force;
    settings.chkForce = false;
    fs.failMatching(FsOp::Rename, "*/DCIM", EIO);
    PlanList plan = lowerCase();
    EXPECT_TRUE(run(plan).failed) << force;
    EXPECT_EQ(names(), kUpper) << force;
    fs.reset();
    fs.refuseNoReplaceFlag();
    fs.ignoreCase();
  }
}

TEST_F(CaseInsensitiveFolder, InterruptedRunIsRecovered) {
  fs.failMatching(FsOp::Rename, "*/DCIM", EIO);
  PlanList plan = lowerCase();
  EXPECT_TRUE(engine.execute(plan, options).failed);
  EXPECT_EQ(names(), (Names{"DCIM", "IMG_0001.jpg", "表ソ.jpg"}));

  JournalRecovery recovery(fs, dir / "config/Ritoma.jnl");
  ASSERT_EQ(recovery.load(), JournalRecovery::Load::Ok) << recovery.error();
  ASSERT_TRUE(recovery.recover()) << recovery.error();
  EXPECT_EQ(names(), kUpper);
}

// Where the folder keeps every name in upper case the row fails, and the
// rows before it go back.
TEST_F(CaseInsensitiveFolder, SpellingTheFolderKeptFailsTheRow) {
  fs.keepUpperCaseNames();
  PlanList plan = lowerCase();
  EXPECT_TRUE(run(plan).failed);
  EXPECT_EQ(names(), kUpper);
  EXPECT_EQ(dir.readFile("work/IMG_0001.JPG"), "photo");
}

}  // namespace
}  // namespace ritoma::test
