// Runs on file systems that refuse part of what a plan carries: no
// extended attributes (FAT and exFAT cards, NFSv3, ramfs), and a shared
// folder whose files belong to another user (utimensat refuses explicit
// times). Values that only carry over are left out there; new ones are
// refused before anything changes.

#include <gtest/gtest.h>

#include <functional>

#include "ExecutionTestSupport.h"
#include "execution/ExecutionFlow.h"
#include "execution/UndoFlow.h"

namespace ritoma::test {
namespace {

class RefusingFolder : public FolderFixture {
protected:
  FolderPlanEngine engine{fs, progress, settings, undoPath()};

  void SetUp() override {
    FolderFixture::SetUp();
    settings.msgExec = false;
    // Files as such a file system holds them: times, no record.
    plainFile("表.txt", 1);
    plainFile("ソ", 2);
    plainFile(".隠ソ", 3);
    dir.makeFolder("out");
  }

  void plainFile(std::string_view utf8, int n) {
    dir.writeFile("work/" + std::string(utf8), utf8);
    const FileTime base = TimeConvert::fromUnixSeconds(1500000000 + 1000 * n);
    ASSERT_FALSE(real.setTimes(disk(utf8), std::nullopt, base + 600'000'000LL, base + 1'200'000'000LL));
  }

  PlanList plan(bool rename) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const char* name : {"表.txt", "ソ", ".隠ソ"})
      pairs.emplace_back(name, rename ? name + std::string("2") : name);
    PlanList p = build(makeEditList(pairs));
    EXPECT_TRUE(engine.check(p, options, true).passed);
    return p;
  }

  RunResult run(PlanList& p) { return ExecutionFlow(ui, settings).run(engine, p, options, 0); }
};

// A rename and its undo in a shared folder on such a file system: the undo
// puts back times and attributes the files still show, so it writes none.
TEST_F(RefusingFolder, RenameAndItsUndoInASharedFolder) {
  const FolderState before = state();
  fs.refuseExtendedAttributes();
  fs.refuseExplicitTimes("*/work/*");
  PlanList forward = plan(true);
  ASSERT_FALSE(run(forward).failed) << ::testing::PrintToString(ui.messages);

  const auto log = UndoFlow(fs, ui, undoPath()).load();
  ASSERT_TRUE(log);
  FolderSelection selection(fs, work());
  EditList edit;
  PlanList reverse;
  ASSERT_EQ(UndoFlow(fs, ui, undoPath()).buildReversePlan(*log, selection, edit, reverse),
            UndoFlow::Built::Ok);
  ASSERT_TRUE(engine.check(reverse, options, true).passed);
  const RunResult result = run(reverse);
  EXPECT_FALSE(result.failed) << ::testing::PrintToString(ui.messages);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(state(), before);
}

struct RefusedCase {
  const char* label;
  bool copy;
  std::function<void(PlanList&)> edit;
  std::string refusal;  // empty: the run succeeds
  std::function<void(const FolderState& before, const FolderState& after)> expect;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.label; }

TimeChange directTime(std::size_t column, const char* text) {
  TimeChange change;
  change.text = text;
  change.target[column - PlanList::ColCreated] = true;
  change.all[column - PlanList::ColCreated] = true;
  return change;
}

class RefusedTable : public RefusingFolder, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedTable, CarriesWhatItCanAndRefusesNewValues) {
  const RefusedCase& c = GetParam();
  const std::string target = c.copy ? dir / "out" : work();
  if (c.copy) {
    options.copy = true;
    options.copyPath = cp(target);
  }
  fs.refuseExtendedAttributes();
  PlanList p = plan(!c.copy);
  c.edit(p);
  const FolderState before = state();
  dir.writeFile("config/Ritoma.und", olderRecord());
  const RunResult result = run(p);

  if (!c.refusal.empty()) {
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{target + c.refusal}));
    EXPECT_EQ(state(), before);
    EXPECT_TRUE(dir.names("out").empty());
    EXPECT_EQ(dir.readFile("config/Ritoma.und"), olderRecord());
    return;
  }
  EXPECT_FALSE(result.failed) << ::testing::PrintToString(ui.messages);
  EXPECT_TRUE(ui.messages.empty());
  c.expect(before, state(target));
}

const char* const kRefusalTail = "\nこのディレクトリのファイルシステムには\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedTable,
    ::testing::Values(
        RefusedCase{"Copy", true, [](PlanList&) {}, "",
                    [](const FolderState& before, const FolderState& after) {
                      ASSERT_EQ(after.size(), 3u);
                      for (const auto& [name, entry] : after) {
                        EXPECT_EQ(entry.modified, before.at(name).modified) << name;
                        EXPECT_EQ(entry.content, before.at(name).content);
                      }
                      EXPECT_EQ(after.at(".隠ソ").attributes, std::uint32_t{AttrHidden});
                    }},
        RefusedCase{"DateChange", false,
                    [](PlanList& p) {
                      ASSERT_TRUE(p.applyTimeChange(directTime(PlanList::ColModified, "2010/05/06 07:08:09"), {}));
                    },
                    "",
                    [](const FolderState&, const FolderState& after) {
                      ASSERT_EQ(after.size(), 3u);
                      for (const auto& [name, entry] : after)
                        EXPECT_EQ(TimeConvert::toText(entry.modified), "2010/05/06 07:08:09") << name;
                    }},
        RefusedCase{"ReadOnlyAndHiddenDotName", false,
                    [](PlanList& p) {
                      p.rows[0].attrs = "--R-";
                      p.rows[2].attrs = "-HR-";
                      p.markChanged(PlanList::ColAttrs);
                    },
                    "",
                    [](const FolderState&, const FolderState& after) {
                      EXPECT_EQ(after.at("表.txt2").attributes, std::uint32_t{AttrReadOnly});
                      EXPECT_EQ(after.at("ソ2").attributes, 0u);
                      EXPECT_EQ(after.at(".隠ソ2").attributes, std::uint32_t{AttrHidden | AttrReadOnly});
                    }},
        RefusedCase{"NewCreationTime", false,
                    [](PlanList& p) {
                      ASSERT_TRUE(p.applyTimeChange(directTime(PlanList::ColCreated, "2010/05/06 07:08:09"), {}));
                    },
                    std::string(kRefusalTail) + "ファイル作成日時を保存できません\n処理を中止します", {}},
        RefusedCase{"NewCreationTimeOfCopies", true,
                    [](PlanList& p) {
                      ASSERT_TRUE(p.applyTimeChange(directTime(PlanList::ColCreated, "2010/05/06 07:08:09"), {}));
                    },
                    std::string(kRefusalTail) + "ファイル作成日時を保存できません\n処理を中止します", {}},
        RefusedCase{"NewSystemHiddenArchive", false,
                    [](PlanList& p) { ASSERT_TRUE(p.applyAttributeChange("SH-A", true, {})); },
                    std::string(kRefusalTail) + "システム属性・隠し属性・アーカイブ属性を保存できません\n処理を中止します",
                    {}}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace ritoma::test
