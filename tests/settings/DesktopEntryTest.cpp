#include "settings/DesktopEntry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "support/TempDir.h"

namespace ritoma {
namespace {

TEST(DesktopEntryTest, ExecProgramIsQuotedAndEscapedWhereItMustBe) {
  struct Row {
    const char* path;
    const char* expected;
  };
  const Row rows[] = {
      {"/usr/bin/ritoma", "/usr/bin/ritoma"},
      {"/opt/表ソ/ritoma", "/opt/表ソ/ritoma"},
      {"/opt/表 ソ/ritoma", "\"/opt/表 ソ/ritoma\""},
      {"/a/100%/ritoma", "/a/100%%/ritoma"},
      {"/a/$x\"b\\c`/ritoma", "\"/a/\\\\$x\\\\\"b\\\\\\\\c\\\\`/ritoma\""},
      {"/a/it's (new)/ritoma", "\"/a/it's (new)/ritoma\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(DesktopEntry::execProgram(row.path), row.expected);
  }
}

TEST(DesktopEntryTest, EntriesStartTheProgramWithTheChosenFiles) {
  const auto desktop = DesktopEntry::text("/opt/表 ソ/ritoma", DesktopEntry::Place::Desktop);
  const auto sendTo = DesktopEntry::text("/opt/表 ソ/ritoma", DesktopEntry::Place::SendTo);
  ASSERT_TRUE(desktop && sendTo);
  for (const std::string* text : {&*desktop, &*sendTo}) {
    EXPECT_TRUE(text->starts_with("[Desktop Entry]\n"));
    EXPECT_NE(text->find("\nName=Ritoma\n"), std::string::npos);
    EXPECT_NE(text->find("\nExec=\"/opt/表 ソ/ritoma\" %F\n"), std::string::npos);
    EXPECT_NE(text->find("\nIcon="), std::string::npos);
    EXPECT_NE(text->find("\nComment="), std::string::npos);
  }
  EXPECT_EQ(desktop->find("MimeType="), std::string::npos);
  EXPECT_NE(sendTo->find("\nMimeType=inode/directory;application/zip;application/x-lha;"), std::string::npos);
}

TEST(DesktopEntryTest, PathsADesktopEntryCannotHoldGiveNoEntry) {
  EXPECT_FALSE(DesktopEntry::text("/opt/\x95\x5c/ritoma", DesktopEntry::Place::Desktop));  // code page 932 bytes
  EXPECT_FALSE(DesktopEntry::text("/opt/\xC0\xAF/ritoma", DesktopEntry::Place::Desktop));  // overlong "/"
  EXPECT_FALSE(DesktopEntry::text("/opt/\xE3\x81/ritoma", DesktopEntry::Place::SendTo));   // cut short
  EXPECT_FALSE(DesktopEntry::text("/opt/a\nb/ritoma", DesktopEntry::Place::SendTo));
  EXPECT_FALSE(DesktopEntry::text("/opt/\xE3\x81", DesktopEntry::Place::SendTo));          // cut at the end
}

TEST(DesktopEntryTest, DesktopFileValidateAcceptsTheEntries) {
  if (access("/usr/bin/desktop-file-validate", X_OK) != 0) GTEST_SKIP() << "desktop-file-validate is not installed";
  TempDir dir;
  int n = 0;
  for (const char* path : {"/usr/bin/ritoma", "/opt/表 ソ/100%/$x\"b\\c`/ritoma"}) {
    for (auto place : {DesktopEntry::Place::Desktop, DesktopEntry::Place::SendTo}) {
      const auto text = DesktopEntry::text(path, place);
      ASSERT_TRUE(text);
      const std::string name = "entry" + std::to_string(++n) + ".desktop";
      dir.writeFile(name, *text);
      const std::string command = "desktop-file-validate '" + (dir / name) + "' >&2";
      EXPECT_EQ(std::system(command.c_str()), 0) << *text;
    }
  }
}

}  // namespace
}  // namespace ritoma
