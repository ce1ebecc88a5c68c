#include "platform/AttributeStore.h"

#include <cerrno>

#include "platform/DosAttrib.h"

namespace ritoma {

std::uint32_t AttributeStore::attributesOf(mode_t mode, const std::string& name,
                                           const StoredAttributes& stored) {
  std::uint32_t attributes = stored.attributes.value_or(0) & DosAttrib::kStoredBits;
  if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= AttrReadOnly;
  if (!name.empty() && name[0] == '.') attributes |= AttrHidden;
  if (S_ISDIR(mode)) attributes |= AttrFolder;
  return attributes;
}

std::error_code AttributeStore::giveMode(int fd, mode_t mode) {
  if (::fchmod(fd, mode & 0777) == 0 || errno == ENOSYS || errno == EPERM || errno == EOPNOTSUPP)
    return {};
  return {errno, std::generic_category()};
}

bool isXattrRefusal(int error) { return error == ENOTSUP || error == EOPNOTSUPP; }

ssize_t AttributeStore::getAt(int dirFd, const std::string& folder, const char* name,
                              const char* attribute, void* value, std::size_t size) {
  if (getxattratWorks_.load(std::memory_order_relaxed)) {
    const ssize_t got = calls_.getxattrat(dirFd, name, attribute, value, size);
    if (got >= 0 || (errno != ENOSYS && errno != EPERM)) return got;
    getxattratWorks_.store(false, std::memory_order_relaxed);
  }
  return calls_.getxattr(FileSystem::joinPath(folder, name).c_str(), attribute, value, size);
}

}  // namespace ritoma
