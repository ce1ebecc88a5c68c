#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "conversion/QuestionMacro.h"
#include "conversion/RegisteredMacroList.h"
#include "conversion/RegisteredReplaceList.h"
#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string J(const char* utf8) { return TextCodec::fromUtf8(utf8); }

class RegisteredListTest : public ::testing::Test {
protected:
  TempDir dir;
  PosixFileSystem fs;
  std::string iniPath() const { return dir / "Ritoma.ini"; }

  RegisteredMacroList threeMacros() {
    dir.writeFile("Ritoma.ini",
                  "[Macro]\nCount=3\nC-000=one\nF-000=\xe8\xa1\xa8/n\nE-000=\n"
                  "C-001=two\nF-001=/f\nE-001=/e\nC-002=three\nF-002=\xe3\x82\xbd\nE-002=txt\n");
    RegisteredMacroList list;
    list.load(IniFile(fs, iniPath()));
    return list;
  }
  std::vector<std::string> macroNames(const RegisteredMacroList& list) const {
    std::vector<std::string> names;
    for (const RegisteredMacro& m : list.entries) names.push_back(m.name);
    return names;
  }
};

TEST_F(RegisteredListTest, LoadsEntriesInIndexOrderWithMissingKeysEmpty) {
  RegisteredMacroList list = threeMacros();
  ASSERT_EQ(list.entries.size(), 3u);
  EXPECT_EQ(list.entries[0], (RegisteredMacro{"one", J("表/n"), ""}));
  EXPECT_EQ(list.entries[2], (RegisteredMacro{"three", J("ソ"), "txt"}));

  dir.writeFile("Ritoma.ini", "[Macro]\nCount=2\nC-000=a\n");
  list.load(IniFile(fs, iniPath()));
  EXPECT_EQ(list.entries, (std::vector<RegisteredMacro>{{"a", "", ""}, {"", "", ""}}));
}

TEST_F(RegisteredListTest, DamagedCountLoadsOnlyWhatTheSectionCanHold) {
  dir.writeFile("Ritoma.ini", "[Macro]\nCount=2000000000\nC-000=\xe3\x82\xbd\nF-000=/n\n");
  RegisteredMacroList list;
  list.load(IniFile(fs, iniPath()));
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(list.entries[0], (RegisteredMacro{J("ソ"), "/n", ""}));

  dir.writeFile("Ritoma.ini", "[Macro]\nCount=2000000000\nC-000=a\nC-003=\xe8\xa1\xa8\n");
  list.load(IniFile(fs, iniPath()));
  ASSERT_EQ(list.entries.size(), 4u);
  EXPECT_EQ(list.entries[3], (RegisteredMacro{J("表"), "", ""}));
}

TEST_F(RegisteredListTest, DragMovesEntryAndRewritesKeysOnly) {
  struct Case {
    const char* name;
    std::size_t selected, target;
    std::vector<std::string> order;
  };
  const Case cases[] = {
      {"first onto third", 0, 2, {"two", "three", "one"}},
      {"third onto first", 2, 0, {"three", "one", "two"}},
      {"onto itself", 1, 1, {"one", "two", "three"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RegisteredMacroList list = threeMacros();
    IniFile ini(fs, iniPath());
    EXPECT_EQ(list.moveEntry(ini, c.selected, c.target), c.target);
    EXPECT_EQ(macroNames(list), c.order);
    RegisteredMacroList reread;
    reread.load(IniFile(fs, iniPath()));
    EXPECT_EQ(reread.entries, list.entries);
  }
}

TEST_F(RegisteredListTest, SaveSectionErasesStaleKeys) {
  RegisteredMacroList list = threeMacros();
  list.entries.erase(list.entries.begin());
  IniFile ini(fs, iniPath());
  list.saveSection(ini);
  const IniFile reread(fs, iniPath());
  EXPECT_EQ(reread.readInteger("Macro", "Count", -1), 2);
  EXPECT_FALSE(reread.valueExists("Macro", "C-002"));
  EXPECT_EQ(reread.readString("Macro", "C-000"), "two");
}

TEST_F(RegisteredListTest, ReplaceSectionRoundTrip) {
  RegisteredReplaceList list;
  list.entries = {{"1000", J("ソ"), "x"}, {"0211120", "a", ""}};
  IniFile ini(fs, iniPath());
  list.saveSection(ini);
  RegisteredReplaceList reread;
  reread.load(IniFile(fs, iniPath()));
  EXPECT_EQ(reread.entries, list.entries);
  EXPECT_EQ(reread.moveEntry(ini, 0, 1), 1u);
  RegisteredReplaceList moved;
  moved.load(IniFile(fs, iniPath()));
  EXPECT_EQ(moved.entries[1].before, J("ソ"));
}

TEST(ReplaceParametersTest, EncodeAndDecode) {
  struct Case {
    const char* name;
    ReplaceParameters params;
    const char* text;
  };
  const Case cases[] = {
      {"defaults", {}, "1000" "0"},
      {"case on, both, right, count 3, skip 120", {true, NamePart::Both, false, 3, 120}, "1213120"},
      {"case off, extension, skip 7", {false, NamePart::Extension, true, 9, 7}, "01097"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.params.encode(), c.text);
    EXPECT_EQ(ReplaceParameters::decode(c.text), c.params);
  }
}

TEST(ReplaceParametersTest, HandEditedTextsFallBackFieldByField) {
  EXPECT_EQ(ReplaceParameters::decode(""), ReplaceParameters{});
  EXPECT_EQ(ReplaceParameters::decode("x9"), (ReplaceParameters{true, NamePart::Both, true, 0, 0}));
  EXPECT_EQ(ReplaceParameters::decode("0101" "99999").skipCount, 999);
}

TEST(QuestionMacroTest, AsksEachPlaceholderLeftToRight) {
  std::vector<std::pair<std::string, std::string>> asked;
  std::vector<std::optional<std::string>> answers = {std::string("x/?"), std::nullopt};
  std::size_t next = 0;
  const std::string result = QuestionMacro::Expand("abc/?def/?", [&](std::string_view before, std::string_view after) {
    asked.emplace_back(before, after);
    return answers[next++];
  });
  EXPECT_EQ(result, "abcx/?def");
  EXPECT_EQ(asked, (std::vector<std::pair<std::string, std::string>>{{"abc", "def/?"}, {"abcx/?def", ""}}));
  EXPECT_EQ(QuestionMacro::Expand(J("表ソ"), [](auto, auto) -> std::optional<std::string> { return "never"; }),
            J("表ソ"));
}

}  // namespace
}  // namespace ritoma
