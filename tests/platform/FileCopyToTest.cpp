#include <gtest/gtest.h>

#include <cerrno>

#include "platform/PosixFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

std::string pattern(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7919) >> 3);
  return data;
}

// A range from the middle of one file after bytes already written to the
// other, in the kernel or through realigning buffers (PosixFileSystem, with
// the offsets at the same place within a page or not) and through the plain
// buffer (the fault-injecting double, whose files do not override the copy).
TEST(FileCopyTo, CopiesARangeBetweenCurrentPositionsAndStopsAtTheEnd) {
  struct Row {
    const char* name;
    std::size_t skip;  // source offset; 4 bytes are written first
  };
  const Row rows[] = {{"same page offset", 4}, {"shifted within a page", 5}, {"a whole page further", 4100}};
  TempDir dir;
  const std::string data = pattern(3 * 1024 * 1024 + 17);
  dir.writeFile("in", data);
  PosixFileSystem posix;
  FaultyFileSystem faulty(posix);
  for (const Row& row : rows) {
    for (FileSystem* fs : {static_cast<FileSystem*>(&posix), static_cast<FileSystem*>(&faulty)}) {
      SCOPED_TRACE(row.name);
      std::unique_ptr<InputFile> in;
      std::unique_ptr<OutputFile> out;
      ASSERT_FALSE(fs->openRead(dir / "in", in));
      ASSERT_FALSE(fs->openWrite(dir / "out", WriteMode::Truncate, out));
      ASSERT_FALSE(out->write("head", 4));
      ASSERT_FALSE(in->seek(row.skip));
      std::uint64_t copied = 0;
      ASSERT_FALSE(in->copyTo(*out, 2 * 1024 * 1024 + 3, copied));
      EXPECT_EQ(copied, 2u * 1024 * 1024 + 3);
      ASSERT_FALSE(in->copyTo(*out, data.size(), copied));  // only the rest is left
      EXPECT_EQ(copied, data.size() - row.skip - 2 * 1024 * 1024 - 3);
      ASSERT_FALSE(out->close());
      EXPECT_TRUE(dir.readFile("out") == "head" + data.substr(row.skip));
    }
  }
}

TEST(FileCopyTo, BufferedCopyReportsAFailedWrite) {
  TempDir dir;
  dir.writeFile("in", pattern(3 * 1024 * 1024));
  PosixFileSystem posix;
  FaultyFileSystem fs(posix);
  fs.failNth(FsOp::Write, 2, ENOSPC);
  std::unique_ptr<InputFile> in;
  std::unique_ptr<OutputFile> out;
  ASSERT_FALSE(fs.openRead(dir / "in", in));
  ASSERT_FALSE(fs.openWrite(dir / "out", WriteMode::Truncate, out));
  std::uint64_t copied = 0;
  EXPECT_EQ(in->copyTo(*out, 3 * 1024 * 1024, copied), std::errc::no_space_on_device);
  EXPECT_LT(copied, 3u * 1024 * 1024);
}

}  // namespace
}  // namespace ritoma
