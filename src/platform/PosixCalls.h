#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/vfs.h>
#include <time.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace ritoma {

// The system calls of PosixFileSystem on extended attributes, FAT
// attributes, explicit file times and the kind of file system: the ones
// whose answers differ between file systems (FAT, exFAT, NFSv3 and ramfs
// refuse extended attributes, NTFS keeps its attributes in its own) and
// between owners (utimensat with explicit times wants the file's owner). A test
// replaces them to play such a file system. Each returns what the system
// call returns and leaves errno set on failure. The reading calls may come
// from several threads at once: a big folder is listed by every core.
class PosixCalls {
public:
  virtual ~PosixCalls() = default;

  virtual ssize_t getxattr(const char* path, const char* name, void* value, std::size_t size);
  virtual ssize_t fgetxattr(int fd, const char* name, void* value, std::size_t size);
  // getxattr of `path` relative to the folder `dirFd`, following links
  // (Linux 6.13). Fails with ENOSYS where the kernel or this build lacks it.
  virtual ssize_t getxattrat(int dirFd, const char* path, const char* name, void* value,
                             std::size_t size);
  virtual int setxattr(const char* path, const char* name, const void* value, std::size_t size,
                       int flags);
  virtual int fsetxattr(int fd, const char* name, const void* value, std::size_t size, int flags);
  virtual int utimensat(int dirFd, const char* path, const timespec times[2], int flags);
  virtual int statfs(const char* path, struct statfs* out);
  virtual int fstatfs(int fd, struct statfs* out);
  // An ioctl whose argument is one 32-bit value (the FAT attribute calls).
  virtual int ioctl(int fd, unsigned long request, std::uint32_t* value);
  // The mount table of this process (/proc/self/mountinfo); empty when it
  // cannot be read.
  virtual std::string mountInfo();

  // The calls of renames (see NoReplaceRename), whose answers differ
  // between file systems too: NFS, SMB and FUSE file systems refuse
  // RENAME_NOREPLACE, and a folder that ignores case finds a name under
  // another spelling. `flags` 0 is a plain rename.
  virtual int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags);
  virtual int openat(int dirFd, const char* path, int flags, mode_t mode);
  virtual int mknodat(int dirFd, const char* path, mode_t mode, dev_t device);
  virtual int mkdirat(int dirFd, const char* path, mode_t mode);
  virtual int unlinkat(int dirFd, const char* path, int flags);
  virtual int fstatat(int dirFd, const char* path, struct stat* st, int flags);

  // The calls of the running system.
  static PosixCalls& system();
};

}  // namespace ritoma
