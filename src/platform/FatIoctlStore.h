#pragma once

#include "platform/AttributeStore.h"

namespace ritoma {

// The attributes FAT keeps itself, through the kernel's vfat driver:
// FAT_IOCTL_GET_ATTRIBUTES and FAT_IOCTL_SET_ATTRIBUTES on the open file.
// The kernel maps R to the write permission bits. The creation time is
// the birth time the kernel reports; it cannot be written.
class FatIoctlStore : public AttributeStore {
public:
  using AttributeStore::AttributeStore;

  StoredAttributes readAt(int dirFd, const std::string& folder, const char* name) override;
  StoredAttributes read(const std::string& path) override;
  StoredAttributes readFd(int fd) override;
  std::error_code writeAttributes(const std::string& path, const struct stat& st,
                                  const StoredAttributes& stored, std::uint32_t attributes) override;
  std::error_code writeCreated(const std::string& path, const struct stat& st,
                               const StoredAttributes& stored, FileTime created) override;
  std::error_code writeCopy(int fd, mode_t mode, std::uint32_t attributes, FileTime created) override;

private:
  std::error_code setOn(int fd, std::uint32_t attributes);
};

}  // namespace ritoma
