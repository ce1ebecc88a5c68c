#pragma once

#include "platform/AttributeStore.h"

namespace ritoma {

// The attributes and creation time in the extended attribute
// user.DOSATTRIB, where Samba and the kernel SMB server keep them (see
// DosAttrib), for the file systems without attributes of their own.
// Read-only follows the write permission bits: setting R removes every
// write bit, clearing it adds the owner's. The record is written only
// where S, H, A or the creation time change, or where the file has one
// already. Where the file system refuses extended attributes, S, H and A
// read as clear and setting any of them (or a creation time) fails with
// not_supported; R and H on a name starting with "." can still be had.
class DosAttribStore : public AttributeStore {
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

  // False where the file system holding `path` refuses extended
  // attributes. Reads nothing and changes nothing.
  bool heldAt(const std::string& path);

private:
  std::error_code writeRecord(const std::string& path, const struct stat& st, const std::string& value);
};

}  // namespace ritoma
