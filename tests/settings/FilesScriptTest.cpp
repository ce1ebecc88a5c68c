#include "settings/FilesScript.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/TempDir.h"

namespace ritoma {
namespace {

// The script, run by /bin/sh as the file managers run it, starts the
// executable with every selected URI as one argument: spaces, "*", 表 and
// ソ untouched.
TEST(FilesScriptTest, StartsTheProgramWithOneArgumentPerSelectedUri) {
  TempDir dir;
  dir.makeFolder("it's 表 ソ");
  const std::string program = dir / "it's 表 ソ/ritoma";
  dir.writeFile("it's 表 ソ/ritoma", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done >\"$OUT\"\n");
  ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
  dir.writeFile("script", FilesScript::text(program));
  ASSERT_EQ(::chmod((dir / "script").c_str(), 0755), 0);
  dir.writeFile("a b.txt");  // a pattern "*" would find it

  struct Row {
    const char* name;
    const char* variable;  // of the file manager that runs the script
    std::string uris;
    std::string arguments;
  } const rows[] = {
      {"two URIs from Files", "NAUTILUS", "file:///srv/%E8%A1%A8 x.txt\nfile:///srv/*\n",
       "[file:///srv/%E8%A1%A8 x.txt]\n[file:///srv/*]\n"},
      {"unescaped 表 and ソ from Caja", "CAJA", "file:///srv/表/ソ.txt\n", "[file:///srv/表/ソ.txt]\n"},
      {"one URI from Nemo", "NEMO", "file:///srv/a%20b", "[file:///srv/a%20b]\n"},
      {"nothing selected", "NAUTILUS", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string command = "cd '" + dir.path() + "' && OUT=out " + row.variable + "_SCRIPT_SELECTED_URIS='" +
                                row.uris + "' ./script";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(dir.readFile("out"), row.arguments);
  }
}

TEST(FilesScriptTest, KnowsOnlyItsOwnScriptAgain) {
  struct Row {
    const char* name;
    std::string text;
    bool ours;
  } const rows[] = {
      {"written for this program", FilesScript::text("/usr/bin/ritoma"), true},
      {"written for a program since moved", FilesScript::text("/opt/表/ritoma"), true},
      {"the user's own script", "#!/bin/sh\nexec ritoma \"$@\"\n", false},
      {"ours with its first line changed", "#!/bin/bash\n" + FilesScript::text("/x").substr(10), false},
      {"empty", "", false},
  };
  for (const Row& row : rows) EXPECT_EQ(FilesScript::isOurs(row.text), row.ours) << row.name;
}

}  // namespace
}  // namespace ritoma
