#pragma once

#include <optional>
#include <string>

namespace ritoma::metadata {

// What tells one state of a file on disk from another: device, inode, size
// and modification time. A reader keeps the metadata of the last file while
// its stamp stays the same, since a template calls the macro once per
// element of a row and a preview asks the same row again.
class FileStamp {
public:
  // The stamp of the regular file at `path`; nothing when there is none.
  static std::optional<FileStamp> of(const std::string& path);
  bool operator==(const FileStamp&) const = default;

private:
  unsigned long long device_ = 0, inode_ = 0;
  long long size_ = 0, seconds_ = 0, nanoseconds_ = 0;
};

}  // namespace ritoma::metadata
