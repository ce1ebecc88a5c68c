#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "settings/DummySettings.h"
#include "settings/DummyTextEscape.h"
#include "platform/PosixFileSystem.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

namespace ritoma::test {
namespace {

struct EscapeCase {
  const char* what;
  std::string text;
  std::string stored;
};

// Cases that round-trip: text → stored → the same text.
TEST(DummyTextEscape, EncodesAndDecodesEveryEscape) {
  const EscapeCase cases[] = {
      {"leading space, trailing double quote", " abc\"", "\\sabc\\Q"},
      {"leading double quote", "\"abc", "\\Qabc"},
      {"single quotes at both ends", "'x'", "\\qx\\q"},
      {"quote inside stays", "a\"b'c", "a\"b'c"},
      {"backslash doubled", "a\\b", "a\\\\b"},
      {"trail byte 0x5C of ソ doubled", "\x83\x5C" "n", "\x83\x5C\x5C" "n"},
      {"CR LF", "a\r\nb", "a\\nb"},
      {"TAB", "a\tb", "a\\tb"},
      {"trailing blanks and a TAB", "a \t", "a \\t"},
      {"only blanks", "  ", "\\s\\s"},
      {"lone CR passes", "a\rb", "a\rb"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DummyTextEscape::encode(c.text), c.stored) << c.what;
    EXPECT_EQ(DummyTextEscape::decode(c.stored), c.text) << c.what;
  }
}

// Cases that only go one way.
TEST(DummyTextEscape, LoneLineFeedAndHandWrittenValues) {
  EXPECT_EQ(DummyTextEscape::encode("a\nb"), "a\\nb");
  EXPECT_EQ(DummyTextEscape::decode("a\\nb"), "a\r\nb");
  // A path written by hand without doubling: "\t" is a TAB.
  EXPECT_EQ(DummyTextEscape::decode("D:\\temp"), "D:\temp");
  EXPECT_EQ(DummyTextEscape::decode("a\\xb\\"), "a\\xb\\");
}

TEST(DummySettings, RoundTripThroughTheSettingsFile) {
  TempDir dir;
  PosixFileSystem fs;
  const std::string path = dir / "Ritoma.ini";
  DummySettings written;
  written.edit = TextCodec::fromUtf8(" 表\\ソ\r\n\tline\"");
  written.zeroByte = false;
  written.binary = false;
  written.bin1 = 5;
  written.bin2 = 32767;
  written.txt1 = 3;
  written.txt2 = 4;
  written.txtMax = true;
  written.txtMaxBytes = 128;
  written.arcLzh = true;
  written.arcZip = true;
  written.arcNo = 2;
  written.arcExt = true;
  written.notArcExcerpt = true;
  written.page = 2;
  {
    IniFile ini(fs, path);
    written.save(ini);
  }
  const std::string file = dir.readFile("Ritoma.ini");
  EXPECT_NE(file.find("Edit=\\s表\\\\\\ソ\\\\n\\tline\\Q\n"), std::string::npos) << file;

  DummySettings read;
  read.load(IniFile(fs, path));
  EXPECT_EQ(read.edit, written.edit);
  EXPECT_EQ(std::tie(read.zeroByte, read.binary, read.bin1, read.bin2, read.txt1, read.txt2, read.txtMax,
                     read.txtMaxBytes, read.arcLzh, read.arcZip, read.arcNo, read.arcExt,
                     read.notArcExcerpt, read.page),
            std::tie(written.zeroByte, written.binary, written.bin1, written.bin2, written.txt1,
                     written.txt2, written.txtMax, written.txtMaxBytes, written.arcLzh, written.arcZip,
                     written.arcNo, written.arcExt, written.notArcExcerpt, written.page));
}

TEST(DummySettings, DefaultsAndClampedNumbers) {
  TempDir dir;
  PosixFileSystem fs;
  DummySettings none;
  none.load(IniFile(fs, dir / "missing.ini"));
  EXPECT_TRUE(none.zeroByte);
  EXPECT_TRUE(none.binary);
  EXPECT_EQ(none.txt1, 1);
  EXPECT_EQ(none.arcNo, 1);
  EXPECT_EQ(none.txtMaxBytes, 0);

  dir.writeFile("Ritoma.ini", "[Dummy]\nBin1=99999\nBin2=-4\nTxt1=0\nArcNo=0\nTxtMax2=40000\nPage=7\n");
  DummySettings clamped;
  clamped.load(IniFile(fs, dir / "Ritoma.ini"));
  EXPECT_EQ(clamped.bin1, 32767);
  EXPECT_EQ(clamped.bin2, 0);
  EXPECT_EQ(clamped.txt1, 1);
  EXPECT_EQ(clamped.arcNo, 1);
  EXPECT_EQ(clamped.txtMaxBytes, 32767);
  EXPECT_EQ(clamped.page, 2);
}

}  // namespace
}  // namespace ritoma::test
