#include "platform/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "platform/AttributeStore.h"
#include "platform/DosAttrib.h"
#include "platform/NoReplaceRename.h"
#include "platform/ParallelRange.h"
#include "platform/PosixCalls.h"
#include "platform/TimeConvert.h"

namespace ritoma {

namespace {

// Copies move data in chunks of this size.
constexpr std::size_t kCopyChunk = 1 << 20;
constexpr unsigned kStatxMask = STATX_BASIC_STATS | STATX_BTIME;
// A listing of at least kParallelListing entries is looked up by several
// threads, each taking kListingBlock entries at a time.
constexpr std::size_t kParallelListing = 2048;
// The smallest folder entry of ext4 (an 8-byte header and a name padded to
// four bytes), and a bound on the room reserved from a folder's size.
constexpr std::size_t kLeastEntryBytes = 12;
constexpr std::size_t kMostReservedEntries = std::size_t{1} << 20;
constexpr std::size_t kListingBlock = 256;

std::error_code errorOf(int error) { return {error, std::generic_category()}; }
std::error_code lastError() { return errorOf(errno); }

std::string lastComponent(const std::string& path) {
  std::size_t end = path.size();
  while (end > 1 && path[end - 1] == '/') --end;
  if (end == 1 && path[0] == '/') return "/";
  const std::size_t slash = path.rfind('/', end - 1);
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(start, end - start);
}

std::string parentFolder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

FileTime fileTimeOf(const statx_timestamp& t) {
  return TimeConvert::fromUnixSeconds(t.tv_sec, t.tv_nsec);
}

timespec timespecOf(FileTime time) {
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(TimeConvert::toUnixSeconds(time));
  ts.tv_nsec = static_cast<long>(TimeConvert::subsecondNanoseconds(time));
  return ts;
}

// statx of `name` relative to `dirFd`, following links; a dangling link is
// described by itself.
int statxFollowing(int dirFd, const char* name, struct statx& stx) {
  if (::statx(dirFd, name, 0, kStatxMask, &stx) == 0) return 0;
  if (errno != ENOENT) return -1;
  return ::statx(dirFd, name, AT_SYMLINK_NOFOLLOW, kStatxMask, &stx);
}

// The kind told by a mode; a link counts as pointing to nothing until its
// target is found.
EntryKind kindOf(mode_t mode) {
  if (S_ISREG(mode)) return EntryKind::File;
  if (S_ISDIR(mode)) return EntryKind::Folder;
  if (S_ISLNK(mode)) return EntryKind::MissingLink;
  return EntryKind::Other;
}

void fillInfo(const struct statx& stx, const std::string& name, const StoredAttributes& stored,
              FileInfo& out) {
  out.name = name;
  out.isFolder = S_ISDIR(stx.stx_mode);
  out.kind = kindOf(stx.stx_mode);
  out.size = out.isFolder ? 0 : stx.stx_size;
  out.modified = fileTimeOf(stx.stx_mtime);
  out.accessed = fileTimeOf(stx.stx_atime);
  if (stored.created) out.created = *stored.created;
  else if (stx.stx_mask & STATX_BTIME) out.created = fileTimeOf(stx.stx_btime);
  else out.created = out.modified;
  out.attributes = AttributeStore::attributesOf(stx.stx_mode, name, stored);
}

// Describes `lookup` (relative to `dirFd`), the entry `name` of its folder,
// itself: a link by its own size and times, with no stored record (the
// record read through it would be its target's), and whether what it points
// to exists. `readRecord()` gives the record of anything else.
template <class ReadRecord>
int describeEntry(int dirFd, const char* lookup, const std::string& name, FileInfo& out,
                  ReadRecord&& readRecord) {
  struct statx stx{};
  if (::statx(dirFd, lookup, AT_SYMLINK_NOFOLLOW, kStatxMask, &stx) != 0) return -1;
  if (!S_ISLNK(stx.stx_mode)) {
    fillInfo(stx, name, readRecord(), out);
    return 0;
  }
  fillInfo(stx, name, StoredAttributes{}, out);
  struct statx target{};
  if (::statx(dirFd, lookup, 0, STATX_TYPE, &target) == 0) out.kind = EntryKind::Link;
  return 0;
}

std::error_code readFully(int fd, void* buffer, std::size_t size, std::size_t& got) {
  got = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (got < size) {
    const ssize_t n = ::read(fd, bytes + got, size - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return {};
}

std::error_code writeFully(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return {};
}

class PosixOutputFile : public OutputFile {
public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  std::error_code write(const void* data, std::size_t size) override {
    if (fd_ < 0) return errorOf(EBADF);
    return writeFully(fd_, data, size);
  }
  std::error_code seek(std::uint64_t offset) override {
    if (fd_ < 0) return errorOf(EBADF);
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) return lastError();
    return {};
  }
  int fd() const { return fd_; }
  std::error_code sync() override {
    if (fd_ < 0) return errorOf(EBADF);
    if (::fdatasync(fd_) != 0) return lastError();
    return {};
  }
  std::error_code close() override {
    if (fd_ < 0) return errorOf(EBADF);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return lastError();
    return {};
  }

private:
  int fd_;
};

class PosixInputFile : public InputFile {
public:
  PosixInputFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~PosixInputFile() override { ::close(fd_); }

  std::error_code read(void* buffer, std::size_t size, std::size_t& got) override {
    return readFully(fd_, buffer, size, got);
  }
  std::error_code seek(std::uint64_t offset) override {
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) return lastError();
    return {};
  }
  std::uint64_t size() const override { return size_; }
  // Copies inside the kernel where source and target offsets lie at the
  // same place within a page, as a whole-file copy does. Otherwise (a name
  // of another length shifted the data) the kernel would move every byte
  // between misaligned addresses at about half the speed, so the copy goes
  // through two buffers instead: each placed like its file's offset within
  // a page, so that both kernel copies run aligned, and the shift done once
  // in between by memcpy, which handles it at full speed.
  std::error_code copyTo(OutputFile& out, std::uint64_t length, std::uint64_t& copied) override {
    auto* target = dynamic_cast<PosixOutputFile*>(&out);
    copied = 0;
    if (!target || target->fd() < 0) return InputFile::copyTo(out, length, copied);
    const off_t from = ::lseek(fd_, 0, SEEK_CUR);
    const off_t to = ::lseek(target->fd(), 0, SEEK_CUR);
    if (from < 0 || to < 0) return InputFile::copyTo(out, length, copied);
    if ((from - to) % kPage != 0) return copyRealigned(target->fd(), from, to, length, copied);
    constexpr std::uint64_t kChunk = std::uint64_t{1} << 30;
    while (copied < length) {
      const ssize_t n = ::copy_file_range(fd_, nullptr, target->fd(), nullptr,
                                          static_cast<std::size_t>(std::min(length - copied, kChunk)), 0);
      if (n < 0) {
        if (errno == EINTR) continue;
        if (copied == 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP ||
                            errno == EINVAL || errno == EBADF))
          return copyRealigned(target->fd(), from, to, length, copied);
        return lastError();
      }
      if (n == 0) break;
      copied += static_cast<std::uint64_t>(n);
    }
    return {};
  }

private:
  static constexpr std::size_t kPage = 4096;
  static constexpr std::size_t kRealignChunk = std::size_t{1} << 20;

  // Reads end on the source's page boundaries; `from` and `to` are the
  // current offsets of the two files.
  std::error_code copyRealigned(int target, std::uint64_t from, std::uint64_t to,
                                std::uint64_t length, std::uint64_t& copied) {
    if (buffers_.empty()) buffers_.resize(2 * (kRealignChunk + 2 * kPage));
    char* const readBase = pageAligned(buffers_.data());
    char* const writeBase = pageAligned(buffers_.data() + kRealignChunk + 2 * kPage);
    while (copied < length) {
      const std::size_t readAt = static_cast<std::size_t>((from + copied) % kPage);
      const std::size_t writeAt = static_cast<std::size_t>((to + copied) % kPage);
      const std::size_t want =
          static_cast<std::size_t>(std::min<std::uint64_t>(length - copied, kRealignChunk - readAt));
      std::size_t got = 0;
      if (auto ec = readFully(fd_, readBase + readAt, want, got)) return ec;
      if (got == 0) break;
      std::memcpy(writeBase + writeAt, readBase + readAt, got);
      if (auto ec = writeFully(target, writeBase + writeAt, got)) return ec;
      copied += got;
      if (got < want) break;
    }
    return {};
  }

  static char* pageAligned(char* p) {
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    return p + (kPage - address % kPage) % kPage;
  }

  std::vector<char> buffers_;
  int fd_;
  std::uint64_t size_;
};

// Removes the temporary file of a copy unless the copy got through.
class TempFileGuard {
public:
  explicit TempFileGuard(std::string path) : path_(std::move(path)) {}
  ~TempFileGuard() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  void release() { path_.clear(); }

private:
  std::string path_;
};

// A fresh name in `folder` for a file the program is about to create.
std::string freshName(const std::string& folder) {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  std::string name = ".ritoma-copy-";
  name += std::to_string(rng() % 1000000000);
  return FileSystem::joinPath(folder, name);
}

// Copies the symbolic link `from` as a link to the same target, with its
// times; nothing is read through it. Never replaces: fails with
// file_exists when `to` is taken.
std::error_code copyLink(const NoReplaceRename& renames, const std::string& from,
                         const struct stat& link, const std::string& to) {
  std::string target(static_cast<std::size_t>(link.st_size) + 1, '\0');
  const ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
  if (length < 0) return lastError();
  // A link that grew since it was looked up is copied on the next try.
  if (static_cast<std::size_t>(length) >= target.size()) return errorOf(EAGAIN);
  target.resize(static_cast<std::size_t>(length));
  std::string temp;
  for (int attempt = 0;; ++attempt) {
    temp = freshName(parentFolder(to));
    if (::symlink(target.c_str(), temp.c_str()) == 0) break;
    if (errno != EEXIST || attempt == 15) return lastError();
  }
  TempFileGuard tempGuard(temp);
  const timespec times[2] = {link.st_atim, link.st_mtim};
  if (::utimensat(AT_FDCWD, temp.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return lastError();
  if (auto ec = renames.rename(AT_FDCWD, temp.c_str(), AT_FDCWD, to.c_str())) return ec;
  tempGuard.release();
  return {};
}

std::error_code copyData(int in, int out) {
  std::string buffer(kCopyChunk, '\0');
  for (;;) {
    std::size_t got = 0;
    if (auto ec = readFully(in, buffer.data(), buffer.size(), got)) return ec;
    if (got == 0) return {};
    if (auto ec = writeFully(out, buffer.data(), got)) return ec;
  }
}

// Gives the open file the owner and group of `model` where the process
// may (root may set both, an owner the group of one of its groups), then
// its permission bits; set-user and set-group only along with the owner or
// group they belong to. What cannot be set stays as it is.
void takeOwnerAndMode(int fd, const struct stat& model) {
  struct stat st{};
  if (::fstat(fd, &st) != 0) return;
  bool ownerKept = st.st_uid == model.st_uid;
  bool groupKept = st.st_gid == model.st_gid;
  if (!ownerKept || !groupKept) {
    if (::fchown(fd, model.st_uid, model.st_gid) == 0)
      ownerKept = groupKept = true;
    else if (::fchown(fd, static_cast<uid_t>(-1), model.st_gid) == 0)
      groupKept = true;
  }
  mode_t mode = model.st_mode & 07777;
  if (!ownerKept) mode &= ~static_cast<mode_t>(S_ISUID);
  if (!groupKept) mode &= ~static_cast<mode_t>(S_ISGID);
  ::fchmod(fd, mode);
}

std::string decodeMountField(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
        field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                               (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

// A folder held open by a descriptor: look-ups and renames name only the
// entry, so the kernel does not walk the folder's path again for each.
class PosixFolderHandle : public FolderHandle {
public:
  PosixFolderHandle(AttributeStore& store, const NoReplaceRename& renames, int fd, std::string folder)
      : store_(store), renames_(renames), fd_(fd), folder_(std::move(folder)) {}
  ~PosixFolderHandle() override { ::close(fd_); }

  std::error_code stat(const std::string& name, FileInfo& out) override {
    if (describeEntry(fd_, name.c_str(), name, out,
                      [&] { return store_.readAt(fd_, folder_, name.c_str()); }) != 0)
      return lastError();
    return {};
  }
  std::error_code rename(const std::string& from, const std::string& to) override {
    return renames_.rename(fd_, from.c_str(), fd_, to.c_str(), learnt_);
  }

private:
  AttributeStore& store_;
  const NoReplaceRename& renames_;
  NoReplaceRename::Learnt learnt_;
  int fd_;
  std::string folder_;
};

// A folder opened for reading its entries; look-ups relative to fd() stay
// in the folder that was read, even if its path is changed meanwhile.
class OpenFolder {
public:
  explicit OpenFolder(const std::string& folder) : dir_(::opendir(folder.c_str())) {}
  ~OpenFolder() {
    if (dir_) ::closedir(dir_);
  }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;

  bool isOpen() const { return dir_ != nullptr; }
  int fd() const { return ::dirfd(dir_); }

  // Calls visit(name) for every entry but "." and "..".
  template <class Visit>
  std::error_code forEachName(Visit&& visit) {
    for (;;) {
      errno = 0;
      const dirent* entry = ::readdir(dir_);
      if (!entry) return errno != 0 ? lastError() : std::error_code();
      const char* name = entry->d_name;
      if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
      visit(name);
    }
  }

private:
  DIR* dir_;
};

}  // namespace

std::error_code PosixFileSystem::listFolder(const std::string& folder, std::vector<FileInfo>& out) {
  out.clear();
  OpenFolder dir(folder);
  if (!dir.isOpen()) return lastError();
  const int dirFd = dir.fd();
  // The folder's size bounds its number of entries from above on the file
  // systems that store them in the folder's blocks (no entry takes fewer
  // than kLeastEntryBytes there): room for that many is reserved, and only
  // the part the entries fill is ever touched. Elsewhere the list grows.
  struct stat folderStat{};
  if (::fstat(dirFd, &folderStat) == 0 && folderStat.st_size > 0)
    out.reserve(std::min(static_cast<std::size_t>(folderStat.st_size) / kLeastEntryBytes, kMostReservedEntries));
  // The names come first, so that the look-ups can be shared out.
  if (auto ec = dir.forEachName([&](const char* name) { out.emplace_back().name = name; })) {
    out.clear();
    return ec;
  }

  // An entry that vanished since the folder was read is not listed. The
  // look-ups wait on the kernel, not on each other: in a big folder every
  // core takes its share.
  const std::size_t count = out.size();
  std::vector<char> found(count, 0);
  AttributeStore& store = probe_.storeOfOpen(dirFd, folder);
  ParallelRange::run(count, kParallelListing, kListingBlock, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
      FileInfo& info = out[i];
      const char* name = info.name.c_str();
      found[i] = describeEntry(dirFd, name, info.name, info,
                               [&] { return store.readAt(dirFd, folder, name); }) == 0;
    }
  });

  std::size_t kept = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!found[i]) continue;
    if (kept != i) out[kept] = std::move(out[i]);
    ++kept;
  }
  out.resize(kept);
  return {};
}

std::error_code PosixFileSystem::listNames(const std::string& folder, std::vector<std::string>& out) {
  out.clear();
  OpenFolder dir(folder);
  if (!dir.isOpen()) return lastError();
  return dir.forEachName([&](const char* name) { out.emplace_back(name); });
}

std::error_code PosixFileSystem::stat(const std::string& path, FileInfo& out) {
  struct statx stx{};
  if (statxFollowing(AT_FDCWD, path.c_str(), stx) != 0) return lastError();
  fillInfo(stx, lastComponent(path), probe_.storeOf(path).read(path), out);
  return {};
}

std::error_code PosixFileSystem::lookUp(const std::string& path, FileInfo& out) {
  if (describeEntry(AT_FDCWD, path.c_str(), lastComponent(path), out,
                    [&] { return probe_.storeOf(path).read(path); }) != 0)
    return lastError();
  return {};
}

std::error_code PosixFileSystem::rename(const std::string& from, const std::string& to) {
  return renames_.rename(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str());
}

std::error_code PosixFileSystem::openFolderHandle(const std::string& folder,
                                                  std::unique_ptr<FolderHandle>& out) {
  const int fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return lastError();
  out = std::make_unique<PosixFolderHandle>(probe_.storeOfOpen(fd, folder), renames_, fd, folder);
  return {};
}

std::error_code PosixFileSystem::replace(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return lastError();
  return {};
}

std::error_code PosixFileSystem::copyFile(const std::string& from, const std::string& to) {
  struct stat named{};
  if (::lstat(from.c_str(), &named) != 0) return lastError();
  if (S_ISLNK(named.st_mode)) return copyLink(renames_, from, named, to);
  if (S_ISDIR(named.st_mode)) return errorOf(EISDIR);
  if (!S_ISREG(named.st_mode)) return errorOf(EINVAL);
  // Without waiting on a pipe put there since the look-up.
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (in < 0) return lastError();
  struct InGuard {
    int fd;
    ~InGuard() { ::close(fd); }
  } inGuard{in};

  struct statx stx{};
  if (::statx(in, "", AT_EMPTY_PATH, kStatxMask, &stx) != 0) return lastError();
  if (!S_ISREG(stx.stx_mode)) return errorOf(EINVAL);
  const StoredAttributes stored = probe_.storeOfOpen(in, from).readFd(in);
  FileInfo source;
  fillInfo(stx, lastComponent(from), stored, source);
  // What is stored carries over, not what the name implies.
  std::uint32_t attributes = stored.attributes.value_or(0) & ~std::uint32_t{AttrReadOnly};
  attributes |= source.attributes & AttrReadOnly;

  std::string temp = FileSystem::joinPath(parentFolder(to), ".ritoma-copy-XXXXXX");
  const int out = ::mkostemp(temp.data(), O_CLOEXEC);
  if (out < 0) return lastError();
  TempFileGuard tempGuard(temp);
  struct OutGuard {
    int fd;
    ~OutGuard() {
      if (fd >= 0) ::close(fd);
    }
  } outGuard{out};

  if (auto ec = copyData(in, out)) return ec;
  const timespec times[2] = {{stx.stx_atime.tv_sec, stx.stx_atime.tv_nsec},
                             {stx.stx_mtime.tv_sec, stx.stx_mtime.tv_nsec}};
  if (::futimens(out, times) != 0) return lastError();
  if (auto ec = probe_.storeOfOpen(out, temp).writeCopy(out, stx.stx_mode, attributes, source.created))
    return ec;
  outGuard.fd = -1;
  if (::close(out) != 0) return lastError();
  if (auto ec = renames_.rename(AT_FDCWD, temp.c_str(), AT_FDCWD, to.c_str())) return ec;
  tempGuard.release();
  return {};
}

std::error_code PosixFileSystem::remove(const std::string& path) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0) return lastError();
  if ((S_ISDIR(st.st_mode) ? ::rmdir(path.c_str()) : ::unlink(path.c_str())) != 0)
    return lastError();
  return {};
}

std::error_code PosixFileSystem::makeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) != 0) return lastError();
  return {};
}

std::error_code PosixFileSystem::syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return lastError();
  const std::error_code ec = ::fsync(fd) != 0 ? lastError() : std::error_code();
  ::close(fd);
  return ec;
}

std::error_code PosixFileSystem::setTimes(const std::string& path, std::optional<FileTime> created,
                                          std::optional<FileTime> modified,
                                          std::optional<FileTime> accessed) {
  struct statx stx{};
  if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, kStatxMask, &stx) != 0) return lastError();
  // A link is a name like any other: its own times change, never those of
  // what it points to. It holds no record, so it keeps no creation time.
  const bool link = S_ISLNK(stx.stx_mode);
  AttributeStore* store = link ? nullptr : &probe_.storeOf(path);
  const StoredAttributes stored = store ? store->read(path) : StoredAttributes{};
  FileInfo now;
  fillInfo(stx, lastComponent(path), stored, now);
  // A time the file already shows is not written: writing it would change
  // nothing, and it may be refused (a file system without the record, a
  // file of another owner).
  if (created && store && *created != now.created) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0) return lastError();
    if (auto ec = store->writeCreated(path, st, stored, *created)) return ec;
  }
  if (modified && *modified == now.modified) modified.reset();
  if (accessed && *accessed == now.accessed) accessed.reset();
  if (modified || accessed) {
    // Both times are given, the one kept as it is too: some FUSE file
    // systems (exFAT, FAT) ignore a last-write time sent without the
    // last-access time.
    timespec times[2] = {{stx.stx_atime.tv_sec, stx.stx_atime.tv_nsec},
                         {stx.stx_mtime.tv_sec, stx.stx_mtime.tv_nsec}};
    if (accessed) times[0] = timespecOf(*accessed);
    if (modified) times[1] = timespecOf(*modified);
    if (calls_.utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return lastError();
  }
  return {};
}

std::error_code PosixFileSystem::getAttributes(const std::string& path, std::uint32_t& attributes) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return lastError();
  attributes = AttributeStore::attributesOf(st.st_mode, lastComponent(path), probe_.storeOf(path).read(path));
  return {};
}

std::error_code PosixFileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0) return lastError();
  // A link has no attributes of its own, and those of what it points to
  // are not the batch's to change: they stay as they are.
  if (S_ISLNK(st.st_mode)) return {};
  AttributeStore& store = probe_.storeOf(path);
  const StoredAttributes stored = store.read(path);
  // Attributes the file already shows are not written again.
  if ((AttributeStore::attributesOf(st.st_mode, lastComponent(path), stored) & DosAttrib::kStoredBits) ==
      (attributes & DosAttrib::kStoredBits))
    return {};
  return store.writeAttributes(path, st, stored, attributes & DosAttrib::kStoredBits);
}

MediumTraits PosixFileSystem::medium(const std::string& path) { return probe_.traitsOf(path); }

std::error_code PosixFileSystem::openRead(const std::string& path, std::unique_ptr<InputFile>& out) {
  // A pipe opens at once and is then refused, as a device is.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return lastError();
  struct stat st{};
  std::error_code ec;
  if (::fstat(fd, &st) != 0)
    ec = lastError();
  else if (S_ISDIR(st.st_mode))
    ec = errorOf(EISDIR);
  else if (!S_ISREG(st.st_mode))
    ec = errorOf(EINVAL);
  if (ec) {
    ::close(fd);
    return ec;
  }
  out = std::make_unique<PosixInputFile>(fd, static_cast<std::uint64_t>(st.st_size));
  return {};
}

std::error_code PosixFileSystem::openWrite(const std::string& path, WriteMode mode,
                                           std::unique_ptr<OutputFile>& out) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC |
                    (mode == WriteMode::CreateNew ? O_EXCL | O_NOFOLLOW : O_TRUNC);
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) return lastError();
  out = std::make_unique<PosixOutputFile>(fd);
  return {};
}

std::error_code PosixFileSystem::createLike(const std::string& path, const std::string& model,
                                            std::unique_ptr<OutputFile>& out) {
  struct stat like{};
  const bool hasModel = ::stat(model.c_str(), &like) == 0;
  // Private until it has the model's permissions.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        hasModel ? 0600 : 0666);
  if (fd < 0) return lastError();
  out = std::make_unique<PosixOutputFile>(fd);
  if (hasModel) takeOwnerAndMode(fd, like);
  return {};
}

std::vector<std::string> PosixFileSystem::parseMountPoints(const std::string& table) {
  std::vector<std::string> points{"/"};
  std::size_t start = 0;
  while (start < table.size()) {
    std::size_t end = table.find('\n', start);
    if (end == std::string::npos) end = table.size();
    const std::string line = table.substr(start, end - start);
    start = end + 1;
    const std::size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    const std::size_t space2 = line.find(' ', space + 1);
    const std::size_t space3 = space2 == std::string::npos ? std::string::npos : line.find(' ', space2 + 1);
    const std::string source = decodeMountField(line.substr(0, space));
    const std::string point = decodeMountField(
        line.substr(space + 1, space2 == std::string::npos ? std::string::npos : space2 - space - 1));
    const std::string type =
        space2 == std::string::npos ? std::string() : line.substr(space2 + 1, space3 - space2 - 1);
    // Package images (squashfs on loop devices) hold no files of the user's.
    const bool device = source.starts_with("/dev/") && type != "squashfs";
    const bool share = type == "cifs" || type == "smb3" || type == "nfs" || type == "nfs4" || type == "fuse.sshfs";
    if ((!device && !share) || point.empty()) continue;
    bool known = false;
    for (const auto& p : points) known = known || p == point;
    if (!known) points.push_back(point);
  }
  return points;
}

std::vector<std::string> PosixFileSystem::mountPoints() {
  std::string table;
  const int fd = ::open("/proc/self/mounts", O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
      if (n > 0) table.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
  }
  // Containers bind-mount single files (/etc/hosts); the list offers folders.
  std::vector<std::string> points;
  for (auto& point : parseMountPoints(table)) {
    struct stat st{};
    if (::stat(point.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) points.push_back(std::move(point));
  }
  return points;
}

std::string PosixFileSystem::executableFolder() {
  std::string path(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0) return ".";
  path.resize(static_cast<std::size_t>(n));
  return parentFolder(path);
}

bool PosixFileSystem::isWritableFolder(const std::string& folder) {
  // An unnamed temporary file proves it without leaving a trace.
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
  struct stat st{};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace ritoma
