#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramRun.h"
#include "archive/ArchiveTestSupport.h"
#include "support/TempDir.h"

namespace ritoma::test {
namespace {

// Copies of the files of "work" into "out" as dummies, with the settings
// folder "cfg".
class DummyCli : public ::testing::Test {
protected:
  DummyCli() {
    dir.makeFolder("work");
    dir.makeFolder("out");
    dir.makeFolder("cfg");
    dir.writeFile("work/表.txt", "l1\nl2\nl3\n");
    dir.writeFile("work/ソ.lzh", readBytes(fixturePath("level2.lzh")));
  }

  ProgramRun cli(std::vector<std::string> dummyArgs) const {
    std::vector<std::string> args = {"run", "--config-dir", dir / "cfg", "-t", "n_/n<1,1>", "--copy-to", dir / "out"};
    args.insert(args.end(), dummyArgs.begin(), dummyArgs.end());
    args.push_back(dir / "work");
    return ProgramRun::run(args);
  }
  std::string out(const std::string& name) const { return dir.readFile("out/" + name); }

  TempDir dir;
};

TEST_F(DummyCli, EachKindOfDummy) {
  // Name order: ソ (83 5C) before 表 (95 5C), so ソ.lzh is n_1.lzh.
  ProgramRun r = cli({"--dummy-text", "ソ\r\nx"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(out("n_1.lzh"), "ソ\r\nx");
  EXPECT_EQ(out("n_2.txt"), "ソ\r\nx");

  r = ProgramRun::run({"run", "--config-dir", dir / "cfg", "-t", "e_/n<1,1>", "--copy-to", dir / "out",
                       "--dummy-text", "", dir / "work"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(out("e_2.txt"), "");

  r = ProgramRun::run({"run", "--config-dir", dir / "cfg", "-t", "b_/n<1,1>", "--copy-to", dir / "out",
                       "--dummy-bytes", "1,3", dir / "work"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(out("b_2.txt"), "1\nl");

  r = ProgramRun::run({"run", "--config-dir", dir / "cfg", "-t", "l_/n<1,1>", "--copy-to", dir / "out",
                       "--dummy-lines", "2,5,7", dir / "work"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(out("l_2.txt"), "l2\r\nl3\r");

  r = ProgramRun::run({"run", "--config-dir", dir / "cfg", "-t", "a_/n<1,1>", "--copy-to", dir / "out",
                       "--dummy-from-archive", "1,ext", "--dummy-lines", "3,1", dir / "work"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(out("a_1.txt"), plainText());
  EXPECT_EQ(out("a_2.txt"), "l3\r\n");
  EXPECT_NE(r.out.find("a_1.txt"), std::string::npos) << r.out;
  EXPECT_EQ(dir.names("work"), (std::vector<std::string>{"ソ.lzh", "表.txt"}));
}

TEST_F(DummyCli, DummySectionIsReadOnlyWithADummyOption) {
  dir.writeFile("cfg/Ritoma.ini", "[Dummy]\nEdit=from\\sini\\n\nZeroByte=0\nPage=0\nNotArc=0\n");
  ProgramRun r = cli({});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(out("n_2.txt"), "l1\nl2\nl3\n");

  r = ProgramRun::run({"run", "--config-dir", dir / "cfg", "-t", "a_/n<1,1>", "--copy-to", dir / "out",
                       "--dummy-from-archive", "2", dir / "work"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(out("a_1.lzh"), linesText());
  EXPECT_EQ(out("a_2.txt"), "from ini\r\n");
}

// A link or a damaged archive gives its copy the fallback and a warning
// line; the run is done.
TEST_F(DummyCli, ArchivesThatCannotGiveTheirFileGetTheFallbackWithAWarning) {
  dir.writeFile("work/cut.zip", readBytes(fixturePath("truncated.zip")));
  dir.writeFile("work/ソlink.zip", readBytes(fixturePath("link.zip")));
  // Name order: cut.zip, ソ.lzh, ソlink.zip, 表.txt.
  const ProgramRun r = cli({"--dummy-from-archive", "1", "--dummy-text", "fb"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(out("n_1.zip"), "fb");
  EXPECT_EQ(out("n_2.lzh"), plainText());
  EXPECT_EQ(out("n_3.zip"), "fb");
  EXPECT_EQ(out("n_4.txt"), "fb");
  EXPECT_NE(r.err.find("ritoma-cli: warning: cut.zip -> n_1.zip: 代わりの内容で作成: 書庫が壊れています"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("ritoma-cli: warning: ソlink.zip -> n_3.zip: 代わりの内容で作成: "
                       "書庫内の「ソlink.txt」はリンクのため展開できません\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("ソ.lzh ->"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("表.txt ->"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("failed"), std::string::npos) << r.out;
}

TEST_F(DummyCli, UsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"run", "--dummy-text", "x", "PATH"},
      {"run", "--copy-to", "/tmp", "--dummy-text", "x", "--dummy-bytes", "0,1", "PATH"},
      {"run", "--copy-to", "/tmp", "--dummy-bytes", "1", "PATH"},
      {"run", "--copy-to", "/tmp", "--dummy-lines", "0,1", "PATH"},
      {"run", "--copy-to", "/tmp", "--dummy-bytes", "0,40000", "PATH"},
      {"run", "--copy-to", "/tmp", "--dummy-from-archive", "1,zip", "PATH"},
      {"run", "--copy-to", "/tmp", "--dummy-from-archive", "1,fallback=text", "--dummy-lines", "1,1", "PATH"},
  };
  for (const auto& args : cases) {
    const ProgramRun r = ProgramRun::run(args);
    EXPECT_EQ(r.status, 2) << args[3] << " " << r.err;
    EXPECT_NE(r.err.find("dummy"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace ritoma::test
