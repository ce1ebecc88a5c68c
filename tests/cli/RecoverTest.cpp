#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "ProgramRun.h"
#include "platform/PosixFileSystem.h"
#include "platform/TimeConvert.h"
#include "support/TempDir.h"

namespace ritoma::test {
namespace {

constexpr int kKilled = 128 + 9;  // SIGKILL
constexpr int kFiles = 300;

// Name -> times and attributes, as the disk has them.
using Snapshot = std::map<std::string, std::tuple<FileTime, FileTime, FileTime, std::uint32_t>>;

// Runs ritoma-cli built with the kill switch, which kills itself with
// SIGKILL just before the given operation ("KIND:N") when one is given.
ProgramRun runKilledAt(const std::vector<std::string>& args, const std::string& killAt) {
  if (!killAt.empty()) ::setenv("RITOMA_CLI_KILL_AT", killAt.c_str(), 1);
  ProgramRun r = ProgramRun::runKillable(args);
  ::unsetenv("RITOMA_CLI_KILL_AT");
  return r;
}

class Recover : public ::testing::Test {
protected:
  Recover() {
    dir.makeFolder("work");
    dir.makeFolder("cfg");
  }

  ProgramRun cli(std::vector<std::string> args, const std::string& killAt = {}) const {
    args.insert(args.begin() + 1, {"--config-dir", dir / "cfg"});
    return runKilledAt(args, killAt);
  }

  // Files named with 表 and ソ (trail byte 0x5C), with whole-second times
  // that differ per file and some read-only or hidden.
  void makeFiles() {
    for (int i = 0; i < kFiles; ++i) {
      const std::string name = (i % 3 == 0 ? "表" : i % 3 == 1 ? "ソ" : "f") + std::to_string(i) + ".txt";
      dir.writeFile("work/" + name, name);
      const FileTime t = TimeConvert::fromUnixSeconds(1400000000 + 3671 * i);
      const std::string path = dir / ("work/" + name);
      ASSERT_FALSE(fs.setTimes(path, t, t + 10'000'000LL * 86400, t + 20'000'000LL * 86400));
      std::uint32_t attrs = AttrArchive;
      if (i % 7 == 0) attrs |= AttrReadOnly;
      if (i % 11 == 0) attrs |= AttrHidden;
      else ++listed;
      ASSERT_FALSE(fs.setAttributes(path, attrs));
    }
  }

  Snapshot snapshot() {
    std::vector<FileInfo> entries;
    EXPECT_FALSE(fs.listFolder(dir / "work", entries));
    Snapshot out;
    for (const FileInfo& e : entries) out[e.name] = {e.created, e.modified, e.accessed, e.attributes};
    return out;
  }

  // The recovery finds every row and prints it "ok"; afterwards commands run again.
  void recoverAll(std::size_t rows) {
    ProgramRun blocked = cli({"plan", "-t", "/f", dir / "work"});
    EXPECT_EQ(blocked.status, 2);
    EXPECT_NE(blocked.err.find("ritoma-cli recover"), std::string::npos) << blocked.err;
    ProgramRun r = cli({"recover", "--yes", "--tsv"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::size_t ok = 0;
    for (std::size_t at = 0; (at = r.out.find("\tok\n", at)) != std::string::npos; ++at) ++ok;
    EXPECT_EQ(ok, rows) << r.out;
    EXPECT_EQ(r.out.find("failed"), std::string::npos);
    EXPECT_FALSE(dir.exists("cfg/Ritoma.jnl"));
  }

  TempDir dir;
  PosixFileSystem fs;
  std::size_t listed = 0;  // the files a folder run takes: hidden ones stay out
};

struct KillCase {
  const char* name;
  std::vector<std::string> options;
  const char* killAt;
};

class RecoverKilledRun : public Recover, public ::testing::WithParamInterface<KillCase> {};

// A real run killed partway: recovery finds every original name, time and
// attribute, whatever the stage was.
TEST_P(RecoverKilledRun, FindsEveryNameTimeAndAttribute) {
  const KillCase& c = GetParam();
  makeFiles();
  const Snapshot before = snapshot();
  std::vector<std::string> args = {"run", "-t", "x_/f"};
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.push_back(dir / "work");
  ProgramRun killed = cli(args, c.killAt);
  ASSERT_EQ(killed.status, kKilled) << killed.err;
  ASSERT_TRUE(dir.exists("cfg/Ritoma.jnl"));
  EXPECT_NE(snapshot(), before);
  recoverAll(listed);
  EXPECT_EQ(snapshot(), before);
  // Run again, the recovery has nothing left to do.
  EXPECT_EQ(cli({"recover", "--yes"}).status, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Points, RecoverKilledRun,
    ::testing::Values(KillCase{"InTemporaryNames", {"--force-temp"}, "rename:150"},
                      KillCase{"InRenamesThroughTemporaryNames", {"--force-temp"}, "rename:450"},
                      KillCase{"InRenames", {}, "rename:200"},
                      KillCase{"InTimes", {"--modified", "2010/01/02 03:04:05"}, "times:150"},
                      // two attribute calls per read-only row in the time stage
                      // (about 80), then one per row in the attribute stage
                      KillCase{"InAttributes",
                               {"--created", "2011/01/02 03:04:05", "--attributes", "--RA"},
                               "attributes:200"}),
    [](const auto& info) { return std::string(info.param.name); });

// A batch, or the undo of the latest, killed at each of its renames (the
// files' and then the undo records'), and recovered: the files are as
// before it, and the history is the one it found, which undo then walks
// back to the original names.
TEST(RecoverHistory, RunOrUndoKilledAtEachRenameLeavesTheHistoryItFound) {
  struct Case {
    const char* name;
    std::vector<std::string> command;  // after "--config-dir DIR"; the folder is added
    int renames;                       // the files' and the records'
  };
  // Two files; the batch moves two records back and puts its own on top,
  // the undo sets the latest aside and moves the one before it down.
  for (const Case& c : {Case{"Batch", {"run", "-r", "2", "-w", "3"}, 2 + 3}, Case{"Undo", {"undo"}, 2 + 2}}) {
    for (int at = 1; at <= c.renames; ++at) {
      SCOPED_TRACE(std::string(c.name) + " killed at rename " + std::to_string(at));
      TempDir dir;
      dir.makeFolder("work");
      dir.makeFolder("cfg");
      auto cli = [&](std::vector<std::string> args, const std::string& killAt = {}) {
        args.insert(args.begin() + 1, {"--config-dir", dir / "cfg"});
        return runKilledAt(args, killAt);
      };
      dir.writeFile("work/表1", "1");
      dir.writeFile("work/ソ1", "2");
      ASSERT_EQ(cli({"run", "-r", "1", "-w", "2", dir / "work"}).status, 0);
      ASSERT_EQ(cli({"run", "-t", "x/f", dir / "work"}).status, 0);
      const std::vector<std::string> found = dir.names("work");
      const std::string latest = dir.readFile("cfg/Ritoma.und");
      const std::string older = dir.readFile("cfg/Ritoma.und.1");

      std::vector<std::string> killedArgs = c.command;
      if (c.command[0] == "run") killedArgs.push_back(dir / "work");
      ASSERT_EQ(cli(killedArgs, "rename:" + std::to_string(at)).status, kKilled);
      ProgramRun recovered = cli({"recover", "--yes"});
      ASSERT_EQ(recovered.status, 0) << recovered.err;
      EXPECT_EQ(dir.names("work"), found);
      EXPECT_EQ(dir.names("cfg"), (std::vector<std::string>{"Ritoma.und", "Ritoma.und.1"}));
      EXPECT_EQ(dir.readFile("cfg/Ritoma.und"), latest);
      EXPECT_EQ(dir.readFile("cfg/Ritoma.und.1"), older);

      ASSERT_EQ(cli({"undo"}).status, 0);
      ASSERT_EQ(cli({"undo"}).status, 0);
      EXPECT_EQ(dir.names("work"), (std::vector<std::string>{"ソ1", "表1"}));
      EXPECT_TRUE(dir.names("cfg").empty());
    }
  }
}

// A stored ZIP of a few large entries, written by the test: the rewrite
// copies each entry's data in several writes.
std::string storedZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  auto u16 = [](std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
  };
  auto u32 = [&](std::string& s, std::uint32_t v) {
    u16(s, v & 0xFFFF);
    u16(s, v >> 16);
  };
  std::string out, central;
  for (const auto& [name, data] : entries) {
    const auto offset = static_cast<std::uint32_t>(out.size());
    out += "PK\x03\x04";
    u16(out, 10); u16(out, 0); u16(out, 0); u16(out, 0); u16(out, 0x21);
    u32(out, 0); u32(out, data.size()); u32(out, data.size());
    u16(out, name.size()); u16(out, 0);
    out += name + data;
    central += "PK\x01\x02";
    u16(central, 10); u16(central, 10); u16(central, 0); u16(central, 0); u16(central, 0);
    u16(central, 0x21); u32(central, 0); u32(central, data.size()); u32(central, data.size());
    u16(central, name.size()); u16(central, 0); u16(central, 0); u16(central, 0); u16(central, 0);
    u32(central, 0); u32(central, offset);
    central += name;
  }
  const auto directory = static_cast<std::uint32_t>(out.size());
  out += central;
  out += "PK\x05\x06";
  u16(out, 0); u16(out, 0); u16(out, entries.size()); u16(out, entries.size());
  u32(out, central.size()); u32(out, directory); u16(out, 0);
  return out;
}

// An archive run killed while writing the new archive: recovery puts the
// backup back, byte for byte, and removes what the run wrote.
TEST_F(Recover, ArchiveRunKilledWhileWritingGetsItsBackupBack) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < 3; ++i) entries.emplace_back("表" + std::to_string(i) + ".bin", std::string(1500000, static_cast<char>('a' + i)));
  const std::string original = storedZip(entries);
  dir.writeFile("work/ソ.zip", original);
  ProgramRun killed = cli({"run", "--archive", "-t", "x_/f", dir / "work/ソ.zip"}, "write:4");
  ASSERT_EQ(killed.status, kKilled) << killed.err;
  EXPECT_EQ(dir.names("work"), (std::vector<std::string>{"ソ.zip", "ソ_BAK.zip"}));
  recoverAll(entries.size());
  EXPECT_EQ(dir.names("work"), std::vector<std::string>{"ソ.zip"});
  EXPECT_TRUE(dir.readFile("work/ソ.zip") == original);
}

TEST_F(Recover, NothingToRecoverAndADamagedJournalChangeNothing) {
  ProgramRun none = cli({"recover", "--yes"});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("no interrupted run"), std::string::npos) << none.err;
  dir.writeFile("cfg/Ritoma.jnl", std::string("RitomaJ1\x00\x05/x/", 13));
  ProgramRun damaged = cli({"recover", "--yes"});
  EXPECT_EQ(damaged.status, 2);
  EXPECT_NE(damaged.err.find("壊れています"), std::string::npos) << damaged.err;
  EXPECT_TRUE(dir.exists("cfg/Ritoma.jnl"));
  ASSERT_FALSE(fs.remove(dir / "cfg/Ritoma.jnl"));
  // Without a terminal or --yes the question is answered no: nothing changes.
  makeFiles();
  ASSERT_EQ(cli({"run", "-t", "x_/f", dir / "work"}, "rename:3").status, kKilled);
  ProgramRun declined = cli({"recover"});
  EXPECT_EQ(declined.status, 1);
  EXPECT_TRUE(dir.exists("cfg/Ritoma.jnl"));
}

// A journal given up with --discard is kept under a dated name, the files
// stay as the killed run left them, and what the run left beside the
// journal (its temporary undo record) goes; commands run again.
TEST_F(Recover, DiscardSetsTheJournalAsideAndCommandsRunAgain) {
  makeFiles();
  ASSERT_EQ(cli({"run", "-t", "x_/f", dir / "work"}, "rename:3").status, kKilled);
  const Snapshot left = snapshot();
  std::vector<std::string> config = dir.names("cfg");
  ASSERT_EQ(config.size(), 2u);
  EXPECT_TRUE(config[1].starts_with("Ritoma.und.tmp")) << config[1];

  ProgramRun discarded = cli({"recover", "--discard"});
  EXPECT_EQ(discarded.status, 0) << discarded.err;
  config = dir.names("cfg");
  ASSERT_EQ(config.size(), 1u);
  EXPECT_TRUE(config[0].starts_with("Ritoma.jnl.20")) << config[0];
  EXPECT_NE(discarded.err.find(dir / ("cfg/" + config[0])), std::string::npos) << discarded.err;
  EXPECT_EQ(snapshot(), left);
  EXPECT_EQ(cli({"plan", "-t", "/f", dir / "work"}).status, 0);
  EXPECT_EQ(cli({"recover", "--discard"}).status, 2);
  EXPECT_EQ(cli({"recover", "--discard", "--yes"}).status, 2);
}

// Undo that finds none of its files fails, names them and keeps the record.
TEST_F(Recover, UndoThatFindsNoFileFailsAndKeepsTheRecord) {
  dir.writeFile("work/表.txt", "a");
  dir.writeFile("work/ソ.txt", "b");
  ASSERT_EQ(cli({"run", "-t", "x_/f", dir / "work"}).status, 0);
  const std::string record = dir.readFile("cfg/Ritoma.und");
  ASSERT_FALSE(fs.remove(dir / "work/x_表.txt"));
  ASSERT_FALSE(fs.remove(dir / "work/x_ソ.txt"));
  ProgramRun undo = cli({"undo", "--yes", "--tsv"});
  EXPECT_EQ(undo.status, 3) << undo.err;
  EXPECT_NE(undo.out.find("x_表.txt\t\tnot found\n"), std::string::npos) << undo.out;
  EXPECT_NE(undo.err.find("2個のファイルがありません"), std::string::npos) << undo.err;
  EXPECT_EQ(dir.readFile("cfg/Ritoma.und"), record);
}

}  // namespace
}  // namespace ritoma::test
