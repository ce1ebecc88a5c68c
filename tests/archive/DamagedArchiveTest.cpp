#include <gtest/gtest.h>

#include <functional>

#include "ArchiveTestSupport.h"
#include "archive/ArcBackup.h"
#include "archive/ArchiveRenameRun.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

using test::fixturePath;
using Mutation = std::function<void(std::string&)>;

Mutation truncateTo(std::size_t size) {
  return [size](std::string& b) { b.resize(std::min(size, b.size())); };
}
Mutation cutLast(std::size_t count) {
  return [count](std::string& b) { b.resize(b.size() - count); };
}
Mutation setByte(std::size_t at, char value) {
  return [at, value](std::string& b) { b[at] = value; };
}
Mutation set16(std::size_t at, std::uint16_t value) {
  return [at, value](std::string& b) {
    b[at] = static_cast<char>(value);
    b[at + 1] = static_cast<char>(value >> 8);
  };
}
Mutation set32(std::size_t at, std::uint32_t value) {
  return [at, value](std::string& b) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(value >> (8 * i));
  };
}
// Applies `inner` relative to the ZIP end record.
Mutation atEnd(std::size_t offset, std::function<Mutation(std::size_t)> make) {
  return [offset, make](std::string& b) { make(b.rfind("PK\x05\x06") + offset)(b); };
}
// Applies `inner` relative to the first central directory record.
Mutation atCentral(std::size_t offset, std::function<Mutation(std::size_t)> make) {
  return [offset, make](std::string& b) { make(b.find("PK\x01\x02") + offset)(b); };
}

// Offset of the n-th (0-based) central directory record.
std::size_t centralRecord(const std::string& b, int n) {
  std::size_t at = b.find("PK\x01\x02");
  for (int i = 0; i < n; ++i) at = b.find("PK\x01\x02", at + 4);
  return at;
}
// Applies `inner` relative to the n-th central directory record.
Mutation atNthCentral(int n, std::size_t offset, std::function<Mutation(std::size_t)> make) {
  return [n, offset, make](std::string& b) { make(centralRecord(b, n) + offset)(b); };
}
// Applies `inner` relative to the local header of the n-th central record's entry.
Mutation atLocal(int n, std::size_t offset, std::function<Mutation(std::size_t)> make) {
  return [n, offset, make](std::string& b) {
    const std::size_t central = centralRecord(b, n);
    std::size_t local = 0;
    for (int i = 0; i < 4; ++i)
      local |= std::size_t{static_cast<unsigned char>(b[central + 42 + i])} << (8 * i);
    make(local + offset)(b);
  };
}

// Where the damage is found.
enum class Found {
  Listing,  // the listing fails, and so does the run's check
  Check,    // the listing shows the archive; the run's check refuses it
  Rewrite,  // only while rewriting, after the backup was made
};

struct DamageCase {
  const char* name;
  const char* fixture;
  ArcKind kind;
  Mutation damage;
  Found found;
};

std::vector<DamageCase> damageCases() {
  return {
      {"LzhEmptyFile", "level1.lzh", ArcLzh, truncateTo(0), Found::Listing},
      {"LzhNoHeaderAtAll", "level1.lzh", ArcLzh, [](std::string& b) { b.assign(500, 'x'); }, Found::Listing},
      {"LzhTruncatedInFirstBaseHeader", "level1.lzh", ArcLzh, truncateTo(15), Found::Listing},
      {"LzhTruncatedInName", "level0.lzh", ArcLzh, truncateTo(26), Found::Listing},
      {"LzhTruncatedInData", "level2.lzh", ArcLzh, truncateTo(300), Found::Listing},
      {"LzhEndMarkerMissing", "level1.lzh", ArcLzh, cutLast(1), Found::Check},
      {"LzhBytesAfterEndMarker", "level2.lzh", ArcLzh, [](std::string& b) { b += "junk"; }, Found::Check},
      {"Level0HeaderShorterThanName", "level0.lzh", ArcLzh, setByte(0, 10), Found::Listing},
      {"Level0PackedSizePastEnd", "level0.lzh", ArcLzh, set32(7, 0x7FFFFFFF), Found::Listing},
      {"Level1PackedSizeSmallerThanExtensions", "level1.lzh", ArcLzh,
       [](std::string& b) { b[b.find("-lhd-") - 2 + 7] = 1; }, Found::Listing},
      {"Level1ExtensionSizeTooSmall", "level1.lzh", ArcLzh,
       [](std::string& b) {
         const std::size_t h = b.find("-lhd-") - 2;
         set16(h + static_cast<unsigned char>(b[h]), 2)(b);
       },
       Found::Listing},
      {"Level2TotalSizeBelowBase", "level2.lzh", ArcLzh, set16(0, 20), Found::Listing},
      {"Level2ExtensionPastHeader", "level2.lzh", ArcLzh, set16(24, 0x7FFF), Found::Listing},
      {"Level2CompressedSizePastEnd", "level2.lzh", ArcLzh, set32(7, 0xFFFFFFF0u), Found::Listing},
      {"LzhLevel3", "level2.lzh", ArcLzh, setByte(20, 3), Found::Listing},
      {"ZipEmptyFile", "stored.zip", ArcZip, truncateTo(0), Found::Listing},
      {"ZipTruncatedHalf", "stored.zip", ArcZip, [](std::string& b) { b.resize(b.size() / 2); }, Found::Listing},
      {"ZipTruncatedInEndRecord", "stored.zip", ArcZip, cutLast(10), Found::Listing},
      {"ZipNoEndRecord", "stored.zip", ArcZip, atEnd(0, [](std::size_t at) { return setByte(at, 'X'); }), Found::Listing},
      {"ZipDirectoryOffsetPastEnd", "stored.zip", ArcZip,
       atEnd(16, [](std::size_t at) { return set32(at, 0x7FFFFF00); }), Found::Listing},
      {"ZipMoreEntriesThanRecords", "deflated.zip", ArcZip,
       [](std::string& b) {
         const std::size_t end = b.rfind("PK\x05\x06");
         set16(end + 8, 4)(b);
         set16(end + 10, 4)(b);
       },
       Found::Listing},
      {"ZipNameLengthPastDirectory", "stored.zip", ArcZip,
       atCentral(28, [](std::size_t at) { return set16(at, 0xFFF0); }), Found::Listing},
      {"ZipLocalOffsetPastEnd", "stored.zip", ArcZip,
       atCentral(42, [](std::size_t at) { return set32(at, 0x7FFFFFF0); }), Found::Listing},
      {"ZipLocalSignatureBroken", "stored.zip", ArcZip, setByte(0, 'X'), Found::Rewrite},
      {"ZipCompressedSizeOverlapsNextEntry", "stored.zip", ArcZip,
       atCentral(20, [](std::size_t at) { return set32(at, 5000); }), Found::Rewrite},
      {"ZipCompressedSizePastEnd", "deflated.zip", ArcZip,
       atCentral(20, [](std::size_t at) { return set32(at, 0x7FFFFFF0); }), Found::Listing},
      // The last entry's data ends just where the directory starts.
      {"ZipLastEntryOverlapsDirectory", "stored.zip", ArcZip,
       atNthCentral(3, 20, [](std::size_t at) { return set32(at, 2100); }), Found::Listing},
      {"ZipLastLocalSignatureBroken", "stored.zip", ArcZip,
       atLocal(3, 0, [](std::size_t at) { return setByte(at, 'X'); }), Found::Rewrite},
      {"ZipLastLocalNameRunsIntoDirectory", "stored.zip", ArcZip,
       atLocal(3, 26, [](std::size_t at) { return set16(at, 200); }), Found::Rewrite},
      {"ZipLocalExtraPastEnd", "deflated.zip", ArcZip,
       atLocal(2, 28, [](std::size_t at) { return set16(at, 0xFFF0); }), Found::Rewrite},
  };
}

class DamagedArchive : public ::testing::TestWithParam<DamageCase> {};

// A damaged archive is reported and loses nothing: in every backup mode the
// run fails and the archive stays under its own name, byte for byte, with no
// backup or half-written archive beside it. Damage the check can see leaves
// the archive untouched (no rename at all); damage found only while
// rewriting moves the archive to its backup and back.
TEST_P(DamagedArchive, FailsAndLeavesTheArchiveAsItWas) {
  const DamageCase& c = GetParam();
  std::string bytes = test::readBytes(fixturePath(c.fixture));
  c.damage(bytes);
  const std::string name = c.kind == ArcLzh ? "a.lzh" : "a.zip";
  PosixFileSystem real;

  TempDir listed;
  listed.writeFile(name, bytes);
  std::vector<ArcInfo> entries;
  std::string error;
  const bool listedOk = ArchiveBackend::list(real, c.kind, listed / name, entries, error);
  EXPECT_EQ(listedOk, c.found != Found::Listing) << error;
  EXPECT_EQ(error.empty(), listedOk);

  for (int mode : {ArcBackupDelete, ArcBackupKeepAll, ArcBackupKeepFirst}) {
    TempDir dir;
    dir.writeFile(name, bytes);
    FaultyFileSystem fs(real);
    NullProgress progress;
    ArchiveRenameRun run(fs, progress);
    EXPECT_FALSE(run.run(c.kind, dir / name, {{0, "plain.txt", "renamed.txt"}}, mode)) << mode;
    EXPECT_FALSE(run.error().empty());
    EXPECT_EQ(run.backupPath(), "");
    EXPECT_EQ(dir.names(), std::vector<std::string>{name}) << mode;
    EXPECT_TRUE(dir.readFile(name) == bytes);
    const int moves = fs.calls(FsOp::Rename) + fs.calls(FsOp::Replace);
    EXPECT_EQ(moves, c.found == Found::Rewrite ? 2 : 0) << mode;
    EXPECT_EQ(fs.calls(FsOp::OpenWrite), c.found == Found::Rewrite ? 1 : 0) << mode;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedArchive, ::testing::ValuesIn(damageCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ritoma
