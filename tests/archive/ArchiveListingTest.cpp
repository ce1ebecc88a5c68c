#include <gtest/gtest.h>

#include "ArchiveTestSupport.h"
#include "archive/ArchiveLibraries.h"
#include "archive/LzhCrc16.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

using test::fixturePath;

const std::string kSo = "\x83\x5c";     // ソ
const std::string kHyo = "\x95\x5c";    // 表
constexpr std::uint16_t kDate2003 = (23 << 9) | (1 << 5) | 1;  // 2003-01-01

struct ListingCase {
  const char* name;
  const char* file;
  ArcKind kind;
  std::vector<std::string> names;
};

std::vector<ListingCase> listingCases() {
  const std::vector<std::string> lzhSlash = {"plain.txt", "dir" + kHyo + "/",
                                             "dir" + kHyo + "/" + kSo + "a.txt"};
  const std::vector<std::string> zipThree = {"plain.txt", kSo + kHyo + ".txt", "sub/data.bin"};
  return {
      {"Level0KeepsBackslashPaths", "level0.lzh", ArcLzh,
       {"plain.txt", "dir" + kHyo + "\\", "dir" + kHyo + "\\" + kSo + "a.txt"}},
      {"Level1DirectoryHeader", "level1.lzh", ArcLzh, lzhSlash},
      {"Level2DirectoryHeader", "level2.lzh", ArcLzh, lzhSlash},
      {"ZipStored", "stored.zip", ArcZip,
       {"plain.txt", kSo + kHyo + ".txt", "sub/", "sub/data.bin"}},
      {"ZipDeflatedWithComment", "deflated.zip", ArcZip, zipThree},
      {"ZipDataDescriptors", "descriptor.zip", ArcZip, zipThree},
      {"ZipSelfExtracting", "sfx.zip", ArcZip, zipThree},
      {"ZipPrefixWithoutAdjustedOffsets", "prefixed.zip", ArcZip, zipThree},
      {"ZipUtf8NamesComeBackAsCp932", "utf8.zip", ArcZip, {kSo + kHyo + ".txt", "ascii.txt"}},
  };
}

class ArchiveListing : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ArchiveListing, ListsNamesInArchiveOrderAndExtractsEveryFile) {
  const ListingCase& c = GetParam();
  PosixFileSystem fs;
  const std::string path = fixturePath(c.file);
  const auto entries = test::listOrFail(fs, c.kind, path);
  EXPECT_EQ(test::names(entries), c.names);
  for (const ArcInfo& e : entries) {
    EXPECT_EQ(e.date, kDate2003) << e.name;
    EXPECT_EQ(e.time, 0) << e.name;
  }
  for (const auto& [name, data] : test::contents(fs, c.kind, path)) {
    if (name == "plain.txt")
      EXPECT_EQ(data, test::plainText());
    else if (name == "sub/data.bin")
      EXPECT_EQ(data, test::binaryData());
    else if (name == "ascii.txt")
      EXPECT_EQ(data, "ascii\n");
    else if (c.file == std::string("utf8.zip"))
      EXPECT_EQ(data, "utf-8 named\n");
    else
      EXPECT_TRUE(data == test::linesText()) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ArchiveListing, ::testing::ValuesIn(listingCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ArchiveListing, ReportsSizesMethodsAndDirectoryEntries) {
  PosixFileSystem fs;
  const auto lzh = test::listOrFail(fs, ArcLzh, fixturePath("level0.lzh"));
  ASSERT_EQ(lzh.size(), 3u);
  EXPECT_EQ(lzh[0].methodText, "-lh0-");
  EXPECT_EQ(lzh[1].methodText, "-lhd-");
  EXPECT_EQ(lzh[2].methodText, "-lh5-");
  EXPECT_EQ(lzh[2].size, test::linesText().size());
  // "dir表\" ends in 0x5C: a directory entry by its raw last byte.
  EXPECT_FALSE(lzh[0].isDirectory());
  EXPECT_TRUE(lzh[1].isDirectory());
  EXPECT_FALSE(lzh[2].isDirectory());

  const auto zip = test::listOrFail(fs, ArcZip, fixturePath("deflated.zip"));
  EXPECT_EQ(zip[0].methodText, "Stored");
  EXPECT_EQ(zip[1].methodText, "Deflate");
  EXPECT_EQ(zip[2].size, 2048u);
}

TEST(ArchiveListing, DirectoryMarkerIsAWholeLastCharacter) {
  struct Row {
    const char* label;
    std::string name;
    bool directory;
  };
  const Row rows[] = {
      {"slash", "dir/", true},
      {"backslash", "dir\\", true},
      {"backslash after kanji", "dir" + kHyo + "\\", true},
      {"file ending in so", "a" + kSo, false},
      {"file ending in hyo", "a" + kHyo, false},
      {"plain file", "a.txt", false},
  };
  for (const Row& row : rows) {
    ArcInfo info;
    info.name = row.name;
    EXPECT_EQ(info.isDirectory(), row.directory) << row.label;
  }
}

TEST(ArchiveLibraries, KindFromExtensionIgnoresCase) {
  EXPECT_EQ(ArchiveLibraries::kindOfPath("/d/PICS.LZH"), ArcLzh);
  EXPECT_EQ(ArchiveLibraries::kindOfPath("/d/a.Zip"), ArcZip);
  EXPECT_EQ(ArchiveLibraries::kindOfPath("/d/a.tar.gz"), ArcNone);
  EXPECT_EQ(ArchiveLibraries::kindOfPath("lzh"), ArcNone);
}

TEST(ArchiveLibraries, BackEndServesOnlyWhileLoaded) {
  PosixFileSystem fs;
  ArchiveLibraries libraries(fs);
  std::vector<std::string> seen;
  auto collect = [&](const ArcInfo& e) { seen.push_back(e.name); };
  EXPECT_FALSE(libraries.ArcListEntries(ArcZip, fixturePath("stored.zip"), collect));
  EXPECT_TRUE(libraries.load(ArcZip));
  EXPECT_TRUE(libraries.ArcListEntries(ArcZip, fixturePath("stored.zip"), collect));
  EXPECT_EQ(seen.size(), 4u);
  libraries.unload(ArcZip);
  EXPECT_EQ(libraries.backend(ArcZip), nullptr);
}

TEST(ArchiveLibraries, FindFileEntryCountsStoredFilesOnly) {
  PosixFileSystem fs;
  ArchiveLibraries libraries(fs);
  libraries.load(ArcLzh);
  libraries.load(ArcZip);
  ArcInfo entry;
  ASSERT_TRUE(libraries.ArcFindFileEntry(entry, ArcLzh, 2, fixturePath("level1.lzh")));
  EXPECT_EQ(entry.name, "dir" + kHyo + "/" + kSo + "a.txt");
  ASSERT_TRUE(libraries.ArcFindFileEntry(entry, ArcZip, 3, fixturePath("stored.zip")));
  EXPECT_EQ(entry.name, "sub/data.bin");
  EXPECT_FALSE(libraries.ArcFindFileEntry(entry, ArcZip, 4, fixturePath("stored.zip")));
  EXPECT_FALSE(libraries.ArcFindFileEntry(entry, ArcZip, 0, fixturePath("stored.zip")));
  EXPECT_FALSE(libraries.ArcFindFileEntry(entry, ArcLzh, 1, fixturePath("missing.lzh")));
}

TEST(ArchiveBackend, FindCallsWalkTheListingAndFailAfterAFailedOpen) {
  PosixFileSystem fs;
  ArchiveBackend backend(fs, ArcZip);
  EXPECT_EQ(backend.getFileCount(fixturePath("stored.zip")), 4);
  backend.openArchive(fixturePath("stored.zip"));
  ArcInfo entry;
  int found = 0;
  for (int r = backend.findFirst(entry); r == 0; r = backend.findNext(entry)) ++found;
  EXPECT_EQ(found, 4);
  backend.closeArchive();

  entry.name = "untouched";
  backend.openArchive(fixturePath("level0.lzh"));  // not a ZIP
  EXPECT_NE(backend.findFirst(entry), 0);
  EXPECT_EQ(entry.name, "untouched");
  EXPECT_FALSE(backend.lastError().empty());
  backend.closeArchive();
}

TEST(LzhCrc16, IsCrc16Arc) {
  EXPECT_EQ(LzhCrc16::compute("123456789", 9), 0xBB3D);
  EXPECT_EQ(LzhCrc16::compute("", 0), 0);
}

}  // namespace
}  // namespace ritoma
