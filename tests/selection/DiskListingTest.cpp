#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "platform/PosixFileSystem.h"
#include "selection/EditList.h"
#include "selection/EditListBuilder.h"
#include "selection/SelectionList.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

class DiskListing : public ::testing::Test {
protected:
  void SetUp() override {
    source.folder = TextCodec::toInternal(dir.path() + "/");
  }
  std::error_code build(std::uint32_t attributes) {
    source.attributes = attributes;
    return list.buildSelectionList(fs, source, true, progress, 500);
  }
  std::vector<std::string> diskNames() const {
    std::vector<std::string> out;
    for (const FileEntry& e : list.rows()) out.push_back(e.diskName);
    return out;
  }

  TempDir dir;
  PosixFileSystem fs;
  NullProgress progress;
  FolderSource source;
  SelectionList list;
};

TEST_F(DiskListing, NamesThatAreNotUtf8AreFoundAgainExactly) {
  const std::string invalid = "bad\xff\xfe name.txt";
  const std::string japanese = "表ソ.txt";  // trail bytes 0x5C in code page 932
  dir.writeFile(invalid, "12345");
  dir.writeFile(japanese, "");
  ASSERT_FALSE(build(128));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(diskNames(), (std::vector<std::string>{invalid, japanese}));

  EditList edit;
  EditListBuilder::build(list.rows(), edit);
  for (std::size_t i = 0; i < list.size(); ++i) {
    bool ok = false;
    const std::string disk = TextCodec::toDisk(edit.rows[i].names[0], &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(disk, list.row(i).diskName);
    EXPECT_TRUE(fs.exists(dir / disk));
  }
  EXPECT_EQ(list.row(0).sizeText, "5");
  EXPECT_EQ(list.row(1).baseName, TextCodec::fromUtf8("表ソ"));
}

TEST_F(DiskListing, SizesBeyondFourGigabytes) {
  dir.writeFile("big.bin");
  ASSERT_EQ(::truncate((dir / "big.bin").c_str(), 3221225472LL), 0);  // sparse: no space used
  dir.writeFile("huge.bin");
  ASSERT_EQ(::truncate((dir / "huge.bin").c_str(), 5000000000LL), 0);
  ASSERT_FALSE(build(128));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.row(0).sizeText, "3,221,225,472");
  EXPECT_EQ(list.row(1).sizeText, "5,000,000,000");
  list.sortByColumn(SelectionList::ColumnSize);
  list.sortByColumn(SelectionList::ColumnSize);
  EXPECT_EQ(list.row(0).diskName, "huge.bin");
}

TEST_F(DiskListing, DotFilesAreHiddenAndFoldersComeWithTheFolderBit) {
  dir.writeFile(".profile");
  dir.writeFile("plain");
  dir.makeFolder("sub");
  ASSERT_FALSE(build(128));
  EXPECT_EQ(diskNames(), std::vector<std::string>{"plain"});
  ASSERT_FALSE(build(128 | 2 | 16));
  EXPECT_EQ(diskNames(), (std::vector<std::string>{"sub", ".profile", "plain"}));
  EXPECT_EQ(list.row(0).sizeText, "<DIR>");
  EXPECT_FALSE(list.row(0).checked);
  EXPECT_EQ(list.row(1).baseName, "");
  EXPECT_EQ(list.row(1).extension, ".profile");
}

TEST_F(DiskListing, RefusedListingEmptiesTheList) {
  dir.writeFile("a.txt");
  FaultyFileSystem faulty(fs);
  ASSERT_FALSE(list.buildSelectionList(faulty, source, true, progress, 500));
  ASSERT_EQ(list.size(), 1u);
  faulty.failNth(FsOp::ListFolder, 2, EACCES);
  EXPECT_EQ(list.buildSelectionList(faulty, source, true, progress, 500), std::errc::permission_denied);
  EXPECT_EQ(list.size(), 0u);
  EXPECT_FALSE(list.anyChecked());
}

}  // namespace
}  // namespace ritoma
