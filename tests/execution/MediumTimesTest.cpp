// Times on media that keep them coarser than asked (FAT, exFAT) or not at
// all (FUSE file systems that take a time and ignore it): the run reads
// every time back, counts the nearest value the medium can hold as set and
// fails the row whose time did not change; undo compares at the same step.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>

#include "ExecutionTestSupport.h"
#include "execution/ExecutionFlow.h"
#include "execution/UndoFlow.h"

namespace ritoma::test {
namespace {

constexpr FileTime kSecond = 10'000'000;

MediumTraits fatSteps() {
  MediumTraits steps;
  steps.createdStep = kSecond / 100;
  steps.modifiedStep = 2 * kSecond;
  steps.accessedStep = 86'400 * kSecond;
  return steps;
}

class MediumTimes : public FolderFixture {
protected:
  FolderPlanEngine engine{fs, progress, settings, undoPath()};

  void SetUp() override {
    FolderFixture::SetUp();
    settings.msgExec = false;
    makeFile("表.txt", 1);
    makeFile("ソ.jpg", 2);
  }

  // Renames both files and sets a new last-write time with odd seconds.
  PlanList plan() {
    PlanList p = build(makeEditList({{"表.txt", "表2.txt"}, {"ソ.jpg", "ソ2.jpg"}}));
    TimeChange change;
    change.text = "2021/03/04 05:06:07";
    change.target = {false, true, false};
    change.all = {false, true, false};
    EXPECT_TRUE(p.applyTimeChange(change, {}));
    EXPECT_TRUE(engine.check(p, options, true).passed);
    return p;
  }

  RunResult run(PlanList& p) { return ExecutionFlow(ui, settings).run(engine, p, options, 0); }
};

TEST_F(MediumTimes, AnIgnoredTimeFailsItsRowAndTheRunRollsBack) {
  const FolderState before = state();
  fs.ignoreTimes("*/ソ2.jpg");
  PlanList p = plan();
  const RunResult result = run(p);
  EXPECT_TRUE(result.failed);
  EXPECT_EQ(marks(p), (std::vector<int>{MarkNone, MarkFailed}));
  EXPECT_EQ(state(), before);
}

TEST_F(MediumTimes, TheNearestValueTheMediumHoldsCountsAsSetAndUndoes) {
  const FolderState before = state();
  fs.coarseTimes(fatSteps());
  PlanList p = plan();
  const RunResult result = run(p);
  ASSERT_FALSE(result.failed) << ::testing::PrintToString(ui.messages);
  const FolderState after = state();
  for (const char* name : {"表2.txt", "ソ2.jpg"})
    EXPECT_EQ(TimeConvert::toText(after.at(name).modified), "2021/03/04 05:06:06") << name;

  UndoFlow flow(fs, ui, undoPath());
  const auto log = flow.load();
  ASSERT_TRUE(log);
  FolderSelection selection(fs, work());
  EditList edit;
  PlanList reverse;
  ASSERT_EQ(flow.buildReversePlan(*log, selection, edit, reverse), UndoFlow::Built::Ok);
  ASSERT_TRUE(engine.check(reverse, options, true).passed);
  ASSERT_FALSE(run(reverse).failed) << ::testing::PrintToString(ui.messages);
  // The listed times were whole even seconds: undo gives them back exactly.
  EXPECT_EQ(state(), before);
}

TEST_F(MediumTimes, ATimeIgnoredOnACoarseMediumStillFails) {
  fs.coarseTimes(fatSteps());
  fs.ignoreTimes("*/表2.txt");
  PlanList p = plan();
  EXPECT_TRUE(run(p).failed);
  EXPECT_EQ(marks(p), (std::vector<int>{MarkFailed, MarkNone}));
}

// A read-only file is made writable for its new time and read-only again:
// the attributes it ends with are those it had, so it gets no record of
// them either.
TEST_F(MediumTimes, ATimeOnAReadOnlyFileWritesNoAttributeRecord) {
  dir.writeFile("work/表R.txt", "r");
  ASSERT_EQ(::chmod(disk("表R.txt").c_str(), 0444), 0);
  PlanList p = build(makeEditList({{"表R.txt", "表R.txt"}}));
  TimeChange change;
  change.text = "2021/03/04 05:06:08";
  change.target = {false, true, false};
  change.all = {false, true, false};
  ASSERT_TRUE(p.applyTimeChange(change, {}));
  ASSERT_TRUE(engine.check(p, options, true).passed);
  ASSERT_FALSE(run(p).failed) << ::testing::PrintToString(ui.messages);

  const FolderState after = state();
  EXPECT_EQ(TimeConvert::toText(after.at("表R.txt").modified), "2021/03/04 05:06:08");
  EXPECT_EQ(after.at("表R.txt").attributes, std::uint32_t{AttrReadOnly});
  EXPECT_LT(::getxattr(disk("表R.txt").c_str(), "user.DOSATTRIB", nullptr, 0), 0);
  EXPECT_EQ(errno, ENODATA);
}

}  // namespace
}  // namespace ritoma::test
