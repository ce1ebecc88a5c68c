#include "settings/ShortcutPlaces.h"

#include <gtest/gtest.h>

#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

TEST(ShortcutPlacesTest, DesktopAndApplicationsFoldersFollowTheUsersSettings) {
  TempDir dir;
  PosixFileSystem fs;
  const std::string home = dir / "home";
  dir.makeFolder("home");
  dir.makeFolder("config");
  dir.writeFile("config/user-dirs.dirs",
                "# written by xdg-user-dirs-update\n"
                "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                "XDG_DESKTOP_DIR=\"$HOME/デスクトップ表\"\n");
  dir.makeFolder("disabled");
  dir.writeFile("disabled/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/\"\n");
  struct Row {
    const char* name;
    std::string home, configHome, dataHome, desktopVariable;
    std::string desktop, sendTo, filesScript;
  };
  const Row rows[] = {
      {"user-dirs.dirs wins over the variable", home, dir / "config", "", dir / "elsewhere",
       home + "/デスクトップ表/Ritoma.desktop", home + "/.local/share/applications/Ritoma.desktop",
       home + "/.local/share/nautilus/scripts/Ritomaで名前を一括変更"},
      {"the variable without the file", home, dir / "none", dir / "data", dir / "elsewhere/",
       dir / "elsewhere/Ritoma.desktop", dir / "data/applications/Ritoma.desktop",
       dir / "data/nautilus/scripts/Ritomaで名前を一括変更"},
      {"relative values are ignored", home, "", "data", "elsewhere", home + "/Desktop/Ritoma.desktop",
       home + "/.local/share/applications/Ritoma.desktop", home + "/.local/share/nautilus/scripts/Ritomaで名前を一括変更"},
      {"a desktop that is the home folder is none", home, dir / "disabled", "", "", "",
       home + "/.local/share/applications/Ritoma.desktop", home + "/.local/share/nautilus/scripts/Ritomaで名前を一括変更"},
      {"no home, no shortcuts", "", dir / "config", dir / "data", dir / "elsewhere", "", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ShortcutPlaces places = ShortcutPlaces::locate(fs, row.home, row.configHome, row.dataHome, row.desktopVariable);
    EXPECT_EQ(places.desktopFile(), row.desktop);
    EXPECT_EQ(places.sendToFile(), row.sendTo);
    EXPECT_EQ(places.filesScriptFile(), row.filesScript);
  }
}

TEST(ShortcutPlacesTest, UserDirLinesAreReadAsTheShellWouldReadThem) {
  struct Row {
    const char* text;
    const char* expected;
  };
  const Row rows[] = {
      {"XDG_DESKTOP_DIR=\"/srv/desk\"\n", "/srv/desk"},
      {"  XDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\" \\$x\"\n", "/h/My \"Desk\" $x"},
      {"XDG_DESKTOP_DIR=\"$HOME\"", "/h"},
      {"#XDG_DESKTOP_DIR=\"/srv/desk\"\n", ""},
      {"XDG_DESKTOP_DIRECTORY=\"/srv/desk\"\n", ""},
      {"XDG_DESKTOP_DIR=\"relative\"\n", ""},
      {"XDG_DESKTOP_DIR=\"/unclosed\n", ""},
      {"XDG_DESKTOP_DIR=\"/a\"\nXDG_DESKTOP_DIR=\"bad\"\n", "/a"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(ShortcutPlaces::userDir(row.text, "XDG_DESKTOP_DIR", "/h"), row.expected);
  }
}

}  // namespace
}  // namespace ritoma
