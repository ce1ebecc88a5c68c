#include "platform/NtfsXattrStore.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstring>

#include "platform/DosAttrib.h"

namespace ritoma {

namespace {

constexpr const char* kAttribBe = "system.ntfs_attrib_be";
constexpr const char* kCrtimeBe = "system.ntfs_crtime_be";
constexpr const char* kDosAttrib = "system.dos_attrib";
constexpr const char* kAttrib = "system.ntfs_attrib";
constexpr const char* kCrtime = "system.ntfs_crtime";
// FILE_ATTRIBUTE_NORMAL: only ever alone.
constexpr std::uint32_t kNormal = 0x80;

std::error_code errorOf(int error) { return {error, std::generic_category()}; }

std::uint64_t fromBigEndian(const unsigned char* bytes, std::size_t size) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < size; ++i) value = value << 8 | bytes[i];
  return value;
}

void toBigEndian(std::uint64_t value, unsigned char* bytes, std::size_t size) {
  for (std::size_t i = size; i-- > 0; value >>= 8) bytes[i] = static_cast<unsigned char>(value & 0xFF);
}

template <class T>
T native(const unsigned char* bytes) {
  T value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

// `full` with R, H, S and A as in `attributes`.
std::uint32_t merged(std::uint32_t full, std::uint32_t attributes) {
  full = (full & ~DosAttrib::kStoredBits) | (attributes & DosAttrib::kStoredBits);
  if (full & ~kNormal) full &= ~kNormal;
  return full;
}

}  // namespace

bool NtfsXattrStore::answersNtfs3g(PosixCalls& calls, const std::string& path) {
  unsigned char value[4];
  return calls.getxattr(path.c_str(), kAttribBe, value, sizeof value) == sizeof value;
}

template <class Get>
StoredAttributes NtfsXattrStore::readWith(Get&& get) {
  StoredAttributes stored;
  unsigned char value[8];
  if (driver_ == Driver::Ntfs3g) {
    if (get(kAttribBe, value, 4) == 4)
      stored.attributes = static_cast<std::uint32_t>(fromBigEndian(value, 4));
    else if (isXattrRefusal(errno))
      stored.supported = false;
    if (stored.supported && get(kCrtimeBe, value, 8) == 8)
      stored.created = static_cast<FileTime>(fromBigEndian(value, 8));
  } else {
    if (get(kDosAttrib, value, 1) == 1)
      stored.attributes = value[0];
    else if (isXattrRefusal(errno))
      stored.supported = false;
  }
  if (stored.attributes) *stored.attributes &= DosAttrib::kStoredBits;
  return stored;
}

StoredAttributes NtfsXattrStore::readAt(int dirFd, const std::string& folder, const char* name) {
  return readWith([&](const char* attribute, void* value, std::size_t size) {
    return getAt(dirFd, folder, name, attribute, value, size);
  });
}

StoredAttributes NtfsXattrStore::read(const std::string& path) {
  return readWith([&](const char* attribute, void* value, std::size_t size) {
    return calls_.getxattr(path.c_str(), attribute, value, size);
  });
}

StoredAttributes NtfsXattrStore::readFd(int fd) {
  return readWith([&](const char* attribute, void* value, std::size_t size) {
    return calls_.fgetxattr(fd, attribute, value, size);
  });
}

const char* NtfsXattrStore::attribName() const { return driver_ == Driver::Ntfs3g ? kAttribBe : kAttrib; }

const char* NtfsXattrStore::createdName() const { return driver_ == Driver::Ntfs3g ? kCrtimeBe : kCrtime; }

void NtfsXattrStore::mergeInto(unsigned char value[4], std::uint32_t attributes) const {
  if (driver_ == Driver::Ntfs3g) {
    toBigEndian(merged(static_cast<std::uint32_t>(fromBigEndian(value, 4)), attributes), value, 4);
  } else {
    const std::uint32_t full = merged(native<std::uint32_t>(value), attributes);
    std::memcpy(value, &full, sizeof full);
  }
}

void NtfsXattrStore::encodeCreated(FileTime created, unsigned char value[8]) const {
  if (driver_ == Driver::Ntfs3g)
    toBigEndian(static_cast<std::uint64_t>(created), value, 8);
  else
    std::memcpy(value, &created, sizeof created);
}

std::error_code NtfsXattrStore::writeAttributes(const std::string& path, const struct stat& st,
                                                const StoredAttributes&, std::uint32_t attributes) {
  const mode_t mode = st.st_mode & 07777;
  if (!(attributes & AttrReadOnly) && (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 &&
      ::chmod(path.c_str(), mode | S_IWUSR) != 0)
    return errorOf(errno);
  // The whole value is read again and written back with only R, H, S and
  // A changed.
  unsigned char value[4];
  if (calls_.getxattr(path.c_str(), attribName(), value, sizeof value) != sizeof value)
    return errorOf(errno);
  mergeInto(value, attributes);
  if (calls_.setxattr(path.c_str(), attribName(), value, sizeof value, 0) != 0) return errorOf(errno);
  return {};
}

std::error_code NtfsXattrStore::writeCreated(const std::string& path, const struct stat&,
                                             const StoredAttributes&, FileTime created) {
  unsigned char value[8];
  encodeCreated(created, value);
  if (calls_.setxattr(path.c_str(), createdName(), value, sizeof value, 0) != 0) return errorOf(errno);
  return {};
}

std::error_code NtfsXattrStore::writeCopy(int fd, mode_t mode, std::uint32_t attributes,
                                          FileTime created) {
  if (auto ec = giveMode(fd, mode)) return ec;
  unsigned char value[8];
  encodeCreated(created, value);
  if (calls_.fsetxattr(fd, createdName(), value, 8, 0) != 0) return errorOf(errno);
  if (calls_.fgetxattr(fd, attribName(), value, 4) != 4) return errorOf(errno);
  mergeInto(value, attributes);
  if (calls_.fsetxattr(fd, attribName(), value, 4, 0) != 0) return errorOf(errno);
  return {};
}

}  // namespace ritoma
