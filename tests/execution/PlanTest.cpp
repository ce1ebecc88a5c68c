#include <gtest/gtest.h>

#include "ExecutionTestSupport.h"
#include "platform/TimeConvert.h"

namespace ritoma::test {
namespace {

class PlanBuilding : public FolderFixture {};

TEST_F(PlanBuilding, ReadsTimesAndAttributesFromTheDisk) {
  makeFile("表.txt", 1, AttrReadOnly | AttrArchive);
  makeFolder("ソ");
  EditList list = makeEditList({{"表.txt", "x.txt"}, {"ソ", "y"}}, {"ソ"});
  const PlanList plan = build(list);
  ASSERT_EQ(plan.rows.size(), 2u);
  const PlanRow& file = plan.rows[0];
  EXPECT_EQ(file.oldName, cp("表.txt"));
  EXPECT_EQ(file.newName, cp("x.txt"));
  // 1500001000 s is 2017/07/14 11:56:40 in Tokyo.
  EXPECT_EQ(file.created, "2017/07/14 11:56:40");
  EXPECT_EQ(file.modified, "2017/07/14 11:57:40");
  EXPECT_EQ(file.accessed, "2017/07/14 11:58:40");
  EXPECT_EQ(file.attrs, "--RA");
  for (std::size_t column = PlanList::ColCreated; column <= PlanList::ColAttrs; ++column)
    EXPECT_EQ(plan.listedText(0, column), plan.text(0, column)) << column;
  const PlanRow& folder = plan.rows[1];
  EXPECT_TRUE(folder.isFolderRow());
  EXPECT_EQ(folder.image, 1);
  EXPECT_EQ(folder.modified + folder.attrs, "");
  EXPECT_TRUE(plan.renameMode);
  EXPECT_EQ(plan.caption(1), cp("変換前ﾌｧｲﾙ名"));
  EXPECT_EQ(plan.caption(2), cp("変換後ﾌｧｲﾙ名"));
  EXPECT_FALSE(plan.anyTimeChanged());
}

TEST_F(PlanBuilding, WithoutStagesThereIsNoRenaming) {
  makeFile("a");
  EditList list;
  list.rows.push_back(EditRow{"", 0, false, {cp("a")}, ""});
  const PlanList plan = build(list);
  EXPECT_FALSE(plan.renameMode);
  EXPECT_EQ(plan.rows[0].newName, cp("a"));
  EXPECT_EQ(plan.caption(1), cp("ﾌｧｲﾙ名"));
  EXPECT_EQ(plan.caption(2), cp("ﾘﾈｰﾑなし"));
  EXPECT_FALSE(plan.columnShown(2));
}

TEST_F(PlanBuilding, ArchiveRowsTakeTheStoredTimeFromTheCaption) {
  EditList list = makeEditList({{"d/表.txt", "d/x.txt"}});
  list.rows[0].infoText = "2001/02/03 04:05:06 1,234";
  const PlanList plan = PlanBuilder::build(list, PlanMode::Archive, work(), fs, progress, 300);
  EXPECT_EQ(plan.rows[0].modified, "2001/02/03 04:05:06");
  EXPECT_EQ(plan.rows[0].created + plan.rows[0].accessed + plan.rows[0].attrs, "");
  EXPECT_EQ(plan.caption(4), cp("格納ﾌｧｲﾙ日時"));
  EXPECT_FALSE(plan.columnShown(3));
}

// Rows: file, folder, file, file, file, file (indices 0..5).
PlanList editingPlan() {
  PlanList plan;
  plan.setDefaultCaptions();
  for (int i = 0; i < 6; ++i) {
    PlanRow row;
    row.oldName = row.newName = "f" + std::to_string(i);
    if (i != 1) {
      row.created = "2000/01/0" + std::to_string(i + 1) + " 00:00:00";
      row.modified = "2001/01/0" + std::to_string(i + 1) + " 00:00:00";
      row.accessed = "2002/01/0" + std::to_string(i + 1) + " 00:00:00";
      row.attrs = "---A";
      row.origCreated = *TimeConvert::fromText(row.created);
      row.origModified = *TimeConvert::fromText(row.modified);
      row.origAccessed = *TimeConvert::fromText(row.accessed);
      row.origAttrs = AttrArchive;
    }
    plan.rows.push_back(row);
  }
  return plan;
}

TEST(PlanEditing, DirectTimeOnSelectedRows) {
  PlanList plan = editingPlan();
  TimeChange change;
  change.text = "2020/12/31 23:59:58";
  change.target = {true, false, false};
  ASSERT_TRUE(plan.applyTimeChange(change, {1, 2, 5}));
  EXPECT_EQ(plan.caption(3), "!" + cp("ﾌｧｲﾙ作成日時"));
  EXPECT_FALSE(plan.isChanged(4));
  EXPECT_EQ(plan.rows[1].created, "");  // folder rows keep their empty texts
  EXPECT_EQ(plan.rows[2].created, change.text);
  EXPECT_EQ(plan.rows[5].created, change.text);
  EXPECT_EQ(plan.rows[0].created, "2000/01/01 00:00:00");
  EXPECT_EQ(plan.rows[2].modified, "2001/01/03 00:00:00");

  // A second change keeps one "!".
  change.all = {true, false, false};
  ASSERT_TRUE(plan.applyTimeChange(change, {}));
  EXPECT_EQ(plan.caption(3), "!" + cp("ﾌｧｲﾙ作成日時"));
  EXPECT_EQ(plan.rows[0].created, change.text);
}

TEST(PlanEditing, ColumnSourceCopiesEachRowsOwnTextAndSkipsItself) {
  PlanList plan = editingPlan();
  TimeChange change;
  change.source = TimeSource::Modified;
  change.target = {true, true, false};
  change.all = {true, true, false};
  ASSERT_TRUE(plan.applyTimeChange(change, {}));
  for (std::size_t i : {0u, 2u, 3u}) EXPECT_EQ(plan.rows[i].created, plan.rows[i].modified);
  EXPECT_EQ(plan.rows[3].modified, "2001/01/04 00:00:00");
  EXPECT_TRUE(plan.isChanged(3));
  EXPECT_FALSE(plan.isChanged(4));  // the source box was disabled
}

TEST(PlanEditing, AllClearedAndNothingSelectedChangesNoRow) {
  PlanList plan = editingPlan();
  EXPECT_TRUE(plan.allBoxInitial({}));
  EXPECT_TRUE(plan.allBoxInitial({0, 1, 2, 3, 4, 5}));
  EXPECT_FALSE(plan.allBoxInitial({2}));
  TimeChange change;
  change.text = "2020/01/01 00:00:00";
  change.target = {false, false, true};
  ASSERT_TRUE(plan.applyTimeChange(change, {}));
  for (std::size_t i = 0; i < plan.rows.size(); ++i)
    EXPECT_EQ(plan.rows[i].accessed, plan.rows[i].isFolderRow() ? "" : plan.listedText(i, PlanList::ColAccessed));
}

TEST(PlanEditing, TimesTheFileSystemCannotStoreAreRefused) {
  PlanList plan = editingPlan();
  TimeChange change;
  change.target = {true, true, true};
  change.all = {true, true, true};
  for (const char* text : {"1600/12/31 23:59:59", "2021/02/29 00:00:00", "2021/1/01 00:00:00"}) {
    change.text = text;
    EXPECT_FALSE(plan.applyTimeChange(change, {})) << text;
  }
  EXPECT_FALSE(plan.anyTimeChanged());
  EXPECT_EQ(plan.rows[0].created, "2000/01/01 00:00:00");
}

TEST(PlanEditing, UndoingAColumnKeepsTheOthers) {
  PlanList plan = editingPlan();
  TimeChange change;
  change.text = "2020/01/01 00:00:00";
  change.target = {true, true, false};
  change.all = {true, true, false};
  plan.applyTimeChange(change, {});
  plan.applyAttributeChange("SHR-", false, {0, 1});
  EXPECT_EQ(plan.rows[0].attrs, "SHR-");
  EXPECT_EQ(plan.rows[1].attrs, "");
  EXPECT_EQ(plan.caption(6), "!" + cp("属性"));

  plan.undoColumn(3);
  EXPECT_FALSE(plan.isChanged(3));
  EXPECT_EQ(plan.caption(3), cp("ﾌｧｲﾙ作成日時"));
  EXPECT_EQ(plan.rows[0].created, "2000/01/01 00:00:00");
  EXPECT_EQ(plan.rows[1].created, "");
  EXPECT_TRUE(plan.isChanged(4));
  EXPECT_EQ(plan.rows[0].modified, change.text);
  plan.undoColumn(6);
  EXPECT_EQ(plan.rows[0].attrs, "---A");
  EXPECT_EQ(plan.rows[1].attrs, "");
}

TEST(PlanEditing, DialogStartValues) {
  PlanList plan = editingPlan();
  plan.rows[2].attrs = "-H--";
  EXPECT_EQ(plan.initialAttributes({}), "---A");
  EXPECT_EQ(plan.initialAttributes({2, 0}), "-H--");
  EXPECT_EQ(plan.initialAttributes({1}), "");  // folder first: all boxes clear
  EXPECT_EQ(plan.initialTimeText(4, {3}), "2001/01/04 00:00:00");
  EXPECT_EQ(plan.initialTimeText(4, {1}), std::nullopt);
  EXPECT_EQ(plan.initialTimeText(4, {}), std::nullopt);
  EXPECT_FALSE(plan.applyAttributeChange("SHRX", true, {}));
}

}  // namespace
}  // namespace ritoma::test
