#include "execution/FolderPlanCheck.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "ExecutionTestSupport.h"
#include "text/CaseMap.h"

namespace ritoma::test {
namespace {

class CollisionCheck : public FolderFixture {
protected:
  CheckResult check(PlanList& plan, bool automatic = true) {
    return FolderPlanCheck(fs, progress, settings).check(plan, options, automatic);
  }
  PlanList planFor(const std::vector<std::pair<std::string, std::string>>& pairs,
                   const std::vector<std::string>& folders = {}) {
    for (const auto& [from, to] : pairs) {
      if (std::find(folders.begin(), folders.end(), from) != folders.end())
        makeFolder(from);
      else if (!dir.exists("work/" + from))
        makeFile(from);
    }
    return build(makeEditList(pairs, folders));
  }
};

struct MarkCase {
  const char* label;
  std::vector<std::pair<std::string, std::string>> rows;
  std::vector<std::string> others;  // further files of the folder
  bool force;
  std::vector<int> marks;
  std::string marker = "@";  // code page 932
};

std::string repeated(std::string_view utf8, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += utf8;
  return out;
}

void PrintTo(const MarkCase& c, std::ostream* os) { *os << c.label; }

class CollisionMarks : public CollisionCheck, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(CollisionMarks, MarksRows) {
  const MarkCase& c = GetParam();
  for (const auto& name : c.others) makeFile(name);
  options.force = c.force;
  options.marker = c.marker;
  PlanList plan = planFor(c.rows);
  const CheckResult result = check(plan);
  EXPECT_EQ(marks(plan), c.marks);
  const bool clear = std::all_of(c.marks.begin(), c.marks.end(), [](int m) { return m == MarkNone; });
  EXPECT_EQ(result.passed, clear);
  EXPECT_FALSE(result.pending);
}

INSTANTIATE_TEST_SUITE_P(
    Plans, CollisionMarks,
    ::testing::Values(
        MarkCase{"SwapBlockedOnFirstRow", {{"表.txt", "ソ.txt"}, {"ソ.txt", "表.txt"}}, {}, false, {MarkBlocked, MarkNone}},
        MarkCase{"SwapPassesWithForce", {{"表.txt", "ソ.txt"}, {"ソ.txt", "表.txt"}}, {}, true, {MarkNone, MarkNone}},
        MarkCase{"ChainInRunOrderPasses", {{"b", "c"}, {"a", "b"}}, {}, false, {MarkNone, MarkNone}},
        MarkCase{"ChainAgainstRunOrderBlocked", {{"a", "b"}, {"b", "c"}}, {}, false, {MarkBlocked, MarkNone}},
        MarkCase{"BlockedIgnoringCase", {{"a", "B"}, {"b", "c"}}, {}, false, {MarkBlocked, MarkNone}},
        MarkCase{"OwnOldNameIsNoCollision", {{"a", "A"}, {"c", "c"}}, {}, false, {MarkNone, MarkNone}},
        MarkCase{"FileOutsideBatch", {{"a", "ソ.TXT"}, {"b", "x"}}, {"ソ.txt"}, false, {MarkExists, MarkNone}},
        MarkCase{"TempNameExists", {{"a", "x"}, {"b", "y"}}, {"@B"}, true, {MarkNone, MarkTempExists}},
        MarkCase{"TempNameIsLaterOldName", {{"a", "x"}, {"@a", "y"}}, {}, true, {MarkTempExists, MarkNone}},
        MarkCase{"TempNameOfEarlierRowIsFree", {{"@a", "x"}, {"a", "y"}}, {}, true, {MarkNone, MarkNone}},
        MarkCase{"ExistsOverridesBlocked", {{"a", "b"}, {"b", "c"}}, {"B"}, false, {MarkExists, MarkNone}},
        // A temporary name is measured in bytes on disk: 表 and ソ take two
        // bytes in code page 932 and three in UTF-8.
        MarkCase{"TempNameOf255BytesPasses", {{std::string(254, 'a'), "x"}}, {}, true, {MarkNone}},
        MarkCase{"TempNameOf256BytesTooLong", {{std::string(255, 'a'), "x"}, {"b", "y"}}, {}, true,
                 {MarkTempTooLong, MarkNone}},
        MarkCase{"HyoSoTempNameOf255BytesPasses", {{repeated("表ソ", 42) + "ab", "x"}}, {}, true, {MarkNone}},
        MarkCase{"HyoSoTempNameOf256BytesTooLong", {{"b", "y"}, {repeated("表ソ", 42) + "abc", "x"}}, {},
                 true, {MarkNone, MarkTempTooLong}},
        MarkCase{"MarkerCountsOnDisk", {{std::string(252, 'a'), "x"}, {std::string(253, 'b'), "y"}}, {}, true,
                 {MarkNone, MarkTempTooLong}, cp("表")},
        MarkCase{"LongNameWithoutForcePasses", {{std::string(255, 'a'), "x"}}, {}, false, {MarkNone}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(CollisionCheck, NewNameOfAFolderOutsideTheBatch) {
  makeFolder("sub");
  PlanList plan = planFor({{"dir", "SUB"}, {"f.txt", "g.txt"}}, {"dir"});
  EXPECT_FALSE(check(plan).passed);
  EXPECT_EQ(marks(plan), (std::vector<int>{MarkExists, MarkNone}));
}

TEST_F(CollisionCheck, ChkStopMarksOnlyTheFirstCollision) {
  makeFile("x1");
  makeFile("x2");
  settings.chkStop = true;
  PlanList plan = planFor({{"a", "b"}, {"b", "c"}, {"d", "x1"}, {"e", "x2"}});
  EXPECT_FALSE(check(plan).passed);
  EXPECT_EQ(marks(plan), (std::vector<int>{MarkBlocked, MarkNone, MarkNone, MarkNone}));
  // Without blocked rows the stop falls on the first existing name.
  plan = planFor({{"a", "q"}, {"d", "x1"}, {"e", "x2"}});
  check(plan);
  EXPECT_EQ(marks(plan), (std::vector<int>{MarkNone, MarkExists, MarkNone}));
}

TEST_F(CollisionCheck, ChkAutoOffLeavesTheCheckPending) {
  settings.chkAuto = false;
  PlanList plan = planFor({{"a", "b"}, {"b", "a"}});
  plan.rows[1].mark = MarkFailed;
  const CheckResult automatic = check(plan, true);
  EXPECT_TRUE(automatic.pending);
  EXPECT_FALSE(automatic.passed);
  EXPECT_EQ(plan.rows[1].mark, MarkFailed);  // nothing was looked at
  const CheckResult manual = check(plan, false);
  EXPECT_FALSE(manual.pending);
  EXPECT_EQ(marks(plan), (std::vector<int>{MarkBlocked, MarkNone}));
}

TEST_F(CollisionCheck, CopyIntoMissingFolderComparesWithCurrentFolder) {
  options.copy = true;
  options.copyPath = cp(dir / "missing");
  PlanList plan = planFor({{"表.txt", "表.txt"}, {"a", "b"}});
  EXPECT_FALSE(check(plan).passed);
  EXPECT_EQ(options.copyPath, "");
  EXPECT_EQ(marks(plan), (std::vector<int>{MarkExists, MarkNone}));
  EXPECT_TRUE(options.copyHistory.empty());
}

TEST_F(CollisionCheck, CopyFolderGoesToTheHistory) {
  dir.makeFolder("out");
  dir.writeFile("out/B", "");
  options.copy = true;
  options.copyHistory = {cp("/elsewhere"), cp(dir / "OUT")};
  options.copyPath = cp(dir / "out");
  PlanList plan = planFor({{"a", "b"}, {"c", "a"}, {"d", "b"}});
  EXPECT_FALSE(check(plan).passed);
  // The first row holding the name is marked; the old names do not matter.
  EXPECT_EQ(marks(plan), (std::vector<int>{MarkExists, MarkNone, MarkNone}));
  EXPECT_EQ(options.copyHistory, (std::vector<std::string>{cp(dir / "out"), cp("/elsewhere")}));
}

// The row-by-row comparison the hashed check must agree with.
std::vector<int> referenceMarks(const PlanList& plan, const std::vector<std::string>& folderNames,
                                bool force, const std::string& marker, bool stop) {
  const std::size_t rows = plan.rows.size();
  std::vector<int> out(rows, MarkNone);
  std::vector<std::string> list;
  for (const auto& r : plan.rows) list.push_back(r.oldName);
  for (const auto& e : folderNames) {
    bool inBatch = false;
    for (const auto& r : plan.rows) inBatch = inBatch || r.oldName == e;
    if (!inBatch) list.push_back(e);
  }
  auto same = [](const std::string& a, const std::string& b) { return CaseMap::equalIgnoreCase(a, b); };
  if (force) {
    for (std::size_t k = 0; k < rows; ++k) {
      for (std::size_t l = k + 1; l < list.size(); ++l) {
        if (same(marker + plan.rows[k].oldName, list[l])) {
          out[k] = MarkTempExists;
          if (stop) return out;
          break;
        }
      }
      list[k] = marker + list[k];
    }
  }
  for (std::size_t m = 0; m < rows; ++m) {
    for (std::size_t j = m + 1; j < rows; ++j) {
      if (same(plan.rows[m].newName, list[j])) {
        out[m] = MarkBlocked;
        if (stop) return out;
        break;
      }
    }
  }
  for (std::size_t n = 0; n < rows; ++n) {
    for (std::size_t j = rows; j < list.size(); ++j) {
      if (same(plan.rows[n].newName, list[j])) {
        out[n] = MarkExists;
        if (stop) return out;
        break;
      }
    }
  }
  return out;
}

TEST_F(CollisionCheck, AgreesWithTheRowByRowComparison) {
  // Short names over a small alphabet give many chains, swaps, case
  // variants and temporary-name clashes.
  const std::vector<std::string> alphabet = {"a", "A", "@", cp("ソ"), cp("表")};
  std::mt19937 rng(7);
  auto randomName = [&] {
    std::string s;
    const int length = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < length; ++i) s += alphabet[rng() % alphabet.size()];
    return s;
  };
  std::set<int> seen;
  for (int round = 0; round < 60; ++round) {
    TempDir folder;
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i) {
      const std::string n = randomName();
      if (std::find(names.begin(), names.end(), n) != names.end()) continue;
      names.push_back(n);
      folder.writeFile(TextCodec::toDisk(n));
    }
    PlanList plan;
    plan.folder = folder.path();
    std::vector<std::string> used;
    for (std::size_t i = 0; i < names.size(); i += 1 + rng() % 2) {
      PlanRow row;
      row.oldName = names[i];
      row.newName = randomName();
      if (std::find(used.begin(), used.end(), CaseMap::foldKey(row.newName)) != used.end()) continue;
      used.push_back(CaseMap::foldKey(row.newName));
      plan.rows.push_back(row);
    }
    options.force = round % 2 == 1;
    options.marker = "@";
    settings.chkStop = round % 3 == 2;
    std::vector<std::string> folderNames = {".", ".."};
    folderNames.insert(folderNames.end(), names.begin(), names.end());
    const auto expected = referenceMarks(plan, folderNames, options.force, "@", settings.chkStop);
    check(plan);
    ASSERT_EQ(marks(plan), expected) << "round " << round;
    seen.insert(expected.begin(), expected.end());
  }
  EXPECT_EQ(seen, (std::set<int>{MarkNone, MarkBlocked, MarkExists, MarkTempExists}));
}

}  // namespace
}  // namespace ritoma::test
