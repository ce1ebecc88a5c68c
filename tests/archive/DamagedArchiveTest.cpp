#include <gtest/gtest.h>

#include <functional>

#include "ArchiveTestSupport.h"
#include "archive/ArcBackup.h"
#include "archive/ArchiveRenameRun.h"
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

struct DamageCase {
  const char* name;
  const char* fixture;
  ArcKind kind;
  Mutation damage;
  bool listingFails;  // some damage only shows when the archive is rewritten
};

std::vector<DamageCase> damageCases() {
  return {
      {"LzhEmptyFile", "level1.lzh", ArcLzh, truncateTo(0), true},
      {"LzhNoHeaderAtAll", "level1.lzh", ArcLzh, [](std::string& b) { b.assign(500, 'x'); }, true},
      {"LzhTruncatedInFirstBaseHeader", "level1.lzh", ArcLzh, truncateTo(15), true},
      {"LzhTruncatedInName", "level0.lzh", ArcLzh, truncateTo(26), true},
      {"LzhTruncatedInData", "level2.lzh", ArcLzh, truncateTo(300), true},
      {"LzhEndMarkerMissing", "level1.lzh", ArcLzh, cutLast(1), false},
      {"Level0HeaderShorterThanName", "level0.lzh", ArcLzh, setByte(0, 10), true},
      {"Level0PackedSizePastEnd", "level0.lzh", ArcLzh, set32(7, 0x7FFFFFFF), true},
      {"Level1PackedSizeSmallerThanExtensions", "level1.lzh", ArcLzh,
       [](std::string& b) { b[b.find("-lhd-") - 2 + 7] = 1; }, true},
      {"Level1ExtensionSizeTooSmall", "level1.lzh", ArcLzh,
       [](std::string& b) {
         const std::size_t h = b.find("-lhd-") - 2;
         set16(h + static_cast<unsigned char>(b[h]), 2)(b);
       },
       true},
      {"Level2TotalSizeBelowBase", "level2.lzh", ArcLzh, set16(0, 20), true},
      {"Level2ExtensionPastHeader", "level2.lzh", ArcLzh, set16(24, 0x7FFF), true},
      {"Level2CompressedSizePastEnd", "level2.lzh", ArcLzh, set32(7, 0xFFFFFFF0u), true},
      {"LzhLevel3", "level2.lzh", ArcLzh, setByte(20, 3), true},
      {"ZipEmptyFile", "stored.zip", ArcZip, truncateTo(0), true},
      {"ZipTruncatedHalf", "stored.zip", ArcZip, [](std::string& b) { b.resize(b.size() / 2); }, true},
      {"ZipTruncatedInEndRecord", "stored.zip", ArcZip, cutLast(10), true},
      {"ZipNoEndRecord", "stored.zip", ArcZip, atEnd(0, [](std::size_t at) { return setByte(at, 'X'); }), true},
      {"ZipDirectoryOffsetPastEnd", "stored.zip", ArcZip,
       atEnd(16, [](std::size_t at) { return set32(at, 0x7FFFFF00); }), true},
      {"ZipMoreEntriesThanRecords", "deflated.zip", ArcZip,
       [](std::string& b) {
         const std::size_t end = b.rfind("PK\x05\x06");
         set16(end + 8, 4)(b);
         set16(end + 10, 4)(b);
       },
       true},
      {"ZipNameLengthPastDirectory", "stored.zip", ArcZip,
       atCentral(28, [](std::size_t at) { return set16(at, 0xFFF0); }), true},
      {"ZipLocalOffsetPastEnd", "stored.zip", ArcZip,
       atCentral(42, [](std::size_t at) { return set32(at, 0x7FFFFFF0); }), true},
      {"ZipLocalSignatureBroken", "stored.zip", ArcZip, setByte(0, 'X'), false},
      {"ZipCompressedSizeOverlapsNextEntry", "stored.zip", ArcZip,
       atCentral(20, [](std::size_t at) { return set32(at, 5000); }), false},
      {"ZipCompressedSizePastEnd", "deflated.zip", ArcZip,
       atCentral(20, [](std::size_t at) { return set32(at, 0x7FFFFFF0); }), false},
  };
}

class DamagedArchive : public ::testing::TestWithParam<DamageCase> {};

// A damaged archive is reported and loses nothing: in every backup mode the
// run fails, the backup holds the archive unchanged, and no half-written
// archive is left under the archive's name.
TEST_P(DamagedArchive, FailsCleanlyWithTheBackupInPlace) {
  const DamageCase& c = GetParam();
  std::string bytes = test::readBytes(fixturePath(c.fixture));
  c.damage(bytes);
  const std::string name = c.kind == ArcLzh ? "a.lzh" : "a.zip";
  const std::string backup = c.kind == ArcLzh ? "a_BAK.lzh" : "a_BAK.zip";
  PosixFileSystem fs;

  TempDir listed;
  listed.writeFile(name, bytes);
  std::vector<ArcInfo> entries;
  std::string error;
  const bool listedOk = ArchiveBackend::list(fs, c.kind, listed / name, entries, error);
  EXPECT_EQ(listedOk, !c.listingFails) << error;
  EXPECT_EQ(error.empty(), listedOk);

  for (int mode : {ArcBackupDelete, ArcBackupKeepAll, ArcBackupKeepFirst}) {
    TempDir dir;
    dir.writeFile(name, bytes);
    NullProgress progress;
    ArchiveRenameRun run(fs, progress);
    EXPECT_FALSE(run.run(c.kind, dir / name, {{"plain.txt", "renamed.txt"}}, mode)) << mode;
    EXPECT_FALSE(run.error().empty());
    EXPECT_EQ(dir.names(), std::vector<std::string>{backup}) << mode;
    EXPECT_TRUE(dir.readFile(backup) == bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedArchive, ::testing::ValuesIn(damageCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ritoma
