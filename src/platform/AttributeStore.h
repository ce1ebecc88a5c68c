#pragma once

#include <sys/stat.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "platform/FileSystem.h"
#include "platform/PosixCalls.h"

namespace ritoma {

// What a medium keeps of one file beside its stat.
struct StoredAttributes {
  // R, H, S and A as the medium keeps them for the file; none where it
  // keeps nothing for it.
  std::optional<std::uint32_t> attributes;
  std::optional<FileTime> created;
  bool supported = true;  // false when the file system refused the question
};

// Where one kind of medium keeps the DOS attributes and the creation time
// of its files: an extended attribute, the file system's own attributes,
// an ioctl. PosixFileSystem picks one per file system (MediumProbe) and
// reads and writes through it; the stat of the file comes from the caller.
// Calls go through PosixCalls. Reads may come from several threads at
// once.
class AttributeStore {
public:
  explicit AttributeStore(PosixCalls& calls) : calls_(calls) {}
  virtual ~AttributeStore() = default;
  AttributeStore(const AttributeStore&) = delete;
  AttributeStore& operator=(const AttributeStore&) = delete;

  // The stored values of `name` in the folder `dirFd` whose path is
  // `folder`, following links.
  virtual StoredAttributes readAt(int dirFd, const std::string& folder, const char* name) = 0;
  // The stored values of `path`, following links.
  virtual StoredAttributes read(const std::string& path) = 0;
  // The stored values of an open file.
  virtual StoredAttributes readFd(int fd) = 0;
  // Gives `path` (not a link; `st` its stat, `stored` what read() gave)
  // R, H, S and A exactly as in `attributes`.
  virtual std::error_code writeAttributes(const std::string& path, const struct stat& st,
                                          const StoredAttributes& stored,
                                          std::uint32_t attributes) = 0;
  // Gives `path` the creation time; not_supported where the medium keeps
  // none that can be written.
  virtual std::error_code writeCreated(const std::string& path, const struct stat& st,
                                       const StoredAttributes& stored, FileTime created) = 0;
  // Gives a copy being made, open for writing and still writable, the
  // permission bits `mode`, the attributes and the creation time of its
  // source, in the order the medium needs. What the medium cannot hold is
  // left out.
  virtual std::error_code writeCopy(int fd, mode_t mode, std::uint32_t attributes, FileTime created) = 0;

  // The attributes a file shows: what the medium keeps, R also for a file
  // without any write bit, H also for a name starting with ".", and the
  // folder bit.
  static std::uint32_t attributesOf(mode_t mode, const std::string& name,
                                    const StoredAttributes& stored);

protected:
  // fchmod of a copy being made. A file system without permission bits
  // (fusefat) or with fixed ones (vfat) keeps its own.
  static std::error_code giveMode(int fd, mode_t mode);
  // getxattr of `name` in the folder `dirFd` (path `folder`): one name
  // look-up where the kernel offers getxattrat, else the joined path.
  ssize_t getAt(int dirFd, const std::string& folder, const char* name, const char* attribute,
                void* value, std::size_t size);

  PosixCalls& calls_;

private:
  // False once the kernel (or a sandbox, which answers EPERM) refused
  // getxattrat.
  std::atomic<bool> getxattratWorks_{true};
};

// True for the answers of a file system without extended attributes.
bool isXattrRefusal(int error);

}  // namespace ritoma
