#include <gtest/gtest.h>

#include <sys/stat.h>

#include "ArchiveTestSupport.h"
#include "LzhTestArchive.h"
#include "archive/ArchiveRewrite.h"
#include "archive/LittleEndian.h"
#include "archive/LzhCrc16.h"
#include "archive/LzhHeaderReader.h"
#include "archive/LzhRewriter.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

using test::fixturePath;

const std::string kSo = "\x83\x5c";   // ソ
const std::string kHyo = "\x95\x5c";  // 表

std::vector<LzhHeader> headersOf(FileSystem& fs, const std::string& path) {
  std::unique_ptr<InputFile> file;
  if (fs.openRead(path, file)) throw std::runtime_error("cannot open " + path);
  ArchiveInput in(std::move(file), path);
  std::uint64_t end = 0;
  return LzhHeaderReader(in).readAll(end);
}

struct LzhRename : ::testing::Test {
  TempDir dir;
  PosixFileSystem fs;
  test::RecordingProgress progress;
  int runs = 0;

  // Renames inside a copy of `bytes`; returns the path of the new archive.
  std::string rename(const std::string& bytes, const std::vector<ArcRenameRow>& rows,
                     bool expectSuccess = true) {
    const std::string n = std::to_string(++runs);
    dir.writeFile("in" + n + ".lzh", bytes);
    ArchiveRewrite rewrite(fs, progress);
    const bool ok = rewrite.ArcRenameLzh(dir / ("in" + n + ".lzh"), dir / ("out" + n + ".lzh"), rows);
    EXPECT_EQ(ok, expectSuccess) << rewrite.error();
    if (ok) {
      EXPECT_TRUE(rewrite.verify(ArcLzh, dir / ("out" + n + ".lzh"))) << rewrite.error();
    }
    return dir / ("out" + n + ".lzh");
  }

  void expectToolsAccept(const std::string& path) {
    std::string output;
    EXPECT_EQ(test::runTool("lhasa t " + test::quoted(path), &output), 0) << output;
    EXPECT_EQ(test::runTool("lhasa l " + test::quoted(path), &output), 0) << output;
  }
};

struct LevelCase {
  const char* name;
  const char* file;
  int level;
  std::string folderEntry;  // the folder entry as listed
  std::string fileEntry;    // the Shift_JIS named file as listed
};

class LzhRenameLevels : public LzhRename, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(LzhRenameLevels, RebuildsHeadersAtLevel2WithNewNamesAndSameData) {
  const LevelCase& c = GetParam();
  const std::string newDeep = TextCodec::fromUtf8("新/名前ソ.txt");
  const std::string out = rename(test::readBytes(fixturePath(c.file)),
                                 {{0, "plain.txt", "renamed-plain.txt"}, {2, c.fileEntry, newDeep}});
  expectToolsAccept(out);
  std::string listing;
  test::runTool("lhasa l " + test::quoted(out), &listing);
  EXPECT_NE(listing.find("renamed-plain.txt"), std::string::npos) << listing;

  const auto entries = test::listOrFail(fs, ArcLzh, out);
  EXPECT_EQ(test::names(entries),
            (std::vector<std::string>{"renamed-plain.txt", c.folderEntry, newDeep}));
  const auto data = test::contents(fs, ArcLzh, out);
  ASSERT_EQ(data.size(), 2u);
  EXPECT_EQ(data[0].second, test::plainText());
  EXPECT_TRUE(data[1].second == test::linesText());
  // Renamed entries are rebuilt at level 2; the folder keeps its header.
  const auto headers = headersOf(fs, out);
  ASSERT_EQ(headers.size(), 3u);
  EXPECT_EQ(headers[0].level, 2);
  EXPECT_EQ(headers[1].level, c.level);
  EXPECT_EQ(headers[2].level, 2);

  EXPECT_EQ(progress.caption_, "リネーム処理中…");
  EXPECT_EQ(progress.maximum_, 3);
  EXPECT_EQ(progress.steps_, 3);
  EXPECT_FALSE(progress.isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, LzhRenameLevels,
    ::testing::Values(
        LevelCase{"Level0", "level0.lzh", 0, "dir" + kHyo + "\\", "dir" + kHyo + "\\" + kSo + "a.txt"},
        LevelCase{"Level1", "level1.lzh", 1, "dir" + kHyo + "/", "dir" + kHyo + "/" + kSo + "a.txt"},
        LevelCase{"Level2", "level2.lzh", 2, "dir" + kHyo + "/", "dir" + kHyo + "/" + kSo + "a.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

// LZH headers store real code page 932: characters with a one-way code
// take it, and a name with a character that has no code is refused before
// anything is written.
TEST_F(LzhRename, HeadersTakeRealCodesAndRefuseCharactersWithoutOne) {
  const std::string original = test::readBytes(fixturePath("level2.lzh"));
  const std::string stored = "\x81\x60\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA" + kSo + kHyo + ".txt";
  const std::string out = rename(original, {{0, "plain.txt", TextCodec::fromUtf8("〜−‖¢£¬ソ表.txt")}});
  expectToolsAccept(out);
  const auto entries = test::listOrFail(fs, ArcLzh, out);
  EXPECT_EQ(test::names(entries).front(), stored);
  // lhasa shows each byte above 0x7F as "?": the trail bytes 60 7C 61 of
  // 〜 − ‖ stay visible.
  std::string shown = stored;
  for (char& c : shown)
    if (static_cast<unsigned char>(c) > 0x7F) c = '?';
  std::string listing;
  test::runTool("lhasa v " + test::quoted(out), &listing);
  EXPECT_NE(listing.find(" " + shown + "\n"), std::string::npos) << listing;
  EXPECT_EQ(test::contents(fs, ArcLzh, out).front(), std::make_pair(stored, test::plainText()));

  for (const char* refused : {"café.txt", "😀.txt", "\xFF.txt"}) {
    SCOPED_TRACE(refused);
    dir.writeFile("refused.lzh", original);
    ArchiveRewrite rewrite(fs, progress);
    EXPECT_FALSE(rewrite.ArcRenameLzh(dir / "refused.lzh", dir / "refused-out.lzh",
                                      {{0, "plain.txt", TextCodec::toInternal(refused)}}));
    EXPECT_NE(rewrite.error().find("シフトJISにない文字は書庫に保存できません"), std::string::npos)
        << rewrite.error();
    EXPECT_FALSE(dir.exists("refused-out.lzh"));
    EXPECT_TRUE(test::readBytes(dir / "refused.lzh") == original);
  }
}

TEST_F(LzhRename, Level2EntriesKeepingTheirNamesAreCopiedByteForByte) {
  const std::string original = test::readBytes(fixturePath("level2.lzh"));
  const std::string out = rename(original, {{0, "plain.txt", "p.txt"}});
  expectToolsAccept(out);
  const std::string written = test::readBytes(out);
  const auto before = headersOf(fs, fixturePath("level2.lzh"));
  const auto after = headersOf(fs, out);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after[1].offset, before[1].offset - 4);  // "plain.txt" -> "p.txt"
  for (std::size_t k = 1; k < before.size(); ++k) {
    const std::size_t length = before[k].next() - before[k].offset;
    EXPECT_EQ(written.substr(after[k].offset, length), original.substr(before[k].offset, length));
  }
}

TEST_F(LzhRename, ConvertedLevel0HeaderHoldsUnixTimeOfTheLocalStamp) {
  const std::string out = rename(test::readBytes(fixturePath("level0.lzh")), {{0, "plain.txt", "p.txt"}});
  const std::string written = test::readBytes(out);
  const auto* base = reinterpret_cast<const std::uint8_t*>(written.data());
  // 2003-01-01 00:00:00 in Tokyo is 2002-12-31 15:00:00 UTC.
  EXPECT_EQ(LittleEndian::get32(base + 15), 1041346800u);
  EXPECT_EQ(base[19], 0x20);
  EXPECT_EQ(base[20], 2);
  EXPECT_EQ(base[23], 'M');
}

TEST_F(LzhRename, SplitsNamesIntoNameAndDirectoryHeaders) {
  const LzhHeader h = headersOf(fs, fixturePath("level2.lzh"))[0];
  struct Case {
    const char* name;
    std::string newName;
    std::string nameBody;
    std::string directoryBody;  // empty: no directory header
  };
  const std::vector<Case> cases = {
      {"BackslashPath", "a\\b\\c.txt", "c.txt", "a\xff" "b\xff"},
      {"SlashPath", "a/b/c.txt", "c.txt", "a\xff" "b\xff"},
      {"NoSeparator", "c.txt", "c.txt", ""},
      {"TrailByteIsNoSeparator", kHyo + "\\" + kSo, kSo, kHyo + "\xff"},
  };
  for (const Case& c : cases) {
    const std::string header = LzhRewriter::buildLevel2(h, c.newName);
    const auto* p = reinterpret_cast<const std::uint8_t*>(header.data());
    ASSERT_EQ(LittleEndian::get16(p), header.size()) << c.name;
    const std::size_t nameSize = LittleEndian::get16(p + 24);
    EXPECT_EQ(header[26], '\x01') << c.name;
    EXPECT_EQ(header.substr(27, nameSize - 3), c.nameBody) << c.name;
    const std::size_t next = LittleEndian::get16(p + 26 + nameSize - 2);
    if (c.directoryBody.empty()) {
      EXPECT_EQ(header[26 + nameSize], '\x00') << c.name;  // straight to the CRC header
    } else {
      EXPECT_EQ(header[26 + nameSize], '\x02') << c.name;
      EXPECT_EQ(header.substr(27 + nameSize, next - 3), c.directoryBody) << c.name;
    }
  }
}

TEST_F(LzhRename, HeaderOf256BytesGetsOnePaddingByteAndCanBeRenamedAgain) {
  // 26 + (222 + 3) + 5 = 256: the header becomes 257 bytes.
  const std::string longName(222, 'n');
  const LzhHeader h = headersOf(fs, fixturePath("level2.lzh"))[0];
  std::string header = LzhRewriter::buildLevel2(h, longName);
  ASSERT_EQ(header.size(), 257u);
  EXPECT_EQ(LittleEndian::get16(reinterpret_cast<const std::uint8_t*>(header.data())), 257);
  EXPECT_EQ(header.back(), '\0');
  const std::size_t crcAt = header.size() - 5;
  ASSERT_EQ(header[crcAt - 1], '\x00');  // the CRC header's type
  const std::uint16_t stored =
      LittleEndian::get16(reinterpret_cast<const std::uint8_t*>(header.data()) + crcAt);
  header[crcAt] = header[crcAt + 1] = 0;
  EXPECT_EQ(LzhCrc16::compute(header.data(), header.size()), stored);

  const std::string once = rename(test::readBytes(fixturePath("level2.lzh")), {{0, "plain.txt", longName}});
  expectToolsAccept(once);
  const std::string twice = rename(test::readBytes(once), {{0, longName, "plain.txt"}});
  expectToolsAccept(twice);
  EXPECT_EQ(test::contents(fs, ArcLzh, twice)[0],
            std::make_pair(std::string("plain.txt"), test::plainText()));
}

// A self-extracting stub stays in front byte for byte, whether entries are
// renamed or not; the tools still find the archive behind it.
TEST_F(LzhRename, KeepsTheStubBeforeTheFirstHeaderButRefusesBytesAfterTheEndMarker) {
  const std::string original = test::readBytes(fixturePath("sfx.lzh"));
  const std::size_t stub = 2048;
  ASSERT_EQ(original.substr(0, 2), "MZ");
  const std::string renamed =
      rename(original, {{2, "dir" + kHyo + "/" + kSo + "a.txt", kSo + kHyo + "\\b.txt"}});
  const std::string unchanged = rename(original, {});
  for (const std::string& out : {renamed, unchanged}) {
    expectToolsAccept(out);
    const std::string written = test::readBytes(out);
    EXPECT_TRUE(written.substr(0, stub) == original.substr(0, stub));
    EXPECT_EQ(headersOf(fs, out)[0].offset, stub);
  }
  EXPECT_TRUE(test::readBytes(unchanged) == original);
  EXPECT_EQ(test::names(test::listOrFail(fs, ArcLzh, renamed)),
            (std::vector<std::string>{"plain.txt", "dir" + kHyo + "/", kSo + kHyo + "/b.txt"}));
  EXPECT_TRUE(test::contents(fs, ArcLzh, renamed)[1].second == test::linesText());

  const std::string failed = rename(original + std::string(1, '\0'), {}, false);
  EXPECT_FALSE(fs.exists(failed));  // the incomplete output is removed
}

// The attribute byte of a level-0 or level-1 base header, which level 2 has
// no place for, goes into an attribute header of the rebuilt entry; the
// tools still list and extract it.
TEST_F(LzhRename, AttributeBytesOfLevel0And1SurviveTheRebuild) {
  const std::string hyoSo = TextCodec::fromUtf8("表ソ.txt");
  for (const char* file : {"attr0.lzh", "attr1.lzh"}) {
    SCOPED_TRACE(file);
    const auto before = test::listOrFail(fs, ArcLzh, fixturePath(file));
    ASSERT_EQ(before.size(), 2u);
    ASSERT_EQ(before[0].attributeText, "--RA");
    ASSERT_EQ(before[1].attributeText, "SHR-");
    const std::string out = rename(test::readBytes(fixturePath(file)),
                                   {{0, "plain.txt", "p.txt"}, {1, hyoSo, kSo + "/" + hyoSo}});
    expectToolsAccept(out);
    const auto headers = headersOf(fs, out);
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[0].level, 2);
    EXPECT_EQ(headers[0].attributes, 0x21);
    EXPECT_EQ(headers[1].attributes, 0x07);
    EXPECT_EQ(headers[0].extended, std::vector<std::string>{std::string("\x40\x21\x00", 3)});
    const auto after = test::listOrFail(fs, ArcLzh, out);
    EXPECT_EQ(after[0].attributeText, "--RA");
    EXPECT_EQ(after[1].attributeText, "SHR-");
    EXPECT_EQ(test::contents(fs, ArcLzh, out)[1].second, "read-only, hidden, system\n");
  }
  // An entry with an attribute header of its own keeps that one alone.
  const std::string entry = test::lzhLevel1("a.txt", "a\n", 0x2E210000, {{0x40, std::string("\x01\x00", 2)}});
  const std::string out = rename(entry + '\0', {{0, "a.txt", "b.txt"}});
  EXPECT_EQ(headersOf(fs, out)[0].extended, std::vector<std::string>{std::string("\x40\x01\x00", 3)});
}

TEST_F(LzhRename, ByteFFInAStoredNameIsListedAndRenamedAsASeparator) {
  const std::string original = test::readBytes(fixturePath("level2.lzh"));
  const LzhHeader h = headersOf(fs, fixturePath("level2.lzh"))[0];
  const std::string archive =
      test::lzhLevel2("\xFF\\a.txt", kHyo + "\xFF", original.substr(h.dataOffset, h.dataSize), 0, {}) +
      std::string(1, '\0');
  dir.writeFile("ff.lzh", archive);
  const std::string listed = kHyo + "//\\a.txt";
  ASSERT_EQ(test::names(test::listOrFail(fs, ArcLzh, dir / "ff.lzh")), std::vector<std::string>{listed});
  const std::string out = rename(archive, {{0, listed, listed + "X"}});
  EXPECT_EQ(test::names(test::listOrFail(fs, ArcLzh, out)), std::vector<std::string>{kHyo + "///a.txtX"});
}

TEST_F(LzhRename, LaterRowForOneEntryWins) {
  const std::string out = rename(test::readBytes(fixturePath("level2.lzh")),
                                 {{0, "plain.txt", "first.txt"}, {0, "plain.txt", "second.txt"}});
  EXPECT_EQ(test::listOrFail(fs, ArcLzh, out)[0].name, "second.txt");
}

// The extended headers of a Unix archiver and some this program does not
// know, as test::LzhExtension lists them.
std::vector<test::LzhExtension> unixExtensions() {
  return {
      {0x40, std::string("\x20\x00", 2)},                   // attributes
      {0x50, test::lzhLittle(0100755, 2)},                   // Unix permissions
      {0x51, test::lzhLittle(1001, 2) + test::lzhLittle(1002, 2)},  // group, user
      {0x53, "builder"},                                     // user name
      {0x54, test::lzhLittle(1041346800, 4)},                // Unix time
      {0x7E, std::string("opaque\x00\xff", 8)},              // unknown to this program
  };
}

std::vector<std::string> bytesOf(const std::vector<test::LzhExtension>& extensions) {
  std::vector<std::string> bytes;
  for (const test::LzhExtension& e : extensions) bytes.push_back(e.bytes());
  return bytes;
}

struct ExtendedCase {
  const char* name;
  std::string entry;  // the executable, headers of a Unix archiver
};

void PrintTo(const ExtendedCase& c, std::ostream* os) { *os << c.name; }

class LzhRenameExtended : public LzhRename, public ::testing::WithParamInterface<ExtendedCase> {};

// A renamed entry's rebuilt header carries every extended header it had
// but its name and directory, as it was: the executable is still
// executable after extraction, and its owner and time are still there.
TEST_P(LzhRenameExtended, RebuiltHeaderKeepsEveryOtherExtendedHeader) {
  const std::string script = "#!/bin/sh\necho " + kHyo + "\n";
  const std::string archive = GetParam().entry + test::lzhLevel2("keep.txt", "", "kept\n", 1041346800, {}) + '\0';
  const std::string out = rename(archive, {{0, "run.sh", "bin\\run2.sh"}});
  expectToolsAccept(out);

  const auto headers = headersOf(fs, out);
  ASSERT_EQ(headers.size(), 2u);
  EXPECT_EQ(headers[0].level, 2);
  EXPECT_EQ(headers[0].extended, bytesOf(unixExtensions()));
  using Entry = std::pair<std::string, std::string>;
  EXPECT_EQ(test::contents(fs, ArcLzh, out),
            (std::vector<Entry>{{"bin/run2.sh", script}, {"keep.txt", "kept\n"}}));

  std::string listing;
  ASSERT_EQ(test::runTool("lhasa v " + test::quoted(out), &listing), 0);
  EXPECT_NE(listing.find("-rwxr-xr-x  1002/1001"), std::string::npos) << listing;
  dir.makeFolder("x" + std::to_string(runs));
  const std::string target = dir / ("x" + std::to_string(runs));
  ASSERT_EQ(test::runTool("cd " + test::quoted(target) + " && lhasa xq " + test::quoted(out)), 0);
  struct stat st {};
  ASSERT_EQ(::stat((target + "/bin/run2.sh").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, LzhRenameExtended,
    ::testing::Values(
        ExtendedCase{"Level1", test::lzhLevel1("run.sh", "#!/bin/sh\necho " + kHyo + "\n",
                                               0x2E210000, unixExtensions())},
        ExtendedCase{"Level2", test::lzhLevel2("run.sh", "", "#!/bin/sh\necho " + kHyo + "\n",
                                               1041346800, unixExtensions())}),
    [](const auto& info) { return std::string(info.param.name); });

// Entries that keep their names keep their headers byte for byte, whatever
// their level: a level-0 path with 0xFF before a "/" lists as it did, and
// so does one with "\"; the level-1 entry keeps its Unix headers.
TEST_F(LzhRename, EntriesKeepingTheirNamesKeepTheirHeaderBytes) {
  const std::vector<std::string> entries = {
      test::lzhLevel0("e\xff/f.txt", "ff\n", 0x2E210000),
      test::lzhLevel0("dir" + kHyo + "\\" + kSo + ".txt", "so\n", 0x2E210000),
      test::lzhLevel1("unix.txt", "unix\n", 0x2E210000, unixExtensions()),
      test::lzhLevel0("old.txt", "old\n", 0x2E210000),
  };
  std::string archive;
  for (const std::string& e : entries) archive += e;
  archive += '\0';
  const std::string out = rename(archive, {{3, "old.txt", "new.txt"}});
  expectToolsAccept(out);

  const std::size_t kept = entries[0].size() + entries[1].size() + entries[2].size();
  EXPECT_EQ(test::readBytes(out).substr(0, kept), archive.substr(0, kept));
  EXPECT_EQ(test::names(test::listOrFail(fs, ArcLzh, out)),
            (std::vector<std::string>{"e//f.txt", "dir" + kHyo + "\\" + kSo + ".txt", "unix.txt",
                                      "new.txt"}));
  EXPECT_EQ(test::contents(fs, ArcLzh, out).back(), std::make_pair(std::string("new.txt"), std::string("old\n")));
  std::string listing;
  ASSERT_EQ(test::runTool("lhasa v " + test::quoted(out), &listing), 0);
  EXPECT_NE(listing.find(" new.txt\n"), std::string::npos) << listing;
  EXPECT_EQ(listing.find("old.txt"), std::string::npos) << listing;
}

}  // namespace
}  // namespace ritoma
