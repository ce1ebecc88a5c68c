#pragma once

#include "platform/AttributeStore.h"

namespace ritoma {

// The attributes and creation time NTFS keeps itself, where Windows reads
// them, as the two Linux drivers of NTFS offer them:
//   ntfs-3g (FUSE):  system.ntfs_attrib_be (u32) and system.ntfs_crtime_be
//                    (u64, 100-ns units since 1601), both big-endian;
//   ntfs3 (kernel):  system.dos_attrib (one byte) to read, the full
//                    system.ntfs_attrib (u32, native order) to write, so
//                    that the flags above the byte (compressed, sparse,
//                    reparse point) stay; system.ntfs_crtime (u64, native
//                    order) to write the creation time, which the kernel
//                    reports as the birth time.
// R is the file system's own read-only attribute; clearing it also gives
// a file without any write bit the owner's.
class NtfsXattrStore : public AttributeStore {
public:
  enum class Driver { Ntfs3g, Ntfs3 };

  NtfsXattrStore(PosixCalls& calls, Driver driver) : AttributeStore(calls), driver_(driver) {}

  StoredAttributes readAt(int dirFd, const std::string& folder, const char* name) override;
  StoredAttributes read(const std::string& path) override;
  StoredAttributes readFd(int fd) override;
  std::error_code writeAttributes(const std::string& path, const struct stat& st,
                                  const StoredAttributes& stored, std::uint32_t attributes) override;
  std::error_code writeCreated(const std::string& path, const struct stat& st,
                               const StoredAttributes& stored, FileTime created) override;
  std::error_code writeCopy(int fd, mode_t mode, std::uint32_t attributes, FileTime created) override;

  // True when `path` answers the attribute of ntfs-3g: how a FUSE mount
  // shows that it is NTFS.
  static bool answersNtfs3g(PosixCalls& calls, const std::string& path);

private:
  // Reads through `get(attribute, buffer, size)`.
  template <class Get>
  StoredAttributes readWith(Get&& get);

  const char* attribName() const;
  const char* createdName() const;
  // The attribute value as this driver keeps it, with R, H, S and A as in
  // `attributes` and every other flag as it was.
  void mergeInto(unsigned char value[4], std::uint32_t attributes) const;
  void encodeCreated(FileTime created, unsigned char value[8]) const;

  Driver driver_;
};

}  // namespace ritoma
