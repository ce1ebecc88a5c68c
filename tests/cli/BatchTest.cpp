#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "HistoryWalk.h"
#include "ProgramRun.h"
#include "support/TempDir.h"
#include "platform/TimeConvert.h"

namespace ritoma::test {
namespace {

// A work folder with files named with 表 and ソ (whose second byte in code
// page 932 is the backslash) and a settings folder, both temporary.
class Batch : public ::testing::Test {
protected:
  Batch() {
    dir.makeFolder("work");
    dir.makeFolder("cfg");
  }

  std::string work() const { return dir / "work"; }
  std::string work(const std::string& name) const { return dir / ("work/" + name); }
  std::vector<std::string> names() const { return dir.names("work"); }

  // Runs the program with the temporary settings folder.
  ProgramRun cli(std::vector<std::string> args) const {
    args.insert(args.begin() + 1, {"--config-dir", dir / "cfg"});
    return ProgramRun::run(args);
  }

  TempDir dir;
};

TEST_F(Batch, TemplateRunRenamesInNameOrderAndRecordsTheUndoFile) {
  dir.writeFile("work/表1.txt", "hyo");
  dir.writeFile("work/ソ2.txt", "so");
  // Progress would show from the first row, but standard error is no terminal.
  dir.writeFile("cfg/Ritoma.ini", "[Option]\nGreet1=1\nGreet2=1\nGreet3=1\nGreet4=1\nGreet5=1\n");
  ProgramRun r = cli({"run", "--tsv", "-t", "IMG_/n<1,2>", "-e", "/e<,,2>", work()});
  ASSERT_EQ(r.status, 0) << r.err;
  // Name order compares code page 932 bytes: ソ (83 5C) before 表 (95 5C).
  EXPECT_EQ(r.out, "ソ2.txt\tIMG_01.TXT\tok\n表1.txt\tIMG_02.TXT\tok\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"IMG_01.TXT", "IMG_02.TXT"}));
  EXPECT_EQ(dir.readFile("work/IMG_01.TXT"), "so");
  EXPECT_TRUE(dir.exists("cfg/Ritoma.und"));
  EXPECT_EQ(r.err, "");
}

struct PlanCase {
  const char* name;
  std::vector<std::string> files;
  std::vector<std::string> args;  // after "plan --tsv"
  const char* expected;           // the TSV output
};

void PrintTo(const PlanCase& c, std::ostream* os) { *os << c.name; }

class PlanCases : public Batch, public ::testing::WithParamInterface<PlanCase> {};

// `plan` shows the new names and changes nothing.
TEST_P(PlanCases, ShowTheNewNames) {
  const PlanCase& c = GetParam();
  for (const std::string& f : c.files) dir.writeFile("work/" + f, "");
  std::vector<std::string> args = {"plan", "--tsv"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  args.push_back(work());
  ProgramRun r = cli(args);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, c.expected);
  std::vector<std::string> before = c.files;
  std::sort(before.begin(), before.end());
  EXPECT_EQ(names(), before);
}

const PlanCase kPlanCases[] = {
    {"ReplaceWithSkip", {"表ソ表.txt"}, {"-r", "表", "-w", "ヒョウ", "--skip", "1"},
     "表ソ表.txt\t表ソヒョウ.txt\tok\n"},
    {"ReplaceFromRightIgnoringCase", {"abAB表.txt"},
     {"-r", "ab", "-w", "x", "--ignore-case", "--from-right", "--count", "1"},
     "abAB表.txt\tabx表.txt\tok\n"},
    {"ReplaceOnExtension", {"ソ.a.txt"}, {"-r", ".", "-w", "_", "--target", "ext"},
     "ソ.a.txt\tソ.a_txt\tok\n"},
    {"WidthToHalf", {"ａｂ１ソ.txt"}, {"-c", "to-half", "--classes", "letters,digits"},
     "ａｂ１ソ.txt\tab1ソ.txt\tok\n"},
    {"WidthWithoutClassesChangesEveryClass", {"ab1 ｶﾞ表.txt"}, {"-c", "to-full"},
     "ab1 ｶﾞ表.txt\tａｂ１　ガ表.txt\tok\n"},
    {"WidthToFullComposesVoicedKana", {"ｶﾞ表.txt"}, {"-c", "to-full", "--classes", "kana"},
     "ｶﾞ表.txt\tガ表.txt\tok\n"},
    {"WidthToFullKanaSingle", {"ｶﾞ表.txt"}, {"-c", "to-full", "--classes", "kana-single"},
     "ｶﾞ表.txt\tカ゛表.txt\tok\n"},
    {"KanaToKatakana", {"ひょう表.txt"}, {"-c", "to-katakana"}, "ひょう表.txt\tヒョウ表.txt\tok\n"},
    {"ComposeWholeName", {"か\u3099表.テ\u3099ータ"}, {"-c", "compose"}, "か\u3099表.テ\u3099ータ\tが表.データ\tok\n"},
    {"WordsWithDelimiters", {"my_file ソ.txt"}, {"-c", "words-lower", "--delimiters", "_"},
     "my_file ソ.txt\tMy_File ソ.txt\tok\n"},
    {"TwoStagesEachOnThePrevious", {"abc表.txt"}, {"-t", "/f-/n<1,1>", "-c", "upper"},
     "abc表.txt\tABC表-1.txt\tok\n"},
    {"EmptyExtensionTemplate", {"ソ.txt"}, {"-t", "/f", "-e", ""}, "ソ.txt\tソ\tok\n"},
    {"SortByNameDescendingWithKeyMark", {"a表", "b表", "c表"},
     {"--sort", "name,desc", "-t", "/f/K", "--key", "2"},
     "c表\tc表0\tok\nb表\tb表1\tok\na表\ta表1\tok\n"},
};

INSTANTIATE_TEST_SUITE_P(Cli, PlanCases, ::testing::ValuesIn(kPlanCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Batch, KeepOrderFollowsTheArgumentsAndRefusesSeveralFolders) {
  dir.writeFile("work/a表", "");
  dir.writeFile("work/b表", "");
  ProgramRun r = cli({"plan", "--tsv", "--keep-order", "-t", "/n<1,1>", work("b表"), work("a表")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "b表\t1\tok\na表\t2\tok\n");

  dir.writeFile("x", "");
  ProgramRun other = cli({"plan", "-t", "/f", work("a表"), dir / "x"});
  EXPECT_EQ(other.status, 2);
  EXPECT_NE(other.err.find("several folders"), std::string::npos) << other.err;
}

// One path that names a folder, in any of the forms shell completion and
// typing give, selects that folder's files (and not the folder as a row).
TEST_F(Batch, FolderPathInEveryFormSelectsItsFiles) {
  dir.writeFile("work/表.txt", "");
  dir.makeFolder("work/ソ");
  const struct {
    const char* name;
    std::string path;
  } cases[] = {
      {"final slash", work() + "/"},
      {"doubled final slash", work() + "//"},
      {"final dot", work() + "/."},
      {"subfolder and two dots", work() + "/ソ/.."},
  };
  for (const auto& c : cases) {
    ProgramRun r = cli({"plan", "--tsv", "-t", "x", c.path});
    EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
    EXPECT_EQ(r.out, "表.txt\tx.txt\tok\n") << c.name;
  }
}

// A folder with one entry of each kind: a read-only file, a pipe, a socket,
// a link to a device, a link to a file outside the folder and a link to
// nothing; every link's own time differs from its target's.
class Kinds : public Batch {
protected:
  static void setOwnTime(const std::string& path, std::int64_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
  }
  static std::string timeText(std::int64_t seconds) {
    return TimeConvert::toText(TimeConvert::fromUnixSeconds(seconds));
  }

  void SetUp() override {
    dir.makeFolder("outside");
    dir.writeFile("outside/secret.txt", "secret");
    setOwnTime(dir / "outside/secret.txt", 1300000000);
    dir.writeFile("work/表.txt", "abc");
    setOwnTime(work("表.txt"), 1200000000);
    ASSERT_EQ(::chmod(work("表.txt").c_str(), 0444), 0);
    ASSERT_EQ(::mkfifo(work("ソ.fifo").c_str(), 0600), 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = work("sock");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    const int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(fd);
    ASSERT_EQ(bound, 0);
    setOwnTime(work("sock"), 1000000000);
    setOwnTime(work("ソ.fifo"), 1000000000);
    ASSERT_EQ(::symlink("/dev/null", work("null").c_str()), 0);
    ASSERT_EQ(::symlink("../outside/secret.txt", work("out.lnk").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", work("gone").c_str()), 0);
    setOwnTime(work("null"), 1000000000);
    setOwnTime(work("out.lnk"), 1100000000);
    setOwnTime(work("gone"), 1000000000);
  }

  void expectOutsideUntouched() {
    EXPECT_EQ(dir.readFile("outside/secret.txt"), "secret");
    struct stat st{};
    ASSERT_EQ(::stat((dir / "outside/secret.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1300000000);
  }
};

TEST_F(Kinds, ListShowsEachKindWithALinksOwnSizeTimeAndAttributes) {
  ProgramRun r = cli({"list", "--tsv", work()});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string t0 = timeText(1000000000);
  EXPECT_EQ(r.out, "link→missing\t7\t" + t0 + "\t----\tgone\n"
                   "link\t9\t" + t0 + "\t----\tnull\n"
                   "link\t21\t" + timeText(1100000000) + "\t----\tout.lnk\n"
                   "other\t0\t" + t0 + "\t----\tsock\n"
                   "other\t0\t" + t0 + "\t----\tソ.fifo\n"
                   "file\t3\t" + timeText(1200000000) + "\t--R-\t表.txt\n");

  // The table, largest first: sizes to the right under their caption.
  r = cli({"list", "--sort", "size,desc", work()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "種類          ｻｲｽﾞ  更新日時             属性  ﾌｧｲﾙ名\n"
                   "------------  ----  -------------------  ----  -------\n"
                   "link            21  " + timeText(1100000000) + "  ----  out.lnk\n"
                   "link             9  " + t0 + "  ----  null\n"
                   "link→missing     7  " + t0 + "  ----  gone\n"
                   "file             3  " + timeText(1200000000) + "  --R-  表.txt\n"
                   "other            0  " + t0 + "  ----  sock\n"
                   "other            0  " + t0 + "  ----  ソ.fifo\n");

  // A link named by itself is described by itself too.
  r = cli({"list", "--tsv", work("out.lnk"), work("表.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "link\t21\t" + timeText(1100000000) + "\t----\tout.lnk");
  expectOutsideUntouched();
}

// The rename check refuses the pipe and the socket, in place and for a copy:
// nothing changes, and the file outside the folder is untouched.
TEST_F(Kinds, RunRefusesPipesAndSocketsAndChangesNothing) {
  dir.makeFolder("copy");
  const std::vector<std::string> before = names();
  for (const bool copy : {false, true}) {
    std::vector<std::string> args{"run", "--tsv", "-t", "n_/f", "--modified", "2010/05/06 07:08:09"};
    if (copy) args.insert(args.end(), {"--copy-to", dir / "copy"});
    args.push_back(work());
    ProgramRun r = cli(args);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("「ソ.fifo」は通常のﾌｧｲﾙではないため処理できません。"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("「sock」は通常のﾌｧｲﾙではないため処理できません。"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("「out.lnk」"), std::string::npos) << r.out;
    EXPECT_EQ(names(), before);
    EXPECT_TRUE(dir.names("copy").empty());
  }
  struct stat link{};
  ASSERT_EQ(::lstat(work("out.lnk").c_str(), &link), 0);
  EXPECT_EQ(link.st_mtim.tv_sec, 1100000000);
  expectOutsideUntouched();
}

TEST_F(Batch, DefaultFolderSelectionLeavesHiddenFilesOut) {
  dir.writeFile("work/.hidden", "");
  dir.writeFile("work/表.txt", "");
  ProgramRun r = cli({"plan", "--tsv", "-t", "x", work()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "表.txt\tx.txt\tok\n");
}

TEST_F(Batch, SwapIsBlockedWithoutTemporaryNamesAndPassesWithThem) {
  dir.writeFile("work/表a.txt", "A");
  dir.writeFile("work/表b.txt", "B");
  const std::vector<std::string> swap = {"-r", "a|b|#", "-w", "#|a|b"};

  std::vector<std::string> args = {"run", "--tsv"};
  args.insert(args.end(), swap.begin(), swap.end());
  args.push_back(work());
  ProgramRun blocked = cli(args);
  EXPECT_EQ(blocked.status, 1);
  EXPECT_EQ(blocked.out, "表a.txt\t表b.txt\tblocked\n表b.txt\t表a.txt\tok\n");
  EXPECT_EQ(dir.readFile("work/表a.txt"), "A");

  args.insert(args.begin() + 1, "--force-temp");
  ProgramRun forced = cli(args);
  ASSERT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(forced.out, "表a.txt\t表b.txt\tok\n表b.txt\t表a.txt\tok\n");
  EXPECT_EQ(dir.readFile("work/表a.txt"), "B");
  EXPECT_EQ(dir.readFile("work/表b.txt"), "A");

  // The reverse of a swap is a swap: undo needs temporary names too.
  ProgramRun undoBlocked = cli({"undo", "--tsv"});
  EXPECT_EQ(undoBlocked.status, 1);
  EXPECT_EQ(dir.readFile("work/表a.txt"), "B");
  ProgramRun undone = cli({"undo", "--tsv", "--force-temp=#"});
  ASSERT_EQ(undone.status, 0) << undone.err;
  EXPECT_EQ(dir.readFile("work/表a.txt"), "A");
  EXPECT_EQ(dir.readFile("work/表b.txt"), "B");
}

TEST_F(Batch, UndoRenamesBackAndTakesTheBatchOut) {
  dir.writeFile("work/ソ.txt", "so");
  ASSERT_EQ(cli({"run", "-t", "表_/f", work()}).status, 0);
  EXPECT_EQ(names(), (std::vector<std::string>{"表_ソ.txt"}));

  ProgramRun back = cli({"undo", "--tsv"});
  ASSERT_EQ(back.status, 0) << back.err;
  EXPECT_EQ(back.out, "表_ソ.txt\tソ.txt\tok\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"ソ.txt"}));

  ProgramRun again = cli({"undo"});
  EXPECT_EQ(again.status, 2);
  EXPECT_NE(again.err.find("UNDO情報はありません"), std::string::npos) << again.err;
  EXPECT_EQ(names(), (std::vector<std::string>{"ソ.txt"}));
}

TEST_F(Batch, ThreeBatchesWalkBackByteForByte) {
  walkBackThreeBatches([this](std::vector<std::string> args) { return cli(std::move(args)); }, work(), "表");
}

// The table of undo --list: a caption line, the numbers to the right.
TEST_F(Batch, UndoListShowsEachKeptBatch) {
  dir.writeFile("work/ソ", "");
  ASSERT_EQ(cli({"run", "-t", "表/f", work()}).status, 0);
  ASSERT_EQ(cli({"run", "-r", "表", "-w", "x", work()}).status, 0);
  const ProgramRun list = cli({"undo", "--list"});
  ASSERT_EQ(list.status, 0) << list.err;
  std::istringstream lines(list.out);
  std::vector<std::string> shown;
  for (std::string line; std::getline(lines, line);) shown.push_back(line);
  ASSERT_EQ(shown.size(), 4u) << list.out;
  EXPECT_TRUE(shown[0].starts_with("No  実行日時")) << shown[0];
  EXPECT_TRUE(shown[2].starts_with(" 1  20")) << shown[2];
  EXPECT_NE(shown[3].find(" 1  ok "), std::string::npos) << shown[3];
  EXPECT_TRUE(shown[3].ends_with(work())) << shown[3];
  EXPECT_EQ(cli({"undo", "--list", "--yes"}).status, 2);
}

// Names as a Mac writes them: the voiced marks and accents stored apart.
// Composed, they keep every other byte (an invalid one too) and the files
// their contents; undo brings back the decomposed bytes.
TEST_F(Batch, ComposeJoinsSeparatedMarksAndUndoes) {
  const std::vector<std::string> decomposed{"cafe\u0301ソ.txt", "か\u3099表.txt", "パ表.txt",
                                            "\xFF\u30CF\u309A.bin"};
  for (const std::string& name : decomposed) dir.writeFile("work/" + name, name);
  ProgramRun r = cli({"run", "--tsv", "-c", "compose", work()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(names(), (std::vector<std::string>{"caf\u00E9ソ.txt", "が表.txt", "パ表.txt", "\xFF\u30D1.bin"}));
  EXPECT_EQ(dir.readFile("work/が表.txt"), "か\u3099表.txt");
  EXPECT_EQ(dir.readFile("work/\xFF\u30D1.bin"), "\xFF\u30CF\u309A.bin");

  ASSERT_EQ(cli({"undo"}).status, 0);
  std::vector<std::string> sorted = decomposed;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(names(), sorted);
}

// Two names that compose into one, or into a name the folder holds, are
// refused by the check, and nothing changes.
TEST_F(Batch, ComposeRefusesNamesThatBecomeOne) {
  const std::vector<std::string> files{"e\u0302\u0323.txt", "e\u0323\u0302.txt", "か\u3099ソ.txt", "がソ.txt"};
  for (const std::string& name : files) dir.writeFile("work/" + name, "");
  ProgramRun r = cli({"run", "--tsv", "-c", "compose", work()});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out,
            "e\u0302\u0323.txt\t\u1EC7.txt\tﾌｧｲﾙ名が重複しています。\n"
            "e\u0323\u0302.txt\t\u1EC7.txt\tﾌｧｲﾙ名が重複しています。\n"
            "か\u3099ソ.txt\tがソ.txt\tﾌｧｲﾙ名が重複しています。\n"
            "がソ.txt\tがソ.txt\tﾌｧｲﾙ名が重複しています。\n");
  std::vector<std::string> sorted = files;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(names(), sorted);
}

std::string utf8Of(char32_t c) {
  std::string s;
  if (c < 0x10000) {
    s.push_back(static_cast<char>(0xE0 | (c >> 12)));
  } else {
    s.push_back(static_cast<char>(0xF0 | (c >> 18)));
    s.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
  }
  s.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
  s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  return s;
}

// 10,000 distinct characters outside code page 932 (a Hangul syllable and a
// CJK Extension B ideograph in each of 5,000 names, some also with a byte
// of invalid UTF-8): listed, renamed by a stage whose "?" takes one whole
// such character, undone, and back byte for byte with their contents.
TEST_F(Batch, FiveThousandNamesOutsideCodePage932RenameAndUndo) {
  constexpr int kFiles = 5000;
  std::vector<std::string> original, renamed;
  for (int i = 0; i < kFiles; ++i) {
    const std::string bad = i % 1000 == 0 ? "\xFF" : "";
    const std::string hangul = utf8Of(0xAC00 + i);
    original.push_back(bad + hangul + utf8Of(0x20000 + i) + "表.txt");
    renamed.push_back(bad + hangul + "ソ.txt");
    dir.writeFile("work/" + original.back(), std::to_string(i));
  }
  std::vector<std::string> contents(kFiles);
  for (int i = 0; i < kFiles; ++i) contents[i] = std::to_string(i);
  const auto expectFolder = [&](const std::vector<std::string>& expected) {
    std::vector<std::string> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    ASSERT_EQ(names(), sorted);
    for (int i = 0; i < kFiles; i += 7) EXPECT_EQ(dir.readFile("work/" + expected[i]), contents[i]) << i;
  };

  ProgramRun run = cli({"run", "-r", "?表", "-w", "ソ", work()});
  ASSERT_EQ(run.status, 0) << run.err;
  expectFolder(renamed);

  ProgramRun undo = cli({"undo"});
  ASSERT_EQ(undo.status, 0) << undo.err;
  expectFolder(original);
}

TEST_F(Batch, UndoWithoutUndoFileAndWithAMissingFile) {
  ProgramRun none = cli({"undo"});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("UNDO情報はありません"), std::string::npos) << none.err;

  dir.writeFile("work/表1", "");
  dir.writeFile("work/表2", "");
  ASSERT_EQ(cli({"run", "-t", "ソ/f", work()}).status, 0);
  std::rename(work("ソ表1").c_str(), work("gone").c_str());
  // Without a terminal the question "continue?" is answered No: nothing changes.
  ProgramRun refused = cli({"undo"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("ファイルが見つかりません"), std::string::npos) << refused.err;
  EXPECT_TRUE(dir.exists("work/ソ表2"));
  // --yes goes on with the files that are there.
  ProgramRun partial = cli({"undo", "--yes", "--tsv"});
  EXPECT_EQ(partial.status, 0) << partial.err;
  EXPECT_EQ(partial.out, "ソ表2\t表2\tok\n");
  EXPECT_TRUE(dir.exists("work/表2"));
}

TEST_F(Batch, CopyWritesNewNamesIntoTheCopyFolderAndCanSkipCollisions) {
  dir.makeFolder("out");
  dir.writeFile("work/表1.txt", "one");
  dir.writeFile("work/表2.txt", "two");
  dir.writeFile("out/ソ表2.txt", "old");
  std::vector<std::string> args = {"run", "--tsv", "-t", "ソ/f", "--copy-to", dir / "out", work()};
  ProgramRun marked = cli(args);
  EXPECT_EQ(marked.status, 1);
  EXPECT_EQ(marked.out, "表1.txt\tソ表1.txt\tok\n表2.txt\tソ表2.txt\texists\n");
  EXPECT_FALSE(dir.exists("out/ソ表1.txt"));

  args.insert(args.begin() + 1, "--ignore-errors");
  ProgramRun copied = cli(args);
  ASSERT_EQ(copied.status, 0) << copied.err;
  EXPECT_EQ(dir.readFile("out/ソ表1.txt"), "one");
  EXPECT_EQ(dir.readFile("out/ソ表2.txt"), "old");
  EXPECT_EQ(names(), (std::vector<std::string>{"表1.txt", "表2.txt"}));
  EXPECT_FALSE(dir.exists("cfg/Ritoma.und"));  // copies are not undone

  ProgramRun missing = cli({"run", "-t", "x", "--copy-to", dir / "nowhere", work()});
  EXPECT_EQ(missing.status, 2);
}

// Macro defaults outside the dialog's ranges are read as the dialog shows them.
TEST_F(Batch, OutOfRangeMacroDefaultsAreClampedAsTheDialogReadsThem) {
  struct Case {
    const char* keys;
    const char* tmpl;
    const char* name;
  };
  const Case cases[] = {
      {"Dm2=5", "/D", "20030405.txt"},
      {"Th2=-1\nTm2=7", "/T", "60708.txt"},
      {"n1=-5\nn2=-3", "/n", "0.txt"},
      {"f1=-500\nf2=2", "/f", "表.txt"},
  };
  dir.writeFile("work/表.txt", "");
  const std::int64_t at = TimeConvert::toUnixSeconds(*TimeConvert::fromText("2003/04/05 06:07:08"));
  const timespec times[2] = {{static_cast<time_t>(at), 0}, {static_cast<time_t>(at), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, work("表.txt").c_str(), times, 0), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    dir.writeFile("cfg/Ritoma.ini", std::string("[MacroOption]\n") + c.keys + "\n");
    ProgramRun r = cli({"plan", "--tsv", "-t", c.tmpl, work()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string("表.txt\t") + c.name + "\tok\n");
  }
}

TEST_F(Batch, TimesAndAttributesChangeWithoutRenaming) {
  dir.writeFile("work/表.txt", "");
  ProgramRun r = cli({"run", "--tsv", "--modified", "2003/04/05 06:07:08", "--accessed",
                      "2004/01/02 03:04:05", "--attributes", "--R-", work()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "表.txt\t表.txt\tok\n");
  struct stat st {};
  ASSERT_EQ(::stat(work("表.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec,
            TimeConvert::toUnixSeconds(*TimeConvert::fromText("2003/04/05 06:07:08")));
  EXPECT_EQ(st.st_atim.tv_sec,
            TimeConvert::toUnixSeconds(*TimeConvert::fromText("2004/01/02 03:04:05")));
  EXPECT_EQ(st.st_mode & 0222, 0u);  // read-only: every write bit removed

  ProgramRun bad = cli({"run", "--modified", "2003/02/30 00:00:00", work()});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("--modified"), std::string::npos) << bad.err;
}

TEST_F(Batch, NameCheckErrorsGiveStatus1AndTheCheckText) {
  dir.writeFile("work/表1", "");
  dir.writeFile("work/表2", "");
  ProgramRun r = cli({"run", "--tsv", "-t", "same:", work()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "表1\tsame:\t: は使用禁止文字です。ﾌｧｲﾙ名が重複しています。\n"
            "表2\tsame:\t: は使用禁止文字です。ﾌｧｲﾙ名が重複しています。\n");
  EXPECT_NE(r.err.find("ﾁｪｯｸ … ｴﾗｰ4件"), std::string::npos) << r.err;
  EXPECT_EQ(names(), (std::vector<std::string>{"表1", "表2"}));
}

TEST_F(Batch, ExistingNameOutsideTheBatchIsMarked) {
  dir.writeFile("work/表.txt", "");
  dir.writeFile("work/ソ.txt", "");
  ProgramRun r = cli({"plan", "--tsv", "-r", "表", "-w", "ソ", work("表.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "表.txt\tソ.txt\texists\n");
}

TEST_F(Batch, BadTemplateFieldIsAUsageError) {
  dir.writeFile("work/表", "");
  ProgramRun r = cli({"run", "-t", "/n<a>", work()});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("'a' は整数ではありません"), std::string::npos) << r.err;
}

// A temporary name (marker + old name) longer than the 255 bytes a name on
// disk may have is refused by the check: status 1 and the folder as it was,
// instead of a run that fails halfway and is rolled back. Bytes count as on
// disk, where 表 and ソ take three.
TEST_F(Batch, TemporaryNameOverTheLimitIsRefusedByTheCheck) {
  std::string hyoSo;
  for (int i = 0; i < 42; ++i) hyoSo += "表ソ";
  const struct {
    const char* label;
    std::string longName;
    bool refused;
  } cases[] = {
      {"254 bytes", std::string(250, 'b') + ".txt", false},
      {"255 bytes", std::string(251, 'b') + ".txt", true},
      {"表 and ソ in 254 bytes", hyoSo + "ab", false},
      {"表 and ソ in 255 bytes", hyoSo + "abc", true},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string folder = "work" + std::to_string(++n);
    dir.makeFolder(folder);
    dir.writeFile(folder + "/a表.txt", "a");
    dir.writeFile(folder + "/" + c.longName, "long");
    const std::string undoBefore = dir.exists("cfg/Ritoma.und") ? dir.readFile("cfg/Ritoma.und") : "";
    ProgramRun r = cli({"run", "--tsv", "--force-temp", "-t", "x/n", dir / folder});
    const std::string newName = c.longName.ends_with(".txt") ? "x002.txt" : "x002";
    if (!c.refused) {
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(dir.names(folder), (std::vector<std::string>{"x001.txt", newName}));
      EXPECT_EQ(dir.readFile(folder + "/" + newName), "long");
      continue;
    }
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "a表.txt\tx001.txt\tok\n" + c.longName + "\t" + newName + "\ttemp-too-long\n");
    EXPECT_NE(r.err.find("longer than 255 bytes"), std::string::npos) << r.err;
    EXPECT_EQ(dir.names(folder), (std::vector<std::string>{"a表.txt", c.longName}));
    EXPECT_EQ(dir.readFile(folder + "/" + c.longName), "long");
    EXPECT_EQ(dir.exists("cfg/Ritoma.und") ? dir.readFile("cfg/Ritoma.und") : "", undoBefore);
  }
}

// A file the system will not let go of (immutable: rename answers EPERM,
// also for root) fails its row with the system's reason; the row before it
// is put back, from its new name or from its temporary name, and the one
// after it never tried.
TEST_F(Batch, FailedRowTellsTheSystemsReasonAndTheOthersWhatWasLeft) {
  dir.writeFile("work/a表.txt", "a");
  dir.writeFile("work/bソ.txt", "b");
  dir.writeFile("work/c.txt", "c");
  const std::string pinned = work("bソ.txt");
  const int fd = ::open(pinned.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  int flags = 0;
  const bool immutable = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                         (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
  if (!immutable) {
    ::close(fd);
    GTEST_SKIP() << "the file system or the user cannot make a file immutable";
  }
  const std::vector<std::vector<std::string>> runs = {{"run", "--tsv", "-t", "x/n", work()},
                                                      {"run", "--tsv", "--force-temp", "-t", "x/n", work()}};
  for (const auto& args : runs) {
    SCOPED_TRACE(args[2]);
    ProgramRun r = cli(args);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "a表.txt\tx001.txt\trolled back\nbソ.txt\tx002.txt\tfailed\nc.txt\tx003.txt\tnot run\n");
    EXPECT_NE(r.err.find("処理済ファイルを元に戻します\n\nbソ.txt: この操作は許可されていません\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(names(), (std::vector<std::string>{"a表.txt", "bソ.txt", "c.txt"}));
    EXPECT_FALSE(dir.exists("cfg/Ritoma.und"));
  }
  flags &= ~FS_IMMUTABLE_FL;
  ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
  ::close(fd);
}

// The program starts itself once more for the C library's huge pages;
// started through the dynamic loader by hand, it must just go on.
TEST_F(Batch, RunsWhenStartedThroughTheDynamicLoader) {
  std::string loader;
  for (const char* path : {"/lib64/ld-linux-x86-64.so.2", "/lib/ld-linux-aarch64.so.1"})
    if (::access(path, X_OK) == 0) loader = path;
  if (loader.empty()) GTEST_SKIP() << "no dynamic loader at a known path";
  dir.writeFile("work/表.txt", "");
  ProgramRun r = ProgramRun::runThrough(loader, {"plan", "--config-dir", dir / "cfg", "-t", "/f_", work()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("表_.txt"), std::string::npos) << r.out;
}

TEST_F(Batch, HumanTableAlignsWideCharacters) {
  dir.writeFile("work/表表.txt", "");
  dir.writeFile("work/a.txt", "");
  ProgramRun r = cli({"plan", "-t", "/f_", work()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "変換前ﾌｧｲﾙ名  変換後ﾌｧｲﾙ名  状態\n"
            "------------  ------------  ----\n"
            "a.txt         a_.txt        ok\n"
            "表表.txt      表表_.txt     ok\n");
}

}  // namespace
}  // namespace ritoma::test

namespace ritoma::test {
namespace {

std::string fixture(const std::string& name) {
  std::FILE* f = std::fopen((std::string(RITOMA_FIXTURES) + "/archive/" + name).c_str(), "rb");
  if (!f) throw std::runtime_error("missing fixture " + name);
  std::string data;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, got);
  std::fclose(f);
  return data;
}

struct ArchiveCase {
  const char* name;
  const char* fixture;
  const char* renamed;   // TSV of the run
  const char* relisted;  // TSV of a plan on the rewritten archive
};

void PrintTo(const ArchiveCase& c, std::ostream* os) { *os << c.name; }

class ArchiveCases : public Batch, public ::testing::WithParamInterface<ArchiveCase> {};

// The stored names change inside the archive; a second listing shows them.
TEST_P(ArchiveCases, RenameStoredFiles) {
  const ArchiveCase& c = GetParam();
  const std::string archive = std::string("work/") + c.fixture;
  dir.writeFile(archive, fixture(c.fixture));
  ProgramRun r = cli({"run", "--tsv", "--archive", "-r", "表|a", "-w", "ヒョウ|b", dir / archive});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, c.renamed);
  ProgramRun again = cli({"plan", "--tsv", "--archive", "-t", "/f", dir / archive});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, c.relisted);
  // list takes the same rows, each a file, with its stored name last.
  ProgramRun listed = cli({"list", "--tsv", "--archive", dir / archive});
  EXPECT_EQ(listed.status, 0) << listed.err;
  std::string names, kinds;
  for (std::size_t start = 0; start < listed.out.size();) {
    const std::size_t end = listed.out.find('\n', start);
    const std::string line = listed.out.substr(start, end - start);
    kinds += line.substr(0, line.find('\t')) + " ";
    names += line.substr(line.rfind('\t') + 1) + "\n";
    start = end + 1;
  }
  std::string planned;
  for (std::size_t start = 0; start < again.out.size();) {
    const std::size_t end = again.out.find('\n', start);
    planned += again.out.substr(start, again.out.find('\t', start) - start) + "\n";
    start = end + 1;
  }
  EXPECT_EQ(names, planned);
  EXPECT_EQ(kinds.find_first_not_of("file "), std::string::npos) << kinds;
  EXPECT_FALSE(kinds.empty());
  EXPECT_FALSE(dir.exists("cfg/Ritoma.und"));  // archive runs are not undone
}

const ArchiveCase kArchiveCases[] = {
    {"Zip", "stored.zip",
     "plain.txt\tplbin.txt\tok\nsub/data.bin\tsub/dbtb.bin\tok\nソ表.txt\tソヒョウ.txt\tok\n",
     "plbin.txt\tplbin.txt\tok\nsub/dbtb.bin\tsub/dbtb.bin\tok\nソヒョウ.txt\tソヒョウ.txt\tok\n"},
    // Made by zip on Linux: ソ表.txt in UTF-8 without flag bit 11, 紙表.txt in
    // Shift_JIS.
    {"ZipFromUnix", "unix-utf8.zip",
     "plain.txt\tplbin.txt\tok\nソ表.txt\tソヒョウ.txt\tok\n紙表.txt\t紙ヒョウ.txt\tok\n",
     "plbin.txt\tplbin.txt\tok\nソヒョウ.txt\tソヒョウ.txt\tok\n紙ヒョウ.txt\t紙ヒョウ.txt\tok\n"},
    {"Lzh", "level2.lzh",
     "dir表/ソa.txt\tdirヒョウ/ソb.txt\tok\nplain.txt\tplbin.txt\tok\n",
     "dirヒョウ/ソb.txt\tdirヒョウ/ソb.txt\tok\nplbin.txt\tplbin.txt\tok\n"},
};

INSTANTIATE_TEST_SUITE_P(Cli, ArchiveCases, ::testing::ValuesIn(kArchiveCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Names in headers of code page 932 (every LZH entry, a ZIP entry without
// the UTF-8 flag) are written with real codes: 〜 as 81 60 and so on, which
// the archive tools and the program's own listing read back (as ～ − ∥ ￠
// ￡ ￢, the characters code page 932 gives those codes). A character
// without a code is refused by the check, and the archive stays as it was.
std::string toolOutput(const std::string& command) {
  std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run " + command);
  std::string output;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  ::pclose(pipe);
  return output;
}

class ArchiveCodePageNames : public Batch, public ::testing::WithParamInterface<const char*> {};

TEST_P(ArchiveCodePageNames, OneWayCodesAreWrittenAndCharactersWithoutOneRefused) {
  const std::string archive = std::string("work/") + GetParam();
  const std::string original = fixture(GetParam());
  dir.writeFile(archive, original);
  // The ZIP's "plain.txt" comes from a Unix host and reads as UTF-8; its
  // "ソ表.txt" is code page 932. Every LZH name is code page 932.
  const bool lzh = std::string(GetParam()).ends_with(".lzh");
  const std::string part = lzh ? "plain" : "ソ表";

  ProgramRun refused = cli({"run", "--tsv", "--archive", "-r", part, "-w", "café", dir / archive});
  EXPECT_EQ(refused.status, 1) << refused.err;
  EXPECT_NE(refused.out.find("「é」はｼﾌﾄJISにない文字のため書庫のﾌｧｲﾙ名に使用できません。"), std::string::npos)
      << refused.out;
  EXPECT_TRUE(dir.readFile(archive) == original);
  EXPECT_EQ(dir.names("work"), (std::vector<std::string>{GetParam()}));

  ProgramRun r = cli({"run", "--tsv", "--archive", "-r", part, "-w", "〜−‖¢£¬", dir / archive});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string stored = "\x81\x60\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA.txt";
  // unzip shows the bytes as stored; lhasa each byte above 0x7F as "?", so
  // there the trail bytes 60 7C 61 of 〜 − ‖ are what can be seen.
  std::string shown = stored;
  if (lzh)
    for (char& c : shown)
      if (static_cast<unsigned char>(c) > 0x7F) c = '?';
  const std::string listing = toolOutput(std::string(lzh ? "lhasa v '" : "unzip -l '") + dir / archive + "'");
  EXPECT_NE(listing.find(" " + shown + "\n"), std::string::npos) << listing;
  ProgramRun again = cli({"plan", "--tsv", "--archive", "-t", "/f", dir / archive});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("～－∥￠￡￢.txt\t"), std::string::npos) << again.out;
}

INSTANTIATE_TEST_SUITE_P(Cli, ArchiveCodePageNames, ::testing::Values("stored.zip", "level2.lzh", "level0.lzh"),
                         [](const auto& info) {
                           std::string name = info.param;
                           return name.substr(0, name.find('.')) + (name.ends_with("zip") ? "Zip" : "Lzh");
                         });

// A ZIP made on a Mac stores its names decomposed, its folders' directory
// entries too (rows with --folders); composed, they read right in unzip and
// in the program's own listing, and the archive tests whole.
TEST_F(Batch, ComposeInsideAMacZip) {
  dir.writeFile("work/mac.zip", fixture("mac-nfd.zip"));
  ProgramRun r = cli({"run", "--tsv", "--archive", "--folders", "-c", "compose", dir / "work/mac.zip"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "テ\u3099ータ/\tデータ/\tok\n"
            "cafe\u0301ソ.txt\tcaf\u00E9ソ.txt\tok\n"
            "か\u3099表.txt\tが表.txt\tok\n"
            "テ\u3099ータ/ハ\u309A.txt\tデータ/パ.txt\tok\n"
            "パ表.txt\tパ表.txt\tok\n");
  const std::string listing = toolOutput("unzip -l '" + dir / "work/mac.zip" + "'");
  for (const char* name : {" caf\u00E9ソ.txt\n", " が表.txt\n", " パ表.txt\n", " データ/\n", " データ/パ.txt\n"})
    EXPECT_NE(listing.find(name), std::string::npos) << name << listing;
  for (const char* mark : {"\u3099", "\u309A", "\u0301"}) EXPECT_EQ(listing.find(mark), std::string::npos) << listing;
  EXPECT_NE(toolOutput("unzip -t '" + dir / "work/mac.zip" + "'").find("No errors detected"), std::string::npos);
  ProgramRun listed = cli({"list", "--tsv", "--archive", "--folders", dir / "work/mac.zip"});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out,
            "folder\t0\t2003/01/01 00:00:00\t----\tデータ/\n"
            "file\t17\t2003/01/01 00:00:00\t----\tcaf\u00E9ソ.txt\n"
            "file\t22\t2003/01/01 00:00:00\t----\tが表.txt\n"
            "file\t22\t2003/01/01 00:00:00\t----\tデータ/パ.txt\n"
            "file\t9\t2003/01/01 00:00:00\t----\tパ表.txt\n");
}

// New names that would leave the archive's files (a root, "..") or become
// one of its folders are refused by the check, with the row's reason, and
// the archive stays as it was. A trail byte 0x5C (表, ソ) separates nothing.
TEST_F(Batch, ArchivePathsOutsideTheFilesOrOntoFoldersAreRefused) {
  const struct {
    const char* label;
    const char* fixture;
    const char* from;
    const char* to;
    const char* reason;  // "" = the run passes
  } cases[] = {
      {"folder entry with its separator", "stored.zip", "plain.txt", "SUB/", "ﾌｧｲﾙ名が \\ か / で終わっています。"},
      {"folder entry", "stored.zip", "plain.txt", "Sub", "書庫内のﾌｫﾙﾀﾞと同じ名前です。"},
      {"implied folder ending in hyo", "level2.lzh", "plain.txt", "DIR表", "書庫内のﾌｫﾙﾀﾞと同じ名前です。"},
      {"climbing with backslashes", "level2.lzh", "plain.txt", "..\\..\\x", "「.」と「..」はﾊﾟｽに使用できません。"},
      {"climbing with slashes", "stored.zip", "plain.txt", "../../x", "「.」と「..」はﾊﾟｽに使用できません。"},
      {"absolute", "stored.zip", "plain.txt", "/abs/x", "絶対ﾊﾟｽは書庫のﾌｧｲﾙ名に使用できません。"},
      {"dot dot alone", "level2.lzh", "plain.txt", "..", "「.」と「..」はﾊﾟｽに使用できません。"},
      {"name ending in hyo beside its folder", "level2.lzh", "plain.txt", "dir表表", ""},
      {"into the folder ending in hyo", "level2.lzh", "plain.txt", "dir表\\ソ.txt", ""},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string folder = "work" + std::to_string(++n);
    dir.makeFolder(folder);
    const std::string archive = folder + "/" + c.fixture;
    const std::string original = fixture(c.fixture);
    dir.writeFile(archive, original);
    ProgramRun r = cli({"run", "--tsv", "--archive", "-r", c.from, "-w", c.to, "--target", "both",
                        dir / archive});
    if (*c.reason == '\0') {
      EXPECT_EQ(r.status, 0) << r.err << r.out;
      EXPECT_NE(r.out.find(std::string(c.from) + "\t" + c.to + "\tok\n"), std::string::npos) << r.out;
      EXPECT_EQ(toolOutput("lhasa t '" + dir / archive + "' >/dev/null; echo $?"), "0\n");
    } else {
      EXPECT_EQ(r.status, 1) << r.err;
      EXPECT_NE(r.out.find(std::string(c.from) + "\t" + c.to + "\t" + c.reason + "\n"), std::string::npos)
          << r.out;
      EXPECT_TRUE(dir.readFile(archive) == original);
      EXPECT_EQ(dir.names(folder), std::vector<std::string>{c.fixture});
    }
  }
}

// Damage found only while rewriting (the last local header's signature):
// the run fails with status 3, every row reads "failed, rolled back", and the archive is
// back under its own name, byte for byte, without a backup.
TEST_F(Batch, ArchiveDamagedInTheRewriteIsPutBackAndItsRowsFail) {
  std::string bytes = fixture("stored.zip");
  bytes[7129] = 'X';  // local header of sub/data.bin
  dir.writeFile("work/a.zip", bytes);
  ProgramRun r = cli({"run", "--tsv", "--archive", "-t", "x/f", dir / "work/a.zip"});
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_EQ(r.out,
            "plain.txt\txplain.txt\tfailed, rolled back\nsub/data.bin\txsub/data.bin\tfailed, rolled back\n"
            "ソ表.txt\txソ表.txt\tfailed, rolled back\n");
  EXPECT_NE(r.err.find("ローカルヘッダの署名が違います"), std::string::npos) << r.err;
  EXPECT_EQ(dir.names("work"), (std::vector<std::string>{"a.zip"}));
  EXPECT_TRUE(dir.readFile("work/a.zip") == bytes);
}

// A new name that would make its entry's LZH header larger than 64 KiB is
// refused by the check: status 1, the archive untouched and no backup left.
TEST_F(Batch, LzhHeaderOverItsSizeIsRefusedByTheCheck) {
  const std::string original = fixture("level2.lzh");
  dir.writeFile("work/a.lzh", original);
  const std::string longName = std::string(65530, 'n') + "ソ";
  ProgramRun r = cli({"run", "--tsv", "--archive", "-r", "plain.txt", "-w", longName, "--target", "both",
                      dir / "work/a.lzh"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find("plain.txt\t" + longName + "\theader-too-long\n"), std::string::npos);
  EXPECT_NE(r.err.find("larger than 64 KiB"), std::string::npos) << r.err;
  EXPECT_EQ(dir.names("work"), std::vector<std::string>{"a.lzh"});
  EXPECT_TRUE(dir.readFile("work/a.lzh") == original);
}

}  // namespace
}  // namespace ritoma::test
