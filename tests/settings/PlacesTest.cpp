#include "settings/Places.h"

#include <gtest/gtest.h>

#include "platform/PosixFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

class PlacesTest : public ::testing::Test {
protected:
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs{real};
};

TEST_F(PlacesTest, BesideAWritableExecutable) {
  dir.makeFolder("bin");
  const Places places = Places::locate(fs, dir / "bin", dir / "config", dir.path());
  EXPECT_EQ(places.folder(), dir / "bin");
  EXPECT_EQ(places.settingsFile(), dir / "bin/Ritoma.ini");
  EXPECT_EQ(places.undoFile(), dir / "bin/Ritoma.und");
  EXPECT_FALSE(dir.exists("config"));
}

TEST_F(PlacesTest, InstalledProgramUsesTheConfigFolderEvenBesideAWritableExecutable) {
  // As after `cmake --install --prefix ~/.local`: bin and share/ritoma side by side.
  for (const char* folder : {"表ソ", "表ソ/bin", "表ソ/share", "表ソ/share/ritoma"}) dir.makeFolder(folder);
  const Places places = Places::locate(fs, dir / "表ソ/bin", dir / "config", dir.path());
  EXPECT_EQ(places.folder(), dir / "config/ritoma");
  EXPECT_FALSE(dir.exists("表ソ/bin/Ritoma.ini"));
}

TEST_F(PlacesTest, ConfigFolderWhenTheExecutableFolderIsNotWritable) {
  dir.makeFolder("bin");
  fs.markUnwritable(dir / "bin");
  struct Row {
    const char* name;
    std::string xdg;
    std::string expected;
  };
  const Row rows[] = {
      {"XDG_CONFIG_HOME set", dir / "xdg", dir / "xdg/ritoma"},
      {"unset: ~/.config, parents created", "", dir / "home/.config/ritoma"},
      {"relative value is ignored", "relative", dir / "home/.config/ritoma"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Places places = Places::locate(fs, dir / "bin", row.xdg, dir / "home");
    EXPECT_EQ(places.folder(), row.expected);
    EXPECT_EQ(places.settingsFile(), row.expected + "/Ritoma.ini");
    FileInfo info;
    ASSERT_FALSE(fs.stat(row.expected, info));
    EXPECT_TRUE(info.isFolder);
  }
}

}  // namespace
}  // namespace ritoma
