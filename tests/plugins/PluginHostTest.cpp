#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "conversion/TemplateEngine.h"
#include "platform/PosixFileSystem.h"
#include "plugins/PluginFolders.h"
#include "plugins/PluginHost.h"
#include "plugins/PluginLibrary.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

const std::string kPlugins = RITOMA_TEST_PLUGINS;

std::string J(const char* utf8) { return TextCodec::fromUtf8(utf8); }

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

// Sets RITOMA_TEST_PLUGIN_LOG to a file of the temporary folder while alive.
class PluginLog {
public:
  explicit PluginLog(const TempDir& dir) : path_(dir / "plugin.log") {
    setenv("RITOMA_TEST_PLUGIN_LOG", path_.c_str(), 1);
  }
  ~PluginLog() { unsetenv("RITOMA_TEST_PLUGIN_LOG"); }
  std::vector<std::string> lines(const TempDir& dir) const {
    std::vector<std::string> out;
    if (!dir.exists("plugin.log")) return out;
    const std::string text = dir.readFile("plugin.log");
    std::size_t at = 0;
    while (at < text.size()) {
      const std::size_t end = text.find('\n', at);
      out.push_back(text.substr(at, end - at));
      at = end + 1;
    }
    return out;
  }

private:
  std::string path_;
};

TEST(PluginLibraryTest, LoadsByPlainDecoratedOrMixedNamesAndRefusesTheRest) {
  TempDir dir;
  dir.writeFile("text.so", "not a shared object");
  ASSERT_EQ(::mkfifo((dir / "fifo.so").c_str(), 0600), 0);  // would block dlopen
  struct Case {
    std::string path;
    bool loads;
    std::string name;
    char letter;
    std::string reasonHas;
  } cases[] = {
      {kPlugins + "/plain.so", true, "Plain", 'P', ""},
      {kPlugins + "/decorated.so", true, "Decorated", 'D', ""},
      {kPlugins + "/mixed.so", true, "Mixed", 'M', ""},
      {kPlugins + "/magic1409.so", false, "", 0, "1409"},
      {kPlugins + "/noend.so", false, "", 0, "EndDLL"},
      {dir / "text.so", false, "", 0, "text.so"},
      {dir / "missing.so", false, "", 0, "missing.so"},
      {dir / "fifo.so", false, "", 0, "通常のファイルではありません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string why;
    auto lib = PluginLibrary::open(c.path, why);
    ASSERT_EQ(lib != nullptr, c.loads) << why;
    if (c.loads) {
      EXPECT_EQ(lib->name(), c.name);
      EXPECT_EQ(lib->information(), c.name + " info");
      EXPECT_EQ(lib->proposedLetter(), c.letter);
    } else {
      EXPECT_NE(why.find(c.reasonHas), std::string::npos) << why;
    }
  }
}

TEST(PluginLibraryTest, ReadsAtMost64BytesOfUnterminatedInfoTexts) {
  std::string why;
  auto lib = PluginLibrary::open(kPlugins + "/nonul.so", why);
  ASSERT_TRUE(lib) << why;
  EXPECT_EQ(lib->name(), std::string(64, 'N'));
  EXPECT_EQ(lib->information(), std::string(64, 'I'));
}

class PluginHostTest : public ::testing::Test {
protected:
  PluginCandidate candidate(const std::string& fileName) {
    std::string why;
    auto lib = PluginLibrary::open(kPlugins + "/" + fileName, why);
    EXPECT_TRUE(lib) << why;
    return {fileName, std::move(lib)};
  }

  TempDir dir;
  PosixFileSystem fs;
};

TEST_F(PluginHostTest, SettingsPutPluginsInServiceAndTheLaterOwnsASharedLetter) {
  PluginLog log(dir);
  const std::string ini = dir / "Ritoma.ini";
  dir.writeFile("Ritoma.ini",
                "[MacroEx]\nCount=5\nDLLName-0=plain.so\nCommand-0=P\n"
                "DLLName-1=/elsewhere/second.so\nCommand-1=P\nDLLName-2=gone.so\nCommand-2=G\n"
                "DLLName-3=magic1409.so\nCommand-3=Q\nDLLName-4=decorated.so\nCommand-4=D\n"
                "[MacroExG]\nKept=1\n");
  IniFile settings(fs, ini);
  std::vector<SkippedPlugin> skipped;
  {
    PluginHost host(fs, {dir.path(), kPlugins});
    host.loadSettings(settings, &skipped);
    ASSERT_EQ(host.count(), 3);
    EXPECT_EQ(host.fileName(1), "second.so");
    EXPECT_EQ(host.pluginForLetter('P'), 1);
    EXPECT_EQ(host.pluginForLetter('D'), 2);
    EXPECT_EQ(host.pluginForLetter('G'), -1);
    EXPECT_EQ(host.caption(0), "Plain(/xP)");
    ASSERT_EQ(skipped.size(), 2u);
    EXPECT_EQ(skipped[0].fileName, "gone.so");
    EXPECT_EQ(skipped[1].fileName, "magic1409.so");
    EXPECT_NE(skipped[1].reason.find("1409"), std::string::npos);

    host.saveSettings(settings);
    host.takeOutOfService();
    EXPECT_EQ(host.count(), 0);
    EXPECT_EQ(host.pluginForLetter('P'), -1);
  }
  // A failed load leaves the plug-in's own section alone.
  IniFile reread(fs, ini);
  EXPECT_EQ(reread.readString("MacroExG", "Kept"), "1");
  EXPECT_EQ(reread.readInteger("MacroEx", "Count", -1), 3);
  EXPECT_EQ(reread.readString("MacroEx", "DLLName-1"), "second.so");
  EXPECT_EQ(reread.readString("MacroEx", "Command-2"), "D");
  EXPECT_FALSE(reread.valueExists("MacroEx", "DLLName-3"));
  const std::vector<std::string> expected = {
      "init Plain P Plain(/xP) MacroExP " + ini,
      "init Second P Second(/xP) MacroExP " + ini,
      "init Decorated D Decorated(/xD) MacroExD " + ini,
      "end Plain",
      "end Second",
      "end Decorated",
  };
  EXPECT_EQ(log.lines(dir), expected);
}

TEST_F(PluginHostTest, DestroyingTheHostEndsEveryPluginAndReopeningStartsThemAgain) {
  PluginLog log(dir);
  {
    PluginHost host(fs, {kPlugins});
    host.putInService(candidate("plain.so"), 'A', "/s.ini");
    // As "設定" without changes: out of service, then in again.
    host.takeOutOfService();
    host.putInService(candidate("plain.so"), 'A', "/s.ini");
  }
  const std::vector<std::string> expected = {
      "init Plain A Plain(/xA) MacroExA /s.ini", "end Plain",
      "init Plain A Plain(/xA) MacroExA /s.ini", "end Plain"};
  EXPECT_EQ(log.lines(dir), expected);
}

TEST_F(PluginHostTest, UseCountsRestartPerRowAndPassNumbersFollowTheEngine) {
  PluginHost host(fs, {kPlugins});
  host.putInService(candidate("plain.so"), 'P', "/s.ini");
  host.putInService(candidate("mixed.so"), 'M', "/s.ini");
  TemplateEngine engine;
  engine.context.plugins = &host;
  engine.context.folderPath = J("/d/表");
  engine.CompileTemplate("/xP<a>/xM/xP", engine.nameTemplate);
  const std::string name = J("ソ.txt");
  const std::string listed = J("/d/表/ソ.txt");
  const TemplateRow row{name, true, "", listed};
  auto expected = [&](int pass) {
    const std::string tail = ":" + name + "|" + J("/d/表") + "|" + listed + "|01";
    const std::string p = std::to_string(pass);
    return "Plain[a]u1p" + p + tail + "Mixed[]u1p" + p + tail + "Plain[]u2p" + p + tail;
  };
  engine.ResetCounters(true);
  EXPECT_EQ(engine.ExpandEntry(row), expected(0));
  engine.ResetCounters(false);
  for (int pass = 1; pass <= 3; ++pass) EXPECT_EQ(engine.ExpandEntry(row), expected(pass));
}

TEST_F(PluginHostTest, NullReturnsAddNothingAndTheWindowRecordReachesSetOption) {
  PluginHost host(fs, {kPlugins});
  host.putInService(candidate("nulls.so"), 'N', "/s.ini");
  host.putInService(candidate("plain.so"), 'P', "/s.ini");
  EXPECT_EQ(host.execMacro(0, MacroCallInfo{}), std::nullopt);
  EXPECT_EQ(host.setOption(0, RitomaPluginWindow{1, 2, 3, 4}), std::nullopt);
  EXPECT_EQ(host.setOption(1, RitomaPluginWindow{-10, 20, 640, 480}), "/xP<-10,20,640,480>");
  TemplateEngine engine;
  engine.context.plugins = &host;
  engine.CompileTemplate("a/xNb", engine.nameTemplate);
  engine.ResetCounters(true);
  EXPECT_EQ(engine.ExpandEntry(TemplateRow{"x", false, "", "x"}), "ab");
}

TEST_F(PluginHostTest, CandidatesAreThePluginFilesOfAllFoldersByName) {
  dir.writeFile("text.so", "not a shared object");
  dir.writeFile("readme.txt", "");
  PluginHost host(fs, {dir.path(), kPlugins, dir / "absent"});
  std::vector<SkippedPlugin> skipped;
  std::vector<std::string> names;
  for (const PluginCandidate& c : host.candidates(&skipped)) names.push_back(c.fileName);
  const std::vector<std::string> expected = {"decorated.so", "mixed.so", "nonul.so", "nulls.so",
                                             "plain.so", "second.so"};
  EXPECT_EQ(names, expected);
  std::vector<std::string> skippedNames;
  for (const SkippedPlugin& s : skipped) skippedNames.push_back(s.fileName);
  EXPECT_EQ(skippedNames, (std::vector<std::string>{"magic1409.so", "noend.so", "text.so"}));
}

TEST_F(PluginHostTest, TheSampleCountsCharactersOfTheCurrentName) {
  const std::string sample = RITOMA_SAMPLE_PLUGIN;
  // Bound to a letter other than the one it proposes: "+" inserts a macro
  // with the bound letter.
  dir.writeFile("Ritoma.ini", "[MacroEx]\nCount=1\nDLLName-0=charcount.so\nCommand-0=K\n");
  IniFile settings(fs, dir / "Ritoma.ini");
  PluginHost host(fs, {folderOf(sample)});
  host.loadSettings(settings);
  ASSERT_EQ(host.count(), 1);
  EXPECT_EQ(host.caption(0), J("文字数(/xK)"));
  EXPECT_EQ(host.setOption(0, RitomaPluginWindow{}), "/xK<3>");
  TemplateEngine engine;
  engine.context.plugins = &host;
  engine.CompileTemplate("/xK<3>-/xK", engine.nameTemplate);
  engine.ResetCounters(false);
  // 表 and ソ are one character each, two bytes each.
  const std::string name = J("表ソab");
  EXPECT_EQ(engine.ExpandEntry(TemplateRow{name, false, "", ""}), "004-4");
}

TEST(PluginFoldersTest, ExecutableFolderThenItsInstalledTreeThenUserData) {
  EXPECT_EQ(PluginFolders::locate("/opt/r/bin", "/data", "/home/u"),
            (std::vector<std::string>{"/opt/r/bin", "/opt/r/lib/ritoma/plugins", "/data/ritoma/plugins"}));
  EXPECT_EQ(PluginFolders::locate("/usr/bin", "relative", "/home/u"),
            (std::vector<std::string>{"/usr/bin", "/usr/lib/ritoma/plugins",
                                      "/home/u/.local/share/ritoma/plugins"}));
  EXPECT_EQ(PluginFolders::locate("", "", ""), (std::vector<std::string>{}));
}

TEST(PluginFoldersTest, InstallFolderIsBesideTheExecutablesFolder) {
  const struct {
    const char* executableFolder;
    const char* expected;
  } cases[] = {
      {"/usr/bin", "/usr/lib/ritoma/plugins"},
      {"/home/u/.local/bin/", "/home/u/.local/lib/ritoma/plugins"},
      {"/bin", "/lib/ritoma/plugins"},
      {"/", "/lib/ritoma/plugins"},
      {"/home/表ソ/bin", "/home/表ソ/lib/ritoma/plugins"},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PluginFolders::installFolder(c.executableFolder), c.expected) << c.executableFolder;
}

}  // namespace
}  // namespace ritoma
