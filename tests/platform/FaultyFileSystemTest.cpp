#include "support/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

class FaultyFileSystemTest : public ::testing::Test {
protected:
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs{real};
};

TEST_F(FaultyFileSystemTest, FailsExactlyTheNthCallOfOneKind) {
  dir.writeFile("a");
  dir.writeFile("b");
  dir.writeFile("c");
  fs.failNth(FsOp::Rename, 2, EACCES);
  EXPECT_FALSE(fs.rename(dir / "a", dir / "a2"));
  EXPECT_EQ(fs.rename(dir / "b", dir / "b2"), std::errc::permission_denied);
  EXPECT_FALSE(fs.rename(dir / "c", dir / "c2"));
  EXPECT_EQ(fs.calls(FsOp::Rename), 3);
  EXPECT_EQ(fs.calls(FsOp::Stat), 0);
  // The failed call did nothing.
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"a2", "b", "c2"}));
}

TEST_F(FaultyFileSystemTest, FailsEveryCallOnMatchingPaths) {
  dir.makeFolder("out");
  dir.writeFile("\x95\x5c");
  fs.failMatching(FsOp::CopyFile, "*/out/*", ENOSPC);
  EXPECT_EQ(fs.copyFile(dir / "\x95\x5c", dir / "out/x"), std::errc::no_space_on_device);
  EXPECT_EQ(fs.copyFile(dir / "\x95\x5c", dir / "out/y"), std::errc::no_space_on_device);
  EXPECT_FALSE(fs.copyFile(dir / "\x95\x5c", dir / "copy"));
  EXPECT_EQ(fs.calls(FsOp::CopyFile), 3);
  EXPECT_TRUE(dir.names("out").empty());

  fs.reset();
  EXPECT_EQ(fs.calls(FsOp::CopyFile), 0);
  EXPECT_FALSE(fs.copyFile(dir / "\x95\x5c", dir / "out/x"));
}

TEST_F(FaultyFileSystemTest, FailsCallsOfOpenFiles) {
  fs.failNth(FsOp::Close, 1, EIO);
  EXPECT_EQ(fs.replaceFileContent(dir / "f", "data"), std::errc::io_error);
  EXPECT_TRUE(dir.names().empty());  // the temporary file is gone too
  EXPECT_EQ(fs.calls(FsOp::OpenWrite), 1);
  EXPECT_EQ(fs.calls(FsOp::Write), 1);
  EXPECT_EQ(fs.calls(FsOp::Replace), 0);

  ASSERT_FALSE(fs.replaceFileContent(dir / "f", "data"));
  fs.failMatching(FsOp::Read, "*/f", EIO);
  std::string content;
  EXPECT_EQ(fs.readWholeFile(dir / "f", content), std::errc::io_error);
  std::unique_ptr<InputFile> in;
  ASSERT_FALSE(fs.openRead(dir / "f", in));
  fs.failNth(FsOp::Seek, 1, EINVAL);
  EXPECT_EQ(in->seek(1), std::errc::invalid_argument);
  EXPECT_EQ(fs.calls(FsOp::Read), 1);
}

TEST_F(FaultyFileSystemTest, RepliesOfPlaces) {
  fs.setExecutableFolder("/opt/ritoma");
  fs.setMountPoints({"/", "/media/usb"});
  fs.markUnwritable(dir.path());
  EXPECT_EQ(fs.executableFolder(), "/opt/ritoma");
  EXPECT_EQ(fs.mountPoints(), (std::vector<std::string>{"/", "/media/usb"}));
  EXPECT_FALSE(fs.isWritableFolder(dir.path()));
  dir.makeFolder("sub");
  EXPECT_TRUE(fs.isWritableFolder(dir / "sub"));
}

}  // namespace
}  // namespace ritoma
