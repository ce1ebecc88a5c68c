#include "platform/DosAttribStore.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "platform/DosAttrib.h"

namespace ritoma {

namespace {

constexpr const char* kName = "user.DOSATTRIB";
// Longer values are not DOS attribute records.
constexpr std::size_t kMaxSize = 256;
constexpr std::uint32_t kRecordBits = AttrHidden | AttrSystem | AttrArchive;

std::error_code errorOf(int error) { return {error, std::generic_category()}; }

// The record read into `buffer` (`size` bytes, or -1 with errno set).
StoredAttributes decoded(const char* buffer, ssize_t size) {
  StoredAttributes stored;
  if (size >= 0) {
    if (auto info = DosAttrib::decode(std::string_view(buffer, static_cast<std::size_t>(size)))) {
      // R follows the write bits, not the record.
      stored.attributes = info->attributes & kRecordBits;
      stored.created = info->created;
    }
  } else if (isXattrRefusal(errno)) {
    stored.supported = false;
  }
  return stored;
}

bool hasNoWriteBit(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

std::string lastComponent(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

StoredAttributes DosAttribStore::readAt(int dirFd, const std::string& folder, const char* name) {
  char buffer[kMaxSize];
  return decoded(buffer, getAt(dirFd, folder, name, kName, buffer, sizeof buffer));
}

StoredAttributes DosAttribStore::read(const std::string& path) {
  char buffer[kMaxSize];
  return decoded(buffer, calls_.getxattr(path.c_str(), kName, buffer, sizeof buffer));
}

StoredAttributes DosAttribStore::readFd(int fd) {
  char buffer[kMaxSize];
  return decoded(buffer, calls_.fgetxattr(fd, kName, buffer, sizeof buffer));
}

bool DosAttribStore::heldAt(const std::string& path) {
  // Asking for the size of the record reads nothing and changes nothing;
  // a file system without extended attributes refuses the question itself.
  return calls_.getxattr(path.c_str(), kName, nullptr, 0) >= 0 || !isXattrRefusal(errno);
}

std::error_code DosAttribStore::writeRecord(const std::string& path, const struct stat& st,
                                            const std::string& value) {
  // The kernel wants write permission for the record, so a file of ours
  // without the owner's write bit gets it for the moment.
  if (calls_.setxattr(path.c_str(), kName, value.data(), value.size(), 0) == 0) return {};
  const int error = errno;
  if (error != EACCES || st.st_uid != ::geteuid() || (st.st_mode & S_IWUSR)) return errorOf(error);
  if (::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) return errorOf(error);
  std::error_code result;
  if (calls_.setxattr(path.c_str(), kName, value.data(), value.size(), 0) != 0)
    result = errorOf(errno);
  if (::chmod(path.c_str(), st.st_mode & 07777) != 0 && !result) result = errorOf(errno);
  return result;
}

std::error_code DosAttribStore::writeAttributes(const std::string& path, const struct stat& st,
                                                const StoredAttributes& stored,
                                                std::uint32_t attributes) {
  const mode_t mode = st.st_mode & 07777;
  const bool readOnly = attributes & AttrReadOnly;
  const std::string name = lastComponent(path);
  const bool dotName = name.starts_with('.');
  if (!stored.supported &&
      ((attributes & (AttrSystem | AttrArchive)) || ((attributes & AttrHidden) && !dotName)))
    return errorOf(ENOTSUP);
  // A file without a record gets one only for S, H or A that its name and
  // mode do not already show.
  const std::uint32_t shown = attributesOf(st.st_mode, name, stored) & kRecordBits;
  const bool record = stored.supported && (stored.attributes || (attributes & kRecordBits) != shown);

  if (!readOnly && hasNoWriteBit(mode) && ::chmod(path.c_str(), mode | S_IWUSR) != 0)
    return errorOf(errno);
  if (record) {
    struct stat now = st;
    now.st_mode = (st.st_mode & ~07777) | (readOnly ? mode : mode | S_IWUSR);
    if (auto ec = writeRecord(path, now, DosAttrib::encode(attributes, stored.created))) return ec;
  }
  if (readOnly && !hasNoWriteBit(mode) &&
      ::chmod(path.c_str(), mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)) != 0)
    return errorOf(errno);
  return {};
}

std::error_code DosAttribStore::writeCreated(const std::string& path, const struct stat& st,
                                             const StoredAttributes& stored, FileTime created) {
  if (!stored.supported) return errorOf(ENOTSUP);
  std::uint32_t attributes = stored.attributes.value_or(0);
  if (hasNoWriteBit(st.st_mode)) attributes |= AttrReadOnly;
  return writeRecord(path, st, DosAttrib::encode(attributes, created));
}

std::error_code DosAttribStore::writeCopy(int fd, mode_t mode, std::uint32_t attributes,
                                          FileTime created) {
  const std::string record = DosAttrib::encode(attributes, created);
  if (calls_.fsetxattr(fd, kName, record.data(), record.size(), 0) != 0 && !isXattrRefusal(errno))
    return errorOf(errno);
  // Permissions after the record: without a write bit the kernel would
  // refuse the record to anyone but root.
  if (auto ec = giveMode(fd, mode)) return ec;
  return {};
}

}  // namespace ritoma
