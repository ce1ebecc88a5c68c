#include "platform/PosixCalls.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace ritoma {

namespace {

// The C library has no wrapper for getxattrat yet. Every architecture but
// alpha numbers it 464.
#if defined(SYS_getxattrat)
constexpr long kGetxattrat = SYS_getxattrat;
#elif defined(__x86_64__) || defined(__aarch64__) || defined(__i386__) || defined(__arm__) || \
    defined(__riscv) || defined(__powerpc64__) || defined(__s390x__)
constexpr long kGetxattrat = 464;
#else
constexpr long kGetxattrat = -1;
#endif

struct XattrArgs {
  std::uint64_t value;
  std::uint32_t size;
  std::uint32_t flags;
};

}  // namespace

ssize_t PosixCalls::getxattr(const char* path, const char* name, void* value, std::size_t size) {
  return ::getxattr(path, name, value, size);
}

ssize_t PosixCalls::fgetxattr(int fd, const char* name, void* value, std::size_t size) {
  return ::fgetxattr(fd, name, value, size);
}

ssize_t PosixCalls::getxattrat(int dirFd, const char* path, const char* name, void* value,
                               std::size_t size) {
  if (kGetxattrat < 0) {
    errno = ENOSYS;
    return -1;
  }
  XattrArgs args{reinterpret_cast<std::uintptr_t>(value), static_cast<std::uint32_t>(size), 0};
  return ::syscall(kGetxattrat, dirFd, path, 0, name, &args, sizeof args);
}

int PosixCalls::setxattr(const char* path, const char* name, const void* value, std::size_t size,
                         int flags) {
  return ::setxattr(path, name, value, size, flags);
}

int PosixCalls::fsetxattr(int fd, const char* name, const void* value, std::size_t size, int flags) {
  return ::fsetxattr(fd, name, value, size, flags);
}

int PosixCalls::utimensat(int dirFd, const char* path, const timespec times[2], int flags) {
  return ::utimensat(dirFd, path, times, flags);
}

int PosixCalls::statfs(const char* path, struct statfs* out) { return ::statfs(path, out); }

int PosixCalls::fstatfs(int fd, struct statfs* out) { return ::fstatfs(fd, out); }

int PosixCalls::ioctl(int fd, unsigned long request, std::uint32_t* value) {
  return ::ioctl(fd, request, value);
}

std::string PosixCalls::mountInfo() {
  std::string table;
  const int fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return table;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
    if (n > 0) table.append(buffer, static_cast<std::size_t>(n));
  ::close(fd);
  return table;
}

int PosixCalls::renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
  return ::renameat2(fromDir, from, toDir, to, flags);
}

int PosixCalls::openat(int dirFd, const char* path, int flags, mode_t mode) {
  return ::openat(dirFd, path, flags, mode);
}

int PosixCalls::mknodat(int dirFd, const char* path, mode_t mode, dev_t device) {
  return ::mknodat(dirFd, path, mode, device);
}

int PosixCalls::mkdirat(int dirFd, const char* path, mode_t mode) { return ::mkdirat(dirFd, path, mode); }

int PosixCalls::unlinkat(int dirFd, const char* path, int flags) { return ::unlinkat(dirFd, path, flags); }

int PosixCalls::fstatat(int dirFd, const char* path, struct stat* st, int flags) {
  return ::fstatat(dirFd, path, st, flags);
}

PosixCalls& PosixCalls::system() {
  static PosixCalls calls;
  return calls;
}

}  // namespace ritoma
