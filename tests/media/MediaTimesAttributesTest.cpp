// Times and attributes on real removable media, mounted through FUSE for
// each test (see MountedMedium), as ritoma-cli sets them and undo puts them
// back: exFAT and FAT keep a new last-write time to their own step, NTFS
// through ntfs-3g keeps S, H, R, A and the creation time where Windows
// reads them. Needs root; elsewhere the tests skip with the reason.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cli/ProgramRun.h"
#include "platform/TimeConvert.h"
#include "support/MountedMedium.h"

namespace ritoma::test {
namespace {

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  ASSERT_TRUE(out.good()) << path;
}

// The seconds since 1970 of a local time text "yyyy/mm/dd hh:mm:ss".
time_t localSeconds(const std::string& text) {
  std::tm tm{};
  tm.tm_isdst = -1;
  ::strptime(text.c_str(), "%Y/%m/%d %H:%M:%S", &tm);
  return ::mktime(&tm);
}

time_t modifiedOf(const std::string& path) {
  struct stat st{};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mtime;
}

class MediumFixture {
public:
  explicit MediumFixture(MountedMedium::Kind kind) : medium(kind) {}

  // Empty when the medium is mounted with its folders; else why not.
  std::string prepare() {
    if (!medium.skipReason().empty()) return medium.skipReason();
    if (!medium.failure().empty()) return medium.failure();
    if (::mkdir(cfg().c_str(), 0777) != 0 || ::mkdir(work().c_str(), 0777) != 0)
      return "cannot make folders on " + medium.path();
    return {};
  }
  std::string cfg() const { return medium.path() + "/cfg"; }
  std::string work() const { return medium.path() + "/work"; }

  ProgramRun cli(std::vector<std::string> args) const {
    args.insert(args.begin() + 1, {"--config-dir", cfg()});
    return ProgramRun::run(args);
  }

  MountedMedium medium;
};

struct TimeCase {
  const char* label;
  MountedMedium::Kind kind;
  const char* name;   // fusefat makes no entry whose name is not ASCII
  time_t keptBelow;   // how far below the time asked the medium keeps it
};

void PrintTo(const TimeCase& c, std::ostream* os) { *os << c.label; }

class MediaTimes : public ::testing::TestWithParam<TimeCase> {};

// A new last-write time with odd seconds: exFAT keeps it, FAT keeps the
// even second below, and both count as set; undo puts the old time back.
TEST_P(MediaTimes, NewModificationTimeAndItsUndo) {
  const TimeCase& c = GetParam();
  MediumFixture f(c.kind);
  const std::string why = f.prepare();
  if (!f.medium.skipReason().empty()) GTEST_SKIP() << why;
  ASSERT_TRUE(why.empty()) << why;
  const std::string file = f.work() + "/" + c.name;
  writeFile(file, "photo");
  const time_t before = modifiedOf(file);

  const char* asked = "2021/03/04 05:06:07";
  const ProgramRun run = f.cli({"run", "--tsv", "-t", "x_/f", "--modified", asked, f.work()});
  ASSERT_EQ(run.status, 0) << run.err << run.out;
  const std::string renamed = f.work() + "/x_" + c.name;
  EXPECT_EQ(modifiedOf(renamed), localSeconds(asked) - c.keptBelow);

  const ProgramRun undo = f.cli({"undo", "--tsv", "--yes"});
  ASSERT_EQ(undo.status, 0) << undo.err << undo.out;
  EXPECT_EQ(modifiedOf(file), before);
}

INSTANTIATE_TEST_SUITE_P(Mounted, MediaTimes,
                         ::testing::Values(TimeCase{"Exfat", MountedMedium::Kind::Exfat, "表ソ.JPG", 0},
                                           TimeCase{"Fat", MountedMedium::Kind::Fat, "IMG_0001.JPG", 1}),
                         [](const auto& info) { return std::string(info.param.label); });

std::uint64_t bigEndian(const std::string& path, const char* name, std::size_t size) {
  unsigned char value[8] = {};
  EXPECT_EQ(::getxattr(path.c_str(), name, value, size), static_cast<ssize_t>(size)) << path << " " << name;
  std::uint64_t result = 0;
  for (std::size_t i = 0; i < size; ++i) result = result << 8 | value[i];
  return result;
}

// S, H, R, A and the creation time go to NTFS's own attributes, where
// Windows reads them, not to user.DOSATTRIB; a file hidden there is
// listed hidden; undo puts both back.
TEST(MediaAttributes, NtfsAttributesAndCreationTimeAsWindowsReadsThem) {
  MediumFixture f(MountedMedium::Kind::Ntfs);
  const std::string why = f.prepare();
  if (!f.medium.skipReason().empty()) GTEST_SKIP() << why;
  ASSERT_TRUE(why.empty()) << why;
  const std::string file = f.work() + "/表.txt";
  writeFile(file, "a");
  writeFile(f.work() + "/ソ.txt", "b");
  constexpr std::uint32_t kShra = 0x27;
  const std::uint32_t attributesBefore = bigEndian(file, "system.ntfs_attrib_be", 4) & kShra;
  const std::uint64_t createdBefore = bigEndian(file, "system.ntfs_crtime_be", 8);

  const char* created = "2001/02/03 04:05:06";
  const ProgramRun run = f.cli(
      {"run", "--tsv", "-t", "n_/f", "--attributes", "SHRA", "--created", created, file});
  ASSERT_EQ(run.status, 0) << run.err << run.out;
  const std::string renamed = f.work() + "/n_表.txt";
  EXPECT_EQ(bigEndian(renamed, "system.ntfs_attrib_be", 4) & kShra, kShra);
  EXPECT_EQ(static_cast<FileTime>(bigEndian(renamed, "system.ntfs_crtime_be", 8)),
            TimeConvert::fromUnixSeconds(localSeconds(created)));
  EXPECT_LT(::getxattr(renamed.c_str(), "user.DOSATTRIB", nullptr, 0), 0);

  // Hidden and system now: the folder lists only the other file.
  const ProgramRun listed = f.cli({"list", "--tsv", f.work()});
  EXPECT_EQ(listed.out.find("n_表.txt"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("ソ.txt"), std::string::npos) << listed.out;

  const ProgramRun undo = f.cli({"undo", "--tsv", "--yes"});
  ASSERT_EQ(undo.status, 0) << undo.err << undo.out;
  EXPECT_EQ(bigEndian(file, "system.ntfs_attrib_be", 4) & kShra, attributesBefore);
  // Undo keeps times to the second.
  EXPECT_EQ(static_cast<FileTime>(bigEndian(file, "system.ntfs_crtime_be", 8)) / 10'000'000,
            static_cast<FileTime>(createdBefore) / 10'000'000);
}

}  // namespace
}  // namespace ritoma::test
