#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "ExecutionTestSupport.h"
#include "execution/ExecutionFlow.h"
#include "execution/UndoFile.h"
#include "execution/UndoFlow.h"
#include "execution/UndoHistory.h"
#include "execution/JournalRecovery.h"

namespace ritoma::test {
namespace {

UndoLog sampleLog() {
  UndoLog log;
  log.folder = "/tmp/表/";
  log.records.push_back({"ソ.txt", "表.txt", true, "2001/02/03 04:05:06", "2002/02/03 04:05:06",
                         "2003/02/03 04:05:06", "--RA"});
  log.records.push_back({"d2", "d", false, "", "", "", ""});
  return log;
}

TEST(UndoFileFormat, LayoutAndRoundTrip) {
  const auto bytes = UndoFile::encode(sampleLog());
  ASSERT_TRUE(bytes);
  const std::string folder = "/tmp/表/";
  std::string expected;
  expected += static_cast<char>(folder.size());
  expected += '\0';
  expected += folder;
  expected += std::string("\x02\x00", 2);
  expected += std::string("\x07\x00", 2) + "ソ.txt" + std::string("\x07\x00", 2) + "表.txt" + "\x01";
  expected += "2001/02/03 04:05:062002/02/03 04:05:062003/02/03 04:05:06--RA";
  expected += std::string("\x02\x00", 2) + "d2" + std::string("\x01\x00", 2) + "d" + std::string(1, '\0');
  EXPECT_EQ(*bytes, expected);

  UndoLog back;
  ASSERT_EQ(UndoFile::decode(*bytes, back), UndoFile::Status::Ok);
  EXPECT_EQ(back.folder, folder);
  ASSERT_EQ(back.records.size(), 2u);
  EXPECT_EQ(back.records[0].oldName, "表.txt");
  EXPECT_EQ(back.records[0].accessed, "2003/02/03 04:05:06");
  EXPECT_EQ(back.records[0].attrs, "--RA");
  EXPECT_FALSE(back.records[1].isFile);

  // Any kind other than 0 is a file record.
  std::string otherKind = *bytes;
  const std::size_t kind = 2 + folder.size() + 2 + 2 + 7 + 2 + 7;
  ASSERT_EQ(otherKind[kind], '\x01');
  otherKind[kind] = '\x02';
  ASSERT_EQ(UndoFile::decode(otherKind, back), UndoFile::Status::Ok);
  EXPECT_TRUE(back.records[0].isFile);
  EXPECT_EQ(back.records[0].attrs, "--RA");
}

TEST(UndoFileFormat, EveryDamageIsRecognised) {
  const std::string good = *UndoFile::encode(sampleLog());
  UndoLog log;
  EXPECT_EQ(UndoFile::decode("", log), UndoFile::Status::Empty);
  for (std::size_t n = 1; n < good.size(); ++n)
    EXPECT_EQ(UndoFile::decode(good.substr(0, n), log), UndoFile::Status::Damaged) << "cut at " << n;
  EXPECT_EQ(UndoFile::decode(good + "x", log), UndoFile::Status::Damaged);
  EXPECT_TRUE(log.records.empty());

  // Names that leave the folder and texts the run could not apply.
  for (const auto& [label, edit] : std::vector<std::pair<std::string, std::function<void(UndoLog&)>>>{
           {"ParentName", [](UndoLog& l) { l.records[0].oldName = ".."; }},
           {"PathName", [](UndoLog& l) { l.records[0].newName = "../x"; }},
           {"EmptyName", [](UndoLog& l) { l.records[1].oldName = ""; }},
           {"RelativeFolder", [](UndoLog& l) { l.folder = "tmp/表/"; }},
           {"FolderWithoutSlash", [](UndoLog& l) { l.folder = "/tmp/表"; }},
           {"BadTime", [](UndoLog& l) { l.records[0].created = "2001/02/30 04:05:06"; }},
           {"BadAttrs", [](UndoLog& l) { l.records[0].attrs = "RRRR"; }}}) {
    UndoLog bad = sampleLog();
    edit(bad);
    const auto bytes = UndoFile::encode(bad);
    ASSERT_TRUE(bytes) << label;
    EXPECT_EQ(UndoFile::decode(*bytes, log), UndoFile::Status::Damaged) << label;
  }
}

TEST(UndoFileFormat, RefusesWhatItCannotRecord) {
  UndoLog log = sampleLog();
  log.records[0].modified = "12345/02/03 04:05:06";
  EXPECT_FALSE(UndoFile::encode(log));
  log = sampleLog();
  log.records[1].newName = std::string(65536, 'x');
  EXPECT_FALSE(UndoFile::encode(log));
}

// The layout every undo file had while the count took two bytes, written
// field by field as the format describes it.
std::string oldLayout(const UndoLog& log) {
  auto u16 = [](std::size_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; };
  auto pad = [](const std::string& text, std::size_t size) { return text + std::string(size - text.size(), ' '); };
  std::string out = u16(log.folder.size()) + log.folder + u16(log.records.size());
  for (const auto& r : log.records) {
    out += u16(r.newName.size()) + r.newName + u16(r.oldName.size()) + r.oldName;
    out += r.isFile ? '\x01' : '\x00';
    if (r.isFile) out += pad(r.created, 19) + pad(r.modified, 19) + pad(r.accessed, 19) + pad(r.attrs, 4);
  }
  return out;
}

// `count` records alternating between the two of sampleLog(), each with a
// name of its own.
UndoLog logOf(std::size_t count) {
  const UndoLog sample = sampleLog();
  UndoLog log;
  log.folder = sample.folder;
  log.records.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    UndoRecord record = sample.records[i % 2];
    record.newName += std::to_string(i);
    log.records.push_back(std::move(record));
  }
  return log;
}

// Where the count field starts in a file of sampleLog()'s folder.
constexpr std::size_t kCountAt = 2 + 9;

TEST(UndoFileFormat, CountTakesTheEscapeFrom65535Records) {
  struct Case {
    const char* name;
    std::size_t records;
    bool escaped;
  };
  for (const Case& c : {Case{"NoRecords", 0, false}, Case{"Rows65534SameAsBefore", 65534, false},
                        Case{"Rows65535Escaped", 65535, true}, Case{"Rows70000Escaped", 70000, true}}) {
    SCOPED_TRACE(c.name);
    const UndoLog log = logOf(c.records);
    const auto bytes = UndoFile::encode(log);
    ASSERT_TRUE(bytes);
    const std::string old = oldLayout(log);
    if (c.escaped) {
      std::string expected = old;
      const std::uint32_t n = static_cast<std::uint32_t>(c.records);
      expected.replace(kCountAt, 2, std::string{'\xFF', '\xFF', static_cast<char>(n & 0xFF),
                                                static_cast<char>((n >> 8) & 0xFF),
                                                static_cast<char>((n >> 16) & 0xFF),
                                                static_cast<char>(n >> 24)});
      EXPECT_EQ(*bytes, expected);
    } else {
      EXPECT_EQ(*bytes, old);
    }
    UndoLog back;
    ASSERT_EQ(UndoFile::decode(*bytes, back), UndoFile::Status::Ok);
    ASSERT_EQ(back.records.size(), c.records);
    if (c.records > 0) {
      EXPECT_EQ(back.records.back().newName, log.records.back().newName);
      EXPECT_EQ(back.records.back().isFile, log.records.back().isFile);
    }
  }
}

TEST(UndoFileFormat, OlderFileOf65535RecordsStillReads) {
  // Written before the escape existed: 0xFFFF is the plain count there.
  const UndoLog log = logOf(65535);
  UndoLog back;
  ASSERT_EQ(UndoFile::decode(oldLayout(log), back), UndoFile::Status::Ok);
  ASSERT_EQ(back.records.size(), 65535u);
  EXPECT_EQ(back.records[0].newName, log.records[0].newName);
  EXPECT_EQ(back.records.back().newName, log.records.back().newName);
}

TEST(UndoFileFormat, CountsBeyondTheRecordsAreDamage) {
  const std::string two = *UndoFile::encode(sampleLog());
  const std::string body = two.substr(kCountAt + 2);
  auto withCount = [&](std::string count) { return two.substr(0, kCountAt) + count + body; };
  auto wide = [](std::uint32_t n) {
    return std::string{'\xFF', '\xFF', static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                       static_cast<char>((n >> 16) & 0xFF), static_cast<char>(n >> 24)};
  };
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"ShortCountOneTooMany", withCount(std::string("\x03\x00", 2))},
           {"ShortCountOneTooFew", withCount(std::string("\x01\x00", 2))},
           {"EscapeAlone", withCount(std::string("\xFF\xFF", 2))},
           {"WideCountOfTwo", withCount(wide(2))},
           {"WideCountHuge", withCount(wide(0xFFFFFFFF))},
           {"WideCountJustAboveEscape", withCount(wide(65536))},
           {"WideCountCut", two.substr(0, kCountAt) + std::string("\xFF\xFF\x00", 3)}}) {
    UndoLog log;
    EXPECT_EQ(UndoFile::decode(bytes, log), UndoFile::Status::Damaged) << name;
    EXPECT_TRUE(log.records.empty()) << name;
  }
}

class Undo : public FolderFixture {
protected:
  FolderPlanEngine engine{fs, progress, settings, undoPath()};
  UndoFlow flow{fs, ui, undoPath()};

  void SetUp() override {
    FolderFixture::SetUp();
    settings.msgExec = false;
  }

  RunResult run(PlanList& plan) {
    EXPECT_TRUE(engine.check(plan, options, true).passed);
    return ExecutionFlow(ui, settings).run(engine, plan, options, 0);
  }

  // "UNDO": load, open the folder, build the reverse plan.
  std::optional<PlanList> reversePlan(EditList& edit) {
    const auto log = flow.load();
    if (!log) return std::nullopt;
    FolderSelection selection(fs, work());
    PlanList plan;
    if (flow.buildReversePlan(*log, selection, edit, plan) != UndoFlow::Built::Ok) return std::nullopt;
    return plan;
  }
};

TEST_F(Undo, ForcedBatchGoesStraightBackAndLeavesNoRecord) {
  makeFile("表.txt", 1, AttrArchive, "A");
  makeFile("ソ.txt", 2, AttrReadOnly, "B");
  makeFolder("d");
  const FolderState before = state();
  options.force = true;
  settings.chkForce = false;
  PlanList plan = build(makeEditList({{"表.txt", "ソ.txt"}, {"ソ.txt", "表.txt"}, {"d", "e"}}, {"d"}));
  TimeChange change;
  change.text = "2020/01/01 00:00:00";
  change.target = {true, true, true};
  change.all = {true, true, true};
  plan.applyTimeChange(change, {});
  plan.applyAttributeChange("SH-A", true, {});
  ASSERT_FALSE(run(plan).failed);
  const FolderState forward = state();

  EditList edit;
  auto reverse = reversePlan(edit);
  ASSERT_TRUE(reverse);
  ASSERT_EQ(reverse->rows.size(), 3u);
  EXPECT_EQ(reverse->rows[0].oldName, cp("ソ.txt"));
  EXPECT_EQ(reverse->rows[0].newName, cp("表.txt"));
  EXPECT_EQ(reverse->rows[2].oldName, cp("e"));
  EXPECT_TRUE(reverse->rows[2].isFolderRow());
  EXPECT_EQ(reverse->rows[2].image, 1);
  for (std::size_t c = 3; c <= 6; ++c) EXPECT_TRUE(reverse->isChanged(c)) << c;
  EXPECT_EQ(edit.stageCount(), 1u);
  EXPECT_EQ(edit.folderCount, 1);
  EXPECT_EQ(edit.nameAt(1, 2), cp("ソ.txt"));

  // Force change is still on: the swap runs through temporary names.
  ASSERT_FALSE(run(*reverse).failed);
  EXPECT_EQ(state(), before);
  EXPECT_NE(state(), forward);

  // The reverse run took the record out and recorded none of its own.
  EXPECT_TRUE(dir.names("config").empty());
  EditList again;
  EXPECT_FALSE(reversePlan(again));
  EXPECT_EQ(ui.messages.back(), UndoFlow::NoInfoText);
}

TEST_F(Undo, BatchesBeyondTheOldCountAreRecordedAndUndone) {
  // One folder of 70,000 files, one name in three with 表 (trail byte
  // 0x5C in code page 932); each case renames the first `rows` of them.
  constexpr std::size_t kFiles = 70000;
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::size_t i = 0; i < kFiles; ++i) {
    const std::string name = (i % 3 == 0 ? "表" : "f") + std::to_string(i);
    dir.writeFile("work/" + name);
    pairs.emplace_back(name, "x_" + name);
  }
  const std::vector<std::string> before = dir.names("work");
  struct Case {
    const char* name;
    std::size_t rows;
    bool escaped;
  };
  for (const Case& c : {Case{"Rows65534SameLayoutAsBefore", 65534, false}, Case{"Rows70000Escaped", 70000, true}}) {
    SCOPED_TRACE(c.name);
    PlanList plan = build(makeEditList({pairs.begin(), pairs.begin() + static_cast<std::ptrdiff_t>(c.rows)}));
    UndoLog expected;
    expected.folder = work() + "/";
    for (const PlanRow& row : plan.rows)
      expected.records.push_back({TextCodec::toDisk(row.newName), TextCodec::toDisk(row.oldName), true,
                                  row.created, row.modified, row.accessed, row.attrs});
    ASSERT_FALSE(run(plan).failed);

    std::string bytes;
    ASSERT_FALSE(real.readWholeFile(undoPath(), bytes));
    const std::string old = oldLayout(expected);
    const std::size_t count = 2 + expected.folder.size();
    if (c.escaped) {
      const std::uint32_t n = static_cast<std::uint32_t>(c.rows);
      EXPECT_EQ(bytes.substr(0, count), old.substr(0, count));
      EXPECT_EQ(bytes.substr(count, 6), (std::string{'\xFF', '\xFF', static_cast<char>(n & 0xFF),
                                                      static_cast<char>((n >> 8) & 0xFF),
                                                      static_cast<char>(n >> 16), '\0'}));
      EXPECT_EQ(bytes.substr(count + 6), old.substr(count + 2));
    } else {
      EXPECT_EQ(bytes, old);
    }

    // Read back by "UNDO", which renames every file back.
    const auto log = flow.load();
    ASSERT_TRUE(log);
    ASSERT_EQ(log->records.size(), c.rows);
    EXPECT_EQ(log->records.back().oldName, expected.records.back().oldName);
    EditList edit;
    auto reverse = reversePlan(edit);
    ASSERT_TRUE(reverse);
    ASSERT_EQ(reverse->rows.size(), c.rows);
    ASSERT_FALSE(run(*reverse).failed);
    EXPECT_EQ(dir.names("work"), before);
  }
}

TEST_F(Undo, PressedTwiceBuildsTheSamePlan) {
  makeFile("a");
  PlanList plan = build(makeEditList({{"a", "表"}}));
  ASSERT_FALSE(run(plan).failed);
  EditList first, second;
  auto one = reversePlan(first);
  auto two = reversePlan(second);
  ASSERT_TRUE(one && two);
  ASSERT_EQ(one->rows.size(), 1u);
  EXPECT_EQ(two->rows.size(), 1u);
  EXPECT_EQ(one->rows[0].oldName, two->rows[0].oldName);
  EXPECT_EQ(one->rows[0].newName, cp("a"));
  EXPECT_EQ(two->rows[0].newName, cp("a"));
  EXPECT_EQ(one->rows[0].created, two->rows[0].created);
}

// However many files are missing, one question names the first and the count.
TEST_F(Undo, MissingFilesAreAskedAboutOnce) {
  for (const char* name : {"a", "b", "c", "d"}) makeFile(name);
  PlanList plan = build(makeEditList({{"a", "x"}, {"b", "ソ"}, {"c", "表"}, {"d", "z"}}));
  ASSERT_FALSE(run(plan).failed);
  std::filesystem::remove(disk("ソ"));
  std::filesystem::remove(disk("表"));

  ui.answers = {Answer::Yes};
  EditList edit;
  auto reverse = reversePlan(edit);
  ASSERT_TRUE(reverse);
  EXPECT_EQ(ui.questions, (std::vector<std::string>{"ソ ほか1個\nファイルが見つかりません\n続行しますか？"}));
  EXPECT_EQ(ui.questionLooks, (std::vector<MessageKind>{MessageKind::Warning}));
  ASSERT_EQ(reverse->rows.size(), 2u);
  EXPECT_EQ(reverse->rows[1].oldName, "z");
  EXPECT_EQ(edit.rows.size(), 2u);

  ui.answers = {Answer::No};
  ui.questions.clear();
  EditList declined;
  const FolderState before = state();
  EXPECT_FALSE(reversePlan(declined));
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_TRUE(declined.rows.empty());
  EXPECT_EQ(state(), before);

  // One missing file is asked about by its name alone.
  makeFile("表");
  ui.answers = {Answer::Yes};
  ui.questions.clear();
  EditList one;
  ASSERT_TRUE(reversePlan(one));
  EXPECT_EQ(ui.questions, (std::vector<std::string>{"ソ\nファイルが見つかりません\n続行しますか？"}));
}

// When none of the files is there, nothing is asked, the user is told, and
// the record stays as it was for a later try.
TEST_F(Undo, NoFileFoundKeepsTheRecord) {
  makeFile("表");
  makeFile("ソ");
  PlanList plan = build(makeEditList({{"表", "a"}, {"ソ", "b"}}));
  ASSERT_FALSE(run(plan).failed);
  std::filesystem::remove(disk("a"));
  std::filesystem::remove(disk("b"));
  const std::string record = dir.readFile("config/Ritoma.und");
  const auto log = flow.load();
  ASSERT_TRUE(log);
  FolderSelection selection(fs, work());
  EditList edit;
  PlanList reverse;
  EXPECT_EQ(flow.buildReversePlan(*log, selection, edit, reverse), UndoFlow::Built::NoneFound);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"UNDOするファイルが見つかりません\n" + work() +
                                                   "/\n2個のファイルがありません\nUNDO情報は残します"}));
  EXPECT_EQ(flow.missing(), (std::vector<std::string>{cp("a"), cp("b")}));
  EXPECT_TRUE(reverse.rows.empty());
  EXPECT_TRUE(edit.rows.empty());
  EXPECT_EQ(dir.readFile("config/Ritoma.und"), record);
}

// A record whose rows go back to one name is refused before anything is
// renamed; so is one that would return a file to one of the program's own
// names beside the record.
TEST_F(Undo, NamesToReturnToPassTheRenameCheck) {
  for (const auto& [where, back] : {std::pair{std::string("work"), std::pair{"same", "SAME"}},
                                    std::pair{std::string("config"), std::pair{"表", "Ritoma.ini"}}}) {
    dir.writeFile(where + "/a", "a");
    dir.writeFile(where + "/b", "b");
    UndoLog log;
    log.folder = dir / (where + "/");
    log.records.push_back({"a", back.first, false, "", "", "", ""});
    log.records.push_back({"b", back.second, false, "", "", "", ""});
    dir.writeFile("config/Ritoma.und", *UndoFile::encode(log));
    const auto loaded = flow.load();
    ASSERT_TRUE(loaded) << where;
    FolderSelection selection(fs, dir / where);
    EditList edit;
    PlanList reverse;
    ui.messages.clear();
    EXPECT_EQ(flow.buildReversePlan(*loaded, selection, edit, reverse), UndoFlow::Built::NamesRefused)
        << where;
    EXPECT_FALSE(flow.nameCheck().passed());
    EXPECT_TRUE(reverse.rows.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].starts_with("元に戻すファイル名が正しくないため処理を中止します")) << where;
    EXPECT_EQ(dir.readFile(where + "/a"), "a");
  }
}

// While an interrupted run waits to be put back, UNDO refuses.
TEST_F(Undo, RefusedWhileAnInterruptedRunWaits) {
  makeFile("表");
  PlanList plan = build(makeEditList({{"表", "ソ"}}));
  ASSERT_FALSE(run(plan).failed);
  dir.writeFile("config/Ritoma.jnl", "pending");
  EXPECT_FALSE(flow.load());
  EXPECT_EQ(ui.messages, (std::vector<std::string>{UndoFlow::JournalPendingText}));
}

// A user's file that took the record's name is not an earlier record: the
// run keeps it and says the record was not written.
TEST_F(Undo, FileUnderTheRecordsNameThatIsNoRecordIsKept) {
  dir.writeFile("config/Ritoma.und", "my notes");
  makeFile("表");
  PlanList plan = build(makeEditList({{"表", "ソ"}}));
  const RunResult result = run(plan);
  EXPECT_FALSE(result.failed);
  EXPECT_NE(result.undoWarning.find("UNDO情報を書き込めませんでした"), std::string::npos);
  EXPECT_EQ(dir.readFile("config/Ritoma.und"), "my notes");
  EXPECT_EQ(dir.names("config"), std::vector<std::string>{"Ritoma.und"});
}

TEST_F(Undo, NothingToUndo) {
  EXPECT_FALSE(flow.load());  // no file
  dir.writeFile("config/Ritoma.und", "");
  EXPECT_FALSE(flow.load());
  dir.writeFile("config/Ritoma.und", "\x05");  // damaged
  EXPECT_FALSE(flow.load());
  EXPECT_EQ(ui.messages, (std::vector<std::string>{UndoFlow::NoInfoText, UndoFlow::NoInfoText,
                                                   UndoFlow::DamagedText}));
  EXPECT_EQ(dir.readFile("config/Ritoma.und"), "\x05");
}

// A record no run writes is refused unread (sparse, so the test stays small)
// and kept as it is.
TEST_F(Undo, OversizedRecordIsRefusedUnread) {
  dir.writeFile("config/Ritoma.und", "\x05");
  ASSERT_EQ(::truncate(undoPath().c_str(), UndoFlow::MaxSize + 1), 0);
  EXPECT_FALSE(flow.load());
  EXPECT_EQ(ui.messages, (std::vector<std::string>{UndoFlow::TooLargeText}));
  struct stat st{};
  ASSERT_EQ(::stat(undoPath().c_str(), &st), 0);
  EXPECT_EQ(static_cast<std::uint64_t>(st.st_size), UndoFlow::MaxSize + 1);
}

TEST_F(Undo, VanishedFolderOffersToDeleteTheRecord) {
  UndoLog log;
  log.folder = dir / "gone/";
  log.records.push_back({"b", "a", false, "", "", "", ""});
  dir.writeFile("config/Ritoma.und", *UndoFile::encode(log));
  ui.answers = {Answer::No};
  EXPECT_FALSE(flow.load());
  EXPECT_EQ(ui.messages, (std::vector<std::string>{log.folder + "\nUNDO情報のパスが存在しません\n処理を中止します"}));
  EXPECT_EQ(ui.questions, (std::vector<std::string>{"UNDO情報を削除しますか？"}));
  EXPECT_EQ(ui.questionLooks, (std::vector<MessageKind>{MessageKind::Error}));
  EXPECT_TRUE(dir.exists("config/Ritoma.und"));
  ui.answers = {Answer::Yes};
  EXPECT_FALSE(flow.load());
  EXPECT_FALSE(dir.exists("config/Ritoma.und"));
}

// --- the history of batches ---------------------------------------------------

class UndoHistoryRuns : public Undo {
protected:
  // "UNDO" and "実行" of its plan; false when there was nothing to undo.
  bool undoLatest() {
    EditList edit;
    auto reverse = reversePlan(edit);
    if (!reverse) return false;
    const RunResult result = run(*reverse);
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.undoWarning, "");
    return !result.failed;
  }
  // One batch on the work folder, renaming by the pairs (UTF-8), with
  // `time` on every file and the attributes `attrs` when given.
  void batch(const std::vector<std::pair<std::string, std::string>>& pairs, const char* time = nullptr,
             const char* attrs = nullptr) {
    PlanList plan = build(makeEditList(pairs));
    if (time) {
      TimeChange change;
      change.text = time;
      change.target = {true, true, true};
      change.all = {true, true, true};
      ASSERT_TRUE(plan.applyTimeChange(change, {}));
    }
    if (attrs) plan.applyAttributeChange(attrs, true, {});
    const RunResult result = run(plan);
    ASSERT_FALSE(result.failed);
    ASSERT_EQ(result.undoWarning, "");
  }
  std::size_t kept() { return UndoHistory(real, undoPath()).entries().size(); }
};

// Three batches on one folder (a chain, a swap through temporary names,
// times and attributes) are undone in turn, each back to the names, times,
// attributes and contents it found.
TEST_F(UndoHistoryRuns, ThreeBatchesWalkBackToTheOriginalByteForByte) {
  makeFile("表.txt", 1, AttrArchive, "A");
  makeFile("ソ.txt", 2, AttrReadOnly, "B");
  makeFile("c", 3, AttrArchive | AttrHidden, "C");
  settings.chkForce = false;
  std::vector<FolderState> states{state()};
  batch({{"表.txt", "x表.txt"}, {"c", "表.txt"}});
  states.push_back(state());
  options.force = true;
  batch({{"x表.txt", "ソ.txt"}, {"ソ.txt", "x表.txt"}}, "2020/01/02 03:04:05", "-H-A");
  options.force = false;
  states.push_back(state());
  batch({{"表.txt", "ソ2"}, {"ソ.txt", "表.txt"}}, "2021/05/06 07:08:09");
  EXPECT_EQ(kept(), 3u);
  EXPECT_EQ(dir.names("config"), (std::vector<std::string>{"Ritoma.und", "Ritoma.und.1", "Ritoma.und.2"}));

  // The swap needs temporary names back as well.
  options.force = true;
  for (std::size_t left = 3; left-- > 0;) {
    SCOPED_TRACE(left);
    ASSERT_TRUE(undoLatest());
    EXPECT_EQ(state(), states[left]);
    EXPECT_EQ(kept(), left);
  }
  EXPECT_TRUE(dir.names("config").empty());
  EXPECT_FALSE(undoLatest());
  EXPECT_EQ(ui.messages.back(), UndoFlow::NoInfoText);
}

// A batch run after an UNDO goes on top of what is left; the undone record
// is gone for good (there is no redo).
TEST_F(UndoHistoryRuns, NewBatchAfterAnUndoDropsTheUndoneRecord) {
  makeFile("表", 1);
  const FolderState original = state();
  batch({{"表", "a"}});
  batch({{"a", "b"}});
  ASSERT_TRUE(undoLatest());
  batch({{"a", "ソ"}});
  EXPECT_EQ(kept(), 2u);
  EditList edit;
  const auto latest = reversePlan(edit);
  ASSERT_TRUE(latest);
  ASSERT_EQ(latest->rows.size(), 1u);
  EXPECT_EQ(latest->rows[0].oldName, cp("ソ"));
  ASSERT_TRUE(undoLatest());
  ASSERT_TRUE(undoLatest());
  EXPECT_EQ(state(), original);
  EXPECT_FALSE(undoLatest());
}

// Ten batches are kept; the eleventh and twelfth push the oldest out.
TEST_F(UndoHistoryRuns, KeepsTheLastTenBatches) {
  makeFile("n0");
  for (int i = 0; i < 12; ++i) batch({{"n" + std::to_string(i), "n" + std::to_string(i + 1)}});
  EXPECT_EQ(kept(), UndoHistory::MaxRecords);
  for (std::size_t i = 0; i < UndoHistory::MaxRecords; ++i) ASSERT_TRUE(undoLatest()) << i;
  EXPECT_EQ(dir.names("work"), std::vector<std::string>{"n2"});
  EXPECT_FALSE(undoLatest());
}

// A record written before there was a history stays the latest until the
// next batch, then moves back a place as it is, and is undone in its turn.
TEST_F(UndoHistoryRuns, RecordOfAnOlderVersionStillReadsAndMovesBack) {
  makeFile("ソ", 1);
  UndoLog older;
  older.folder = work() + "/";
  older.records.push_back({"ソ", "表", true, "2001/02/03 04:05:06", "2002/02/03 04:05:06",
                           "2003/02/03 04:05:06", "--RA"});
  const std::string bytes = oldLayout(older);
  dir.writeFile("config/Ritoma.und", bytes);
  batch({{"ソ", "x"}});
  EXPECT_EQ(dir.readFile("config/Ritoma.und.1"), bytes);
  ASSERT_TRUE(undoLatest());
  EXPECT_EQ(dir.readFile("config/Ritoma.und"), bytes);
  ASSERT_TRUE(undoLatest());
  const FolderState now = state();
  ASSERT_EQ(now.size(), 1u);
  EXPECT_EQ(now.at("表").modified, *TimeConvert::fromText("2002/02/03 04:05:06"));
  EXPECT_EQ(now.at("表").attributes & AttrReadOnly, AttrReadOnly);
}

// A run that was put back by the recovery leaves the history as it found
// it: the record a batch put on top goes again, and a record its undo had
// taken out comes back as the latest.
TEST_F(UndoHistoryRuns, RecoveredRunLeavesTheHistoryAsItWas) {
  makeFile("表", 1);
  batch({{"表", "a"}});
  const std::string first = dir.readFile("config/Ritoma.und");
  const FolderState afterFirst = state();
  fs.failMatching(FsOp::Remove, "*/config/Ritoma.jnl", EIO);
  auto recover = [&] {
    JournalRecovery recovery(real, dir / "config/Ritoma.jnl");
    ASSERT_EQ(recovery.load(), JournalRecovery::Load::Ok);
    ASSERT_TRUE(recovery.recover());
  };

  // Killed after its record was in place: the journal stays.
  batch({{"a", "ソ"}});
  ASSERT_EQ(kept(), 2u);
  recover();
  EXPECT_EQ(state(), afterFirst);
  EXPECT_EQ(dir.names("config"), std::vector<std::string>{"Ritoma.und"});
  EXPECT_EQ(dir.readFile("config/Ritoma.und"), first);

  // Killed after its undo took the record out.
  ASSERT_TRUE(undoLatest());
  EXPECT_EQ(dir.names("config"), (std::vector<std::string>{"Ritoma.jnl", "Ritoma.und.undone"}));
  recover();
  EXPECT_EQ(state(), afterFirst);
  EXPECT_EQ(dir.names("config"), std::vector<std::string>{"Ritoma.und"});
  EXPECT_EQ(dir.readFile("config/Ritoma.und"), first);
}

// A reverse plan reverses the record it was made from: when another run
// recorded a batch in the meantime, its run leaves the history alone.
TEST_F(UndoHistoryRuns, ReverseRunLeavesAHistoryChangedSinceAlone) {
  makeFile("表");
  makeFile("ソ");
  batch({{"表", "a"}});
  EditList edit;
  auto reverse = reversePlan(edit);
  ASSERT_TRUE(reverse);
  batch({{"ソ", "b"}});
  const std::string latest = dir.readFile("config/Ritoma.und");
  const RunResult result = run(*reverse);
  EXPECT_FALSE(result.failed);
  EXPECT_EQ(result.undoWarning, "UNDO情報がほかの処理で更新されているため\nUNDO情報はそのまま残します");
  EXPECT_EQ(dir.readFile("config/Ritoma.und"), latest);
  EXPECT_EQ(kept(), 2u);
}

// --- the rotation, cut short ----------------------------------------------------

// A record of its own for each number.
std::string recordNo(int n) {
  UndoLog log;
  log.folder = "/w/表" + std::to_string(n) + "/";
  log.records.push_back({"ソ", "a", false, "", "", "", ""});
  return *UndoFile::encode(log);
}

class HistoryRotation : public FolderFixture {
protected:
  // The records kept, latest first, as numbers of recordNo (-1 for another).
  std::vector<int> kept() {
    std::vector<int> out;
    for (const auto& e : UndoHistory(real, undoPath()).entries()) {
      std::string bytes;
      EXPECT_FALSE(real.readWholeFile(e.path, bytes));
      int n = -1;
      for (int i = 0; i < 20; ++i)
        if (bytes == recordNo(i)) n = i;
      out.push_back(n);
    }
    return out;
  }
  // Records 0 to count - 1, the latest being 0.
  void keep(int count) {
    for (int i = 0; i < count; ++i)
      dir.writeFile(i == 0 ? "config/Ritoma.und" : "config/Ritoma.und." + std::to_string(i), recordNo(i));
  }
  static std::vector<int> sequence(int first, int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) out.push_back(first + i);
    return out;
  }
};

// Whichever step of a rotation fails (as a kill there would leave it),
// the next reader finds the latest record readable and every record in
// order: the new one on top of them or not yet there, none lost but the
// oldest that was to go.
TEST_F(HistoryRotation, PushCutShortAtEachStepLosesNoRecord) {
  struct Case {
    const char* name;
    int records;
    FsOp op;
  };
  for (const Case& c : {Case{"ThreeRename", 3, FsOp::Rename}, Case{"FullRename", 10, FsOp::Rename},
                        Case{"FullRemove", 10, FsOp::Remove}, Case{"ThreeSync", 3, FsOp::Sync}}) {
    for (int step = 1;; ++step) {
      SCOPED_TRACE(std::string(c.name) + " step " + std::to_string(step));
      for (const std::string& name : dir.names("config")) std::filesystem::remove(dir / ("config/" + name));
      keep(c.records);
      dir.writeFile("config/Ritoma.und.tmp1", recordNo(19));
      fs.reset();
      fs.failNth(c.op, step, EIO);
      UndoHistory history(fs, undoPath());
      const bool failed = static_cast<bool>(history.push(dir / "config/Ritoma.und.tmp1"));
      UndoHistory next(real, undoPath());
      ASSERT_FALSE(next.compact());
      std::string latest;
      UndoLog log;
      ASSERT_FALSE(real.readWholeFile(undoPath(), latest));
      EXPECT_EQ(UndoFile::decode(latest, log), UndoFile::Status::Ok);
      const std::vector<int> now = kept();
      const int older = std::min(c.records, static_cast<int>(UndoHistory::MaxRecords) - 1);
      std::vector<int> pushed{19};
      for (int n : sequence(0, older)) pushed.push_back(n);
      if (!failed) {
        EXPECT_EQ(now, pushed);
        break;
      }
      EXPECT_TRUE(now == pushed || now == sequence(0, c.records) || now == sequence(0, older))
          << ::testing::PrintToString(now);
      ASSERT_LT(step, 40);
    }
  }
}

// Setting the latest aside, cut short at each step, leaves the history
// readable; the recovery of its run puts the record back on top.
TEST_F(HistoryRotation, SetAsideCutShortAtEachStepIsPutBack) {
  for (int step = 1;; ++step) {
    SCOPED_TRACE(step);
    for (const std::string& name : dir.names("config")) std::filesystem::remove(dir / ("config/" + name));
    keep(3);
    fs.reset();
    fs.failNth(FsOp::Rename, step, EIO);
    const UndoHistory::SetAside done = UndoHistory(fs, undoPath()).setLatestAside(UndoHistory::digest(recordNo(0)));
    UndoHistory next(real, undoPath());
    ASSERT_FALSE(next.compact());
    const std::vector<int> now = kept();
    EXPECT_TRUE(now == sequence(0, 3) || now == sequence(1, 2)) << ::testing::PrintToString(now);
    ASSERT_FALSE(next.restoreSetAside());
    EXPECT_EQ(kept(), sequence(0, 3));
    if (done == UndoHistory::SetAside::Done && fs.calls(FsOp::Rename) < step) break;
    ASSERT_LT(step, 10);
  }
}

// Beyond the total size the oldest records go, however few they are
// (sparse files, so the test stays small).
TEST_F(HistoryRotation, OldestGoBeyondTheTotalSize) {
  const std::uint64_t big = UndoHistory::MaxTotalSize / 5 * 2;
  for (int i = 0; i < 4; ++i) {
    const std::string temp = dir / "config/Ritoma.und.tmp1";
    dir.writeFile("config/Ritoma.und.tmp1", recordNo(i));
    ASSERT_EQ(::truncate(temp.c_str(), static_cast<off_t>(big)), 0);
    ASSERT_FALSE(UndoHistory(real, undoPath()).push(temp));
  }
  const auto entries = UndoHistory(real, undoPath()).entries();
  ASSERT_EQ(entries.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    std::ifstream in(entries[i].path, std::ios::binary);
    std::string head(recordNo(3 - i).size(), '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    EXPECT_EQ(head, recordNo(3 - i)) << i;
  }
}

// A place holding something that is no record ends the history: it stays,
// and what lies beyond it is neither listed nor moved.
TEST_F(HistoryRotation, ForeignFileEndsTheHistory) {
  keep(2);
  dir.writeFile("config/Ritoma.und.2", "my notes");
  dir.writeFile("config/Ritoma.und.3", recordNo(3));
  dir.writeFile("config/Ritoma.und.tmp1", recordNo(19));
  ASSERT_FALSE(UndoHistory(real, undoPath()).push(dir / "config/Ritoma.und.tmp1"));
  EXPECT_EQ(kept(), (std::vector<int>{19, 0}));
  EXPECT_EQ(dir.readFile("config/Ritoma.und.2"), "my notes");
  EXPECT_EQ(dir.readFile("config/Ritoma.und.3"), recordNo(3));
}

}  // namespace
}  // namespace ritoma::test
