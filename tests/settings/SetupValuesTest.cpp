#include "settings/SetupValues.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/PosixFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string cp932(std::string_view utf8) { return TextCodec::fromUtf8(utf8); }

class SetupValuesTest : public ::testing::Test {
protected:
  std::string iniPath() const { return dir / "Ritoma.ini"; }
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs{real};
};

TEST_F(SetupValuesTest, FilterRowsReadWithTheirChecksAndOnlyCheckedOnesReachTheChoice) {
  dir.writeFile("Ritoma.ini",
                "[Filter]\nCount=3\n"
                "C-000=0\nN-000=表計算\nF-000=*.xls\n"
                "N-001=ソフト\nF-001=*.doc;*.DOC\n"
                "C-002=0x2\nN-002=画像\nF-002=*.jpg\n");
  SetupValues values;
  values.filters = SetupValues::readFilterRows(IniFile(fs, iniPath()));
  EXPECT_EQ(values.filters, (std::vector<FilterRow>{{false, cp932("表計算"), "*.xls"},
                                                    {true, cp932("ソフト"), "*.doc;*.DOC"},
                                                    {true, cp932("画像"), "*.jpg"}}));
  const std::vector<FilterEntry> entries = values.choiceEntries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, cp932("ソフト"));
  EXPECT_EQ(entries[1].patterns, "*.jpg");
}

TEST_F(SetupValuesTest, WritingReplacesTheFilterSectionAndKeepsTheOthers) {
  dir.writeFile("Ritoma.ini",
                "[Window]\nDir=/tmp\n"
                "[Filter]\nAttr=130\nExt=2\nCount=9\nC-008=1\nN-008=old\nF-008=*.old\n"
                "[Option]\nMsgExit=1\nGreet3=5\n");
  SetupValues values;
  values.filters = {{true, cp932("表"), "*.txt"}, {false, cp932("ソ"), "*.c;*.h"}};
  values.attributes = 144;
  values.options.msgExit = false;
  values.options.greet = {0, 10, 1000, 300, 100};
  values.options.arcBackup = 2;
  values.lzh = true;
  IniFile ini(fs, iniPath());
  values.write(ini);
  // Keys already in the file keep their lines; new keys follow in the order written.
  EXPECT_EQ(dir.readFile("Ritoma.ini"),
            "[Window]\nDir=/tmp\n"
            "[Option]\nMsgExit=0\nGreet3=1000\n"
            "ArcOpen=1\nGreet1=0\nGreet2=10\nGreet4=300\nGreet5=100\n"
            "ChkAuto=1\nChkStop=0\nChkForce=1\nMsgExec=1\nMsgDir=1\nArcBackup=2\n"
            "\n[Filter]\nAttr=144\nCount=2\n"
            "C-000=1\nN-000=表\nF-000=*.txt\nC-001=0\nN-001=ソ\nF-001=*.c;*.h\n"
            "\n[Arc]\nLZH=1\nZIP=0\n");
}

TEST_F(SetupValuesTest, AFailedWriteLeavesTheFileAsItWas) {
  const std::string before = "[Filter]\nCount=1\nN-000=a\nF-000=*.a\n";
  dir.writeFile("Ritoma.ini", before);
  fs.failMatching(FsOp::OpenWrite, "*", EACCES);
  SetupValues values;
  IniFile ini(fs, iniPath());
  EXPECT_THROW(values.write(ini), IniWriteError);
  EXPECT_EQ(dir.readFile("Ritoma.ini"), before);
}

}  // namespace
}  // namespace ritoma
