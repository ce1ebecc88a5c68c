#include "platform/NoReplaceRename.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/PosixFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

// 表 and ソ end in the byte 0x5C in code page 932; on disk they are UTF-8.
const std::string kOmote = "\xE8\xA1\xA8";  // 表
const std::string kSo = "\xE3\x82\xBD";     // ソ

using Names = std::vector<std::string>;

// The renames of a file system that cannot be mounted here, played by the
// test double on the temporary folder's disk.
struct Medium {
  const char* name;
  std::function<void(FaultyFileSystem&)> play;
  bool ignoresCase;
};

const Medium kMedia[] = {
    {"Local", [](FaultyFileSystem&) {}, false},
    {"NfsOrSmb", [](FaultyFileSystem& fs) { fs.refuseNoReplaceFlag(); }, false},
    {"Vfat", [](FaultyFileSystem& fs) { fs.ignoreCase(); }, true},
    {"ExfatThroughFuse",
     [](FaultyFileSystem& fs) {
       fs.refuseNoReplaceFlag();
       fs.ignoreCase();
     },
     true},
};

class NoReplaceRenameOn : public ::testing::TestWithParam<Medium> {
protected:
  void SetUp() override { GetParam().play(fs); }

  // Renames once by path and once through a handle on the folder, which
  // must answer alike; returns the first error.
  std::error_code renameBoth(const std::string& from, const std::string& to, const std::string& back) {
    if (auto ec = fs.rename(dir / from, dir / to)) return ec;
    return fs.folderHandle(dir.path())->rename(to, back);
  }

  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs{real};
};

TEST_P(NoReplaceRenameOn, RenamesFilesAndFoldersToFreeNames) {
  dir.writeFile(kOmote + ".txt", "omote");
  dir.makeFolder(kSo);
  dir.writeFile(kSo + "/inside", "so");
  ASSERT_FALSE(renameBoth(kOmote + ".txt", kSo + ".txt", kSo + kOmote + ".txt"));
  ASSERT_FALSE(renameBoth(kSo, "folder", kOmote + kSo));
  EXPECT_EQ(dir.names(), (Names{kSo + kOmote + ".txt", kOmote + kSo}));
  EXPECT_EQ(dir.readFile(kSo + kOmote + ".txt"), "omote");
  EXPECT_EQ(dir.readFile(kOmote + kSo + "/inside"), "so");
}

TEST_P(NoReplaceRenameOn, NeverReplacesAndLeavesNoClaimBehind) {
  dir.writeFile(kOmote, "source");
  dir.writeFile(kSo, "target");
  dir.makeFolder("empty");
  dir.makeFolder("folder");
  dir.writeFile("folder/kept", "kept");
  const Names before = dir.names();
  struct Case {
    const char* name;
    std::string from, to;
    std::errc error;
  };
  for (const Case& c : {Case{"FileOntoFile", kOmote, kSo, std::errc::file_exists},
                        Case{"FileOntoEmptyFolder", kOmote, "empty", std::errc::file_exists},
                        Case{"FolderOntoEmptyFolder", "folder", "empty", std::errc::file_exists},
                        Case{"FolderOntoFile", "folder", kSo, std::errc::file_exists},
                        Case{"MissingSource", "missing", "free", std::errc::no_such_file_or_directory}}) {
    EXPECT_EQ(fs.rename(dir / c.from, dir / c.to), c.error) << c.name;
    EXPECT_EQ(fs.folderHandle(dir.path())->rename(c.from, c.to), c.error) << c.name;
    EXPECT_EQ(dir.names(), before) << c.name;
  }
  EXPECT_EQ(dir.readFile(kOmote), "source");
  EXPECT_EQ(dir.readFile(kSo), "target");
  EXPECT_TRUE(dir.names("empty").empty());
  EXPECT_EQ(dir.readFile("folder/kept"), "kept");
}

TEST_P(NoReplaceRenameOn, CaseOnlyRenamesChangeTheSpelling) {
  dir.writeFile("IMG_0001.JPG", "photo");
  dir.writeFile(kOmote + kSo + ".TXT", "text");
  dir.makeFolder("DCIM");
  dir.writeFile("DCIM/inside", "x");
  ASSERT_FALSE(renameBoth("IMG_0001.JPG", "img_0001.jpg", "IMG_0001.jpg"));
  ASSERT_FALSE(fs.rename(dir / (kOmote + kSo + ".TXT"), dir / (kOmote + kSo + ".txt")));
  ASSERT_FALSE(renameBoth("DCIM", "dcim", "Dcim"));
  EXPECT_EQ(dir.names(), (Names{"Dcim", "IMG_0001.jpg", kOmote + kSo + ".txt"}));
  EXPECT_EQ(dir.readFile("IMG_0001.jpg"), "photo");
  EXPECT_EQ(dir.readFile(kOmote + kSo + ".txt"), "text");
  EXPECT_EQ(dir.readFile("Dcim/inside"), "x");
}

// A name taken by another entry stays taken under every spelling; where
// the folder heeds case, two spellings are two entries, be they two files
// or two hard links of one file.
TEST_P(NoReplaceRenameOn, OtherSpellingOfAnotherEntryIsTaken) {
  dir.writeFile("A.JPG", "a");
  dir.writeFile("B.JPG", "b");
  if (GetParam().ignoresCase) {
    EXPECT_EQ(fs.rename(dir / "A.JPG", dir / "b.jpg"), std::errc::file_exists);
    EXPECT_EQ(dir.names(), (Names{"A.JPG", "B.JPG"}));
  } else {
    dir.writeFile("a.jpg", "lower");
    ASSERT_EQ(::link((dir / "B.JPG").c_str(), (dir / "b.jpg").c_str()), 0);
    EXPECT_EQ(fs.rename(dir / "A.JPG", dir / "a.jpg"), std::errc::file_exists);
    EXPECT_EQ(fs.folderHandle(dir.path())->rename("B.JPG", "b.jpg"), std::errc::file_exists);
    EXPECT_EQ(dir.names(), (Names{"A.JPG", "B.JPG", "a.jpg", "b.jpg"}));
    EXPECT_EQ(dir.readFile("a.jpg"), "lower");
  }
  EXPECT_EQ(dir.readFile("A.JPG"), "a");
  EXPECT_EQ(dir.readFile("B.JPG"), "b");
}

TEST_P(NoReplaceRenameOn, CopyNeverReplacesAnotherSpelling) {
  dir.makeFolder("out");
  dir.writeFile("out/IMG.JPG", "there");
  dir.writeFile(kOmote, "copy");
  const std::error_code ec = fs.copyFile(dir / kOmote, dir / "out/img.jpg");
  if (GetParam().ignoresCase) {
    EXPECT_EQ(ec, std::errc::file_exists);
    EXPECT_EQ(dir.names("out"), Names{"IMG.JPG"});
  } else {
    ASSERT_FALSE(ec);
    EXPECT_EQ(dir.names("out"), (Names{"IMG.JPG", "img.jpg"}));
    EXPECT_EQ(dir.readFile("out/img.jpg"), "copy");
  }
  EXPECT_EQ(dir.readFile("out/IMG.JPG"), "there");
}

INSTANTIATE_TEST_SUITE_P(Media, NoReplaceRenameOn, ::testing::ValuesIn(kMedia),
                         [](const auto& info) { return std::string(info.param.name); });

// FAT without long names keeps every name in upper case: a case-only
// rename cannot change the spelling, and says so.
TEST(NoReplaceRename, SpellingTheFolderKeptIsAnError) {
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs(real);
  fs.refuseNoReplaceFlag();
  fs.keepUpperCaseNames();
  dir.writeFile("IMG.JPG", "photo");
  const std::error_code ec = fs.rename(dir / "IMG.JPG", dir / "img.jpg");
  EXPECT_EQ(ec, NoReplaceRename::spellingKept());
  EXPECT_EQ(ec, std::errc::operation_not_supported);
  EXPECT_EQ(ec.message(), "the file system kept the old spelling of the name");
  EXPECT_EQ(dir.names(), Names{"IMG.JPG"});
  EXPECT_EQ(dir.readFile("IMG.JPG"), "photo");
}

// System calls of a file system that refuses RENAME_NOREPLACE, counting
// how often it was asked. They also play a second process which writes
// into the claim, a file system that never renames a folder over another
// one (fusefat), or one that makes no nodes (`nodeError`).
class ClaimingCalls : public PosixCalls {
public:
  std::function<int(int, const char*, int, const char*)> plainRename;
  int flagAsked = 0;
  int nodeError = 0;

  int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) override {
    if (flags & RENAME_NOREPLACE) {
      ++flagAsked;
      errno = EINVAL;
      return -1;
    }
    return plainRename ? plainRename(fromDir, from, toDir, to)
                       : PosixCalls::renameat2(fromDir, from, toDir, to, flags);
  }
  int mknodat(int dirFd, const char* path, mode_t mode, dev_t device) override {
    if (nodeError == 0) return PosixCalls::mknodat(dirFd, path, mode, device);
    errno = nodeError;
    return -1;
  }
};

// A batch in one folder learns the refusal once: on FUSE and NFS each
// refused attempt costs look-ups on the server.
TEST(NoReplaceRename, FolderAsksForTheFlagOnce) {
  TempDir dir;
  ClaimingCalls calls;
  PosixFileSystem fs(calls);
  dir.writeFile(kOmote, "omote");
  dir.writeFile(kSo, "so");
  dir.writeFile("taken", "taken");
  const auto folder = fs.folderHandle(dir.path());
  ASSERT_TRUE(folder);
  ASSERT_FALSE(folder->rename(kOmote, "x_" + kOmote));
  ASSERT_FALSE(folder->rename(kSo, "x_" + kSo));
  EXPECT_EQ(folder->rename("x_" + kSo, "taken"), std::errc::file_exists);
  EXPECT_EQ(calls.flagAsked, 1);
  EXPECT_EQ(dir.names(), (Names{"taken", "x_" + kSo, "x_" + kOmote}));
  EXPECT_EQ(dir.readFile("taken"), "taken");
  EXPECT_EQ(dir.readFile("x_" + kSo), "so");
}

// A file system that makes no nodes (a FUSE file system without mknod or
// create, or one that answers EPERM) is claimed by an exclusive open.
TEST(NoReplaceRename, ClaimsByOpenWhereNoNodesAreMade) {
  for (const int error : {ENOSYS, EPERM}) {
    TempDir dir;
    ClaimingCalls calls;
    calls.nodeError = error;
    NoReplaceRename renames(calls);
    dir.writeFile(kOmote, "omote");
    dir.writeFile("taken", "taken");
    EXPECT_EQ(renames.rename(AT_FDCWD, (dir / kOmote).c_str(), AT_FDCWD, (dir / "taken").c_str()),
              std::errc::file_exists)
        << error;
    ASSERT_FALSE(renames.rename(AT_FDCWD, (dir / kOmote).c_str(), AT_FDCWD, (dir / kSo).c_str()))
        << error;
    EXPECT_EQ(dir.names(), (Names{"taken", kSo})) << error;
    EXPECT_EQ(dir.readFile(kSo), "omote") << error;
    EXPECT_EQ(dir.readFile("taken"), "taken") << error;
  }
}

TEST(NoReplaceRename, ClaimIsRemovedOnlyWhileStillEmpty) {
  TempDir dir;
  ClaimingCalls calls;
  NoReplaceRename renames(calls);
  dir.writeFile(kOmote, "source");

  calls.plainRename = [](int, const char*, int, const char*) {
    errno = EIO;
    return -1;
  };
  EXPECT_EQ(renames.rename(AT_FDCWD, (dir / kOmote).c_str(), AT_FDCWD, (dir / kSo).c_str()),
            std::errc::io_error);
  EXPECT_EQ(dir.names(), Names{kOmote});

  // Another process wrote into the claim before the rename failed: its
  // data stays.
  calls.plainRename = [&](int, const char*, int, const char*) {
    dir.writeFile(kSo, "theirs");
    errno = EIO;
    return -1;
  };
  EXPECT_EQ(renames.rename(AT_FDCWD, (dir / kOmote).c_str(), AT_FDCWD, (dir / kSo).c_str()),
            std::errc::io_error);
  EXPECT_EQ(dir.readFile(kSo), "theirs");
  EXPECT_EQ(dir.readFile(kOmote), "source");
}

TEST(NoReplaceRename, FolderGoesWhereAFolderCannotBeRenamedOverTheClaim) {
  TempDir dir;
  ClaimingCalls calls;
  NoReplaceRename renames(calls);
  dir.makeFolder(kOmote);
  dir.writeFile(kOmote + "/inside", "x");
  calls.plainRename = [](int fromDir, const char* from, int toDir, const char* to) {
    struct stat st{};
    if (::fstatat(toDir, to, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
      errno = EPERM;
      return -1;
    }
    return ::renameat(fromDir, from, toDir, to);
  };
  ASSERT_FALSE(renames.rename(AT_FDCWD, (dir / kOmote).c_str(), AT_FDCWD, (dir / kSo).c_str()));
  EXPECT_EQ(dir.names(), Names{kSo});
  EXPECT_EQ(dir.readFile(kSo + "/inside"), "x");
}

}  // namespace
}  // namespace ritoma
