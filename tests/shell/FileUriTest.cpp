#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/FileUri.h"
#include "shell/HandOff.h"

namespace ritoma {
namespace {

TEST(FileUri, TellsUrisFromNames) {
  struct Case {
    const char* name;
    const char* text;
    bool uri;
  } const cases[] = {
      {"file URI", "file:///tmp/a", true},
      {"file URI without authority", "file:/tmp/a", true},
      {"scheme in capitals", "FILE:///tmp/a", true},
      {"network URI", "sftp://host/a", true},
      {"trash URI", "trash:///a", true},
      {"scheme with + - .", "svn+ssh.x-y://h/a", true},
      {"absolute path", "/tmp/file:/a", false},
      {"relative name with a colon", "a:b.txt", false},
      {"relative name file:x", "file:x", false},
      {"colon and one slash", "c:/x", false},
      {"scheme starting with a digit", "1x://a", false},
      {"表 name", "表:ソ", false},
      {"empty", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(FileUri::isUri(c.text), c.uri) << c.name;
}

TEST(FileUri, DecodesLocalFileUrisByteForByte) {
  struct Case {
    const char* name;
    std::string uri;
    std::optional<std::string> path;
  } const cases[] = {
      {"plain", "file:///tmp/a.txt", "/tmp/a.txt"},
      {"表 and ソ escaped (ソ's trail byte 0x5C in cp932)", "file:///tmp/%E8%A1%A8/%E3%82%BD.txt", "/tmp/表/ソ.txt"},
      {"表 and ソ unescaped", "file:///tmp/表/ソ.txt", "/tmp/表/ソ.txt"},
      {"space escaped", "file:///tmp/a%20b.txt", "/tmp/a b.txt"},
      {"space as it stands", "file:///tmp/a b.txt", "/tmp/a b.txt"},
      {"escaped percent stays one percent", "file:///tmp/100%25.txt", "/tmp/100%.txt"},
      {"%2541 is %41, not A", "file:///tmp/%2541", "/tmp/%41"},
      {"invalid UTF-8 bytes", "file:///tmp/%FF%C3%28.txt", "/tmp/\xFF\xC3(.txt"},
      {"lower-case hex digits", "file:///tmp/%e8%a1%a8", "/tmp/表"},
      {"lone percent stays", "file:///tmp/50%", "/tmp/50%"},
      {"percent with one digit stays", "file:///tmp/%4", "/tmp/%4"},
      {"percent with a non-hex digit stays", "file:///tmp/%G1%4Z", "/tmp/%G1%4Z"},
      {"no authority", "file:/tmp/a", "/tmp/a"},
      {"localhost in any case", "file://LocalHost/tmp/a", "/tmp/a"},
      {"scheme in capitals", "File:///tmp/a", "/tmp/a"},
      {"root", "file:///", "/"},
      {"another host", "file://server/tmp/a", std::nullopt},
      {"authority without a path", "file://localhost", std::nullopt},
      {"fragment", "file:///tmp/a#b", std::nullopt},
      {"query", "file:///tmp/a?b", std::nullopt},
      {"escaped NUL", "file:///tmp/a%00b", std::nullopt},
      {"another scheme", "sftp://host/tmp/a", std::nullopt},
      {"relative path", "file:tmp/a", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(FileUri::toPath(c.uri), c.path) << c.name;
}

TEST(FileUri, UriListGivesItsLocalFiles) {
  const std::string list =
      "# dropped\r\n"
      "file:///tmp/%E8%A1%A8.txt\r\n"
      "sftp://host/x\r\n"
      "\r\n"
      "file:///tmp/a%20b\n"
      "file:///tmp/%FF";
  EXPECT_EQ(FileUri::listPaths(list), (std::vector<std::string>{"/tmp/表.txt", "/tmp/a b", "/tmp/\xFF"}));
}

TEST(FileUri, CommandLineTakesPathsAndFileUrisAndRefusesOtherUris) {
  std::vector<std::string> refused;
  const std::vector<std::string> paths = HandOff::argumentPaths(
      {"ソ.txt", "file:///srv/%E8%A1%A8/../x%20y.txt", "smb://nas/share/a.txt", "file://localhost/srv/b",
       "trash:///c"},
      "/home/u", refused);
  EXPECT_EQ(paths, (std::vector<std::string>{"/home/u/ソ.txt", "/srv/x y.txt", "/srv/b"}));
  EXPECT_EQ(refused, (std::vector<std::string>{"smb://nas/share/a.txt", "trash:///c"}));
}

}  // namespace
}  // namespace ritoma
