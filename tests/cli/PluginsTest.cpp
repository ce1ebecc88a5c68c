#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
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
            "C\t文字数\tcharcount.so\t名前の文字数（拡張子を含む）: <n>でn桁に0埋め\n");
  EXPECT_NE(list.err.find("skipped plug-in absent.so"), std::string::npos) << list.err;
}

// A FIFO under a plug-in's name would block the loader for good; it is
// skipped like any file that is no plug-in.
TEST_F(CliPlugins, AFifoNamedLikeAPluginIsSkippedNotOpened) {
  for (const char* folder : {"data", "data/ritoma", "data/ritoma/plugins"}) dir.makeFolder(folder);
  ASSERT_EQ(::mkfifo((dir / "data/ritoma/plugins/y.so").c_str(), 0600), 0);
  dir.writeFile("cfg/Ritoma.ini", "[MacroEx]\nCount=1\nDLLName-0=y.so\nCommand-0=Y\n");
  dir.writeFile("work/表ソ.txt");
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string before = saved ? saved : "";
  ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  const std::string config = dir / "cfg";
  const ProgramRun list = ProgramRun::runWithin(20, {"plugins", "--config-dir", config, "--tsv"});
  const ProgramRun plan =
      ProgramRun::runWithin(20, {"plan", "--config-dir", config, "--tsv", "-t", "/f", dir / "work"});
  if (saved) ::setenv("XDG_DATA_HOME", before.c_str(), 1);
  else ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.err.find("skipped plug-in y.so"), std::string::npos) << list.err;
  EXPECT_EQ(plan.status, 0) << plan.err;
  EXPECT_EQ(plan.out, "表ソ.txt	表ソ.txt	ok\n");
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

TEST_F(CliPlugins, PlanNamesPhotosByTheDateTakenThroughThePhotoPlugin) {
  const std::filesystem::path cliFolder = std::filesystem::path(RITOMA_CLI_PATH).parent_path();
  if (!std::filesystem::exists(cliFolder / "exif.so") || !std::filesystem::exists(cliFolder / "audio.so"))
    GTEST_SKIP() << "built without the metadata plug-ins";
  dir.writeFile("cfg/Ritoma.ini",
                "[MacroEx]\nCount=2\nDLLName-0=exif.so\nCommand-0=E\nDLLName-1=audio.so\nCommand-1=M\n");
  const std::string fixtures = std::string(RITOMA_FIXTURES) + "/metadata/";
  for (const char* name : {"photo.jpg", "nodate.jpg", "photo.heic", "song.mp3"})
    std::filesystem::copy_file(fixtures + name, dir / (std::string("work/表ソ") + name));

  // Rows in the list's name order; the serial number counts them. A song has no date
  // taken: its name starts with "_".
  ProgramRun plan = cli({"plan", "--tsv", "-t", "/xE<date,%Y%m%d>_/n", dir / "work"});
  ASSERT_EQ(plan.status, 0) << plan.err;
  EXPECT_EQ(plan.out,
            "表ソnodate.jpg\t20231231_001.jpg\tok\n"
            "表ソphoto.jpg\t20240503_002.jpg\tok\n"
            "表ソphoto.heic\t20220222_003.heic\tok\n"
            "表ソsong.mp3\t_004.mp3\tok\n");

  ProgramRun list = cli({"plugins", "--tsv"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out.find("E\t写真情報\texif.so\t"), 0u) << list.out;
  EXPECT_NE(list.out.find("\nM\t曲情報\taudio.so\t"), std::string::npos) << list.out;
}

}  // namespace
}  // namespace ritoma::test
