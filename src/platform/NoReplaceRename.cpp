#include "platform/NoReplaceRename.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unicode/unistr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string_view>

namespace ritoma {

namespace {

std::error_code errorOf(int error) { return {error, std::generic_category()}; }
std::error_code lastError() { return errorOf(errno); }

class SpellingKeptCategory : public std::error_category {
public:
  const char* name() const noexcept override { return "ritoma.rename"; }
  std::string message(int) const override { return "the file system kept the old spelling of the name"; }
  std::error_condition default_error_condition(int) const noexcept override {
    return std::errc::operation_not_supported;
  }
};

// The part of `path` up to and including its last "/" ("" for a bare name).
std::string_view folderPart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

bool sameFolding(std::string_view a, std::string_view b) {
  auto folded = [](std::string_view s) {
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
    return text.foldCase();
  };
  return folded(a) == folded(b);
}

// Whether `from` and `to` name one entry in one folder, spelled differently
// only in case, so that a folder that ignores case finds `from` under `to`.
bool differOnlyInCase(int fromDir, std::string_view from, int toDir, std::string_view to) {
  if (fromDir != toDir || from == to) return false;
  const std::string_view folder = folderPart(from);
  if (folder != folderPart(to) || from.size() == folder.size() || to.size() == folder.size())
    return false;
  return sameFolding(from.substr(folder.size()), to.substr(folder.size()));
}

// A fresh name for an entry that passes through on its way to another
// spelling of its own name.
std::string temporaryName() {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  return ".ritoma-case-" + std::to_string(rng() % 1000000000);
}

}  // namespace

std::error_code NoReplaceRename::spellingKept() {
  static const SpellingKeptCategory category;
  return {1, category};
}

std::error_code NoReplaceRename::rename(int fromDir, const char* from, int toDir, const char* to) const {
  Learnt learnt;
  return rename(fromDir, from, toDir, to, learnt);
}

std::error_code NoReplaceRename::rename(int fromDir, const char* from, int toDir, const char* to,
                                        Learnt& learnt) const {
  const std::error_code ec = renameOnce(fromDir, from, toDir, to, learnt);
  if (ec == std::errc::file_exists && differOnlyInCase(fromDir, from, toDir, to))
    return renameCaseOnly(fromDir, from, to, learnt);
  return ec;
}

std::error_code NoReplaceRename::renameOnce(int fromDir, const char* from, int toDir, const char* to,
                                            Learnt& learnt) const {
  if (!learnt.flagRefused) {
    if (calls_.renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS) return lastError();
    learnt.flagRefused = true;
  }
  return renameOverClaim(fromDir, from, toDir, to);
}

std::error_code NoReplaceRename::claimFile(int dir, const char* name) const {
  // mknod creates the file without opening it: through FUSE one request
  // instead of the create, flush and release of an open and its close.
  if (calls_.mknodat(dir, name, S_IFREG | 0600, 0) == 0) return {};
  if (errno == EEXIST) return lastError();
  const int fd = calls_.openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return lastError();
  ::close(fd);
  return {};
}

std::error_code NoReplaceRename::renameOverClaim(int fromDir, const char* from, int toDir,
                                                 const char* to) const {
  struct stat source{};
  if (calls_.fstatat(fromDir, from, &source, AT_SYMLINK_NOFOLLOW) != 0) return lastError();
  const bool folder = S_ISDIR(source.st_mode);
  if (folder) {
    if (calls_.mkdirat(toDir, to, 0700) != 0) return lastError();
  } else if (auto ec = claimFile(toDir, to)) {
    return ec;
  }
  if (calls_.renameat2(fromDir, from, toDir, to, 0) == 0) return {};
  const int error = errno;
  if (!removeClaim(toDir, to, folder)) return errorOf(error);
  // Some file systems (fusefat) never rename a folder over another one.
  // Without the claim a folder can at worst take the place of an empty
  // folder made meanwhile, which holds nothing to lose.
  if (folder && (error == EPERM || error == EEXIST || error == ENOTEMPTY)) {
    if (calls_.renameat2(fromDir, from, toDir, to, 0) == 0) return {};
    return lastError();
  }
  return errorOf(error);
}

bool NoReplaceRename::removeClaim(int dir, const char* name, bool folder) const {
  // Inode numbers are not compared: through FUSE they need not be stable.
  // An entry of the claim's kind that is still empty holds nothing to lose.
  struct stat now{};
  if (calls_.fstatat(dir, name, &now, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if (folder) return S_ISDIR(now.st_mode) && calls_.unlinkat(dir, name, AT_REMOVEDIR) == 0;
  return S_ISREG(now.st_mode) && now.st_size == 0 && calls_.unlinkat(dir, name, 0) == 0;
}

std::error_code NoReplaceRename::renameCaseOnly(int dir, const std::string& from, const std::string& to,
                                                Learnt& learnt) const {
  const std::string folder(folderPart(from));
  std::string temporary;
  std::error_code ec;
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporary = folder + temporaryName();
    ec = renameOnce(dir, from.c_str(), dir, temporary.c_str(), learnt);
    if (ec != std::errc::file_exists) break;
  }
  if (ec) return ec;
  // Where `to` still names an entry, that one is another file (a second
  // hard link, or another spelling in a folder that heeds case).
  ec = renameOnce(dir, temporary.c_str(), dir, to.c_str(), learnt);
  if (ec) {
    renameOnce(dir, temporary.c_str(), dir, from.c_str(), learnt);
    return ec;
  }
  return readBack(dir, folder, to.substr(folder.size()));
}

std::error_code NoReplaceRename::readBack(int dir, const std::string& folder,
                                          const std::string& name) const {
  const int fd = calls_.openat(dir, folder.empty() ? "." : folder.c_str(),
                               O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return lastError();
  DIR* listing = ::fdopendir(fd);
  if (!listing) {
    const std::error_code ec = lastError();
    ::close(fd);
    return ec;
  }
  std::error_code ec = spellingKept();
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(listing);
    if (!entry) {
      if (errno != 0) ec = lastError();
      break;
    }
    if (name == entry->d_name) {
      ec.clear();
      break;
    }
  }
  ::closedir(listing);
  return ec;
}

}  // namespace ritoma
