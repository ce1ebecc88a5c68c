#include <gtest/gtest.h>

#include "platform/TimeConvert.h"
#include "selection/EditList.h"
#include "selection/EditListBuilder.h"
#include "selection/FileEntry.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string sj(const char* utf8) { return TextCodec::fromUtf8(utf8); }

struct SplitCase {
  const char* label;
  std::string name, base, ext;
};

TEST(FileEntrySplit, ExtensionFollowsTheLastDotOfTheLastComponent) {
  const SplitCase cases[] = {
      {"double extension", "archive.tar.gz", "archive.tar", ".gz"},
      {"no dot", "README", "README", ""},
      {"leading dot only", ".profile", "", ".profile"},
      {"trailing dot", "name.", "name", "."},
      {"slash is no delimiter", "docs/readme.txt", "docs/readme", ".txt"},
      {"dot before slash", "rel.2/readme", "rel", ".2/readme"},
      {"backslash ends the component", "a.b\\c", "a.b\\c", ""},
      {"colon ends the component", "x.y:z", "x.y:z", ""},
      {"trail byte 0x5C of hyou", sj("表.txt"), sj("表"), ".txt"},
      {"trail byte 0x5C of so after the dot", sj("a.bソ"), "a", sj(".bソ")},
      {"trail byte 0x5C before the dot", sj("ソ\\x.y"), sj("ソ\\x"), ".y"},
  };
  for (const SplitCase& c : cases) {
    std::string base, ext;
    FileEntry::splitName(c.name, base, ext);
    EXPECT_EQ(base, c.base) << c.label;
    EXPECT_EQ(ext, c.ext) << c.label;
  }
}

TEST(FileEntryTexts, SizeHasCommaGroupsOverSixtyFourBits) {
  const std::pair<std::uint64_t, const char*> cases[] = {
      {0, "0"},
      {999, "999"},
      {1000, "1,000"},
      {1234567, "1,234,567"},
      {3221225472ull, "3,221,225,472"},
      {18446744073709551615ull, "18,446,744,073,709,551,615"},
  };
  for (const auto& [size, text] : cases) EXPECT_EQ(FileEntry::formatSize(size), text) << size;
}

TEST(FileEntryTexts, ModifiedIsLocalTimeFixedFormToEvenSeconds) {
  // Tests run with TZ=Asia/Tokyo (UTC+9).
  const std::pair<std::int64_t, const char*> cases[] = {
      {0, "1970/01/01 09:00:00"},
      {1700000007, "2023/11/15 07:13:26"},  // 07:13:27 rounds down to an even second
      {1700000006, "2023/11/15 07:13:26"},
      {946655999, "2000/01/01 00:59:58"},   // month and day zero-padded
  };
  for (const auto& [seconds, text] : cases)
    EXPECT_EQ(FileEntry::formatModified(TimeConvert::fromUnixSeconds(seconds, 999999999)), text) << seconds;
}

TEST(FileEntryFromDisk, FileAndFolderRows) {
  FileInfo file;
  file.name = "data.tar.gz";
  file.size = 3221225472ull;
  file.modified = TimeConvert::fromUnixSeconds(1700000007);
  const FileEntry f = FileEntry::fromDisk(file, true);
  EXPECT_EQ(f.kindCode, "11");
  EXPECT_TRUE(f.checked);
  EXPECT_EQ(f.icon, FileEntry::IconFile);
  EXPECT_EQ(f.baseName, "data.tar");
  EXPECT_EQ(f.extension, ".gz");
  EXPECT_EQ(f.sizeText, "3,221,225,472");
  EXPECT_EQ(f.modifiedText, "2023/11/15 07:13:26");
  EXPECT_EQ(f.size, 3221225472ull);

  FileInfo folder;
  folder.name = "v1.2";
  folder.isFolder = true;
  const FileEntry d = FileEntry::fromDisk(folder, true);
  EXPECT_EQ(d.kindCode, "02");
  EXPECT_FALSE(d.checked);  // folders always start unchecked
  EXPECT_EQ(d.icon, FileEntry::IconFolder);
  EXPECT_EQ(d.baseName, "v1.2");  // a folder's whole name, no extension
  EXPECT_EQ(d.extension, "");
  EXPECT_EQ(d.sizeText, "<DIR>");
}

TEST(FileEntryFromDisk, InvalidUtf8NameKeepsItsRawBytes) {
  FileInfo file;
  file.name = std::string("bad\xff\xfe.txt");
  const FileEntry e = FileEntry::fromDisk(file, true);
  EXPECT_EQ(e.diskName, file.name);
  EXPECT_EQ(e.extension, ".txt");
  bool ok = false;
  EXPECT_EQ(TextCodec::toDisk(e.fullName(), &ok), file.name);
  EXPECT_TRUE(ok);
}

FileEntry row(const char* kind, int icon, std::string base, std::string ext, std::string size,
              std::string modified, bool checked) {
  FileEntry e;
  e.kindCode = kind;
  e.icon = icon;
  e.baseName = std::move(base);
  e.extension = std::move(ext);
  e.sizeText = std::move(size);
  e.modifiedText = std::move(modified);
  e.checked = checked;
  return e;
}

TEST(EditListBuilder, CheckedRowsInListOrderWithInfoTextAndCounts) {
  const std::vector<FileEntry> rows = {
      row("02", 1, "sub", "", "<DIR>", "2024/01/02 03:04:06", true),
      row("02", 1, "skipped", "", "<DIR>", "2024/01/02 03:04:06", false),
      row("11", 0, "big", ".bin", "3,221,225,472", "2024/05/06 07:08:10", true),
      row("11", 0, sj("表"), ".txt", "12", "2024/05/06 07:08:10", true),
      row("02", 2, "docs/", "", "0", "2024/05/06 07:08:10", true),
  };
  EditList list;
  list.rows.resize(1);
  list.rows[0].names = {"old"};
  list.appendStage({"older"});
  EditListBuilder::build(rows, list);

  ASSERT_EQ(list.rows.size(), 4u);
  EXPECT_EQ(list.stageCount(), 0u);
  EXPECT_EQ(list.rows[0].infoText, "2024/01/02 03:04:06 0");
  EXPECT_EQ(list.rows[0].icon, 1);
  EXPECT_TRUE(list.rows[0].isFolder);
  EXPECT_EQ(list.rows[1].infoText, "2024/05/06 07:08:10 3,221,225,472");
  EXPECT_EQ(list.rows[1].names, std::vector<std::string>{"big.bin"});
  EXPECT_EQ(list.rows[2].names, std::vector<std::string>{sj("表.txt")});
  EXPECT_EQ(list.rows[3].icon, 2);  // an archive directory is no disk folder
  EXPECT_FALSE(list.rows[3].isFolder);
  EXPECT_EQ(list.rows[3].infoText, "2024/05/06 07:08:10 0");
  EXPECT_EQ(list.folderCount, 1);
  EXPECT_EQ(list.sizeWidth, 33 - 20);
}

}  // namespace
}  // namespace ritoma
