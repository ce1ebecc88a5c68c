// Times and attributes on file systems that refuse part of them: without
// extended attributes (FAT, exFAT, NFSv3, ramfs), and files of another
// owner, where utimensat refuses explicit times.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/PosixCalls.h"
#include "platform/PosixFileSystem.h"
#include "platform/TimeConvert.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

const std::string kOmote = "\xE8\xA1\xA8";  // 表: trail byte 0x5C in code page 932
const std::string kSo = "\xE3\x82\xBD";     // ソ

// Counts the writing calls that reach the system.
class CountingCalls : public PosixCalls {
public:
  int xattrWrites = 0;
  int timeWrites = 0;
  int setxattr(const char* path, const char* name, const void* value, std::size_t size,
               int flags) override {
    ++xattrWrites;
    return PosixCalls::setxattr(path, name, value, size, flags);
  }
  int utimensat(int dirFd, const char* path, const timespec times[2], int flags) override {
    ++timeWrites;
    return PosixCalls::utimensat(dirFd, path, times, flags);
  }
};

class RefusedAttributes : public ::testing::Test {
protected:
  void SetUp() override {
    dir.writeFile(kOmote, "a");
    dir.writeFile("." + kSo, "b");
    // Whole seconds, as the time texts of the plan give them.
    for (const std::string& name : {kOmote, "." + kSo})
      ASSERT_FALSE(real.setTimes(dir / name, std::nullopt, kModified, kModified));
    fs.refuseExtendedAttributes();
  }

  static constexpr FileTime kModified = 130'000'000'000'000'000LL;
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs{real};
};

TEST_F(RefusedAttributes, ReadsPlainValuesAndTheProbeSaysSo) {
  FileInfo info;
  ASSERT_FALSE(fs.stat(dir / kOmote, info));
  EXPECT_EQ(info.attributes, 0u);
  ASSERT_FALSE(fs.stat(dir / ("." + kSo), info));
  EXPECT_EQ(info.attributes, std::uint32_t{AttrHidden});
  for (const std::string& path : {dir.path(), dir / kOmote}) {
    const MediumTraits refused = fs.medium(path);
    EXPECT_FALSE(refused.creationTime);
    EXPECT_FALSE(refused.dosAttributes);
    EXPECT_TRUE(refused.readOnly);
    const MediumTraits held = real.medium(path);
    EXPECT_TRUE(held.creationTime);
    EXPECT_TRUE(held.dosAttributes);
    EXPECT_EQ(held.modifiedStep, 1);
  }
}

TEST_F(RefusedAttributes, NewCreationTimesAndBitsAreRefusedOrLeftOutWhenCarried) {
  const std::string path = dir / kOmote;
  FileInfo before;
  ASSERT_FALSE(fs.stat(path, before));
  const FileTime created = before.created - 10'000'000;
  const FileTime modified = kModified + 20'000'000;

  // Asked for directly, they fail and change nothing.
  EXPECT_EQ(fs.setTimes(path, created, modified, std::nullopt), std::errc::not_supported);
  EXPECT_EQ(fs.setAttributes(path, AttrSystem), std::errc::not_supported);
  EXPECT_EQ(fs.setAttributes(path, AttrHidden | AttrReadOnly), std::errc::not_supported);
  EXPECT_EQ(fs.setAttributes(path, AttrArchive), std::errc::not_supported);
  FileInfo info;
  ASSERT_FALSE(fs.stat(path, info));
  EXPECT_EQ(info.modified, kModified);
  EXPECT_EQ(info.attributes, 0u);

  // Carried over, the rest is written.
  EXPECT_FALSE(fs.carryTimes(path, created, modified, std::nullopt));
  EXPECT_FALSE(fs.carryAttributes(path, AttrSystem | AttrHidden | AttrArchive | AttrReadOnly));
  ASSERT_FALSE(fs.stat(path, info));
  EXPECT_EQ(info.modified, modified);
  EXPECT_EQ(info.attributes, std::uint32_t{AttrReadOnly});
  // The hidden name keeps its H when R is carried.
  EXPECT_FALSE(fs.carryAttributes(dir / ("." + kSo), AttrHidden | AttrReadOnly | AttrArchive));
  ASSERT_FALSE(fs.stat(dir / ("." + kSo), info));
  EXPECT_EQ(info.attributes, std::uint32_t{AttrHidden | AttrReadOnly});
  // A creation time equal to the one shown is no change.
  ASSERT_FALSE(fs.stat(path, info));
  EXPECT_FALSE(fs.setTimes(path, info.created, std::nullopt, std::nullopt));
}

TEST(ExplicitTimesRefused, ValuesAlreadyThereAreNotWritten) {
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs{real};
  dir.writeFile(kOmote, "a");
  const std::string path = dir / kOmote;
  ASSERT_FALSE(real.setTimes(path, std::nullopt, 130'000'000'000'000'000LL, 130'000'000'000'000'000LL));
  ASSERT_FALSE(real.setAttributes(path, AttrArchive));
  fs.refuseExplicitTimes("*/" + kOmote);
  FileInfo info;
  ASSERT_FALSE(fs.stat(path, info));

  EXPECT_FALSE(fs.setTimes(path, info.created, info.modified, info.accessed));
  EXPECT_EQ(fs.setTimes(path, std::nullopt, info.modified + 10'000'000, std::nullopt),
            std::errc::operation_not_permitted);
  EXPECT_EQ(fs.carryTimes(path, std::nullopt, std::nullopt, info.accessed + 10'000'000),
            std::errc::operation_not_permitted);
  FileInfo after;
  ASSERT_FALSE(fs.stat(path, after));
  EXPECT_EQ(after.modified, info.modified);
  EXPECT_EQ(after.accessed, info.accessed);
}

TEST(EqualValues, ReachNoSystemCall) {
  TempDir dir;
  CountingCalls calls;
  PosixFileSystem fs(calls);
  dir.writeFile(kSo, "x");
  const std::string path = dir / kSo;
  ASSERT_FALSE(fs.setAttributes(path, AttrArchive | AttrReadOnly));
  FileInfo info;
  ASSERT_FALSE(fs.stat(path, info));
  calls.xattrWrites = calls.timeWrites = 0;

  EXPECT_FALSE(fs.setTimes(path, info.created, info.modified, info.accessed));
  EXPECT_FALSE(fs.setAttributes(path, AttrArchive | AttrReadOnly));
  EXPECT_FALSE(fs.carryAttributes(path, AttrArchive | AttrReadOnly));
  EXPECT_EQ(calls.xattrWrites, 0);
  EXPECT_EQ(calls.timeWrites, 0);
  struct stat st{};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);  // still read-only

  // One differing time is written alone.
  EXPECT_FALSE(fs.setTimes(path, info.created, info.modified + 10'000'000, info.accessed));
  EXPECT_EQ(calls.xattrWrites, 0);
  EXPECT_EQ(calls.timeWrites, 1);
}

}  // namespace
}  // namespace ritoma
