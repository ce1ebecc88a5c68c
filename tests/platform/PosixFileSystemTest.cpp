#include "platform/PosixFileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/DosAttrib.h"
#include "platform/TimeConvert.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

// 表 and ソ end in the byte 0x5C in code page 932; on disk they are UTF-8.
const std::string kOmote = "\xE8\xA1\xA8";  // 表
const std::string kSo = "\xE3\x82\xBD";     // ソ

class PosixFileSystemTest : public ::testing::Test {
protected:
  bool xattrsWork() {
    dir.writeFile("probe");
    const bool ok = ::setxattr((dir / "probe").c_str(), "user.probe", "1", 1, 0) == 0;
    ::unlink((dir / "probe").c_str());
    return ok;
  }
  void setRaw(const std::string& relative, const std::string& value) {
    ASSERT_EQ(::setxattr((dir / relative).c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0);
  }
  mode_t modeOf(const std::string& relative) {
    struct stat st{};
    EXPECT_EQ(::stat((dir / relative).c_str(), &st), 0);
    return st.st_mode & 0777;
  }

  TempDir dir;
  PosixFileSystem fs;
};

TEST_F(PosixFileSystemTest, RenameNeverReplacesAnExistingName) {
  dir.writeFile(kOmote + ".txt", "source");
  dir.writeFile(kSo + ".txt", "target");
  EXPECT_EQ(fs.rename(dir / (kOmote + ".txt"), dir / (kSo + ".txt")), std::errc::file_exists);
  EXPECT_EQ(dir.readFile(kOmote + ".txt"), "source");
  EXPECT_EQ(dir.readFile(kSo + ".txt"), "target");

  // Nor an existing folder, nor a second hard link of the same file.
  dir.makeFolder("folder");
  EXPECT_EQ(fs.rename(dir / (kOmote + ".txt"), dir / "folder"), std::errc::file_exists);
  ASSERT_EQ(::link((dir / (kSo + ".txt")).c_str(), (dir / "link").c_str()), 0);
  EXPECT_EQ(fs.rename(dir / (kSo + ".txt"), dir / "link"), std::errc::file_exists);
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"folder", "link", kSo + ".txt", kOmote + ".txt"}));
}

TEST_F(PosixFileSystemTest, RenamesFilesAndFoldersIncludingCaseOnly) {
  dir.writeFile("readme.TXT", "x");
  ASSERT_FALSE(fs.rename(dir / "readme.TXT", dir / "README.txt"));
  dir.makeFolder("sub");
  ASSERT_FALSE(fs.rename(dir / "sub", dir / (kOmote + kSo)));
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"README.txt", kOmote + kSo}));
  EXPECT_EQ(fs.rename(dir / "missing", dir / "other"), std::errc::no_such_file_or_directory);
}

TEST_F(PosixFileSystemTest, ReplaceAndRemove) {
  dir.writeFile("new", "new");
  dir.writeFile("old", "old");
  ASSERT_FALSE(fs.replace(dir / "new", dir / "old"));
  EXPECT_EQ(dir.readFile("old"), "new");
  dir.makeFolder("empty");
  ASSERT_FALSE(fs.remove(dir / "old"));
  ASSERT_FALSE(fs.remove(dir / "empty"));
  EXPECT_TRUE(dir.names().empty());
  dir.makeFolder("full");
  dir.writeFile("full/a");
  EXPECT_EQ(fs.remove(dir / "full"), std::errc::directory_not_empty);
  EXPECT_EQ(fs.makeFolder(dir / "full"), std::errc::file_exists);
}

TEST_F(PosixFileSystemTest, ListsRawNamesWithSizesAndKinds) {
  const std::string invalid = "bad\xFF\xFE";
  dir.writeFile(invalid, "12345");
  dir.writeFile(kOmote, "");
  dir.writeFile(".hidden", "x");
  dir.makeFolder("sub");
  std::vector<FileInfo> entries;
  ASSERT_FALSE(fs.listFolder(dir.path(), entries));
  std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, ".hidden");
  EXPECT_EQ(entries[0].attributes & AttrHidden, AttrHidden);
  EXPECT_EQ(entries[1].name, invalid);
  EXPECT_EQ(entries[1].size, 5u);
  EXPECT_FALSE(entries[1].isFolder);
  EXPECT_EQ(entries[1].attributes, 0u);
  EXPECT_EQ(entries[2].name, "sub");
  EXPECT_TRUE(entries[2].isFolder);
  EXPECT_EQ(entries[2].attributes, AttrFolder);
  EXPECT_EQ(entries[3].name, kOmote);

  // Sizes beyond 32 bits (a sparse file).
  ASSERT_EQ(::truncate((dir / kOmote).c_str(), 5'000'000'000LL), 0);
  ASSERT_FALSE(fs.listFolder(dir.path(), entries));
  for (const auto& entry : entries)
    if (entry.name == kOmote) {
      EXPECT_EQ(entry.size, 5'000'000'000u);
    }

  EXPECT_EQ(fs.listFolder(dir / "missing", entries), std::errc::no_such_file_or_directory);
}

// A big folder is looked up by several threads: every entry must still be
// described as lookUp describes it, each under its own name, in the
// system's order.
TEST_F(PosixFileSystemTest, BigFolderIsListedAsEachEntryIsLookedUp) {
  constexpr int kFiles = 5000;
  for (int i = 0; i < kFiles; ++i) {
    const std::string prefix = i % 3 == 0 ? kOmote : i % 3 == 1 ? kSo : "f";
    dir.writeFile(prefix + std::to_string(i), std::string(static_cast<std::size_t>(i % 97), 'x'));
  }
  dir.writeFile(".dot", "");
  dir.makeFolder("sub");
  ASSERT_EQ(::symlink("sub", (dir / "link").c_str()), 0);
  ASSERT_EQ(::symlink("gone", (dir / "dangling").c_str()), 0);
  ASSERT_EQ(::truncate((dir / "f2").c_str(), 5'000'000'000LL), 0);
  if (xattrsWork()) {
    ASSERT_FALSE(fs.setAttributes(dir / (kSo + "4000"), AttrHidden | AttrSystem));
    ASSERT_FALSE(fs.setTimes(dir / (kOmote + "3"), TimeConvert::fromUnixSeconds(86400), std::nullopt,
                             std::nullopt));
  }

  std::vector<FileInfo> entries;
  ASSERT_FALSE(fs.listFolder(dir.path(), entries));
  std::vector<std::string> names;
  ASSERT_FALSE(fs.listNames(dir.path(), names));
  ASSERT_EQ(entries.size(), kFiles + 4u);
  ASSERT_EQ(names.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const FileInfo& listed = entries[i];
    ASSERT_EQ(listed.name, names[i]);
    FileInfo single;
    ASSERT_FALSE(fs.lookUp(dir / listed.name, single)) << listed.name;
    EXPECT_EQ(listed.isFolder, single.isFolder) << listed.name;
    EXPECT_EQ(listed.kind, single.kind) << listed.name;
    EXPECT_EQ(listed.size, single.size) << listed.name;
    EXPECT_EQ(listed.created, single.created) << listed.name;
    EXPECT_EQ(listed.modified, single.modified) << listed.name;
    EXPECT_EQ(listed.attributes, single.attributes) << listed.name;
  }
}

TEST_F(PosixFileSystemTest, StatGivesLastComponentAndFollowsLinks) {
  dir.makeFolder("sub");
  dir.writeFile("sub/" + kSo, "abc");
  ASSERT_EQ(::symlink("sub", (dir / "link").c_str()), 0);
  ASSERT_EQ(::symlink("gone", (dir / "dangling").c_str()), 0);
  FileInfo info;
  ASSERT_FALSE(fs.stat(dir / ("sub/" + kSo), info));
  EXPECT_EQ(info.name, kSo);
  EXPECT_EQ(info.size, 3u);
  ASSERT_FALSE(fs.stat(dir / "link/", info));
  EXPECT_EQ(info.name, "link");
  EXPECT_TRUE(info.isFolder);
  ASSERT_FALSE(fs.stat(dir / "dangling", info));
  EXPECT_FALSE(info.isFolder);
  EXPECT_TRUE(fs.exists(dir / "sub"));
  EXPECT_FALSE(fs.exists(dir / "nothing"));
}

// The held folder answers as the calls on joined paths do, also after the
// folder's path has moved away.
TEST_F(PosixFileSystemTest, FolderHandleAnswersAsThePathCalls) {
  dir.makeFolder("sub");
  dir.writeFile("sub/" + kOmote, "abc");
  dir.writeFile("sub/" + kSo, "x");
  dir.writeFile("sub/.dot");
  ASSERT_EQ(::symlink("gone", (dir / "sub/dangling").c_str()), 0);
  if (xattrsWork()) {
    ASSERT_FALSE(fs.setAttributes(dir / ("sub/" + kOmote), AttrSystem | AttrArchive));
    ASSERT_FALSE(fs.setTimes(dir / ("sub/" + kOmote), TimeConvert::fromUnixSeconds(1'200'000'000), {}, {}));
  }
  std::unique_ptr<FolderHandle> handle;
  ASSERT_FALSE(fs.openFolderHandle(dir / "sub", handle));
  for (const std::string& name : {kOmote, kSo, std::string(".dot"), std::string("dangling")}) {
    FileInfo byPath, byHandle;
    ASSERT_FALSE(fs.stat(dir / ("sub/" + name), byPath)) << name;
    ASSERT_FALSE(handle->stat(name, byHandle)) << name;
    EXPECT_EQ(byHandle.name, name);
    EXPECT_EQ(byHandle.size, byPath.size) << name;
    EXPECT_EQ(byHandle.isFolder, byPath.isFolder) << name;
    EXPECT_EQ(byHandle.created, byPath.created) << name;
    EXPECT_EQ(byHandle.modified, byPath.modified) << name;
    EXPECT_EQ(byHandle.attributes, byPath.attributes) << name;
  }
  FileInfo info;
  EXPECT_EQ(handle->stat("missing", info), std::errc::no_such_file_or_directory);

  EXPECT_EQ(handle->rename(kOmote, kSo), std::errc::file_exists);
  ASSERT_FALSE(fs.rename(dir / "sub", dir / "moved"));
  ASSERT_FALSE(handle->rename(kOmote, "renamed"));
  EXPECT_EQ(dir.names("moved"), (std::vector<std::string>{".dot", "dangling", "renamed", kSo}));
  EXPECT_EQ(dir.readFile("moved/renamed"), "abc");

  EXPECT_EQ(fs.openFolderHandle(dir / "sub", handle), std::errc::no_such_file_or_directory);
}

TEST_F(PosixFileSystemTest, TimesRoundTripToTheSecondAndBeyond) {
  dir.writeFile("f");
  const FileTime modified = TimeConvert::fromUnixSeconds(1'000'000'000, 123'456'700);
  const FileTime accessed = TimeConvert::fromUnixSeconds(1'100'000'000);
  ASSERT_FALSE(fs.setTimes(dir / "f", std::nullopt, modified, accessed));
  FileInfo info;
  ASSERT_FALSE(fs.stat(dir / "f", info));
  EXPECT_EQ(info.modified, modified);
  EXPECT_EQ(info.accessed, accessed);

  // A missing time stays as it was.
  const FileTime later = TimeConvert::fromUnixSeconds(1'200'000'000);
  ASSERT_FALSE(fs.setTimes(dir / "f", std::nullopt, later, std::nullopt));
  ASSERT_FALSE(fs.stat(dir / "f", info));
  EXPECT_EQ(info.modified, later);
  EXPECT_EQ(info.accessed, accessed);
}

TEST_F(PosixFileSystemTest, ReadOnlyFollowsWriteBits) {
  dir.writeFile("f");
  ::chmod((dir / "f").c_str(), 0644);
  std::uint32_t attributes = 0;
  ASSERT_FALSE(fs.getAttributes(dir / "f", attributes));
  EXPECT_EQ(attributes & AttrReadOnly, 0u);

  ASSERT_FALSE(fs.setAttributes(dir / "f", AttrReadOnly));
  EXPECT_EQ(modeOf("f"), 0444u);
  ASSERT_FALSE(fs.getAttributes(dir / "f", attributes));
  EXPECT_EQ(attributes & AttrReadOnly, AttrReadOnly);

  ASSERT_FALSE(fs.setAttributes(dir / "f", 0));
  EXPECT_EQ(modeOf("f"), 0644u);

  // Permission bits changed from outside decide as well.
  ::chmod((dir / "f").c_str(), 0555);
  ASSERT_FALSE(fs.getAttributes(dir / "f", attributes));
  EXPECT_EQ(attributes & AttrReadOnly, AttrReadOnly);
}

TEST_F(PosixFileSystemTest, AttributesAndCreationTimeReadBack) {
  if (!xattrsWork()) GTEST_SKIP() << "the temporary folder's file system refuses user xattrs";
  dir.writeFile(kOmote);
  const std::string path = dir / kOmote;
  const FileTime created = TimeConvert::fromUnixSeconds(946'684'800);  // 2000-01-01 UTC
  ASSERT_FALSE(fs.setTimes(path, created, std::nullopt, std::nullopt));
  ASSERT_FALSE(fs.setAttributes(path, AttrHidden | AttrSystem | AttrArchive | AttrReadOnly));
  FileInfo info;
  ASSERT_FALSE(fs.stat(path, info));
  EXPECT_EQ(info.attributes, AttrHidden | AttrSystem | AttrArchive | AttrReadOnly);
  EXPECT_EQ(info.created, created);  // kept across the attribute change

  // Clearing R on a read-only file still rewrites the record.
  ASSERT_FALSE(fs.setAttributes(path, AttrArchive));
  std::uint32_t attributes = 0;
  ASSERT_FALSE(fs.getAttributes(path, attributes));
  EXPECT_EQ(attributes, AttrArchive);
  // And the creation time can be set on a read-only file.
  ASSERT_FALSE(fs.setAttributes(path, AttrReadOnly));
  ASSERT_FALSE(fs.setTimes(path, created + 10'000'000, std::nullopt, std::nullopt));
  ASSERT_FALSE(fs.stat(path, info));
  EXPECT_EQ(info.created, created + 10'000'000);
  EXPECT_EQ(info.attributes, AttrReadOnly);
}

TEST_F(PosixFileSystemTest, GetfattrShowsTheVersion4Record) {
  if (!xattrsWork()) GTEST_SKIP() << "the temporary folder's file system refuses user xattrs";
  dir.writeFile("f");
  const FileTime created = TimeConvert::fromUnixSeconds(946'684'800);
  ASSERT_FALSE(fs.setTimes(dir / "f", created, std::nullopt, std::nullopt));
  ASSERT_FALSE(fs.setAttributes(dir / "f", AttrArchive));
  const std::string command = "getfattr -e hex -n user.DOSATTRIB '" + (dir / "f") + "' 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  ASSERT_EQ(::pclose(pipe), 0) << "getfattr (package attr) failed";
  // 946684800 s after 1970 = 125911584000000000 ticks = 0x01BF53EB256D4000.
  EXPECT_NE(output.find("user.DOSATTRIB=0x"
                        "0000" "0400" "04000000" "11000000" "20000000"
                        "0000000000000000" "00406d25eb53bf01"),
            std::string::npos)
      << output;
}

TEST_F(PosixFileSystemTest, ReadsVersion3AndBareHexRecords) {
  if (!xattrsWork()) GTEST_SKIP() << "the temporary folder's file system refuses user xattrs";
  dir.writeFile("v3");
  dir.writeFile("hex");
  // "0x2" NUL, version 3, two pad bytes, level 3, flags, attrib H|S.
  std::string v3("0x2\0", 4);
  v3 += std::string("\x03\x00\x00\x00\x03\x00\x00\x00\x11\x00\x00\x00\x06\x00\x00\x00", 16);
  v3 += std::string(20, '\0');                          // ea size, size, alloc size
  v3 += std::string("\x00\x40\x6d\x25\xeb\x53\xbf\x01", 8);  // 2000-01-01 UTC
  v3 += std::string(8, '\0');
  setRaw("v3", v3);
  setRaw("hex", "0x4");
  FileInfo info;
  ASSERT_FALSE(fs.stat(dir / "v3", info));
  EXPECT_EQ(info.attributes, AttrHidden | AttrSystem);
  EXPECT_EQ(info.created, TimeConvert::fromUnixSeconds(946'684'800));
  ASSERT_FALSE(fs.stat(dir / "hex", info));
  EXPECT_EQ(info.attributes, AttrSystem);
  EXPECT_NE(info.created, 0);  // from the birth time or the last write
}

TEST_F(PosixFileSystemTest, CreationTimeWithoutRecordIsBirthOrLastWrite) {
  dir.writeFile("f");
  FileInfo info;
  ASSERT_FALSE(fs.stat(dir / "f", info));
  const std::int64_t now = TimeConvert::toUnixSeconds(TimeConvert::fromUnixSeconds(::time(nullptr)));
  EXPECT_NEAR(static_cast<double>(TimeConvert::toUnixSeconds(info.created)), static_cast<double>(now), 60);
}

TEST_F(PosixFileSystemTest, CopyGivesDataTimesAndAttributes) {
  std::string data(3 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  dir.writeFile(kOmote, data);
  const FileTime modified = TimeConvert::fromUnixSeconds(1'000'000'000);
  ASSERT_FALSE(fs.setTimes(dir / kOmote, std::nullopt, modified, modified));
  const bool xattrs = xattrsWork();
  if (xattrs) {
    ASSERT_FALSE(fs.setTimes(dir / kOmote, modified - 50'000'000, std::nullopt, std::nullopt));
    ASSERT_FALSE(fs.setAttributes(dir / kOmote, AttrArchive | AttrReadOnly));
  }

  ASSERT_FALSE(fs.copyFile(dir / kOmote, dir / kSo));
  FileInfo copy;
  ASSERT_FALSE(fs.stat(dir / kSo, copy));
  EXPECT_EQ(dir.readFile(kSo), data);
  EXPECT_EQ(dir.names(), (std::vector<std::string>{kSo, kOmote}));  // no temporary left
  EXPECT_EQ(copy.modified, modified);
  EXPECT_EQ(copy.accessed, modified);
  if (xattrs) {
    EXPECT_EQ(copy.created, modified - 50'000'000);
    EXPECT_EQ(copy.attributes, AttrArchive | AttrReadOnly);
  }
}

TEST_F(PosixFileSystemTest, FailedCopyLeavesNoTraceAndKeepsTheTarget) {
  dir.writeFile("target", "keep");
  dir.writeFile(kSo, "source");
  EXPECT_EQ(fs.copyFile(dir / kSo, dir / "target"), std::errc::file_exists);
  ASSERT_FALSE(fs.remove(dir / kSo));
  EXPECT_EQ(fs.copyFile(dir / "missing", dir / "target"), std::errc::no_such_file_or_directory);
  dir.makeFolder("folder");
  EXPECT_EQ(fs.copyFile(dir / "folder", dir / "target"), std::errc::is_a_directory);
  EXPECT_EQ(fs.copyFile(dir / "target", dir / "nowhere/x"), std::errc::no_such_file_or_directory);
  EXPECT_EQ(dir.readFile("target"), "keep");
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"folder", "target"}));
}

TEST_F(PosixFileSystemTest, CopyTakesALinkAsALinkAndRefusesPipesAndDevices) {
  ASSERT_EQ(::symlink("/dev/zero", (dir / kOmote).c_str()), 0);
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  dir.makeFolder("out");
  ASSERT_FALSE(fs.copyFile(dir / kOmote, dir / ("out/" + kSo)));
  char target[64];
  const ssize_t length = ::readlink((dir / ("out/" + kSo)).c_str(), target, sizeof target);
  EXPECT_EQ(std::string(target, static_cast<std::size_t>(std::max<ssize_t>(length, 0))), "/dev/zero");
  EXPECT_EQ(fs.copyFile(dir / kOmote, dir / ("out/" + kSo)), std::errc::file_exists);
  EXPECT_EQ(fs.copyFile(dir / "pipe", dir / "out/pipe"), std::errc::invalid_argument);
  EXPECT_EQ(fs.copyFile("/dev/null", dir / "out/null"), std::errc::invalid_argument);
  EXPECT_EQ(dir.names("out"), std::vector<std::string>{kSo});
  std::unique_ptr<InputFile> in;
  EXPECT_EQ(fs.openRead(dir / "pipe", in), std::errc::invalid_argument);
  EXPECT_EQ(fs.openRead(dir / kOmote, in), std::errc::invalid_argument);
}

TEST_F(PosixFileSystemTest, OpenReadAndWrite) {
  std::unique_ptr<OutputFile> out;
  ASSERT_FALSE(fs.openWrite(dir / kSo, WriteMode::CreateNew, out));
  ASSERT_FALSE(out->write("hello world", 11));
  ASSERT_FALSE(out->seek(6));
  ASSERT_FALSE(out->write("WORLD", 5));
  ASSERT_FALSE(out->close());
  EXPECT_EQ(out->close(), std::errc::bad_file_descriptor);
  EXPECT_EQ(fs.openWrite(dir / kSo, WriteMode::CreateNew, out), std::errc::file_exists);

  std::unique_ptr<InputFile> in;
  ASSERT_FALSE(fs.openRead(dir / kSo, in));
  EXPECT_EQ(in->size(), 11u);
  char buffer[16];
  std::size_t got = 0;
  ASSERT_FALSE(in->seek(6));
  ASSERT_FALSE(in->read(buffer, sizeof buffer, got));
  EXPECT_EQ(std::string(buffer, got), "WORLD");

  ASSERT_FALSE(fs.openWrite(dir / kSo, WriteMode::Truncate, out));
  ASSERT_FALSE(out->close());
  EXPECT_EQ(dir.readFile(kSo), "");
  EXPECT_EQ(fs.openRead(dir.path(), in), std::errc::is_a_directory);
  EXPECT_EQ(fs.openRead(dir / "missing", in), std::errc::no_such_file_or_directory);
}

TEST_F(PosixFileSystemTest, ReplaceFileContentLeavesOnlyTheFile) {
  dir.writeFile("settings", "old");
  ASSERT_FALSE(fs.replaceFileContent(dir / "settings", "new content"));
  EXPECT_EQ(dir.readFile("settings"), "new content");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"settings"});
  std::string content;
  ASSERT_FALSE(fs.readWholeFile(dir / "settings", content));
  EXPECT_EQ(content, "new content");
}

// A file written to replace another keeps that file's permission bits, and
// its owner and group where the process may set them (root: a foreign
// owner too).
struct ReplacementCase {
  const char* label;
  mode_t mode;
};

class ReplacementMode : public PosixFileSystemTest,
                        public ::testing::WithParamInterface<ReplacementCase> {};

TEST_P(ReplacementMode, KeepsTheModeOfTheFileItReplaces) {
  const std::string name = kSo + ".ini";
  dir.writeFile(name, "old");
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown((dir / name).c_str(), 4321, 8765), 0);
  }
  ASSERT_EQ(::chmod((dir / name).c_str(), GetParam().mode), 0);
  ASSERT_FALSE(fs.replaceFileContent(dir / name, "new"));
  EXPECT_EQ(dir.readFile(name), "new");
  EXPECT_EQ(dir.names(), std::vector<std::string>{name});
  struct stat st{};
  ASSERT_EQ(::stat((dir / name).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, GetParam().mode);
  if (root) {
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, ReplacementMode,
                         ::testing::Values(ReplacementCase{"Private0600", 0600},
                                           ReplacementCase{"Executable0755", 0755},
                                           ReplacementCase{"Group0640", 0640},
                                           ReplacementCase{"SetGroup2750", 02750}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(PosixFileSystemTest, NewFilesAreNeverCreatedThroughALink) {
  dir.makeFolder("outside");
  dir.writeFile("outside/target", "secret");
  ASSERT_EQ(::symlink((dir / "outside/target").c_str(), (dir / kOmote).c_str()), 0);
  ASSERT_EQ(::symlink((dir / "outside/none").c_str(), (dir / kSo).c_str()), 0);
  std::unique_ptr<OutputFile> out;
  for (const std::string& name : {kOmote, kSo}) {
    EXPECT_EQ(fs.openWrite(dir / name, WriteMode::CreateNew, out), std::errc::file_exists) << name;
    EXPECT_EQ(fs.createLike(dir / name, dir / "outside/target", out), std::errc::file_exists) << name;
  }
  EXPECT_EQ(dir.readFile("outside/target"), "secret");
  EXPECT_EQ(dir.names("outside"), std::vector<std::string>{"target"});
  // Without a model on disk a new file is made as any other.
  const mode_t mask = ::umask(022);
  ASSERT_FALSE(fs.createLike(dir / "fresh", dir / "missing", out));
  ::umask(mask);
  ASSERT_FALSE(out->close());
  EXPECT_EQ(modeOf("fresh"), 0644u);
}

TEST(PosixFileSystemPlacesTest, MountPointsAreRootRealDevicesAndShares) {
  const std::string table =
      "/dev/vda / ext4 rw 0 0\n"
      "proc /proc proc rw 0 0\n"
      "tmpfs /tmp tmpfs rw 0 0\n"
      "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
      "/dev/vda /srv/bind ext4 rw 0 0\n"
      "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
      "/dev/loop3 /snap/core22/1380 squashfs ro 0 0\n"
      "/dev/sdc1 /media/カード exfat rw 0 0\n"
      "/dev/sdd1 /mnt/win fuseblk rw 0 0\n"
      "//nas/写真 /mnt/nas cifs rw 0 0\n"
      "server:/export /mnt/nfs nfs4 rw 0 0\n"
      "me@host:/home /mnt/ssh fuse.sshfs rw 0 0\n"
      "gvfsd-fuse /run/user/1000/gvfs fuse.gvfsd-fuse rw 0 0\n";
  EXPECT_EQ(PosixFileSystem::parseMountPoints(table),
            (std::vector<std::string>{"/", "/media/usb stick", "/srv/bind", "/media/カード", "/mnt/win", "/mnt/nas",
                                      "/mnt/nfs", "/mnt/ssh"}));
  PosixFileSystem fs;
  const auto points = fs.mountPoints();
  ASSERT_FALSE(points.empty());
  EXPECT_EQ(points.front(), "/");
}

TEST(PosixFileSystemPlacesTest, ExecutableFolderAndWritableFolders) {
  PosixFileSystem fs;
  const std::string exe = fs.executableFolder();
  FileInfo info;
  ASSERT_FALSE(fs.stat(exe, info));
  EXPECT_TRUE(info.isFolder);
  EXPECT_NE(exe.back(), '/');

  TempDir dir;
  EXPECT_TRUE(fs.isWritableFolder(dir.path()));
  EXPECT_FALSE(fs.isWritableFolder(dir / "missing"));
  dir.writeFile("file");
  EXPECT_FALSE(fs.isWritableFolder(dir / "file"));
  if (::geteuid() != 0) {
    dir.makeFolder("locked");
    ::chmod((dir / "locked").c_str(), 0555);
    EXPECT_FALSE(fs.isWritableFolder(dir / "locked"));
  }
}

}  // namespace
}  // namespace ritoma
