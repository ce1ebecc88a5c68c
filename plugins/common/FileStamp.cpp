#include "FileStamp.h"

#include <sys/stat.h>

namespace ritoma::metadata {

std::optional<FileStamp> FileStamp::of(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  FileStamp stamp;
  stamp.device_ = st.st_dev;
  stamp.inode_ = st.st_ino;
  stamp.size_ = st.st_size;
  stamp.seconds_ = st.st_mtim.tv_sec;
  stamp.nanoseconds_ = st.st_mtim.tv_nsec;
  return stamp;
}

}  // namespace ritoma::metadata
