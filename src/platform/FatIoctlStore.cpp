#include "platform/FatIoctlStore.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <linux/msdos_fs.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/DosAttrib.h"

namespace ritoma {

namespace {

std::error_code errorOf(int error) { return {error, std::generic_category()}; }

// Opened for the ioctl only: without waiting, without following a link.
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

class Descriptor {
public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

private:
  int fd_;
};

}  // namespace

StoredAttributes FatIoctlStore::readFd(int fd) {
  StoredAttributes stored;
  std::uint32_t value = 0;
  if (calls_.ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &value) == 0)
    stored.attributes = value & DosAttrib::kStoredBits;
  else if (errno == ENOTTY || isXattrRefusal(errno))
    stored.supported = false;
  return stored;
}

StoredAttributes FatIoctlStore::readAt(int dirFd, const std::string&, const char* name) {
  const Descriptor fd(calls_.openat(dirFd, name, kOpenFlags, 0));
  // A file that cannot be opened shows what its mode and name say.
  if (fd.get() < 0) return {};
  return readFd(fd.get());
}

StoredAttributes FatIoctlStore::read(const std::string& path) {
  return readAt(AT_FDCWD, {}, path.c_str());
}

std::error_code FatIoctlStore::setOn(int fd, std::uint32_t attributes) {
  std::uint32_t value = 0;
  if (calls_.ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &value) != 0) return errorOf(errno);
  value = (value & ~DosAttrib::kStoredBits) | (attributes & DosAttrib::kStoredBits);
  if (calls_.ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &value) != 0) return errorOf(errno);
  return {};
}

std::error_code FatIoctlStore::writeAttributes(const std::string& path, const struct stat&,
                                               const StoredAttributes&, std::uint32_t attributes) {
  const Descriptor fd(calls_.openat(AT_FDCWD, path.c_str(), kOpenFlags, 0));
  if (fd.get() < 0) return errorOf(errno);
  return setOn(fd.get(), attributes);
}

std::error_code FatIoctlStore::writeCreated(const std::string&, const struct stat&,
                                            const StoredAttributes&, FileTime) {
  return errorOf(ENOTSUP);
}

std::error_code FatIoctlStore::writeCopy(int fd, mode_t mode, std::uint32_t attributes, FileTime) {
  // The kernel maps the write bits to R: the mode goes first.
  if (auto ec = giveMode(fd, mode)) return ec;
  return setOn(fd, attributes);
}

}  // namespace ritoma
