// Attributes and creation times on Windows media, as the drivers that
// cannot be mounted here answer them: ntfs-3g's and ntfs3's extended
// attributes and vfat's attribute ioctls are played on a folder of the
// disk under the test, with the file system's magic number (and for FUSE
// the mount's type) of that medium.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/MediumProbe.h"
#include "platform/PosixCalls.h"
#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

const std::string kOmote = "\xE8\xA1\xA8";  // 表: trail byte 0x5C in code page 932
const std::string kSo = "\xE3\x82\xBD";     // ソ

constexpr long kFuseMagic = 0x65735546;
constexpr long kMsdosMagic = 0x4d44;
constexpr long kNtfsMagic = 0x5346544e;
constexpr std::uint32_t kCompressed = 0x800;
constexpr FileTime kCreated = 0x01D0'1234'5678'9ABCLL;

enum class Driver { Ntfs3g, Ntfs3, Vfat };

// A medium's own attributes and creation times, by inode; every call on
// user.DOSATTRIB is counted, since such a medium must not get one.
class PlayedMedium : public PosixCalls {
public:
  explicit PlayedMedium(Driver driver) : driver_(driver) {}

  std::map<ino_t, std::uint32_t> attributes;
  std::map<ino_t, FileTime> created;
  int dosAttribCalls = 0;

  ssize_t getxattr(const char* path, const char* name, void* value, std::size_t size) override {
    return get(inodeOf(AT_FDCWD, path), name, value, size);
  }
  ssize_t fgetxattr(int fd, const char* name, void* value, std::size_t size) override {
    return get(inodeOf(fd, ""), name, value, size);
  }
  ssize_t getxattrat(int dirFd, const char* path, const char* name, void* value,
                     std::size_t size) override {
    return get(inodeOf(dirFd, path), name, value, size);
  }
  int setxattr(const char* path, const char* name, const void* value, std::size_t size,
               int) override {
    return set(inodeOf(AT_FDCWD, path), name, value, size);
  }
  int fsetxattr(int fd, const char* name, const void* value, std::size_t size, int) override {
    return set(inodeOf(fd, ""), name, value, size);
  }
  int statfs(const char* path, struct statfs* out) override {
    const int result = PosixCalls::statfs(path, out);
    out->f_type = magic();
    return result;
  }
  int fstatfs(int fd, struct statfs* out) override {
    const int result = PosixCalls::fstatfs(fd, out);
    out->f_type = magic();
    return result;
  }
  int ioctl(int fd, unsigned long request, std::uint32_t* value) override {
    if (driver_ != Driver::Vfat) return refuse(ENOTTY);
    std::lock_guard lock(mutex_);
    const ino_t inode = inodeOf(fd, "");
    if (request == FAT_IOCTL_GET_ATTRIBUTES) {
      *value = attributes.count(inode) ? attributes[inode] : AttrArchive;
      return 0;
    }
    if (request == FAT_IOCTL_SET_ATTRIBUTES) {
      attributes[inode] = *value;
      return 0;
    }
    return refuse(ENOTTY);
  }

private:
  static int refuse(int error) {
    errno = error;
    return -1;
  }
  static ino_t inodeOf(int dirFd, const char* path) {
    struct stat st{};
    ::fstatat(dirFd, path, &st, *path ? 0 : AT_EMPTY_PATH);
    return st.st_ino;
  }
  long magic() const {
    switch (driver_) {
      case Driver::Ntfs3g: return kFuseMagic;
      case Driver::Ntfs3: return kNtfsMagic;
      case Driver::Vfat: return kMsdosMagic;
    }
    return 0;
  }

  ssize_t get(ino_t inode, const char* name, void* value, std::size_t size) {
    std::lock_guard lock(mutex_);
    const std::string n = name;
    if (n == "user.DOSATTRIB") ++dosAttribCalls;
    unsigned char bytes[8];
    std::size_t length = 0;
    const std::uint32_t a = attributes.count(inode) ? attributes[inode] : AttrArchive;
    if (driver_ == Driver::Ntfs3g && n == "system.ntfs_attrib_be") {
      for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(a >> (24 - 8 * i));
      length = 4;
    } else if (driver_ == Driver::Ntfs3g && n == "system.ntfs_crtime_be" && created.count(inode)) {
      for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(created[inode] >> (56 - 8 * i));
      length = 8;
    } else if (driver_ == Driver::Ntfs3 && n == "system.dos_attrib") {
      bytes[0] = static_cast<unsigned char>(a);
      length = 1;
    } else if (driver_ == Driver::Ntfs3 && n == "system.ntfs_attrib") {
      std::memcpy(bytes, &a, 4);
      length = 4;
    } else {
      return refuse(driver_ == Driver::Vfat ? EOPNOTSUPP : ENODATA);
    }
    if (!value) return static_cast<ssize_t>(length);
    if (size < length) return refuse(ERANGE);
    std::memcpy(value, bytes, length);
    return static_cast<ssize_t>(length);
  }

  int set(ino_t inode, const char* name, const void* value, std::size_t size) {
    std::lock_guard lock(mutex_);
    const std::string n = name;
    const auto* bytes = static_cast<const unsigned char*>(value);
    if (n == "user.DOSATTRIB") ++dosAttribCalls;
    if (driver_ == Driver::Ntfs3g && n == "system.ntfs_attrib_be" && size == 4) {
      attributes[inode] = static_cast<std::uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
    } else if (driver_ == Driver::Ntfs3g && n == "system.ntfs_crtime_be" && size == 8) {
      FileTime t = 0;
      for (int i = 0; i < 8; ++i) t = t << 8 | bytes[i];
      created[inode] = t;
    } else if (driver_ == Driver::Ntfs3 && n == "system.ntfs_attrib" && size == 4) {
      std::memcpy(&attributes[inode], bytes, 4);
    } else if (driver_ == Driver::Ntfs3 && n == "system.ntfs_crtime" && size == 8) {
      std::memcpy(&created[inode], bytes, 8);
    } else {
      return refuse(driver_ == Driver::Vfat ? EOPNOTSUPP : EINVAL);
    }
    return 0;
  }

  Driver driver_;
  std::mutex mutex_;
};

struct MediumCase {
  const char* label;
  Driver driver;
  bool creationTimeWritten;
  std::uint32_t rest;  // flags beside R, H, S, A the medium keeps unchanged
};

void PrintTo(const MediumCase& c, std::ostream* os) { *os << c.label; }

class WindowsMedia : public ::testing::TestWithParam<MediumCase> {
protected:
  WindowsMedia() : calls(GetParam().driver), fs(calls) {}

  ino_t inode(const std::string& name) {
    struct stat st{};
    EXPECT_EQ(::stat((dir / name).c_str(), &st), 0);
    return st.st_ino;
  }

  TempDir dir;
  PlayedMedium calls;
  PosixFileSystem fs;
};

TEST_P(WindowsMedia, ListsWritesAndCopiesTheMediumsOwnAttributes) {
  const MediumCase& c = GetParam();
  dir.writeFile(kOmote + ".txt", "a");
  dir.writeFile(kSo, "b");
  calls.attributes[inode(kOmote + ".txt")] = AttrHidden | AttrSystem | c.rest;

  // The listing, the folder handle and a look-up all read the medium.
  std::vector<FileInfo> entries;
  ASSERT_FALSE(fs.listFolder(dir.path(), entries));
  ASSERT_EQ(entries.size(), 2u);
  for (const FileInfo& e : entries)
    EXPECT_EQ(e.attributes, e.name == kSo ? std::uint32_t{AttrArchive} : std::uint32_t{AttrHidden | AttrSystem})
        << e.name;
  FileInfo info;
  ASSERT_FALSE(fs.folderHandle(dir.path())->stat(kOmote + ".txt", info));
  EXPECT_EQ(info.attributes, std::uint32_t{AttrHidden | AttrSystem});

  // Written there, the other flags kept.
  ASSERT_FALSE(fs.setAttributes(dir / (kOmote + ".txt"), AttrArchive | AttrHidden));
  EXPECT_EQ(calls.attributes[inode(kOmote + ".txt")], AttrArchive | AttrHidden | c.rest);
  ASSERT_FALSE(fs.lookUp(dir / (kOmote + ".txt"), info));
  EXPECT_EQ(info.attributes, std::uint32_t{AttrArchive | AttrHidden});

  // The creation time where the driver takes one.
  const std::error_code ec = fs.setTimes(dir / kSo, kCreated, std::nullopt, std::nullopt);
  if (c.creationTimeWritten) {
    EXPECT_FALSE(ec);
    EXPECT_EQ(calls.created[inode(kSo)], kCreated);
  } else {
    EXPECT_EQ(ec, std::errc::not_supported);
  }

  // A copy takes its source's attributes into the medium.
  ASSERT_FALSE(fs.copyFile(dir / (kOmote + ".txt"), dir / (kSo + ".copy")));
  EXPECT_EQ(calls.attributes[inode(kSo + ".copy")] & 0x27u, AttrArchive | AttrHidden);
  EXPECT_EQ(calls.dosAttribCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, WindowsMedia,
                         ::testing::Values(MediumCase{"Ntfs3g", Driver::Ntfs3g, true, kCompressed},
                                           MediumCase{"Ntfs3", Driver::Ntfs3, true, kCompressed},
                                           MediumCase{"Vfat", Driver::Vfat, false, 0}),
                         [](const auto& info) { return std::string(info.param.label); });

// A FUSE mount of the given type holding the folder under the test.
class FuseMount : public PosixCalls {
public:
  FuseMount(const std::string& folder, std::string type) : type_(std::move(type)) {
    struct stat st{};
    ::stat(folder.c_str(), &st);
    device_ = std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
  }
  int statfs(const char* path, struct statfs* out) override {
    const int result = PosixCalls::statfs(path, out);
    out->f_type = kFuseMagic;
    return result;
  }
  std::string mountInfo() override {
    return "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
           "45 27 " + device_ + " / /media/card rw,nosuid,nodev shared:5 - " + type_ +
           " /dev/sdb1 rw,user_id=0\n";
  }

private:
  std::string type_;
  std::string device_;
};

struct StepCase {
  const char* label;
  long magic;  // 0: FUSE of the type below
  const char* fuseType;
  bool creationTime;
  bool readOnly;
  FileTime modifiedStep;
  FileTime accessedStep;
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.label; }

class MediumSteps : public ::testing::TestWithParam<StepCase> {};

constexpr FileTime kSecond = 10'000'000;

TEST_P(MediumSteps, FollowTheKindOfFileSystem) {
  const StepCase& c = GetParam();
  TempDir dir;
  FuseMount fuse(dir.path(), c.fuseType);
  PlayedMedium vfat(Driver::Vfat);
  PosixCalls& calls = c.magic == kMsdosMagic ? static_cast<PosixCalls&>(vfat) : fuse;
  const MediumTraits traits = MediumProbe(calls).traitsOf(dir.path());
  EXPECT_EQ(traits.creationTime, c.creationTime);
  EXPECT_EQ(traits.readOnly, c.readOnly);
  EXPECT_EQ(traits.modifiedStep, c.modifiedStep);
  EXPECT_EQ(traits.accessedStep, c.accessedStep);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MediumSteps,
    ::testing::Values(StepCase{"Vfat", kMsdosMagic, "", false, true, 2 * kSecond, 86'400 * kSecond},
                      StepCase{"ExfatThroughFuse", 0, "fuseblk", true, false, 2 * kSecond, 2 * kSecond},
                      StepCase{"Fusefat", 0, "fuse.fusefat", true, false, 2 * kSecond, 0},
                      StepCase{"Sshfs", 0, "fuse.sshfs", true, true, kSecond, kSecond},
                      StepCase{"OtherFuse", 0, "fuse.bindfs", true, true, 1, 1}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(MountType, IsFoundByDevice) {
  const std::string table =
      "45 27 7:0 / /media/a rw - fuseblk /dev/loop0 rw\n"
      "46 27 0:40 / /media/b\\040c rw shared:7 master:2 - fuse.fusefat fusefat rw\n";
  EXPECT_EQ(MediumProbe::mountType(table, makedev(7, 0)), "fuseblk");
  EXPECT_EQ(MediumProbe::mountType(table, makedev(0, 40)), "fuse.fusefat");
  EXPECT_EQ(MediumProbe::mountType(table, makedev(8, 1)), "");
}

}  // namespace
}  // namespace ritoma
