#include "settings/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/PosixFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string cp932(std::string_view utf8) { return TextCodec::fromUtf8(utf8); }

// A file as a person might have edited it: odd spacing, quotes, hex,
// comments, a duplicate section under another letter case, names with
// 表 and ソ (trail byte 0x5C in code page 932).
const char* const kHandEdited =
    "; written by hand\n"
    "[Window]\n"
    "  Top = 12  \n"
    "left=0x1F\n"
    "Width=\"640\"\n"
    "Dir = \"/home/表/ソ\"  \n"
    "Bad=12abc\n"
    "Neg=-1\n"
    "Big=99999999999\n"
    "Hex=0XfF\n"
    "AllBits=0xFFFFFFFF\n"
    "Empty=\n"
    "Twice=\"\"x\"\"\n"
    "Lone=\"abc\n"
    "Top=77\n"
    "表ソ=かな\n"
    "\n"
    "[ window ]\n"
    "Top=99\n"
    "Extra=1\n"
    "[Option]\n"
    "ChkAuto=0\n"
    "ChkStop=7\n"
    "MsgExit= 0x0 \n";

class IniFileTest : public ::testing::Test {
protected:
  std::string iniPath() const { return dir / "Ritoma.ini"; }
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs{real};
};

TEST_F(IniFileTest, ReadsTextValuesOfAHandEditedFile) {
  dir.writeFile("Ritoma.ini", kHandEdited);
  const IniFile ini(fs, iniPath());
  struct Row {
    const char* name;
    const char* section;
    const char* key;
    std::string expected;
  };
  const Row rows[] = {
      {"blanks around key and value", "Window", "Top", "12"},
      {"names without letter case", "WINDOW", "tOP", "12"},
      {"one pair of quotes removed", "Window", "Width", "640"},
      {"quotes inside blanks", "Window", "Dir", cp932("/home/表/ソ")},
      {"only one pair removed", "Window", "Twice", "\"x\""},
      {"a lone quote stays", "Window", "Lone", "\"abc"},
      {"empty value is not the default", "Window", "Empty", ""},
      {"first duplicate section wins", "window", "Extra", "(default)"},
      {"non-ASCII key", "Window", "表ソ", cp932("かな")},
      {"missing key", "Window", "Nothing", "(default)"},
      {"missing section", "Nothing", "Top", "(default)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ini.readString(cp932(row.section), cp932(row.key), "(default)"), row.expected);
  }
  EXPECT_TRUE(ini.sectionExists("WINDOW"));
  EXPECT_TRUE(ini.valueExists("window", "empty"));
  EXPECT_FALSE(ini.valueExists("Window", "Extra"));
  EXPECT_EQ(ini.readSectionKeys("Option"), (std::vector<std::string>{"ChkAuto", "ChkStop", "MsgExit"}));
  EXPECT_EQ(ini.readSectionKeys("Window").size(), 13u);  // "Top" once
}

TEST_F(IniFileTest, ReadsNumbersAndBooleans) {
  dir.writeFile("Ritoma.ini", kHandEdited);
  const IniFile ini(fs, iniPath());
  struct Row {
    const char* name;
    const char* section;
    const char* key;
    int expected;
  };
  const Row rows[] = {
      {"decimal with blanks", "Window", "Top", 12},
      {"hex 0x", "Window", "left", 31},
      {"hex 0X mixed case digits", "Window", "Hex", 255},
      {"quoted number", "Window", "Width", 640},
      {"negative", "Window", "Neg", -1},
      {"eight hex digits wrap", "Window", "AllBits", -1},
      {"trailing letters", "Window", "Bad", -5},
      {"too big", "Window", "Big", -5},
      {"empty", "Window", "Empty", -5},
      {"missing", "Window", "Nothing", -5},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ini.readInteger(row.section, row.key, -5), row.expected);
  }
  EXPECT_FALSE(ini.readBool("Option", "ChkAuto", true));
  EXPECT_TRUE(ini.readBool("Option", "ChkStop", false));  // any non-zero
  EXPECT_FALSE(ini.readBool("Option", "MsgExit", true));  // hex zero
  EXPECT_TRUE(ini.readBool("Option", "Missing", true));
  EXPECT_TRUE(ini.readBool("Window", "Bad", true));       // not a number: default
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndWritingCreatesIt) {
  IniFile ini(fs, iniPath());
  EXPECT_EQ(ini.readInteger("Window", "Height", 320), 320);
  EXPECT_EQ(ini.readString("Rename", "Header", "@"), "@");
  EXPECT_FALSE(ini.sectionExists("Window"));
  EXPECT_TRUE(ini.readSectionKeys("Window").empty());
  // Erasing what is not there writes nothing.
  ini.eraseSection("Undo");
  ini.eraseKey("Undo", "x");
  EXPECT_FALSE(dir.exists("Ritoma.ini"));

  ini.writeInteger("Window", "Top", -3);
  ini.writeBool("Option", "ChkAuto", true);
  ini.writeString("Window", "Dir", cp932("/tmp/表"));
  EXPECT_EQ(dir.readFile("Ritoma.ini"),
            "[Window]\nTop=-3\nDir=/tmp/表\n\n[Option]\nChkAuto=1\n");
  EXPECT_EQ(IniFile(fs, iniPath()).readString("WINDOW", "dir"), cp932("/tmp/表"));
}

TEST_F(IniFileTest, RewritingAKeyKeepsEveryOtherLine) {
  const std::string before =
      "\xEF\xBB\xBF; comment\r\n"
      "[Window]\r\n"
      "  Top = 12  \r\n"
      "\r\n"
      "Left=1\r\n"
      "; about Option\r\n"
      "[window]\r\n"
      "Top=99\r\n"
      "[Option]\r\n"
      "x=\"y\"";  // no line end at the very end
  dir.writeFile("Ritoma.ini", before);
  IniFile ini(fs, iniPath());
  ini.writeInteger("WINDOW", "top", 5);
  std::string expected = before;
  expected.replace(expected.find("  Top = 12  "), 12, "  Top = 5");
  EXPECT_EQ(dir.readFile("Ritoma.ini"), expected);

  // A new key follows the section's last key; a new key at the end of the
  // file gets the file's line end first.
  ini.writeString("Window", "Width", "480");
  ini.writeString("Option", "z", "1");
  expected.replace(expected.find("Left=1\r\n"), 8, "Left=1\r\nWidth=480\r\n");
  expected += "\r\nz=1\r\n";
  EXPECT_EQ(dir.readFile("Ritoma.ini"), expected);
}

TEST_F(IniFileTest, ValuesComeBackAsWritten) {
  IniFile ini(fs, iniPath());
  struct Row {
    const char* name;
    std::string value;
    std::string expected;
  };
  const std::string invalidUtf8 = TextCodec::toInternal("\xFF\xFE");
  const Row rows[] = {
      {"leading and trailing blanks", "  a b ", "  a b "},
      {"enclosing quotes", "\"q\"", "\"q\""},
      {"one quote", "\"", "\""},
      {"trail byte 0x5C", cp932("表ソ\\"), cp932("表ソ\\")},
      {"bytes that are no UTF-8", invalidUtf8, invalidUtf8},
      {"line break becomes a blank", "a\nb", "a b"},
      {"empty", "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ini.writeString("S", "K", row.value);
    EXPECT_EQ(IniFile(fs, iniPath()).readString("S", "K", "(default)"), row.expected);
  }
  EXPECT_EQ(IniFile(fs, iniPath()).readSectionKeys("S"), std::vector<std::string>{"K"});
}

TEST_F(IniFileTest, ReadsAtMost2047Bytes) {
  IniFile ini(fs, iniPath());
  ini.writeString("S", "Long", std::string(3000, 'x'));
  // A double-byte character across the limit is left out whole.
  ini.writeString("S", "Wide", std::string(2046, 'x') + cp932("表") + "yy");
  const IniFile again(fs, iniPath());
  EXPECT_EQ(again.readString("S", "Long"), std::string(2047, 'x'));
  EXPECT_EQ(again.readString("S", "Wide"), std::string(2046, 'x'));
}

TEST_F(IniFileTest, ErasesKeysAndEveryCopyOfASection) {
  dir.writeFile("Ritoma.ini", kHandEdited);
  IniFile ini(fs, iniPath());
  ini.eraseKey("window", "TOP");  // both lines of the first section
  EXPECT_EQ(ini.readInteger("Window", "Top", -1), -1);
  ini.eraseSection("WINDOW");
  EXPECT_FALSE(ini.sectionExists("Window"));
  EXPECT_EQ(dir.readFile("Ritoma.ini"),
            "; written by hand\n[Option]\nChkAuto=0\nChkStop=7\nMsgExit= 0x0 \n");
  // Written anew, the section does not pick up keys of an old copy.
  ini.writeInteger("Window", "Top", 1);
  EXPECT_FALSE(IniFile(fs, iniPath()).valueExists("Window", "Extra"));
}

TEST_F(IniFileTest, ListCountNeverExceedsOnePastTheHighestIndexOfItsSection) {
  struct Row {
    const char* name;
    const char* file;
    int expected;
  };
  const Row rows[] = {
      {"count within the keys", "[L]\nCount=2\nA-0=x\nA-1=y\n", 2},
      {"count with missing entries", "[L]\nCount=3\nA-0=x\nA-2=\xe8\xa1\xa8\n", 3},
      {"damaged count", "[L]\nCount=2000000000\nA-0=x\n[M]\nB=1\nC=2\n", 1},
      {"damaged count, gap before the last index", "[L]\nCount=2000000000\nC-000=x\nC-004=y\nEdge=1\n", 5},
      {"damaged count, index of many digits", "[L]\nCount=7\nA-99999999999999999999=x\n", 7},
      {"negative count", "[L]\nCount=-5\nA-0=x\n", 0},
      {"count not a number", "[L]\nCount=many\nA-0=x\n", 0},
      {"no count", "[L]\nA-0=x\n", 0},
      {"no section", "[M]\nCount=4\n", 0},
  };
  for (const auto& row : rows) {
    dir.writeFile("Ritoma.ini", row.file);
    EXPECT_EQ(IniFile(fs, iniPath()).readListCount("l", "COUNT"), row.expected) << row.name;
  }
}

TEST_F(IniFileTest, NumberedKeys) {
  struct Row {
    const char* prefix;
    int index;
    bool threeDigits;
    const char* expected;
  };
  const Row rows[] = {
      {"C-", 0, true, "C-000"},   {"C-", 7, true, "C-007"},
      {"N-", 123, true, "N-123"}, {"F-", 1234, true, "F-1234"},
      {"DLLName-", 0, false, "DLLName-0"}, {"DLLName-", 10, false, "DLLName-10"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.threeDigits ? IniFile::numberedKey(row.prefix, row.index)
                              : IniFile::indexedKey(row.prefix, row.index),
              row.expected);
  }
  // Written as "Path-0", read as "PATH-0".
  IniFile ini(fs, iniPath());
  ini.writeString("Rename", IniFile::indexedKey("Path-", 0), "/a");
  EXPECT_EQ(IniFile(fs, iniPath()).readString("Rename", IniFile::indexedKey("PATH-", 0)), "/a");
}

TEST_F(IniFileTest, RefusedWriteRaisesCannotWrite) {
  const std::string path = dir / "missing-folder/Ritoma.ini";
  IniFile ini(fs, path);
  try {
    ini.writeInteger("Window", "Top", 1);
    FAIL() << "no error";
  } catch (const IniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), path + " に書き込めません");
    EXPECT_EQ(e.path(), path);
  }

  // A read-only file is not replaced behind its back.
  dir.writeFile("Ritoma.ini", "[Undo]\na=1\n");
  IniFile existing(fs, iniPath());
  ASSERT_FALSE(fs.setAttributes(iniPath(), AttrReadOnly));
  EXPECT_THROW(existing.eraseSection("Undo"), IniWriteError);
  ASSERT_FALSE(fs.setAttributes(iniPath(), 0));

  EXPECT_EQ(existing.readInteger("Undo", "a", 0), 1);  // still as on disk
  fs.failMatching(FsOp::OpenWrite, "*", EACCES);
  EXPECT_THROW(existing.eraseSection("Undo"), IniWriteError);
  EXPECT_EQ(dir.readFile("Ritoma.ini"), "[Undo]\na=1\n");
}

// A file no run writes is left alone, unread: reads give defaults and
// writes are refused, so it stays as it was.
TEST_F(IniFileTest, OversizedFileIsNeitherReadNorReplaced) {
  dir.writeFile("Ritoma.ini", "[Window]\nTop=5\n");
  ASSERT_EQ(::truncate(iniPath().c_str(), IniFile::MaxSize + 1), 0);
  IniFile ini(fs, iniPath());
  EXPECT_TRUE(ini.tooLarge());
  EXPECT_EQ(ini.readInteger("Window", "Top", 0), 0);
  EXPECT_THROW(ini.writeInteger("Window", "Top", 1), IniWriteError);
  struct stat st{};
  ASSERT_EQ(::stat(iniPath().c_str(), &st), 0);
  EXPECT_EQ(static_cast<std::uint64_t>(st.st_size), IniFile::MaxSize + 1);
  EXPECT_EQ(dir.readFile("Ritoma.ini").substr(0, 14), "[Window]\nTop=5");

  ASSERT_EQ(::truncate(iniPath().c_str(), IniFile::MaxSize), 0);
  EXPECT_EQ(IniFile(fs, iniPath()).readInteger("Window", "Top", 0), 5);
}

TEST_F(IniFileTest, RewrittenFileKeepsItsMode) {
  dir.writeFile("Ritoma.ini", "[Window]\nDir=/home/表\n");
  ASSERT_EQ(::chmod(iniPath().c_str(), 0600), 0);
  IniFile ini(fs, iniPath());
  ini.writeString("Window", "Dir", cp932("/home/ソ"));
  EXPECT_EQ(dir.readFile("Ritoma.ini"), "[Window]\nDir=/home/ソ\n");
  struct stat st{};
  ASSERT_EQ(::stat(iniPath().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(IniFileTest, BatchWritesOnce) {
  IniFile ini(fs, iniPath());
  {
    IniFile::Batch batch(ini);
    ini.eraseSection("RepText");
    for (int i = 0; i < 5; ++i) ini.writeString("RepText", IniFile::indexedKey("B-", i), "x");
    ini.writeInteger("RepText", "CountB", 5);
    EXPECT_FALSE(dir.exists("Ritoma.ini"));
    batch.commit();
  }
  EXPECT_EQ(fs.calls(FsOp::OpenWrite), 1);
  EXPECT_EQ(IniFile(fs, iniPath()).readInteger("RepText", "CountB", 0), 5);

  fs.failNth(FsOp::Replace, 2, EROFS);
  IniFile::Batch batch(ini);
  ini.writeInteger("RepText", "CountB", 6);
  EXPECT_THROW(batch.commit(), IniWriteError);
  EXPECT_EQ(IniFile(fs, iniPath()).readInteger("RepText", "CountB", 0), 5);
  EXPECT_EQ(ini.readInteger("RepText", "CountB", 0), 5);
}

}  // namespace
}  // namespace ritoma
