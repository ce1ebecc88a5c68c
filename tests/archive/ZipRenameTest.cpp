#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>

#include "ArchiveTestSupport.h"
#include "archive/ArchiveRewrite.h"
#include "archive/ZipDirectoryReader.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

using test::fixturePath;

const std::string kSoHyo = "\x83\x5c\x95\x5c.txt";  // ソ表.txt

ZipDirectory directoryOf(FileSystem& fs, const std::string& path) {
  std::unique_ptr<InputFile> file;
  if (fs.openRead(path, file)) throw std::runtime_error("cannot open " + path);
  ArchiveInput in(std::move(file), path);
  return ZipDirectoryReader(in).read();
}

struct ZipRename : ::testing::Test {
  TempDir dir;
  PosixFileSystem fs;
  test::RecordingProgress progress;
  int runs = 0;

  std::string rename(const std::string& bytes, const std::vector<ArcRenameRow>& rows,
                     bool expectSuccess = true) {
    const std::string n = std::to_string(++runs);
    dir.writeFile("in" + n + ".zip", bytes);
    ArchiveRewrite rewrite(fs, progress);
    const std::string out = dir / ("out" + n + ".zip");
    const bool ok = rewrite.ArcRenameZip(dir / ("in" + n + ".zip"), out, rows);
    EXPECT_EQ(ok, expectSuccess) << rewrite.error();
    if (ok) {
      EXPECT_TRUE(rewrite.verify(ArcZip, out)) << rewrite.error();
    }
    return out;
  }

  void expectUnzipAccepts(const std::string& path) {
    std::string output;
    EXPECT_EQ(test::runTool("unzip -t " + test::quoted(path), &output), 0) << output;
    EXPECT_EQ(output.find("extra bytes"), std::string::npos) << output;
  }
};

class ZipUntouched : public ZipRename, public ::testing::WithParamInterface<const char*> {};

TEST_P(ZipUntouched, ComesOutByteIdentical) {
  const std::string original = test::readBytes(fixturePath(GetParam()));
  const std::string out = rename(original, {});
  EXPECT_TRUE(test::readBytes(out) == original);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ZipUntouched,
                         ::testing::Values("stored.zip", "deflated.zip", "descriptor.zip",
                                           "sfx.zip", "utf8.zip", "unix-utf8.zip"),
                         [](const auto& info) {
                           std::string name = info.param;
                           name = name.substr(0, name.find('.'));
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

class ZipRenameFixtures : public ZipRename, public ::testing::WithParamInterface<const char*> {};

// "plain.txt" gets 4 bytes shorter, "ソ表.txt" 10 bytes longer: every later
// local header moves, the directory records the moved offsets, and the
// archive grows by twice the net change.
TEST_P(ZipRenameFixtures, ShorterAndLongerNamesMoveLaterOffsets) {
  const std::string path = fixturePath(GetParam());
  const std::string longer = "\x83\x5c\x95\x5c" "0123456789.txt";
  const std::string out = rename(test::readBytes(path), {{0, "plain.txt", "p.txt"}, {1, kSoHyo, longer}});
  expectUnzipAccepts(out);

  const ZipDirectory before = directoryOf(fs, path);
  const ZipDirectory after = directoryOf(fs, out);
  ASSERT_EQ(after.entries.size(), before.entries.size());
  EXPECT_EQ(after.shift, 0u);
  std::int64_t moved = 0;
  const std::map<std::string, std::int64_t> change = {{"plain.txt", -4}, {kSoHyo, 10}};
  for (std::size_t k = 0; k < before.entries.size(); ++k) {
    EXPECT_EQ(after.entries[k].localOffset, before.entries[k].localOffset + moved) << k;
    const auto it = change.find(before.entries[k].name);
    if (it != change.end()) moved += it->second;
  }
  EXPECT_EQ(after.directoryOffset, before.directoryOffset + moved);
  EXPECT_EQ(test::readBytes(out).size(), test::readBytes(path).size() + 2 * moved);

  const auto data = test::contents(fs, ArcZip, out);
  EXPECT_EQ(data[0], std::make_pair(std::string("p.txt"), test::plainText()));
  EXPECT_EQ(data[1].first, longer);
  EXPECT_TRUE(data[1].second == test::linesText());
  EXPECT_EQ(data.back().second, test::binaryData());
  EXPECT_EQ(progress.caption_, "リネーム処理中…");
  EXPECT_EQ(progress.steps_, static_cast<std::int64_t>(before.entries.size()));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ZipRenameFixtures,
                         ::testing::Values("stored.zip", "deflated.zip", "descriptor.zip",
                                           "sfx.zip", "prefixed.zip"),
                         [](const auto& info) {
                           std::string name = info.param;
                           return name.substr(0, name.find('.'));
                         });

TEST_F(ZipRename, SelfExtractingPrefixSurvivesWithAbsoluteOffsets) {
  const std::string original = test::readBytes(fixturePath("prefixed.zip"));
  const std::string out = rename(original, {{0, "plain.txt", "plain2.txt"}});
  expectUnzipAccepts(out);
  EXPECT_EQ(test::readBytes(out).substr(0, 3000), original.substr(0, 3000));
  EXPECT_EQ(directoryOf(fs, out).entries[0].localOffset, 3000u);
}

// The central directory need not follow the order of the local entries:
// here it lists them last to first. Locals are rewritten in file order, the
// directory keeps its own order and records where each entry moved.
TEST_F(ZipRename, DirectoryInAnotherOrderThanTheEntries) {
  std::string bytes = test::readBytes(fixturePath("stored.zip"));
  const std::size_t start = bytes.find("PK\x01\x02");
  const std::size_t end = bytes.rfind("PK\x05\x06");
  std::vector<std::string> records;
  for (std::size_t pos = start; pos < end;) {
    const auto get16 = [&](std::size_t at) {
      return static_cast<std::size_t>(static_cast<unsigned char>(bytes[at])) |
             static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    const std::size_t size = 46 + get16(pos + 28) + get16(pos + 30) + get16(pos + 32);
    records.push_back(bytes.substr(pos, size));
    pos += size;
  }
  ASSERT_GE(records.size(), 3u);
  std::string reversed;
  for (auto it = records.rbegin(); it != records.rend(); ++it) reversed += *it;
  bytes.replace(start, end - start, reversed);

  dir.writeFile("reversed.zip", bytes);
  const ZipDirectory before = directoryOf(fs, dir / "reversed.zip");
  const std::string longer = kSoHyo + ".longer";
  const std::string out = rename(bytes, {{3, "plain.txt", "p.txt"}, {2, kSoHyo, longer}});
  expectUnzipAccepts(out);

  const ZipDirectory after = directoryOf(fs, out);
  ASSERT_EQ(after.entries.size(), before.entries.size());
  for (std::size_t k = 0; k < after.entries.size(); ++k) {
    const std::string& old = before.entries[k].name;
    EXPECT_EQ(after.entries[k].name, old == "plain.txt" ? "p.txt" : old == kSoHyo ? longer : old);
    if (k + 1 < after.entries.size()) {
      EXPECT_GT(after.entries[k].localOffset, after.entries[k + 1].localOffset) << k;
    }
  }
  EXPECT_EQ(after.entries.back().localOffset, 0u);
  std::map<std::string, std::string> data;
  for (auto& [name, bytesOf] : test::contents(fs, ArcZip, out)) data[name] = bytesOf;
  EXPECT_EQ(data["p.txt"], test::plainText());
  EXPECT_EQ(data[longer], test::linesText());
}

TEST_F(ZipRename, Utf8FlaggedEntryGetsItsNewNameInUtf8) {
  const std::string newName = TextCodec::fromUtf8("新表.txt");
  const std::string out = rename(test::readBytes(fixturePath("utf8.zip")),
                                 {{0, kSoHyo, newName}, {1, "ascii.txt", "\x83\x5c.txt"}});
  expectUnzipAccepts(out);
  const ZipDirectory d = directoryOf(fs, out);
  EXPECT_TRUE(d.entries[0].isUtf8());
  EXPECT_EQ(d.entries[0].rawName, "新表.txt");
  EXPECT_EQ(d.entries[0].name, newName);
  // ascii.txt has no flag, but Python's zipfile wrote it on a Unix host: it
  // was read as UTF-8, and its new name is UTF-8 with the flag as well.
  EXPECT_TRUE(d.entries[1].isUtf8());
  EXPECT_EQ(d.entries[1].rawName, "ソ.txt");
  std::string listing;
  test::runTool("unzip -l " + test::quoted(out), &listing);
  EXPECT_NE(listing.find("新表.txt"), std::string::npos) << listing;
}

// A header without the UTF-8 flag stores real code page 932: characters
// with a one-way code take it, and a name with a character that has no code
// is refused before anything is written.
TEST_F(ZipRename, CodePageHeadersTakeRealCodesAndRefuseCharactersWithoutOne) {
  const std::string original = test::readBytes(fixturePath("stored.zip"));
  const std::string stored = "\x81\x60\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA" + kSoHyo;
  // Entry 1 was read as code page 932 (its bytes are not UTF-8).
  const std::string data = test::contents(fs, ArcZip, fixturePath("stored.zip"))[1].second;
  const std::string out = rename(original, {{1, kSoHyo, TextCodec::fromUtf8("〜−‖¢£¬ソ表.txt")}});
  expectUnzipAccepts(out);
  const ZipDirectory d = directoryOf(fs, out);
  EXPECT_FALSE(d.entries[1].isUtf8());
  EXPECT_EQ(d.entries[1].rawName, stored);
  EXPECT_EQ(test::contents(fs, ArcZip, out)[1], std::make_pair(stored, data));
  std::string listing;
  test::runTool("unzip -l " + test::quoted(out), &listing);
  EXPECT_NE(listing.find(stored), std::string::npos) << listing;

  for (const char* refused : {"café.txt", "😀.txt", "\xFF.txt"}) {
    SCOPED_TRACE(refused);
    dir.writeFile("refused.zip", original);
    ArchiveRewrite rewrite(fs, progress);
    EXPECT_FALSE(rewrite.ArcRenameZip(dir / "refused.zip", dir / "refused-out.zip",
                                      {{1, kSoHyo, TextCodec::toInternal(refused)}}));
    EXPECT_NE(rewrite.error().find("シフトJISにない文字は書庫に保存できません"), std::string::npos)
        << rewrite.error();
    EXPECT_FALSE(dir.exists("refused-out.zip"));
    EXPECT_TRUE(test::readBytes(dir / "refused.zip") == original);
  }
}

// Checking the rewritten archive against the planned names must notice a
// name that differs, whether stored as ASCII or as UTF-8.
TEST_F(ZipRename, VerifyRejectsAnArchiveWithoutThePlannedNames) {
  const std::vector<std::vector<ArcRenameRow>> cases = {
      {{1, "ascii.txt", "b.txt"}},
      {{0, kSoHyo, TextCodec::fromUtf8("新表.txt")}},
  };
  for (const auto& rows : cases) {
    const std::string in = dir / "verify-in.zip";
    const std::string out = dir / "verify-out.zip";
    fs.remove(out);
    dir.writeFile("verify-in.zip", test::readBytes(fixturePath("utf8.zip")));
    ArchiveRewrite rewrite(fs, progress);
    ASSERT_TRUE(rewrite.ArcRenameZip(in, out, rows)) << rewrite.error();
    EXPECT_TRUE(rewrite.verify(ArcZip, out)) << rewrite.error();
    EXPECT_FALSE(rewrite.verify(ArcZip, in)) << rows[0].oldName;
    EXPECT_NE(rewrite.error().find("一致しません"), std::string::npos) << rewrite.error();
  }
}

// zip 3.0 on Linux stores the name bytes as they are on disk, without flag
// bit 11. A non-ASCII name that is valid UTF-8 from a Unix host is UTF-8 and
// gets its new name in UTF-8; a Shift_JIS name beside it stays Shift_JIS.
TEST_F(ZipRename, UnixHostUtf8NameWithoutTheFlagIsReadAndWrittenAsUtf8) {
  const std::string path = fixturePath("unix-utf8.zip");
  const std::string shihyo = "\x8e\x86\x95\x5c.txt";  // 紙表.txt
  EXPECT_EQ(test::names(test::listOrFail(fs, ArcZip, path)),
            (std::vector<std::string>{"plain.txt", TextCodec::fromUtf8("ソ表.txt"), shihyo}));

  const std::string newName = TextCodec::fromUtf8("ソ新表.txt");
  const std::string out = rename(test::readBytes(path), {{1, TextCodec::fromUtf8("ソ表.txt"), newName},
                                                         {2, shihyo, "\x8e\x86\x83\x5c.txt"}});
  expectUnzipAccepts(out);
  const ZipDirectory before = directoryOf(fs, path);
  const ZipDirectory d = directoryOf(fs, out);
  ASSERT_EQ(d.entries.size(), 3u);
  EXPECT_EQ(d.entries[1].rawName, "ソ新表.txt");
  EXPECT_EQ(d.entries[1].name, newName);
  EXPECT_EQ(d.entries[2].rawName, "\x8e\x86\x83\x5c.txt");  // 紙ソ.txt
  // The UTF-8 name gets flag bit 11; nothing else changes.
  for (std::size_t k = 0; k < d.entries.size(); ++k) {
    EXPECT_EQ(d.entries[k].flags, before.entries[k].flags | (k == 1 ? 0x0800 : 0)) << k;
    EXPECT_EQ(d.entries[k].madeBy, before.entries[k].madeBy) << k;
  }
  std::string listing;
  test::runTool("unzip -l " + test::quoted(out), &listing);
  EXPECT_NE(listing.find("ソ新表.txt"), std::string::npos) << listing;
  using Entry = std::pair<std::string, std::string>;
  EXPECT_EQ(test::contents(fs, ArcZip, out),
            (std::vector<Entry>{{"plain.txt", test::plainText()},
                                {newName, "utf-8 named\n"},
                                {"\x8e\x86\x83\x5c.txt", "shift_jis named\n"}}));
}

// Every new name from a Unix host reads back as planned, in unzip and in the
// program's own listing: a name read as UTF-8 (an ASCII one too) gets its
// new name in UTF-8 with flag bit 11, and so does a Shift_JIS name whose new
// bytes would read as UTF-8 ("ﾃｽ" is C3 BD in code page 932, "ý" in UTF-8).
TEST_F(ZipRename, NewNamesFromAUnixHostReadBackAsPlanned) {
  const std::string shihyo = "\x8e\x86\x95\x5c.txt";  // 紙表.txt
  struct Case {
    const char* label;
    std::uint32_t entry;
    std::string oldName;
    std::string newName;
    std::string stored;
    bool flag;
  };
  const Case cases[] = {
      {"ascii name to katakana", 0, "plain.txt", TextCodec::fromUtf8("ﾃｽ.txt"), "ﾃｽ.txt", true},
      {"utf-8 name to katakana", 1, TextCodec::fromUtf8("ソ表.txt"), TextCodec::fromUtf8("ﾃｽ表.txt"),
       "ﾃｽ表.txt", true},
      {"shift_jis name whose new bytes read as utf-8", 2, shihyo, TextCodec::fromUtf8("ﾃｽ.txt"),
       "ﾃｽ.txt", true},
      {"shift_jis name stays shift_jis", 2, shihyo, "\x8e\x86\x83\x5c.txt", "\x8e\x86\x83\x5c.txt",
       false},
      {"ascii name stays ascii", 0, "plain.txt", "p.txt", "p.txt", false},
  };
  const std::string original = test::readBytes(fixturePath("unix-utf8.zip"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string out = rename(original, {{c.entry, c.oldName, c.newName}});
    expectUnzipAccepts(out);
    const ZipEntry e = directoryOf(fs, out).entries.at(c.entry);
    EXPECT_EQ(e.rawName, c.stored);
    EXPECT_EQ(e.isUtf8(), c.flag);
    EXPECT_EQ(test::listOrFail(fs, ArcZip, out).at(c.entry).name, c.newName);
    if (c.flag) {
      std::string listing;
      test::runTool("unzip -l " + test::quoted(out), &listing);
      EXPECT_NE(listing.find(" " + c.stored + "\n"), std::string::npos) << listing;
    }
  }
}

// Only a Unix host vouches for UTF-8: from FAT, NTFS or any other host the
// same bytes are Shift_JIS, read and written raw as before.
struct HostCase {
  const char* name;
  std::uint8_t host;
  bool utf8;
};

void PrintTo(const HostCase& c, std::ostream* os) { *os << c.name; }

class ZipHost : public ZipRename, public ::testing::WithParamInterface<HostCase> {};

TEST_P(ZipHost, DecidesWhetherAnUnflaggedNameIsUtf8) {
  std::string bytes = test::readBytes(fixturePath("unix-utf8.zip"));
  for (const ZipEntry& e : directoryOf(fs, fixturePath("unix-utf8.zip")).entries)
    bytes[e.centralOffset + 5] = static_cast<char>(GetParam().host);
  const std::string utf8Bytes = "ソ表.txt";
  const std::string asRead = GetParam().utf8 ? TextCodec::fromUtf8(utf8Bytes) : utf8Bytes;
  const std::string out = rename(bytes, {{1, asRead, "\x95\x5c.txt"}, {0, "plain.txt", "p.txt"}});
  const ZipDirectory d = directoryOf(fs, out);
  ASSERT_EQ(d.entries.size(), 3u);
  EXPECT_EQ(d.entries[0].rawName, "p.txt");
  EXPECT_EQ(d.entries[1].rawName, GetParam().utf8 ? "表.txt" : "\x95\x5c.txt");
  EXPECT_EQ(d.entries[2].name, "\x8e\x86\x95\x5c.txt");
  EXPECT_EQ(d.entries[2].rawName, "\x8e\x86\x95\x5c.txt");
}

INSTANTIATE_TEST_SUITE_P(Hosts, ZipHost,
                         ::testing::Values(HostCase{"Fat", 0, false}, HostCase{"Ntfs", 11, false},
                                           HostCase{"Tops20", 10, false},
                                           HostCase{"Unix", 3, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Entries larger than the copy buffer go file to file; a write failing in
// the middle of one ends the rewrite cleanly.
TEST_F(ZipRename, LargeEntryIsCopiedInPiecesAndAFailedPieceFailsCleanly) {
  std::string big(5 * 1024 * 1024 + 3, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 2654435761u >> 13);
  dir.writeFile("big.bin", big);
  dir.writeFile("small.txt", "small\n");
  ASSERT_EQ(test::runTool("cd " + test::quoted(dir.path()) + " && zip -q -0 -X big.zip big.bin small.txt"), 0);
  const std::string archive = dir.readFile("big.zip");
  const std::string out = rename(archive, {{0, "big.bin", "renamed.bin"}});
  expectUnzipAccepts(out);
  const auto data = test::contents(fs, ArcZip, out);
  EXPECT_EQ(data[0].first, "renamed.bin");
  EXPECT_TRUE(data[0].second == big);

  PosixFileSystem real;
  FaultyFileSystem faulty(real);
  faulty.failNth(FsOp::Write, 3, ENOSPC);
  dir.writeFile("in-faulty.zip", archive);
  ArchiveRewrite rewrite(faulty, progress);
  EXPECT_FALSE(rewrite.ArcRenameZip(dir / "in-faulty.zip", dir / "out-faulty.zip", {{0, "big.bin", "x.bin"}}));
  EXPECT_FALSE(rewrite.error().empty());
  EXPECT_FALSE(dir.exists("out-faulty.zip"));
}

TEST_F(ZipRename, Zip64IsRefusedWithAMessage) {
  std::string bytes = test::readBytes(fixturePath("stored.zip"));
  const std::size_t end = bytes.rfind("PK\x05\x06");
  bytes[end + 8] = bytes[end + 9] = bytes[end + 10] = bytes[end + 11] = '\xff';
  dir.writeFile("z64.zip", bytes);
  std::vector<ArcInfo> entries;
  std::string error;
  EXPECT_FALSE(ArchiveBackend::list(fs, ArcZip, dir / "z64.zip", entries, error));
  EXPECT_NE(error.find("ZIP64"), std::string::npos) << error;
  rename(bytes, {}, false);
}

}  // namespace
}  // namespace ritoma
