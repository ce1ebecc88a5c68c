#include <gtest/gtest.h>

#include <algorithm>

#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

TEST(ListNames, SameNamesAsTheFullListing) {
  TempDir dir;
  dir.writeFile("\x95\x5c.txt");  // not UTF-8: raw bytes pass through
  dir.writeFile(".hidden");
  dir.makeFolder("sub");
  PosixFileSystem fs;
  std::vector<std::string> names;
  ASSERT_FALSE(fs.listNames(dir.path(), names));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, dir.names());
  EXPECT_TRUE(fs.listNames(dir / "missing", names));
}

}  // namespace
}  // namespace ritoma
