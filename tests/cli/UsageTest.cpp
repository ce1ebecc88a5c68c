#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "ProgramRun.h"

namespace ritoma::test {
namespace {

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* message;  // a part of the message on standard error
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class UsageErrors : public ::testing::TestWithParam<UsageCase> {};

// Each of these is refused before anything is read or written: status 2,
// the reason on standard error, nothing on standard output.
TEST_P(UsageErrors, AreRefusedWithStatus2) {
  const UsageCase& c = GetParam();
  ProgramRun r = ProgramRun::run(c.args);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
}

const UsageCase kUsageCases[] = {
    {"NoCommand", {}, "no command"},
    {"UnknownCommand", {"rename", "."}, "unknown command 'rename'"},
    {"UnknownLongOption", {"plan", "--frobnicate", "."}, "unknown option '--frobnicate'"},
    {"UnknownShortOption", {"plan", "-z", "."}, "unknown option '-z'"},
    {"MissingValue", {"plan", ".", "-t"}, "-t needs a value"},
    {"ValueOnFlag", {"plan", "--keep-order=1", "."}, "--keep-order takes no value"},
    {"NoPath", {"run", "-t", "/f"}, "needs at least one PATH"},
    {"ExtTemplateWithoutTemplate", {"plan", "-e", "txt", "."}, "-e must follow a -t stage"},
    {"ExtTemplateAfterReplace", {"plan", "-t", "/f", "-r", "a", "-e", "x", "."},
     "-e must follow a -t stage"},
    {"WithWithoutReplace", {"plan", "-w", "x", "."}, "-w must follow a -r stage"},
    {"ModifierWithoutStage", {"plan", "--skip", "1", "."}, "--skip must follow a -r stage"},
    {"ModifierAfterTemplate", {"plan", "-t", "/f", "--target", "ext", "."},
     "--target must follow a -r or -c stage"},
    {"ReplaceModifierAfterChars", {"plan", "-c", "upper", "--ignore-case", "."},
     "--ignore-case must follow a -r stage"},
    {"SkipOutOfRange", {"plan", "-r", "a", "--skip", "1000", "."}, "from 0 to 999"},
    {"CountOutOfRange", {"plan", "-r", "a", "--count=10", "."}, "from 0 to 9"},
    {"CountNotANumber", {"plan", "-r", "a", "--count", "x", "."}, "not 'x'"},
    {"UnknownCharOperation", {"plan", "-c", "title", "."}, "unknown character operation"},
    {"ClassesOnCaseOperation", {"plan", "-c", "upper", "--classes", "letters", "."},
     "only to to-full"},
    {"UnknownClass", {"plan", "-c", "to-full", "--classes", "letters,emoji", "."},
     "unknown character class 'emoji'"},
    {"BothKanaStates", {"plan", "-c", "to-full", "--classes", "kana,kana-single", "."},
     "exclude each other"},
    {"DelimitersOnWidth", {"plan", "-c", "to-half", "--delimiters", "_", "."},
     "only to words"},
    {"WidthOnExtension", {"plan", "-c", "to-full", "--target", "ext", "."},
     "name part only"},
    {"FoldersWithoutArchive", {"list", "--folders", "."}, "--folders needs --archive"},
    {"TargetOnCompose", {"plan", "-c", "compose", "--target", "name", "."},
     "compose works on the whole name and takes no --target"},
    {"BadTarget", {"plan", "-r", "a", "--target", "all", "."}, "name, ext or both"},
    {"BadSort", {"plan", "--sort", "color", "."}, "name, ext, size or date"},
    {"BadSortDirection", {"plan", "--sort", "size,up", "."}, "asc or desc"},
    {"SortAndKeepOrder", {"plan", "--sort", "size", "--keep-order", "."}, "exclude each other"},
    {"KeyRowZero", {"plan", "-t", "/K", "--key", "1,0", "."}, "count from 1"},
    {"ForceAndCopy", {"run", "--force-temp", "--copy-to", "/tmp", "."}, "exclude each other"},
    {"EmptyMarker", {"run", "--force-temp=", "."}, "non-empty marker"},
    {"MarkerLeavingTheFolder", {"run", "--force-temp=../", "."}, "「../」は使用できません"},
    {"MarkerOfTwoDots", {"run", "--force-temp=..", "."}, "ﾌｧｲﾙ名として使用できません"},
    {"MarkerWithForbiddenCharacter", {"run", "--force-temp=a?", "."}, "? は使用禁止文字です"},
    {"IgnoreErrorsWithoutCopy", {"run", "--ignore-errors", "."}, "only with --copy-to"},
    {"AttributesTooShort", {"run", "--attributes", "SH", "."}, "order S H R A"},
    {"AttributesWrongOrder", {"run", "--attributes", "HSRA", "."}, "order S H R A"},
    {"ArchiveWithTwoPaths", {"plan", "--archive", "-t", "/f", "a.zip", "b.zip"},
     "exactly one archive"},
    {"ArchiveWithTimes", {"run", "--archive", "-t", "/f", "--modified", "2003/04/05 06:07:08",
                          "a.zip"},
     "only names change"},
    {"UndoWithPath", {"undo", "."}, "undo takes no paths"},
    {"UndoWithStage", {"undo", "-t", "/f"}, "-t does not apply to undo"},
    {"YesOnPlan", {"plan", "--yes", "."}, "--yes does not apply to plan"},
    {"StageOnList", {"list", "-t", "/f", "."}, "-t does not apply to list"},
};

INSTANTIATE_TEST_SUITE_P(Cli, UsageErrors, ::testing::ValuesIn(kUsageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Help, DocumentsEveryOptionAndExitsZero) {
  ProgramRun r = ProgramRun::run({"--help"});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  for (const char* option :
       {"list", "plan", "run", "undo", "--archive", "--sort", "--keep-order", "-t, --template",
        "-e, --ext-template", "-r, --replace", "-w, --with", "-c, --chars", "--classes",
        "kana-single", "other-nospace", "--delimiters", "--target", "--from-right",
        "--ignore-case", "--skip", "--count", "--key", "--force-temp", "--copy-to",
        "--ignore-errors", "plugins", "/xL", "--created", "--modified", "--accessed", "--attributes",
        "--config-dir", "--yes", "--tsv", "--version", "words-lower", "swap-kana", "compose", "--folders",
        "Exit status"}) {
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  }
  // A page a person reads in a terminal: no line wider than 80 columns.
  std::size_t start = 0;
  while (start < r.out.size()) {
    std::size_t end = r.out.find('\n', start);
    EXPECT_LE(end - start, 80u) << r.out.substr(start, end - start);
    start = end + 1;
  }
}

TEST(Help, WinsOverEverythingElseAndVersionPrintsTheVersion) {
  EXPECT_EQ(ProgramRun::run({"run", "--bogus", "--help"}).status, 0);
  ProgramRun v = ProgramRun::run({"--version"});
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.out.rfind("ritoma-cli 1.", 0), 0u) << v.out;
  EXPECT_NE(v.out.find("\nLicense GPL-3.0-or-later: "), std::string::npos) << v.out;
}

}  // namespace
}  // namespace ritoma::test
