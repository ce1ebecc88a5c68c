#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveLibraries.h"
#include "archive/ArchiveTestSupport.h"
#include "dummy/DummyFileWriter.h"
#include "execution/ExecutionTestSupport.h"
#include "execution/FolderPlanRun.h"
#include "settings/DummySettings.h"

namespace ritoma::test {
namespace {

std::uint32_t crc32(const std::string& data) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (const char ch : data) {
    crc ^= static_cast<unsigned char>(ch);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string le(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// One stored entry of a crafted ZIP archive; `declared` is the uncompressed
// size the headers claim (the data's own size unless given).
struct StoredEntry {
  std::string name;
  std::string data;
  std::int64_t declared = -1;
};

// A ZIP archive of stored entries written by a DOS host, so that names are
// taken as their raw bytes.
std::string storedZip(const std::vector<StoredEntry>& entries) {
  std::string out, central;
  for (const auto& e : entries) {
    const std::uint32_t size = e.declared < 0 ? static_cast<std::uint32_t>(e.data.size())
                                              : static_cast<std::uint32_t>(e.declared);
    const std::string common = le(20, 2) + le(0, 2) + le(0, 2) + le(0, 2) + le(0x2E21, 2) +
                               le(crc32(e.data), 4) + le(static_cast<std::uint32_t>(e.data.size()), 4) +
                               le(size, 4) + le(static_cast<std::uint32_t>(e.name.size()), 2) + le(0, 2);
    central += le(0x02014B50, 4) + le(20, 2) + common + le(0, 2) + le(0, 2) + le(0, 2) + le(0, 4) +
               le(static_cast<std::uint32_t>(out.size()), 4) + e.name;
    out += le(0x04034B50, 4) + common + e.name + e.data;
  }
  const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
  const auto count = static_cast<std::uint32_t>(entries.size());
  out += central;
  out += le(0x06054B50, 4) + le(0, 2) + le(0, 2) + le(count, 2) + le(count, 2) +
         le(static_cast<std::uint32_t>(central.size()), 4) + le(offset, 4) + le(0, 2);
  return out;
}

// A copy run with dummy files into the folder "out" beside "work".
class DummyRun : public FolderFixture {
protected:
  ArchiveLibraries archives{fs};
  DummySettings dummy;
  DummyFileWriter writer{fs, archives, dummy};
  PlanList plan;

  void SetUp() override {
    FolderFixture::SetUp();
    dir.makeFolder("out");
    archives.load(ArcLzh);
    archives.load(ArcZip);
    options.copy = true;
    options.copyPath = TextCodec::toInternal(out());
    options.dummy = true;
  }
  std::string out() const { return dir / "out"; }

  RunResult run(const std::vector<std::pair<std::string, std::string>>& pairs,
                const std::vector<std::string>& folders = {}) {
    plan = build(makeEditList(pairs, folders));
    return FolderPlanRun(fs, settings, undoPath(), &writer).execute(plan, options);
  }
  std::string written(std::string_view utf8) const { return dir.readFile("out/" + std::string(utf8)); }
};

TEST_F(DummyRun, ContentWritesTheTextOrEmptyFiles) {
  makeFile("a", 0, AttrArchive, "source a");
  makeFile("表", 1, AttrArchive, "source 表");
  makeFolder("ソ");
  dummy.page = 0;
  dummy.zeroByte = false;
  dummy.edit = cp("ソ表\r\n\tx");
  ASSERT_FALSE(run({{"a", "a2"}, {"ソ", "ソ2"}, {"表", "表2"}}, {"ソ"}).failed);
  EXPECT_EQ(dir.names("out"), (std::vector<std::string>{"a2", "表2"}));
  EXPECT_EQ(written("表2"), "ソ表\r\n\tx");
  EXPECT_EQ(dir.readFile("work/a"), "source a");

  dummy.zeroByte = true;
  ASSERT_FALSE(run({{"a", "a3"}}).failed);
  EXPECT_EQ(written("a3"), "");
}

TEST_F(DummyRun, BinaryExcerptWritesOnlyTheBytesThatWereRead) {
  makeFile("s", 0, AttrArchive, "0123456789");
  dummy.page = 1;
  dummy.binary = true;
  const struct {
    int offset, count;
    std::string expected;
  } cases[] = {{2, 3, "234"}, {8, 5, "89"}, {20, 5, ""}, {0, 0, ""}, {0, 32767, "0123456789"}};
  int n = 0;
  for (const auto& c : cases) {
    dummy.bin1 = c.offset;
    dummy.bin2 = c.count;
    const std::string name = "b" + std::to_string(n++);
    ASSERT_FALSE(run({{"s", name}}).failed) << name;
    EXPECT_EQ(written(name), c.expected) << c.offset << "," << c.count;
  }
}

TEST_F(DummyRun, TextExcerptKeepsLinesWithCrLfAndCutsWithoutPadding) {
  makeFile("s", 0, AttrArchive, "l1\r\nl2\nl3\rl4");
  dummy.page = 1;
  dummy.binary = false;
  const struct {
    int first, count;
    bool limit;
    int maxBytes;
    std::string expected;
  } cases[] = {
      {1, 1, false, 0, "l1\r\n"},
      {2, 2, false, 0, "l2\r\nl3\r\n"},
      {4, 5, false, 0, "l4\r\n"},
      {9, 1, false, 0, ""},
      {1, 3, true, 5, "l1\r\nl"},
      {1, 1, true, 100, "l1\r\n"},
      {1, 4, true, 0, ""},
  };
  int n = 0;
  for (const auto& c : cases) {
    dummy.txt1 = c.first;
    dummy.txt2 = c.count;
    dummy.txtMax = c.limit;
    dummy.txtMaxBytes = c.maxBytes;
    const std::string name = "t" + std::to_string(n++);
    ASSERT_FALSE(run({{"s", name}}).failed) << name;
    EXPECT_EQ(written(name), c.expected) << c.first << "," << c.count << "," << c.maxBytes;
  }
}

class DummyFromArchive : public DummyRun {
protected:
  void SetUp() override {
    DummyRun::SetUp();
    dir.writeFile("work/a.lzh", readBytes(fixturePath("level2.lzh")));
    dir.writeFile("work/z.ZIP", readBytes(fixturePath("stored.zip")));
    makeFile("plain.txt", 0, AttrArchive, "not an archive");
    dummy.page = 2;
    dummy.arcLzh = true;
    dummy.arcZip = true;
    dummy.zeroByte = false;
    dummy.edit = "fallback";
  }
};

TEST_F(DummyFromArchive, ExtractsTheNthStoredFileAndFallsBackForOtherFiles) {
  dummy.arcNo = 2;  // the LZH archive's directory entry is not counted
  ASSERT_FALSE(run({{"a.lzh", "a2.lzh"}, {"z.ZIP", "z2.zip"}, {"plain.txt", "p2.txt"}}).failed);
  EXPECT_TRUE(written("a2.lzh") == linesText());
  std::string expected;
  ASSERT_TRUE(ArchiveBackend(real, ArcZip).extractMem(work() + "/z.ZIP", listOrFail(real, ArcZip, work() + "/z.ZIP")[1], expected));
  EXPECT_EQ(written("z2.zip"), expected);
  EXPECT_EQ(written("p2.txt"), "fallback");

  // A stored file past the last one, a kind switched off in the back ends:
  // the fallback, here page 1's binary cut-out.
  dummy.arcNo = 9;
  dummy.notArcExcerpt = true;
  dummy.binary = true;
  dummy.bin2 = 3;
  archives.unload(ArcLzh);
  ASSERT_FALSE(run({{"a.lzh", "a3"}, {"z.ZIP", "z3"}}).failed);
  EXPECT_EQ(written("a3"), readBytes(work() + "/a.lzh").substr(0, 3));
  EXPECT_EQ(written("z3"), "PK\x03");
}

TEST_F(DummyFromArchive, ExtensionFromTheStoredFileWithANumberWhenTaken) {
  dummy.arcExt = true;
  dummy.arcNo = 1;
  dir.writeFile("out/b.txt", "taken");
  ASSERT_FALSE(run({{"a.lzh", "b.lzh"}, {"z.ZIP", "c.zip"}}).failed);
  EXPECT_EQ(plan.rows[0].newName, "b (1).txt");
  EXPECT_EQ(plan.rows[1].newName, "c.txt");
  EXPECT_EQ(written("b (1).txt"), plainText());
  EXPECT_EQ(written("b.txt"), "taken");
  EXPECT_EQ(dir.names("out"), (std::vector<std::string>{"b (1).txt", "b.txt", "c.txt"}));
}

TEST_F(DummyFromArchive, StoredNamesNeverPlaceOrNameAFileElsewhere) {
  dir.writeFile("work/evil.zip", storedZip({{"../../x.sh", "#!/bin/sh\n"},
                                            {"dir/evil", "no extension"},
                                            {"a.s\x01h", "control"},
                                            {"ok\\\x83\x5C.t\x95\x5C", "trail bytes"}}));
  dummy.arcExt = true;
  for (int n = 1; n <= 4; ++n) {
    dummy.arcNo = n;
    ASSERT_FALSE(run({{"evil.zip", "e" + std::to_string(n) + ".zip"}}).failed) << n;
  }
  EXPECT_EQ(dir.names("out"), (std::vector<std::string>{"e1.sh", "e2", "e3.zip", "e4.t表"}));
  EXPECT_EQ(written("e1.sh"), "#!/bin/sh\n");
  EXPECT_FALSE(dir.exists("x.sh"));
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"config", "out", "work"}));
}

// What an archive cannot give (a link, damage, a limit) gives the row the
// fallback content under its own name and a note; the run goes on.
TEST_F(DummyFromArchive, AnArchiveThatCannotGiveItsFileFallsBackWithANote) {
  std::string badCrc = readBytes(fixturePath("deflated.zip"));
  badCrc[39] = 'q';  // the first byte of plain.txt, stored
  dir.writeFile("work/crc.zip", badCrc);
  dir.writeFile("work/ソlink.zip", readBytes(fixturePath("link.zip")));
  dir.writeFile("work/表link.lzh", readBytes(fixturePath("link.lzh")));
  std::string noData = readBytes(fixturePath("link.lzh"));
  noData[noData.find('|')] = '_';  // "-lhd-" without a link: a folder with a file's name
  dir.writeFile("work/nodata.lzh", noData);
  dir.writeFile("work/cut.zip", readBytes(fixturePath("truncated.zip")));
  dir.writeFile("work/bomb.zip", storedZip({{"small.txt", std::string(100000, 'z'), 10}}));
  dir.writeFile("work/huge.zip", storedZip({{"huge.txt", "tiny", 0xFFFFFFF0LL}}));
  dummy.arcNo = 1;
  dummy.arcExt = true;
  const struct {
    const char* source;
    const char* newName;
    const char* why;  // in the note; nullptr: no note
  } rows[] = {
      {"plain.txt", "p.txt", nullptr},
      {"ソlink.zip", "l1.zip", "書庫内の「ソlink.txt」はリンクのため展開できません"},
      {"表link.lzh", "l2.lzh", "書庫内の「ソlink.txt」はリンクのため展開できません"},
      {"nodata.lzh", "n.lzh", "書庫内の「ソlink.txt_plain.txt」はディレクトリのため展開できません"},
      {"cut.zip", "c.zip", "書庫が壊れています"},
      {"crc.zip", "k.zip", "展開できません"},
      {"bomb.zip", "b.zip", "超えます"},
      {"huge.zip", "h.zip", "書庫内のファイルが大きすぎます"},
      {"z.ZIP", "z.zip", nullptr},
  };
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const auto& r : rows) pairs.emplace_back(r.source, r.newName);
  const RunResult result = run(pairs);
  ASSERT_FALSE(result.failed) << (result.rowErrors.empty() ? "" : result.rowErrors.back().text);
  std::size_t notes = 0;
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const std::string_view note = result.noteOf(i);
    if (!rows[i].why) {
      EXPECT_TRUE(note.empty()) << rows[i].source << ": " << note;
      continue;
    }
    ++notes;
    EXPECT_NE(note.find(rows[i].why), std::string_view::npos) << rows[i].source << ": " << note;
    EXPECT_EQ(note.find(work()), std::string_view::npos) << note;
    EXPECT_EQ(TextCodec::toUtf8(plan.rows[i].newName), rows[i].newName);
    EXPECT_EQ(written(rows[i].newName), "fallback") << rows[i].source;
  }
  EXPECT_EQ(result.rowNotes.size(), notes);
  EXPECT_EQ(result.rowNotes[0].name, "ソlink.zip");
  EXPECT_EQ(written("p.txt"), "fallback");
  EXPECT_EQ(written("z.txt"), plainText());
  EXPECT_EQ(dir.names("out").size(), std::size(rows));

  // A dummy that cannot be written still fails its row and the run, and
  // the notes of the dummies the run removes go with them.
  dir.makeFolder("out2");
  options.copyPath = TextCodec::toInternal(dir / "out2");
  fs.reset();
  fs.failNth(FsOp::Write, 2, ENOSPC);
  const RunResult failed = run({{"ソlink.zip", "l1.zip"}, {"z.ZIP", "z.zip"}});
  EXPECT_TRUE(failed.failed);
  EXPECT_EQ(marks(plan), (std::vector<int>{MarkNone, MarkFailed}));
  EXPECT_NE(failed.errorOf(1).find("書き込めません"), std::string_view::npos) << failed.errorOf(1);
  EXPECT_TRUE(failed.rowNotes.empty());
  EXPECT_TRUE(dir.names("out2").empty());
}

TEST_F(DummyRun, AFailingWriteFailsTheRunAndRemovesItsDummies) {
  makeFile("a");
  makeFile("b");
  makeFile("c");
  dummy.page = 0;
  fs.failNth(FsOp::Write, 2, ENOSPC);
  dummy.zeroByte = false;
  dummy.edit = "text";
  const RunResult result = run({{"a", "a2"}, {"b", "b2"}, {"c", "c2"}});
  EXPECT_TRUE(result.failed);
  EXPECT_EQ(result.code, -1);
  EXPECT_EQ(marks(plan), (std::vector<int>{MarkNone, MarkFailed, MarkNone}));
  EXPECT_TRUE(dir.names("out").empty());
  EXPECT_EQ(dir.names("work"), (std::vector<std::string>{"a", "b", "c"}));

  // An unreadable source of a cut-out, and a taken name.
  fs.reset();
  dummy.page = 1;
  fs.failMatching(FsOp::OpenRead, "*/work/b", EACCES);
  EXPECT_TRUE(run({{"a", "a2"}, {"b", "b2"}}).failed);
  EXPECT_NE(writer.lastError().find("読み込めません"), std::string::npos);
  EXPECT_TRUE(dir.names("out").empty());
  fs.reset();
  dir.writeFile("out/b2", "mine");
  plan = build(makeEditList({{"a", "a2"}, {"b", "b2"}}));
  EXPECT_FALSE(writer.writeExcerpt(work() + "/", out() + "/", plan, 0, 2));
  EXPECT_EQ(written("b2"), "mine");
}

}  // namespace
}  // namespace ritoma::test
