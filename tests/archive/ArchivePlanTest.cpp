#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>

#include "ArchiveTestSupport.h"
#include "LzhTestArchive.h"
#include "archive/ArchivePlanEngine.h"
#include "archive/ArchiveRewrite.h"
#include "archive/ArchiveSelection.h"
#include "execution/PlanBuilder.h"
#include "selection/EditListBuilder.h"
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

  // Rows of (entry's position in the listing, old name, new name).
  PlanList planFor(const std::vector<std::tuple<int, std::string, std::string>>& names) {
    PlanList plan;
    plan.mode = PlanMode::Archive;
    plan.folder = dir.path();
    for (const auto& [index, oldName, newName] : names) {
      PlanRow row;
      row.archiveIndex = index;
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
  PlanList plan = planFor({{0, "plain.txt", "DIR" + kHyo + "/" + kSo + "A.TXT"}});
  EXPECT_FALSE(engine.check(plan, options, true).passed);
  EXPECT_EQ(plan.rows[0].mark, MarkExists);

  // A swap inside the batch is no collision: the archive is rewritten in one pass.
  plan = planFor({{0, "plain.txt", stored}, {2, stored, "plain.txt"}});
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
  PlanList plan = planFor({{0, "plain.txt", "sub/moved.txt"}});
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
  PlanList plan = planFor({{0, "plain.txt", "b.txt"}, {1, "x.txt", "y.txt"}});
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
  plan = planFor({{0, "plain.txt", "b.txt"}});
  result = engine.execute(plan, options);
  EXPECT_EQ(plan.rows[0].mark, MarkFailed);
  ASSERT_EQ(result.furtherMessages.size(), 2u);
  EXPECT_EQ(result.furtherMessages[1], "書庫ファイルのバックアップファイル名\n\n" + (dir / "a_BAK.lzh"));
  EXPECT_TRUE(dir.readFile("a_BAK.lzh") == original);
}

// Two entries whose names differ only in letter case, in archives made by
// the usual tools. The batch is built the way the pages build it, from the
// selection list: the row renames the entry it was listed from, and the
// entry beside it keeps its name and data.
struct CaseTwinCase {
  const char* name;
  ArcKind kind;
  const char* archive;
  const char* make;  // run in the folder of the two files
  const char* list;  // another tool's listing
};

void PrintTo(const CaseTwinCase& c, std::ostream* os) { *os << c.name; }

struct ArchiveCaseTwins : ::testing::TestWithParam<CaseTwinCase> {
  TempDir dir;
  PosixFileSystem fs;
  NullProgress progress;

  // An archive made by the tool of the case, holding A.txt and a.txt.
  std::string makeTwins(const std::string& name, const std::string& upper,
                        const std::string& lower) {
    dir.makeFolder(name + "-files");
    dir.writeFile(name + "-files/A.txt", upper);
    dir.writeFile(name + "-files/a.txt", lower);
    const std::string archive = dir / (name + GetParam().archive);
    const int status = test::runTool("cd " + test::quoted(dir / (name + "-files")) + " && " +
                                     GetParam().make + " " + test::quoted(archive) + " A.txt a.txt");
    if (status != 0) throw std::runtime_error("cannot make " + archive);
    return archive;
  }
};

TEST_P(ArchiveCaseTwins, RenameGoesToTheListedEntryNotItsTwin) {
  const CaseTwinCase& c = GetParam();
  const std::string upper = "upper-case A's data\n";
  const std::string lower = "lower-case a's data, " + kHyo + kSo + "\n";
  const std::string archive = makeTwins("twins", upper, lower);

  ArchiveLibraries libraries(fs);
  libraries.load(c.kind);
  SelectionList selection;
  ASSERT_TRUE(ArchiveSelection::buildSelectionList(libraries, c.kind, archive, false, selection,
                                                   progress, 0));
  std::vector<FileEntry> rows = selection.rows();
  for (FileEntry& row : rows) row.checked = row.fullName() == "a.txt";
  EditList edit;
  EditListBuilder::build(rows, edit);
  ASSERT_EQ(edit.rows.size(), 1u);
  edit.appendStage({"x.txt"});
  PlanList plan = PlanBuilder::build(edit, PlanMode::Archive, dir.path(), fs, progress, 0);

  ExecutionSettings settings;
  ArchiveState state;
  state.arcKind = c.kind;
  state.arcPath = TextCodec::toInternal(archive);
  ArchivePlanEngine engine(fs, progress, settings, state);
  engine.setBackupMode(ArcBackupDelete);
  RunOptions options;
  ASSERT_TRUE(engine.check(plan, options, false).passed);
  const RunResult result = engine.execute(plan, options);
  ASSERT_FALSE(result.failed) << (result.furtherMessages.empty() ? "" : result.furtherMessages[0]);

  using Entry = std::pair<std::string, std::string>;
  EXPECT_EQ(test::contents(fs, c.kind, archive),
            (std::vector<Entry>{{"A.txt", upper}, {"x.txt", lower}}));
  std::string listing;
  ASSERT_EQ(test::runTool(std::string(c.list) + " " + test::quoted(archive), &listing), 0);
  EXPECT_NE(listing.find(" A.txt\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find(" x.txt\n"), std::string::npos) << listing;
  EXPECT_EQ(listing.find(" a.txt"), std::string::npos) << listing;
}

// Same names, same sizes, each entry's data under the other's name: only
// the CRCs tell them apart, and the check after a rewrite must.
TEST_P(ArchiveCaseTwins, CheckAfterTheRewriteNoticesDataUnderAnotherName) {
  const CaseTwinCase& c = GetParam();
  const std::string original = makeTwins("twins", "AAAA\n", "aaaa\n");
  const std::string swapped = makeTwins("swapped", "aaaa\n", "AAAA\n");
  ArchiveRewrite rewrite(fs, progress);
  ASSERT_TRUE(rewrite.rename(c.kind, original, dir / "out", {})) << rewrite.error();
  EXPECT_TRUE(rewrite.verify(c.kind, dir / "out")) << rewrite.error();
  EXPECT_FALSE(rewrite.verify(c.kind, swapped));
  EXPECT_NE(rewrite.error().find("一致しません"), std::string::npos) << rewrite.error();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ArchiveCaseTwins,
    ::testing::Values(CaseTwinCase{"Zip", ArcZip, "twins.zip", "zip -q -X", "unzip -l"},
                      CaseTwinCase{"Lzh", ArcLzh, "twins.lzh", "jlha c2q", "lhasa v"}),
    [](const auto& info) { return std::string(info.param.name); });

// LZH reads "\" and "/" as one separator: a new name typed with "\" collides
// with the entry stored with "/", and a run reports its new names as the
// archive lists them, so that the refreshed list checks them again.
TEST_F(ArchivePlan, LzhPathsTypedWithBackslashCollideAndAreFoundAgain) {
  PosixFileSystem fs;
  NullProgress progress;
  dir.makeFolder("files");
  dir.makeFolder("files/doc");
  dir.writeFile("files/doc/a.txt", "a\n");
  dir.writeFile("files/b表.txt", "b\n");  // jlha stores the UTF-8 name in Shift_JIS
  ASSERT_EQ(test::runTool("cd " + test::quoted(dir / "files") + " && jlha c2yq ../a.lzh doc/a.txt b表.txt"),
            0);
  state.arcKind = ArcLzh;
  state.arcPath = TextCodec::toInternal(dir / "a.lzh");
  const auto listed = test::listOrFail(fs, ArcLzh, dir / "a.lzh");
  ASSERT_EQ(test::names(listed), (std::vector<std::string>{"doc/a.txt", "b" + kHyo + ".txt"}));
  ArchivePlanEngine engine(fs, progress, settings, state);

  PlanList plan = planFor({{1, "b" + kHyo + ".txt", "DOC\\a.txt"}});
  EXPECT_FALSE(engine.check(plan, options, false).passed);
  EXPECT_EQ(plan.rows[0].mark, MarkExists);

  plan = planFor({{1, "b" + kHyo + ".txt", "doc\\" + kSo + ".txt"}});
  ASSERT_TRUE(engine.check(plan, options, false).passed);
  const RunResult result = engine.execute(plan, options);
  ASSERT_FALSE(result.failed);
  const std::string listedName = "doc/" + kSo + ".txt";
  EXPECT_EQ(result.processedNames, std::vector<std::string>{listedName});
  EXPECT_EQ(test::names(test::listOrFail(fs, ArcLzh, dir / "a.lzh")),
            (std::vector<std::string>{"doc/a.txt", listedName}));
  std::string listing;
  ASSERT_EQ(test::runTool("lhasa v " + test::quoted(dir / "a.lzh"), &listing), 0);
  EXPECT_NE(listing.find("doc/?\\.txt\n"), std::string::npos) << listing;  // ソ as lhasa shows it
}

// The check refuses a name whose rebuilt level-2 header would not fit its
// 16-bit size, before the archive is moved, measured as the rewrite builds
// it: 34 bytes beside the name at level 2, 5 more for the attribute header
// a level-1 entry's attribute byte becomes, and every extended header the
// entry keeps. 表 is stored as two bytes of code page 932.
struct HeaderSizeCase {
  const char* label;
  std::string entry;  // one LZH entry, written by the tests' own writer
  std::string newName;
  int mark;
};

void PrintTo(const HeaderSizeCase& c, std::ostream* os) { *os << c.label; }

std::string repeated(const std::string& text, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

struct LzhHeaderSize : ArchivePlan, ::testing::WithParamInterface<HeaderSizeCase> {};

TEST_P(LzhHeaderSize, IsCheckedBeforeTheRewrite) {
  const HeaderSizeCase& c = GetParam();
  PosixFileSystem fs;
  NullProgress progress;
  const std::string archive = c.entry + test::lzhLevel2("b.txt", "", "b\n", 1000000000, {}) + '\0';
  dir.writeFile("a.lzh", archive);
  state.arcKind = ArcLzh;
  state.arcPath = TextCodec::toInternal(dir / "a.lzh");
  ArchivePlanEngine engine(fs, progress, settings, state);
  engine.setBackupMode(ArcBackupDelete);
  PlanList plan = planFor({{0, "a.txt", c.newName}, {1, "b.txt", kSo + ".txt"}});

  const bool passed = engine.check(plan, options, false).passed;
  EXPECT_EQ(plan.rows[0].mark, c.mark);
  EXPECT_EQ(plan.rows[1].mark, MarkNone);
  EXPECT_EQ(passed, c.mark == MarkNone);
  // What the check lets through, the rewrite writes; a refused row keeps
  // its entry as it was.
  const RunResult result = engine.execute(plan, options);
  ASSERT_FALSE(result.failed) << (result.furtherMessages.empty() ? "" : result.furtherMessages[0]);
  EXPECT_EQ(test::names(test::listOrFail(fs, ArcLzh, dir / "a.lzh")),
            (std::vector<std::string>{passed ? c.newName : "a.txt", kSo + ".txt"}));
}

const std::string kData = "data\n";
const std::string kComment(65400, 'c');  // a comment header (0x3F) the entry keeps

INSTANTIATE_TEST_SUITE_P(
    Archive, LzhHeaderSize,
    ::testing::Values(
        HeaderSizeCase{"Level2NameFillsTheHeader", test::lzhLevel2("a.txt", "", kData, 1000000000, {}),
                       std::string(65501, 'n'), MarkNone},
        HeaderSizeCase{"Level2NameOneByteOver", test::lzhLevel2("a.txt", "", kData, 1000000000, {}),
                       std::string(65502, 'n'), MarkHeaderTooLong},
        HeaderSizeCase{"HyoNameFillsTheHeader", test::lzhLevel2("a.txt", "", kData, 1000000000, {}),
                       repeated(kHyo, 32750) + "n", MarkNone},
        HeaderSizeCase{"HyoNameOneByteOver", test::lzhLevel2("a.txt", "", kData, 1000000000, {}),
                       repeated(kHyo, 32751), MarkHeaderTooLong},
        HeaderSizeCase{"Level1AttributeHeaderFits", test::lzhLevel1("a.txt", kData, 0x2E210000, {}),
                       std::string(65496, 'n'), MarkNone},
        HeaderSizeCase{"Level1AttributeHeaderOneByteOver", test::lzhLevel1("a.txt", kData, 0x2E210000, {}),
                       std::string(65497, 'n'), MarkHeaderTooLong},
        HeaderSizeCase{"KeptCommentWithItsOwnName",
                       test::lzhLevel2("a.txt", "", kData, 1000000000, {{0x3F, kComment}}), "z.txt", MarkNone},
        HeaderSizeCase{"KeptCommentWithALongerName",
                       test::lzhLevel2("a.txt", "", kData, 1000000000, {{0x3F, kComment}}),
                       std::string(100, 'z'), MarkHeaderTooLong}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace ritoma
