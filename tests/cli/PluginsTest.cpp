#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramRun.h"
#include "support/TempDir.h"

namespace ritoma::test {
namespace {

// The sample plug-in is built beside ritoma-cli, the first folder searched.
class CliPlugins : public ::testing::Test {
protected:
  CliPlugins() {
    dir.makeFolder("work");
    dir.makeFolder("cfg");
  }

  ProgramRun cli(std::vector<std::string> args) const {
    args.insert(args.begin() + 1, {"--config-dir", dir / "cfg"});
    return ProgramRun::run(args);
  }

  TempDir dir;
};

TEST_F(CliPlugins, PlanExpandsTheSampleMacroAndPluginsListsIt) {
  dir.writeFile("cfg/Ritoma.ini",
                "[MacroEx]\nCount=2\nDLLName-0=charcount.so\nCommand-0=C\n"
                "DLLName-1=absent.so\nCommand-1=Z\n");
  dir.writeFile("work/表ソ.txt");
  dir.writeFile("work/abcdefghij.txt");
  ProgramRun plan = cli({"plan", "--tsv", "-t", "/xC<3>_/f", dir / "work"});
  ASSERT_EQ(plan.status, 0) << plan.err;
  // The name before the stage, extension included; 表 and ソ count as one each.
  EXPECT_EQ(plan.out, "abcdefghij.txt\t014_abcdefghij.txt\tok\n表ソ.txt\t006_表ソ.txt\tok\n");

  ProgramRun list = cli({"plugins", "--tsv"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out,
            "C\tCharCount\tcharcount.so\tNumber of characters of the name; <n> pads to n digits\n");
  EXPECT_NE(list.err.find("skipped plug-in absent.so"), std::string::npos) << list.err;
}

TEST_F(CliPlugins, WithoutPluginsInServiceXStaysLiteral) {
  dir.writeFile("work/a.txt");
  // The literal "/xC" puts a slash into the name, which the check refuses.
  ProgramRun plan = cli({"plan", "--tsv", "-t", "/f/xC", dir / "work"});
  EXPECT_EQ(plan.status, 1) << plan.err;
  EXPECT_EQ(plan.out.rfind("a.txt\ta/xC.txt\t", 0), 0u) << plan.out;
  ProgramRun list = cli({"plugins"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out.rfind("LETTER", 0), 0u) << list.out;
  EXPECT_NE(cli({"plugins", "extra"}).status, 0);
}

}  // namespace
}  // namespace ritoma::test
