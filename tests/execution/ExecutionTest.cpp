#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "ExecutionTestSupport.h"
#include "execution/ExecutionFlow.h"
#include "execution/FolderPlanCheck.h"
#include "execution/UndoFile.h"

namespace ritoma::test {
namespace {

class Execution : public FolderFixture {
protected:
  FolderPlanEngine engine{fs, progress, settings, undoPath()};

  void SetUp() override {
    FolderFixture::SetUp();
    settings.msgExec = false;
  }

  bool check(PlanList& plan) { return engine.check(plan, options, true).passed; }

  // Runs the plan as "実行" does (failures are told and rolled back).
  RunResult run(PlanList& plan, int folderCount = 0) {
    return ExecutionFlow(ui, settings).run(engine, plan, options, folderCount);
  }

  UndoLog undoLog() {
    std::string bytes;
    EXPECT_FALSE(real.readWholeFile(undoPath(), bytes));
    UndoLog log;
    EXPECT_EQ(UndoFile::decode(bytes, log), UndoFile::Status::Ok);
    return log;
  }

  // Marks the time columns and the attribute column changed with new texts.
  static void changeTimesAndAttributes(PlanList& plan, const std::string& attrs = "-H-A") {
    TimeChange change;
    change.text = "2010/05/06 07:08:09";
    change.target = {true, true, true};
    change.all = {true, true, true};
    ASSERT_TRUE(plan.applyTimeChange(change, {}));
    ASSERT_TRUE(plan.applyAttributeChange(attrs, true, {}));
  }
};

TEST_F(Execution, SwapWithForceChangeAndItsUndoRecord) {
  makeFile("表.txt", 1, AttrArchive, "A");
  makeFile("ソ.txt", 2, AttrArchive, "B");
  options.force = true;
  PlanList plan = build(makeEditList({{"表.txt", "ソ.txt"}, {"ソ.txt", "表.txt"}}));
  ASSERT_TRUE(check(plan));
  const RunResult result = run(plan);
  EXPECT_FALSE(result.failed);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(dir.readFile("work/表.txt"), "B");
  EXPECT_EQ(dir.readFile("work/ソ.txt"), "A");
  EXPECT_EQ(dir.names("work").size(), 2u);
  EXPECT_EQ(result.folder, work());
  EXPECT_EQ(result.processedNames, (std::vector<std::string>{"ソ.txt", "表.txt"}));
  EXPECT_TRUE(result.clearForce);
  EXPECT_FALSE(options.force);

  const UndoLog log = undoLog();
  EXPECT_EQ(log.folder, work() + "/");
  ASSERT_EQ(log.records.size(), 2u);
  EXPECT_EQ(log.records[0].newName, "ソ.txt");
  EXPECT_EQ(log.records[0].oldName, "表.txt");  // without the marker
  EXPECT_EQ(log.records[0].created, plan.listedText(0, PlanList::ColCreated));
  EXPECT_EQ(log.records[1].oldName, "ソ.txt");
  EXPECT_EQ(dir.names("config"), (std::vector<std::string>{"Ritoma.und"}));
}

TEST_F(Execution, ChainRunsInRowOrder) {
  makeFile("a", 0, AttrArchive, "A");
  makeFile("b", 1, AttrArchive, "B");
  PlanList plan = build(makeEditList({{"b", "c"}, {"a", "b"}}));
  ASSERT_TRUE(check(plan));
  EXPECT_FALSE(run(plan).failed);
  EXPECT_EQ(dir.names("work"), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(dir.readFile("work/b"), "A");
  EXPECT_EQ(dir.readFile("work/c"), "B");
}

TEST_F(Execution, FolderOfTheBatchIsRenamedButKeepsItsTimes) {
  makeFolder("ソ");
  makeFile("表", 1);
  PlanList plan = build(makeEditList({{"ソ", "ソ2"}, {"表", "表2"}}, {"ソ"}));
  changeTimesAndAttributes(plan);
  ASSERT_TRUE(check(plan));
  settings.msgDir = true;
  ui.answers = {Answer::Ok};
  const RunResult result = run(plan, 1);
  EXPECT_FALSE(result.failed);
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0], ExecutionFlow::FolderWarningText);
  const FolderState after = state();
  ASSERT_TRUE(after.count("ソ2") && after.at("ソ2").isFolder);
  EXPECT_EQ(TimeConvert::toText(after.at("表2").modified), "2010/05/06 07:08:09");
  EXPECT_EQ(after.at("表2").attributes, AttrHidden | AttrArchive);
  const UndoLog log = undoLog();
  EXPECT_FALSE(log.records[0].isFile);
  EXPECT_TRUE(log.records[1].isFile);
}

TEST_F(Execution, FolderWarningCancelledChangesNothing) {
  makeFolder("ソ");
  PlanList plan = build(makeEditList({{"ソ", "x"}}, {"ソ"}));
  options.copy = true;
  ui.answers = {Answer::Cancel};
  const FolderState before = state();
  EXPECT_TRUE(run(plan, 1).cancelled);
  EXPECT_EQ(state(), before);
}

TEST_F(Execution, CopyIntoMissingFolderWritesBesideTheSources) {
  makeFile("表.txt", 1, AttrArchive | AttrReadOnly, "data");
  options.copy = true;
  options.copyPath = cp(dir / "missing");
  PlanList plan = build(makeEditList({{"表.txt", "ソ.txt"}}));
  ASSERT_TRUE(check(plan));
  EXPECT_EQ(options.copyPath, "");
  const FolderState before = state();
  const RunResult result = run(plan);
  EXPECT_FALSE(result.failed);
  const FolderState after = state();
  EXPECT_EQ(after.at("表.txt").content, "data");
  EXPECT_EQ(after.at("表.txt").modified, before.at("表.txt").modified);
  const EntryState& copy = after.at("ソ.txt");
  EXPECT_EQ(copy.content, "data");
  // The copy gets the listed creation time and keeps read-only.
  EXPECT_EQ(copy.created, before.at("表.txt").created);
  EXPECT_EQ(copy.attributes, AttrArchive | AttrReadOnly);
  EXPECT_EQ(result.processedNames, (std::vector<std::string>{"ソ.txt"}));
  EXPECT_FALSE(real.exists(undoPath()));  // copies are not recorded
}

TEST_F(Execution, ReadOnlyFileKeepsReadOnlyWhenItsTimesChange) {
  makeFile("表", 1, AttrReadOnly);
  EditList list;
  list.rows.push_back(EditRow{"", 0, false, {cp("表")}, ""});
  PlanList plan = build(list);
  TimeChange change;
  change.text = "1999/12/31 23:59:59";
  change.target = {true, true, true};
  change.all = {true, true, true};
  ASSERT_TRUE(plan.applyTimeChange(change, {}));
  EXPECT_FALSE(run(plan).failed);
  const EntryState file = state().at("表");
  EXPECT_EQ(file.attributes, AttrReadOnly);
  EXPECT_EQ(TimeConvert::toText(file.created), change.text);
  EXPECT_EQ(TimeConvert::toText(file.accessed), change.text);
}

TEST_F(Execution, Result37RollsBackAttributesTimesAndNames) {
  for (int i = 0; i < 4; ++i) makeFile("f" + std::to_string(i), i, AttrArchive);
  PlanList plan = build(makeEditList({{"f0", "g0"}, {"f1", "g1"}, {"f2", "g2"}, {"f3", "g3"}}));
  changeTimesAndAttributes(plan, "S--A");
  ASSERT_TRUE(check(plan));
  const FolderState before = state();
  fs.reset();
  // The time stage sets no attributes on files that are not read-only:
  // the 4th row of the attribute stage is call 4.
  fs.failNth(FsOp::SetAttributes, 4, EIO);
  const RunResult result = run(plan);
  EXPECT_EQ(result.code, 37);
  EXPECT_EQ(result.stageFlags(), 7);
  EXPECT_EQ(result.lastDoneRow(), 2);
  EXPECT_EQ(plan.rows[3].mark, MarkFailed);
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{std::string(ExecutionFlow::RollBackText) + "\n\nf3: ディスクの読み書きに失敗しました"}));
  EXPECT_EQ(state(), before);
  EXPECT_FALSE(real.exists(undoPath()));
}

TEST_F(Execution, FailingFirstTemporaryRenameIsReported) {
  makeFile("a");
  makeFile("b");
  options.force = true;
  PlanList plan = build(makeEditList({{"a", "b"}, {"b", "a"}}));
  ASSERT_TRUE(check(plan));
  const FolderState before = state();
  fs.reset();
  fs.failNth(FsOp::Rename, 1, EACCES);
  const RunResult result = run(plan);
  EXPECT_TRUE(result.failed);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(plan.rows[0].mark, MarkFailed);
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{std::string(ExecutionFlow::FailureText) + "\n\na: アクセス権がありません"}));
  EXPECT_EQ(state(), before);
  EXPECT_TRUE(options.force);  // a failed run keeps the options
}

TEST_F(Execution, NameTakenAfterTheCheckLosesNothing) {
  makeFile("表", 0, AttrArchive, "one");
  makeFile("ソ", 1, AttrArchive, "two");
  PlanList plan = build(makeEditList({{"表", "x"}, {"ソ", "y"}}));
  ASSERT_TRUE(check(plan));
  makeFile("y", 2, AttrArchive, "intruder");
  const FolderState before = state();
  const RunResult result = run(plan);
  EXPECT_EQ(result.code, 11);
  EXPECT_EQ(state(), before);
  EXPECT_EQ(dir.readFile("work/y"), "intruder");
}

// A copy never replaces a file of the copy folder: the check marks every
// collision (ChkStop too), a name taken after the check fails its row, and
// a copy folder that cannot be listed lets no row through.
struct CopyCase {
  const char* label;
  bool chkStop;
  bool ignoreErrors;
  bool unlistable;
  std::vector<std::string> existing;  // in the copy folder before the check
  std::vector<std::string> late;      // put there after the check
  std::vector<int> checkMarks;
  bool failed;
  std::vector<int> runMarks;
  std::vector<std::string> copied;    // the copy folder's new files
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.label; }

class CopyNeverReplaces : public Execution, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopyNeverReplaces, TheCopyFolderKeepsItsFiles) {
  const CopyCase& c = GetParam();
  const std::vector<std::pair<std::string, std::string>> pairs = {
      {"表.txt", "表1.txt"}, {"ソ.txt", "ソ2.txt"}, {"c.txt", "c3.txt"}};
  for (std::size_t i = 0; i < pairs.size(); ++i) makeFile(pairs[i].first, static_cast<int>(i));
  dir.makeFolder("out");
  for (const auto& name : c.existing) dir.writeFile("out/" + name, "precious " + name);
  settings.chkStop = c.chkStop;
  options.copy = true;
  options.copyPath = cp(dir / "out");
  options.ignoreErrors = c.ignoreErrors;
  if (c.unlistable) fs.failMatching(FsOp::ListFolder, "*/out", EACCES);
  PlanList plan = build(makeEditList(pairs));
  EXPECT_EQ(check(plan), c.checkMarks == std::vector<int>(3, MarkNone));
  EXPECT_EQ(marks(plan), c.checkMarks);

  for (const auto& name : c.late) dir.writeFile("out/" + name, "late " + name);
  const FolderState before = state(dir / "out");
  const RunResult result = run(plan);
  EXPECT_EQ(result.failed, c.failed);
  EXPECT_EQ(marks(plan), c.runMarks);
  FolderState after = state(dir / "out");
  for (const auto& [name, entry] : before) EXPECT_EQ(after.at(name), entry) << name;
  std::vector<std::string> copied;
  for (const auto& [from, to] : pairs) {
    if (before.count(to) || !after.count(to)) continue;
    copied.push_back(to);
    EXPECT_EQ(after.at(to).content, from);
  }
  EXPECT_EQ(copied, c.copied);
  EXPECT_EQ(after.size(), before.size() + copied.size());  // no temporary file left
  const bool warned = std::any_of(ui.messages.begin(), ui.messages.end(), [](const std::string& m) {
    return m.find("\nソ2.txt") != std::string::npos;
  });
  EXPECT_EQ(warned, c.ignoreErrors && !c.late.empty());
}

constexpr int N = MarkNone, E = MarkExists, F = MarkFailed;

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyNeverReplaces,
    ::testing::Values(
        CopyCase{"ChkStopStillMarksEveryCollision", true, true, false, {"表1.txt", "C3.TXT"}, {},
                 {E, N, E}, false, {E, N, E}, {"ソ2.txt"}},
        CopyCase{"NameTakenAfterTheCheckFailsTheRun", false, false, false, {}, {"ソ2.txt"},
                 {N, N, N}, true, {N, F, N}, {"表1.txt"}},
        CopyCase{"NameTakenAfterTheCheckIsSkippedWhenIgnoring", true, true, false, {"表1.txt"}, {"ソ2.txt"},
                 {E, N, N}, false, {E, F, N}, {"c3.txt"}},
        CopyCase{"UnlistableCopyFolderLetsNoRowThrough", false, true, true, {"ソ2.txt"}, {},
                 {E, E, E}, false, {E, E, E}, {}}),
    [](const auto& info) { return std::string(info.param.label); });

// The undo file is written under a fresh name and takes the place of the
// older one, which moves back, with its mode; a link planted at a name it
// once used for that is neither followed nor removed.
TEST_F(Execution, UndoFileKeepsItsModeAndNeverWritesThroughALink) {
  makeFile("表");
  dir.writeFile("config/Ritoma.und", olderRecord());
  ASSERT_EQ(::chmod(undoPath().c_str(), 0600), 0);
  dir.makeFolder("outside");
  dir.writeFile("outside/secret.txt", "secret");
  const std::string planted = undoPath() + ".new";
  ASSERT_EQ(::symlink((dir / "outside/secret.txt").c_str(), planted.c_str()), 0);
  PlanList plan = build(makeEditList({{"表", "ソ"}}));
  ASSERT_TRUE(check(plan));
  ASSERT_FALSE(run(plan).failed);
  EXPECT_EQ(undoLog().records.at(0).newName, "ソ");
  struct stat st{};
  ASSERT_EQ(::stat(undoPath().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(dir.readFile("outside/secret.txt"), "secret");
  char target[4096];
  const ssize_t length = ::readlink(planted.c_str(), target, sizeof target);
  ASSERT_GT(length, 0);
  EXPECT_EQ(std::string(target, static_cast<std::size_t>(length)), dir / "outside/secret.txt");
  EXPECT_EQ(dir.readFile("config/Ritoma.und.1"), olderRecord());
  EXPECT_EQ(dir.names("config"), (std::vector<std::string>{"Ritoma.und", "Ritoma.und.1", "Ritoma.und.new"}));
}

// Names of the extended attributes of `path` (following links), sorted.
std::vector<std::string> xattrNames(const std::string& path) {
  char buffer[4096];
  const ssize_t size = ::listxattr(path.c_str(), buffer, sizeof buffer);
  std::vector<std::string> names;
  for (ssize_t i = 0; i < size; i += static_cast<ssize_t>(names.back().size()) + 1)
    names.emplace_back(buffer + i);
  std::sort(names.begin(), names.end());
  return names;
}

// A symbolic link in the folder is a name like any other: it is renamed as
// a link and gets its own times; attributes are not set through it. The
// file it points to, outside the folder, keeps its times, mode and
// extended attributes.
TEST_F(Execution, LinkIsRenamedAndTimedAsALinkOnly) {
  dir.makeFolder("outside");
  dir.writeFile("outside/secret.txt", "secret");
  const std::string secret = dir / "outside/secret.txt";
  const FileTime old = TimeConvert::fromUnixSeconds(1000000000);
  ASSERT_FALSE(real.setTimes(secret, std::nullopt, old, old));
  ASSERT_EQ(::chmod(secret.c_str(), 0640), 0);
  ::setxattr(secret.c_str(), "user.note", "kept", 4, 0);
  const std::vector<std::string> xattrsBefore = xattrNames(secret);
  struct stat before{};
  ASSERT_EQ(::stat(secret.c_str(), &before), 0);
  ASSERT_EQ(::symlink("../outside/secret.txt", disk("表.lnk").c_str()), 0);

  PlanList plan = build(makeEditList({{"表.lnk", "ソ.lnk"}}));
  changeTimesAndAttributes(plan, "SHRA");
  ASSERT_TRUE(check(plan));
  ASSERT_FALSE(run(plan).failed);

  struct stat link{};
  ASSERT_EQ(::lstat(disk("ソ.lnk").c_str(), &link), 0);
  ASSERT_TRUE(S_ISLNK(link.st_mode));
  char target[256];
  const ssize_t length = ::readlink(disk("ソ.lnk").c_str(), target, sizeof target);
  EXPECT_EQ(std::string(target, static_cast<std::size_t>(std::max<ssize_t>(length, 0))), "../outside/secret.txt");
  EXPECT_EQ(TimeConvert::toText(TimeConvert::fromUnixSeconds(link.st_mtim.tv_sec)), "2010/05/06 07:08:09");
  struct stat after{};
  ASSERT_EQ(::stat(secret.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_atim.tv_sec, before.st_atim.tv_sec);
  EXPECT_EQ(xattrNames(secret), xattrsBefore);
  EXPECT_EQ(dir.readFile("outside/secret.txt"), "secret");
}

// A copy takes a link as a link, even one to a device, and reads nothing
// through it; a pipe among the sources fails its row without blocking and
// leaves nothing in the copy folder.
TEST_F(Execution, CopyTakesLinksAsLinksAndNeverReadsAPipe) {
  ASSERT_EQ(::symlink("/dev/zero", disk("zero").c_str()), 0);
  ASSERT_EQ(::mkfifo(disk("pipe").c_str(), 0600), 0);
  dir.makeFolder("out");
  options.copy = true;
  options.copyPath = cp(dir / "out");
  PlanList plan = build(makeEditList({{"zero", "表"}, {"pipe", "ソ"}}));
  ASSERT_TRUE(check(plan));
  const RunResult result = run(plan);
  EXPECT_TRUE(result.failed);
  EXPECT_EQ(marks(plan), (std::vector<int>{MarkNone, MarkFailed}));
  EXPECT_EQ(dir.names("out"), std::vector<std::string>{"表"});
  char target[64];
  const ssize_t length = ::readlink((dir / "out/表").c_str(), target, sizeof target);
  EXPECT_EQ(std::string(target, static_cast<std::size_t>(std::max<ssize_t>(length, 0))), "/dev/zero");
}

// Sets the times of `path` itself, a link not followed.
void setOwnTimes(const std::string& path, std::int64_t seconds) {
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// The plan shows a link's own times and attributes, not its target's; a
// time change on a link that points to nothing goes to the link itself,
// which stays a link to nothing under its new name.
TEST_F(Execution, PlanShowsLinksOwnTimesAndTimesADanglingLink) {
  dir.makeFolder("outside");
  dir.writeFile("outside/secret.txt", "secret");
  const std::string secret = dir / "outside/secret.txt";
  ASSERT_EQ(::chmod(secret.c_str(), 0444), 0);
  setOwnTimes(secret, 1300000000);
  ASSERT_EQ(::symlink("../../outside/secret.txt", disk("表.lnk").c_str()), 0);
  setOwnTimes(disk("表.lnk"), 1000000000);
  ASSERT_EQ(::symlink("nowhere", disk("ソ.gone").c_str()), 0);
  setOwnTimes(disk("ソ.gone"), 1100000000);

  PlanList plan = build(makeEditList({{"表.lnk", "表2.lnk"}, {"ソ.gone", "ソ2.gone"}}));
  ASSERT_EQ(plan.rows.size(), 2u);
  EXPECT_EQ(plan.rows[0].modified, TimeConvert::toText(TimeConvert::fromUnixSeconds(1000000000)));
  EXPECT_EQ(plan.rows[1].modified, TimeConvert::toText(TimeConvert::fromUnixSeconds(1100000000)));
  // The target is read-only; the link shows no attribute of its own.
  EXPECT_EQ(plan.rows[0].attrs, "----");

  changeTimesAndAttributes(plan, "----");
  ASSERT_TRUE(check(plan));
  ASSERT_FALSE(run(plan).failed);
  struct stat link{};
  ASSERT_EQ(::lstat(disk("ソ2.gone").c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
  EXPECT_EQ(TimeConvert::toText(TimeConvert::fromUnixSeconds(link.st_mtim.tv_sec)), "2010/05/06 07:08:09");
  EXPECT_NE(::access(disk("ソ2.gone").c_str(), F_OK), 0);
  ASSERT_EQ(::lstat(disk("表2.lnk").c_str(), &link), 0);
  EXPECT_EQ(TimeConvert::toText(TimeConvert::fromUnixSeconds(link.st_mtim.tv_sec)), "2010/05/06 07:08:09");
  struct stat target{};
  ASSERT_EQ(::stat(secret.c_str(), &target), 0);
  EXPECT_EQ(target.st_mtim.tv_sec, 1300000000);
  EXPECT_EQ(target.st_mode & 07777, 0444u);
}

TEST_F(Execution, ConfirmationTexts) {
  PlanList plan;
  plan.setDefaultCaptions();
  options.copy = true;
  options.dummy = true;
  EXPECT_EQ(ExecutionFlow::confirmationText(plan, options),
            "\n以下の処理を実行します\n\n・ リネームあり\n　（コピー/ダミー）\n\n・ 日付変更なし\n\n・ 属性変更なし\n");
  options.copy = false;
  options.force = true;
  plan.markChanged(PlanList::ColAccessed);
  EXPECT_EQ(ExecutionFlow::confirmationText(plan, options),
            "\n以下の処理を実行します\n\n・ リネームあり\n　（強制変更）\n\n・ 日付変更あり\n\n・ 属性変更なし\n");
  plan.renameMode = false;
  plan.markChanged(PlanList::ColAttrs);
  EXPECT_EQ(ExecutionFlow::confirmationText(plan, options),
            "\n以下の処理を実行します\n\n・ リネームなし\n\n・ 日付変更あり\n\n・ 属性変更あり\n");

  settings.msgExec = true;
  ui.answers = {Answer::Cancel};
  EXPECT_TRUE(run(plan).cancelled);
}

TEST_F(Execution, NoRenamingWithTheForceBoxLeftCheckedRollsBackWithoutRenaming) {
  makeFile("@a", 0);
  makeFile("b", 1);
  EditList list;
  list.rows.push_back(EditRow{"", 0, false, {cp("@a")}, ""});
  list.rows.push_back(EditRow{"", 0, false, {cp("b")}, ""});
  PlanList plan = build(list);
  changeTimesAndAttributes(plan);
  options.force = true;
  const FolderState before = state();
  fs.reset();
  fs.failNth(FsOp::SetTimes, 2, EIO);
  EXPECT_EQ(run(plan).code, 12);
  EXPECT_EQ(state(), before);
}

// A failure of every operation of every stage, at the first, a middle and
// the last row: an in-place run leaves the folder as it was, a copy run
// leaves the sources as they were; an older undo file stays untouched.
struct FaultCase {
  const char* label;
  bool copy;
  FsOp op;
  int (*nth)(int row, int rows);  // the failing call for a failure at `row`
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.label; }

class FaultTable : public Execution,
                   public ::testing::WithParamInterface<std::tuple<FaultCase, int>> {};

TEST_P(FaultTable, NothingChanges) {
  const auto& [c, position] = GetParam();
  const std::vector<std::string> names = {"表.txt", "ソ", "a表b", "ソソ.dat", "z"};
  const int rows = static_cast<int>(names.size());
  const int row = position == 0 ? 0 : position == 1 ? rows / 2 : rows - 1;
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < rows; ++i) {
    makeFile(names[i], i, i % 2 ? AttrArchive : AttrArchive | AttrReadOnly);
    pairs.emplace_back(names[i], "x_" + names[i]);
  }
  if (c.copy) {
    dir.makeFolder("out");
    options.copy = true;
    options.copyPath = cp(dir / "out");
  } else {
    options.force = true;
  }
  dir.writeFile("config/Ritoma.und", olderRecord());
  PlanList plan = build(makeEditList(pairs));
  changeTimesAndAttributes(plan);
  ASSERT_TRUE(check(plan));

  const FolderState before = state();
  fs.reset();
  fs.failNth(c.op, c.nth(row, rows), EIO);
  const RunResult result = run(plan);
  ASSERT_TRUE(result.failed);
  EXPECT_EQ(plan.rows[row].mark, MarkFailed);
  FolderState after = state();
  if (c.copy) {
    EXPECT_LT(result.code, 0);  // copies are never rolled back
    // Reading a source may move its access time; nothing else changes.
    for (auto& [name, entry] : after) entry.accessed = before.at(name).accessed;
  } else {
    EXPECT_GE(result.code, 0);  // 0 only for the very first temporary rename
  }
  EXPECT_EQ(after, before);
  EXPECT_EQ(dir.names("config"), (std::vector<std::string>{"Ritoma.und"}));
  EXPECT_EQ(dir.readFile("config/Ritoma.und"), olderRecord());
}

std::string faultCaseName(const ::testing::TestParamInfo<std::tuple<FaultCase, int>>& info) {
  static const char* const kAt[] = {"First", "Middle", "Last"};
  return std::string(std::get<0>(info.param).label) + "At" + kAt[std::get<1>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(
    Stages, FaultTable,
    ::testing::Combine(
        ::testing::Values(
            FaultCase{"TemporaryRename", false, FsOp::Rename, [](int r, int) { return r + 1; }},
            FaultCase{"Rename", false, FsOp::Rename, [](int r, int n) { return n + r + 1; }},
            // The journal looks for an older journal once before the run;
            // each row of the time stage is looked up before and after.
            FaultCase{"TimesLookUp", false, FsOp::Stat, [](int r, int) { return 2 * r + 2; }},
            FaultCase{"TimesReadBack", false, FsOp::Stat, [](int r, int) { return 2 * r + 3; }},
            // The rows that fail (first, middle, last: even) are read-only,
            // and so every other row before them: the time stage clears
            // and restores their R.
            FaultCase{"TimesClearReadOnly", false, FsOp::SetAttributes, [](int r, int) { return r + 1; }},
            FaultCase{"TimesOpen", false, FsOp::OpenRead, [](int r, int) { return r + 1; }},
            FaultCase{"TimesSet", false, FsOp::SetTimes, [](int r, int) { return r + 1; }},
            FaultCase{"TimesRestoreReadOnly", false, FsOp::SetAttributes, [](int r, int) { return r + 2; }},
            FaultCase{"SetAttributes", false, FsOp::SetAttributes, [](int r, int n) { return 2 * ((n + 1) / 2) + r + 1; }},
            FaultCase{"AttributesReadBack", false, FsOp::Stat, [](int r, int n) { return 2 * n + 1 + r + 1; }},
            FaultCase{"Copy", true, FsOp::CopyFile, [](int r, int) { return r + 1; }},
            FaultCase{"CopyTimesOpen", true, FsOp::OpenRead, [](int r, int) { return r + 1; }},
            FaultCase{"CopyTimesSet", true, FsOp::SetTimes, [](int r, int) { return r + 1; }},
            FaultCase{"CopySetAttributes", true, FsOp::SetAttributes, [](int r, int n) { return 2 * ((n + 1) / 2) + r + 1; }}),
        ::testing::Values(0, 1, 2)),
    faultCaseName);

struct UndoFault {
  const char* label;
  FsOp op;
};

void PrintTo(const UndoFault& f, std::ostream* os) { *os << f.label; }

class UndoWriteFailure : public Execution, public ::testing::WithParamInterface<UndoFault> {};

TEST_P(UndoWriteFailure, IsReportedAndTheOlderRecordIsGone) {
  makeFile("a");
  dir.writeFile("config/Ritoma.und", olderRecord());
  PlanList plan = build(makeEditList({{"a", "b"}}));
  ASSERT_TRUE(check(plan));
  fs.reset();
  fs.failMatching(GetParam().op, "*/config/Ritoma.und*", ENOSPC);
  const RunResult result = run(plan);
  EXPECT_FALSE(result.failed);
  EXPECT_EQ(dir.names("work"), (std::vector<std::string>{"b"}));
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"UNDO情報を書き込めませんでした"}));
  EXPECT_TRUE(dir.names("config").empty());
}

INSTANTIATE_TEST_SUITE_P(Calls, UndoWriteFailure,
                         ::testing::Values(UndoFault{"Open", FsOp::OpenWrite}, UndoFault{"Write", FsOp::Write},
                                           UndoFault{"Close", FsOp::Close}, UndoFault{"Rename", FsOp::Rename}),
                         [](const auto& info) { return std::string(info.param.label); });

// The record is prepared before anything changes; a run that fails is
// rolled back, so the older record must come through it as it was.
class UndoPrepareFailure : public Execution, public ::testing::WithParamInterface<UndoFault> {};

TEST_P(UndoPrepareFailure, FailedRunKeepsTheOlderRecord) {
  makeFile("表");
  makeFile("ソ", 1);
  dir.writeFile("config/Ritoma.und", olderRecord());
  PlanList plan = build(makeEditList({{"表", "x"}, {"ソ", "y"}}));
  ASSERT_TRUE(check(plan));
  const FolderState before = state();
  fs.reset();
  fs.failMatching(GetParam().op, "*/config/Ritoma.und*", ENOSPC);
  fs.failNth(FsOp::Rename, 2, EIO);
  const RunResult result = run(plan);
  EXPECT_EQ(result.code, 11);
  EXPECT_EQ(state(), before);
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{std::string(ExecutionFlow::RollBackText) + "\n\nソ: ディスクの読み書きに失敗しました"}));
  ASSERT_EQ(dir.names("config"), (std::vector<std::string>{"Ritoma.und"}));
  EXPECT_EQ(dir.readFile("config/Ritoma.und"), olderRecord());
}

INSTANTIATE_TEST_SUITE_P(Calls, UndoPrepareFailure,
                         ::testing::Values(UndoFault{"Open", FsOp::OpenWrite}, UndoFault{"Write", FsOp::Write},
                                           UndoFault{"Close", FsOp::Close}),
                         [](const auto& info) { return std::string(info.param.label); });

// A folder that takes no new file: with an older record, which could not
// be removed after the run either, nothing is done; without one the crash
// journal cannot be written there, and nothing is done either.
struct UnwritableCase {
  const char* label;
  bool olderRecord;
  bool refused;
  std::vector<std::string> work;
  std::vector<std::string> messages;
};

void PrintTo(const UnwritableCase& c, std::ostream* os) { *os << c.label; }

class UnwritableUndoFolder : public Execution, public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(UnwritableUndoFolder, RefusesOnlyWhatWouldLeaveAStaleRecord) {
  const UnwritableCase& c = GetParam();
  makeFile("a");
  if (c.olderRecord) dir.writeFile("config/Ritoma.und", olderRecord());
  PlanList plan = build(makeEditList({{"a", "b"}}));
  ASSERT_TRUE(check(plan));
  fs.reset();
  fs.failMatching(FsOp::OpenWrite, "*/config/*", EROFS);
  fs.failMatching(FsOp::Remove, "*/config/*", EROFS);
  fs.markUnwritable("*/config");
  const RunResult result = run(plan);
  EXPECT_EQ(result.failed, c.refused);
  EXPECT_EQ(dir.names("work"), c.work);
  EXPECT_EQ(ui.messages, c.messages);
  if (c.olderRecord) EXPECT_EQ(dir.readFile("config/Ritoma.und"), olderRecord());
  else EXPECT_TRUE(dir.names("config").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnwritableUndoFolder,
    ::testing::Values(UnwritableCase{"OlderRecord", true, true, {"a"}, {"UNDO情報を更新できないため処理を中止します"}},
                      UnwritableCase{"NoOlderRecord", false, true, {"a"}, {"中断に備えた記録を書き込めないため処理を中止します"}}),
    [](const auto& info) { return std::string(info.param.label); });

// The new record cannot be put in place after the run, nor the older one
// removed: the user is told not to trust "UNDO".
TEST_F(Execution, OlderRecordThatCannotBeRemovedAfterTheRunIsNamed) {
  makeFile("a");
  dir.writeFile("config/Ritoma.und", olderRecord());
  PlanList plan = build(makeEditList({{"a", "b"}}));
  ASSERT_TRUE(check(plan));
  fs.reset();
  fs.failMatching(FsOp::Rename, "*/config/Ritoma.und", EIO);
  fs.failMatching(FsOp::Remove, "*/config/Ritoma.und", EIO);
  const RunResult result = run(plan);
  EXPECT_FALSE(result.failed);
  EXPECT_EQ(dir.names("work"), (std::vector<std::string>{"b"}));
  EXPECT_EQ(ui.messages, (std::vector<std::string>{
                             "UNDO情報を書き込めませんでした\n以前のUNDO情報を削除できませんでした\n"
                             "UNDOは使用しないでください"}));
  EXPECT_EQ(dir.names("config"), (std::vector<std::string>{"Ritoma.und"}));
}

}  // namespace
}  // namespace ritoma::test
