#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "conversion/NotIntegerError.h"
#include "conversion/TemplateEngine.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string J(const char* utf8) { return TextCodec::fromUtf8(utf8); }

constexpr const char* kInfo = "2003/04/05 06:07:08 1,234";

struct Row {
  std::string source;
  bool key = false;
  std::string info = kInfo;
};

class TemplateEngineTest : public ::testing::Test {
protected:
  TemplateEngine engine;

  void compile(const std::string& name, const std::string& ext = "/e<0,0,0>") {
    engine.ClearTemplates();
    engine.CompileTemplate(name, engine.nameTemplate);
    engine.CompileTemplate(ext, engine.extTemplate);
  }
  // A real pass over `rows`, as the conversion page runs it.
  std::vector<std::string> pass(const std::vector<Row>& rows) {
    engine.ResetCounters(false);
    std::vector<std::string> out;
    for (const Row& r : rows) out.push_back(engine.ExpandEntry({r.source, r.key, r.info, r.source}));
    return out;
  }
  std::string one(const std::string& name, const std::string& ext, const std::string& source) {
    compile(name, ext);
    return pass({{source}}).front();
  }
};

TEST_F(TemplateEngineTest, NumberedNamesWithDateAndLowerCaseExtension) {
  compile("IMG_/n<1,4>-/D<m3d3>", "/e<,,1>");
  EXPECT_EQ(pass({{"A.JPG", false, "2003/04/05 06:07:08 10"}, {"B.JPG", false, "2003/12/24 00:00:00 10"}}),
            (std::vector<std::string>{"IMG_0001-0405.jpg", "IMG_0002-1224.jpg"}));
}

TEST_F(TemplateEngineTest, SingleRowExpansions) {
  struct Case {
    const char* what;
    std::string name, ext, source, expected;
  };
  const std::vector<Case> cases = {
      {"literal only", "abc", "/e<0,0,0>", "x.txt", "abc.txt"},
      {"empty extension template: no dot", "abc", "", "x.txt", "abc"},
      {"name and extension reproduce the name", "/f", "/e", "archive.tar.gz", "archive.tar.gz"},
      {"/f stops at the last dot", "/f", "", "archive.tar.gz", "archive.tar"},
      {"/e is the last extension", "/e", "", "archive.tar.gz", "gz"},
      {"dot file: empty /f", "[/f]", "", ".profile", "[]"},
      {"dot file: /e", "/e", "", ".profile", "profile"},
      {"no dot: empty /e", "[/e]", "", "README", "[]"},
      {"unknown letter is literal", "/z", "", "a", "/z"},
      {"capital F is not a macro", "/F", "", "a", "/F"},
      {"lone slash at the end", "a/", "", "b", "a/"},
      {"double slash", "a//b", "", "c", "a/b"},
      {"open block without close", "/f<", "", "abc.txt", "abc"},
      {"open block keeps the rest literal", "/f<3", "", "abc.txt", "abc3"},
      {"/n start", "/n<5>", "", "a", "005"},
      {"/n step only", "/n<,,2>", "", "a", "001"},
      {"/n variable width", "/n<1,0>", "", "a", "1"},
      {"fourth field ignored", "/n<1,2,3,4>", "", "a", "01"},
      {"negative number keeps its sign", "/n<-5,3>", "", "a", "-005"},
      {"/x without plug-ins is literal", "/xA<opt>", "", "a", "/xA<opt>"},
      {"short /x is literal", "/x", "", "a", "/x"},
      {"lower-case /x letter is literal", "/xa", "", "a", "/xa"},
      {"/f start and length", "/f<1,2>", "", "abcde.txt", "bc"},
      {"/f from the right", "/f<-3>", "", "abcde.txt", "cde"},
      {"/f dropping the right end", "/f<0,-2>", "", "abcde.txt", "abc"},
      {"/f start beyond the end", "[/f<9>]", "", "abc.txt", "[]"},
      {"/f length drops everything", "[/f<0,-9>]", "", "abc.txt", "[]"},
      {"/f upper case", "/f<,,2>", "", "abc.txt", "ABC"},
      {"/e lower case", "/e<,,1>", "", "a.TXT", "txt"},
      {"full-width letters change case", "/f<,,2>", "", J("ａｂ.txt"), J("ＡＢ")},
      // A byte-based cut may split a double-byte character; it is left so.
      {"cut splits a double-byte character", "/f<0,3>", "", J("日本語.txt"), J("日本").substr(0, 3)},
      {"trail byte 0x5C in literals", J("表/fソ"), "", "x", J("表xソ")},
      {"double-byte after a slash is literal", J("/表"), "", "x", J("/表")},
      {"trail byte 0x7C in literals", J("－/f－"), "", "x", J("－x－")},
      {"half-width kana next to double-byte", J("ｱ/fこｱ"), "", J("ｶﾞ表"), J("ｱｶﾞ表こｱ")},
  };
  for (const Case& c : cases) EXPECT_EQ(one(c.name, c.ext, c.source), c.expected) << c.what;
}

TEST_F(TemplateEngineTest, DateAndTimeCodes) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"/D", "20030405"},      {"/D<y1m1d1>", "0345"}, {"/D<d3m3y2>", "05042003"},
      {"/T", " 60708"},        {"/T<h3m3s3>", "060708"}, {"/D<y2x1>", "2003"},
      {"/D<d2m2>", " 5 4"},    {"/D<>", ""},           {"/D<m4d3>", ""},
      {"/D<h2>", "2003"},      {"/T<y1>", "6"},        {"/D<y1m3d3>", "030405"},
  };
  for (const auto& [tmpl, expected] : cases) EXPECT_EQ(one(tmpl, "", "a.txt"), expected) << tmpl;
}

TEST_F(TemplateEngineTest, DateDefaultsFollowMacroDefaults) {
  engine.context.defaults.Dy1 = 0;  // no year
  engine.context.defaults.Dm2 = 0;  // month variable
  EXPECT_EQ(one("/D", "", "a"), "405");
  engine.context.defaults.Th1 = 0;
  EXPECT_EQ(one("/T", "", "a"), "0708");
}

TEST_F(TemplateEngineTest, SizeAlignmentAndSeparators) {
  engine.context.sizeWidth = 11;  // "123,456,789"
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"/s<0,1>", "1,234"}, {"/s<0,0>", "1234"}, {"/s<1,1>", "      1,234"}, {"/s<1,0>", "     1234"},
      {"/s", "1,234"},
  };
  for (const auto& [tmpl, expected] : cases) EXPECT_EQ(one(tmpl, "", "a"), expected) << tmpl;
  compile("/s<1,1>", "");
  EXPECT_EQ(pass({{"folder", false, "2003/04/05 06:07:08 0"}}).front(), "          0");
}

TEST_F(TemplateEngineTest, NumberingAcrossRows) {
  compile("/n-/n", "");
  EXPECT_EQ(pass({{"a"}, {"b"}}), (std::vector<std::string>{"001-001", "002-002"}));
  compile("/n<1,0>", "/n<1,0>");  // name before extension, each counts on its own
  auto names = pass(std::vector<Row>(10, Row{"x"}));
  EXPECT_EQ(names.front(), "1.1");
  EXPECT_EQ(names.back(), "10.10");
  compile("/n<,,2>", "");
  EXPECT_EQ(pass({{"a"}, {"b"}}), (std::vector<std::string>{"001", "003"}));
}

TEST_F(TemplateEngineTest, ParentKeySerial) {
  compile("/K", "");
  std::vector<Row> rows = {{"a"}, {"b"}, {"k1", true}, {"c"}};
  for (int i = 2; i <= 36; ++i) rows.push_back({"k", true});
  const auto names = pass(rows);
  EXPECT_EQ(names[0], "0");
  EXPECT_EQ(names[1], "0");
  EXPECT_EQ(names[2], "1");
  EXPECT_EQ(names[3], "1");
  EXPECT_EQ(names[4 + 8], "a");   // tenth key row
  EXPECT_EQ(names[4 + 33], "z");  // 35th key row
  EXPECT_EQ(names[4 + 34], "");   // 36th key row: nothing
  compile("/K<0,-2>", "");
  EXPECT_EQ(pass(std::vector<Row>(11, Row{"k", true})).back(), "B");
  compile("/K<0,3>", "");
  EXPECT_EQ(pass({{"a"}, {"k", true}}), (std::vector<std::string>{"000", "001"}));
}

TEST_F(TemplateEngineTest, ChildKeySerialRestartsOnKeyRows) {
  compile("/k", "");
  EXPECT_EQ(pass({{"a"}, {"b"}, {"k", true}, {"c"}, {"k", true}}),
            (std::vector<std::string>{"01", "02", "01", "02", "01"}));
}

TEST_F(TemplateEngineTest, PreviewNumbersTheRowAsTheFirst) {
  compile("/n/k/K", "");
  engine.ResetCounters(true);
  EXPECT_EQ(engine.ExpandEntry({"x", false, kInfo, "x"}), "001010");
  EXPECT_EQ(engine.passNumber, 0);
  engine.ResetCounters(true);
  EXPECT_EQ(engine.ExpandEntry({"x", true, kInfo, "x"}), "001011");
}

TEST_F(TemplateEngineTest, FolderNameIsFixedAtCompileTime) {
  struct Case {
    std::string folder;
    bool inArchive;
    std::string tmpl, expected;
  };
  const std::vector<Case> cases = {
      {"/", false, "[/o]", "[]"},
      {"/data/Photos/2003", false, "/o", "2003"},
      {"/data/" + J("能力"), false, "/o", J("能力")},
      {"/data/" + J("表ソ"), false, "/o<1>", J("表ソ").substr(1)},
      {"/data/photos", false, "/o<0,3,2>", "PHO"},
      {"/data/x", true, "/o", J("書庫.lzh")},
  };
  for (const Case& c : cases) {
    engine.context.folderPath = c.folder;
    engine.context.archiveName = J("書庫.lzh");
    engine.context.inArchive = c.inArchive;
    compile(c.tmpl, "");
    for (const TemplateElement& e : engine.nameTemplate) EXPECT_FALSE(e.data) << c.folder;
    EXPECT_EQ(pass({{"x"}}).front(), c.expected) << c.folder;
  }
}

TEST_F(TemplateEngineTest, NonIntegerFieldRaisesTheMessage) {
  struct Case {
    std::string tmpl, field;
  };
  const std::vector<Case> cases = {{"/n<a>", "a"}, {"/f<1,x2>", "x2"}, {"/s<,,1.5>", "1.5"},
                                   {J("/n<表>"), J("表")}, {"/n<99999999999>", "99999999999"}};
  for (const Case& c : cases) {
    try {
      compile(c.tmpl, "");
      ADD_FAILURE() << c.tmpl << " compiled";
    } catch (const NotIntegerError& e) {
      EXPECT_EQ(e.field(), c.field);
      EXPECT_EQ(std::string(e.what()), "'" + TextCodec::toUtf8(c.field) + "' は整数ではありません");
    }
  }
  // A byte that is no character still shows in the message.
  try {
    compile("/n<a\x81>", "");
    ADD_FAILURE() << "compiled";
  } catch (const NotIntegerError& e) {
    EXPECT_EQ(std::string(e.what()), "'a\uFFFD' は整数ではありません");
  }
  // An empty field keeps its default, a sign is accepted.
  EXPECT_EQ(one("/n<,,>", "", "a"), "001");
  EXPECT_EQ(one("/n<+7,1>", "", "a"), "7");
}

TEST_F(TemplateEngineTest, BlockParsers) {
  CnvData data;
  std::string_view rest = "/n<1,2>tail";
  TemplateEngine::ParseNumberBlock(rest, data);
  EXPECT_EQ(rest, "tail");
  EXPECT_EQ(data.opt1, 1);
  EXPECT_EQ(data.opt2, 2);

  CnvData stamp;
  rest = "/D<y2m3d3>x";
  TemplateEngine::ParseStampBlock(rest, stamp);
  EXPECT_EQ(rest, "x");
  EXPECT_EQ((std::vector<int>{stamp.opt1, stamp.opt2, stamp.opt3}), (std::vector<int>{32, 63, 93}));

  CnvData plugin;
  rest = "/xB<a,b<c>d>";
  TemplateEngine::ParsePluginBlock(rest, plugin);
  EXPECT_EQ(plugin.optionText, "a,b<c");
  EXPECT_EQ(rest, "d>");
  rest = "/xB<open";
  TemplateEngine::ParsePluginBlock(rest, plugin);
  EXPECT_EQ(plugin.optionText, "");
  EXPECT_EQ(rest, "open");
}

class FakePlugins : public MacroPluginHost {
public:
  std::map<char, int> letters;
  std::vector<int> useCounts = std::vector<int>(2, 0);
  std::vector<std::string> calls;
  int pluginForLetter(char letter) const override {
    auto it = letters.find(letter);
    return it == letters.end() ? -1 : it->second;
  }
  void resetUseCounts() override { std::fill(useCounts.begin(), useCounts.end(), 0); }
  std::optional<std::string> execMacro(int plugin, const MacroCallInfo& call) override {
    ++useCounts[plugin];
    calls.push_back(std::to_string(plugin) + ":" + std::string(call.option) + ":" + std::string(call.listedName) +
                    ":" + std::string(call.currentName) + ":" + std::to_string(call.passNumber) + ":" +
                    std::to_string(useCounts[plugin]) + ":" + (call.hasKey ? "K" : "-"));
    if (call.option == "none") return std::nullopt;
    return "<" + std::string(call.option) + ">";
  }
};

TEST_F(TemplateEngineTest, PluginMacrosCallTheOwningPlugin) {
  FakePlugins plugins;
  plugins.letters = {{'A', 0}, {'B', 1}};
  engine.context.plugins = &plugins;
  engine.context.folderPath = "/data";
  compile("/xA<one>/xC/xB<none>/xA", "/xA<ext>");
  ASSERT_EQ(engine.nameTemplate.size(), 4u);
  engine.ResetCounters(true);
  EXPECT_EQ(engine.ExpandEntry({"s.txt", true, kInfo, "listed.txt"}), "<one>/xC<>.<ext>");
  EXPECT_EQ(plugins.calls, (std::vector<std::string>{"0:one:listed.txt:s.txt:0:1:K", "1:none:listed.txt:s.txt:0:1:K",
                                                     "0::listed.txt:s.txt:0:2:K", "0:ext:listed.txt:s.txt:0:3:K"}));
  plugins.calls.clear();
  engine.context.inArchive = true;
  engine.context.archiveName = "a.zip";
  engine.ResetCounters(false);
  engine.ExpandEntry({"s.txt", false, kInfo, "listed.txt"});
  engine.ExpandEntry({"t.txt", false, kInfo, "listed.txt"});
  EXPECT_EQ(plugins.calls[0], "0:one:a.zip:s.txt:1:1:-");
  EXPECT_EQ(plugins.calls[4], "0:one:a.zip:t.txt:2:1:-");
}

TEST(TakePartTest, CountsBytes) {
  struct Case {
    int start, length;
    const char* expected;
  };
  const std::vector<Case> cases = {{0, 0, "abcde"}, {2, 0, "cde"},  {5, 0, ""},   {-2, 0, "de"}, {-9, 0, "abcde"},
                                   {0, 2, "ab"},    {0, 9, "abcde"}, {0, -2, "abc"}, {0, -5, ""},  {1, -1, "bcd"},
                                   {-3, 2, "cd"},   {-3, -1, "cd"}};
  for (const Case& c : cases)
    EXPECT_EQ(TemplateEngine::TakePart("abcde", c.start, c.length), c.expected) << c.start << "," << c.length;
}

}  // namespace
}  // namespace ritoma
