#include "support/FaultyFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <string_view>

#include "platform/PosixCalls.h"
#include "platform/PosixFileSystem.h"

namespace ritoma {

namespace {

std::error_code errorOf(int error) { return {error, std::generic_category()}; }

bool matches(const std::string& pattern, const std::string& path) {
  return !path.empty() && ::fnmatch(pattern.c_str(), path.c_str(), 0) == 0;
}

class FaultyInputFile : public InputFile {
public:
  FaultyInputFile(FaultyFileSystem& fs, std::string path, std::unique_ptr<InputFile> real)
      : fs_(fs), path_(std::move(path)), real_(std::move(real)) {}

  std::error_code read(void* buffer, std::size_t size, std::size_t& got) override {
    got = 0;
    if (auto ec = fs_.check(FsOp::Read, path_)) return ec;
    return real_->read(buffer, size, got);
  }
  std::error_code seek(std::uint64_t offset) override {
    if (auto ec = fs_.check(FsOp::Seek, path_)) return ec;
    return real_->seek(offset);
  }
  std::uint64_t size() const override { return real_->size(); }

private:
  FaultyFileSystem& fs_;
  std::string path_;
  std::unique_ptr<InputFile> real_;
};

class FaultyOutputFile : public OutputFile {
public:
  FaultyOutputFile(FaultyFileSystem& fs, std::string path, std::unique_ptr<OutputFile> real)
      : fs_(fs), path_(std::move(path)), real_(std::move(real)) {}

  std::error_code write(const void* data, std::size_t size) override {
    if (auto ec = fs_.check(FsOp::Write, path_)) return ec;
    return real_->write(data, size);
  }
  std::error_code seek(std::uint64_t offset) override {
    if (auto ec = fs_.check(FsOp::Seek, path_)) return ec;
    return real_->seek(offset);
  }
  std::error_code sync() override {
    if (auto ec = fs_.check(FsOp::Sync, path_)) return ec;
    return real_->sync();
  }
  // A failed close still closes the real file, as close(2) does.
  std::error_code close() override {
    const std::error_code injected = fs_.check(FsOp::Close, path_);
    const std::error_code real = real_->close();
    return injected ? injected : real;
  }

private:
  FaultyFileSystem& fs_;
  std::string path_;
  std::unique_ptr<OutputFile> real_;
};

bool explicitTimes(const timespec times[2]) {
  if (!times) return false;
  for (int i = 0; i < 2; ++i)
    if (times[i].tv_nsec != UTIME_OMIT && times[i].tv_nsec != UTIME_NOW) return true;
  return false;
}

std::string asciiUpper(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

}  // namespace

class FaultyFileSystem::RefusingCalls : public PosixCalls {
public:
  bool xattrRefused = false;
  std::vector<std::string> timesRefused;
  bool noReplaceRefused = false;
  bool caseIgnored = false;
  bool upperCaseNames = false;

  int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) override {
    if ((flags & RENAME_NOREPLACE) && noReplaceRefused) return refuse(EINVAL);
    if (!caseIgnored) return PosixCalls::renameat2(fromDir, from, toDir, to, flags);
    const std::string source = spelled(fromDir, from);
    const std::string target = spelled(toDir, to);
    struct stat st{};
    if (fromDir == toDir && source == target &&
        PosixCalls::fstatat(fromDir, source.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
      return (flags & RENAME_NOREPLACE) ? refuse(EEXIST) : 0;
    return PosixCalls::renameat2(fromDir, source.c_str(), toDir, target.c_str(), flags);
  }
  int openat(int dirFd, const char* path, int flags, mode_t mode) override {
    return PosixCalls::openat(dirFd, spelled(dirFd, path).c_str(), flags, mode);
  }
  int mknodat(int dirFd, const char* path, mode_t mode, dev_t device) override {
    return PosixCalls::mknodat(dirFd, spelled(dirFd, path).c_str(), mode, device);
  }
  int mkdirat(int dirFd, const char* path, mode_t mode) override {
    return PosixCalls::mkdirat(dirFd, spelled(dirFd, path).c_str(), mode);
  }
  int unlinkat(int dirFd, const char* path, int flags) override {
    return PosixCalls::unlinkat(dirFd, spelled(dirFd, path).c_str(), flags);
  }
  int fstatat(int dirFd, const char* path, struct stat* st, int flags) override {
    return PosixCalls::fstatat(dirFd, spelled(dirFd, path).c_str(), st, flags);
  }

  ssize_t getxattr(const char* path, const char* name, void* value, std::size_t size) override {
    if (xattrRefused) return refuse(EOPNOTSUPP);
    return PosixCalls::getxattr(path, name, value, size);
  }
  ssize_t fgetxattr(int fd, const char* name, void* value, std::size_t size) override {
    if (xattrRefused) return refuse(EOPNOTSUPP);
    return PosixCalls::fgetxattr(fd, name, value, size);
  }
  ssize_t getxattrat(int dirFd, const char* path, const char* name, void* value,
                     std::size_t size) override {
    if (xattrRefused) return refuse(EOPNOTSUPP);
    return PosixCalls::getxattrat(dirFd, path, name, value, size);
  }
  int setxattr(const char* path, const char* name, const void* value, std::size_t size,
               int flags) override {
    if (xattrRefused) return refuse(EOPNOTSUPP);
    return PosixCalls::setxattr(path, name, value, size, flags);
  }
  int fsetxattr(int fd, const char* name, const void* value, std::size_t size, int flags) override {
    if (xattrRefused) return refuse(EOPNOTSUPP);
    return PosixCalls::fsetxattr(fd, name, value, size, flags);
  }
  int utimensat(int dirFd, const char* path, const timespec times[2], int flags) override {
    if (explicitTimes(times))
      for (const auto& pattern : timesRefused)
        if (matches(pattern, path)) return refuse(EPERM);
    return PosixCalls::utimensat(dirFd, path, times, flags);
  }

private:
  static int refuse(int error) {
    errno = error;
    return -1;
  }

  // `path` (relative to `dirFd`) with its last component spelled as the
  // entry it finds when case is ignored, the same spelling first; where
  // none matches, as a new entry gets it.
  std::string spelled(int dirFd, const char* path) const {
    const std::string_view whole(path);
    if (!caseIgnored) return std::string(whole);
    const std::size_t slash = whole.rfind('/');
    const std::string folder(slash == std::string_view::npos ? std::string_view() : whole.substr(0, slash + 1));
    const std::string name(whole.substr(folder.size()));
    if (name.empty() || name == "." || name == "..") return std::string(whole);
    std::string match;
    const int fd = ::openat(dirFd, folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (DIR* listing = fd >= 0 ? ::fdopendir(fd) : nullptr) {
      const std::string key = asciiUpper(name);
      while (const dirent* entry = ::readdir(listing)) {
        if (name == entry->d_name) {
          match = name;
          break;
        }
        if (asciiUpper(entry->d_name) == key) match = entry->d_name;
      }
      ::closedir(listing);
    } else if (fd >= 0) {
      ::close(fd);
    }
    if (!match.empty()) return folder + match;
    return folder + (upperCaseNames ? asciiUpper(name) : name);
  }
};

FaultyFileSystem::FaultyFileSystem(FileSystem& real) : real_(real) {}

FaultyFileSystem::~FaultyFileSystem() = default;

FileSystem& FaultyFileSystem::target() { return refusing_ ? *refusing_ : real_; }

FaultyFileSystem::RefusingCalls& FaultyFileSystem::refusingCalls() {
  if (!refusing_) {
    refusingCalls_ = std::make_unique<RefusingCalls>();
    refusing_ = std::make_unique<PosixFileSystem>(*refusingCalls_);
  }
  return *refusingCalls_;
}

void FaultyFileSystem::refuseExtendedAttributes() { refusingCalls().xattrRefused = true; }

void FaultyFileSystem::refuseNoReplaceFlag() { refusingCalls().noReplaceRefused = true; }

void FaultyFileSystem::ignoreCase() { refusingCalls().caseIgnored = true; }

void FaultyFileSystem::keepUpperCaseNames() {
  refusingCalls().caseIgnored = true;
  refusingCalls().upperCaseNames = true;
}

void FaultyFileSystem::refuseExplicitTimes(std::string pattern) {
  refusingCalls().timesRefused.push_back(std::move(pattern));
}

void FaultyFileSystem::ignoreTimes(std::string pattern) { timesIgnored_.push_back(std::move(pattern)); }

void FaultyFileSystem::coarseTimes(const MediumTraits& steps) { steps_ = steps; }

void FaultyFileSystem::failNth(FsOp op, int n, int error) { nthRules_[{op, n}] = error; }

void FaultyFileSystem::failMatching(FsOp op, std::string pattern, int error) {
  patternRules_.push_back({op, std::move(pattern), error});
}

int FaultyFileSystem::calls(FsOp op) const { return counts_[static_cast<std::size_t>(op)]; }

void FaultyFileSystem::reset() {
  counts_.fill(0);
  nthRules_.clear();
  patternRules_.clear();
  executableFolder_.reset();
  mountPoints_.reset();
  unwritable_.clear();
  timesIgnored_.clear();
  steps_.reset();
  refusing_.reset();
  refusingCalls_.reset();
}

void FaultyFileSystem::setExecutableFolder(std::string folder) {
  executableFolder_ = std::move(folder);
}

void FaultyFileSystem::setMountPoints(std::vector<std::string> points) {
  mountPoints_ = std::move(points);
}

void FaultyFileSystem::markUnwritable(std::string pattern) {
  unwritable_.push_back(std::move(pattern));
}

std::error_code FaultyFileSystem::check(FsOp op, const std::string& path, const std::string& path2) {
  const int n = ++counts_[static_cast<std::size_t>(op)];
  if (auto it = nthRules_.find({op, n}); it != nthRules_.end()) return errorOf(it->second);
  for (const auto& rule : patternRules_)
    if (rule.op == op && (matches(rule.pattern, path) || matches(rule.pattern, path2)))
      return errorOf(rule.error);
  return {};
}

std::error_code FaultyFileSystem::listFolder(const std::string& folder, std::vector<FileInfo>& out) {
  out.clear();
  if (auto ec = check(FsOp::ListFolder, folder)) return ec;
  return target().listFolder(folder, out);
}

std::error_code FaultyFileSystem::stat(const std::string& path, FileInfo& out) {
  if (auto ec = check(FsOp::Stat, path)) return ec;
  return target().stat(path, out);
}

std::error_code FaultyFileSystem::lookUp(const std::string& path, FileInfo& out) {
  if (auto ec = check(FsOp::Stat, path)) return ec;
  return target().lookUp(path, out);
}

std::error_code FaultyFileSystem::rename(const std::string& from, const std::string& to) {
  if (auto ec = check(FsOp::Rename, from, to)) return ec;
  return target().rename(from, to);
}

std::error_code FaultyFileSystem::replace(const std::string& from, const std::string& to) {
  if (auto ec = check(FsOp::Replace, from, to)) return ec;
  return target().replace(from, to);
}

std::error_code FaultyFileSystem::copyFile(const std::string& from, const std::string& to) {
  if (auto ec = check(FsOp::CopyFile, from, to)) return ec;
  return target().copyFile(from, to);
}

std::error_code FaultyFileSystem::remove(const std::string& path) {
  if (auto ec = check(FsOp::Remove, path)) return ec;
  return target().remove(path);
}

std::error_code FaultyFileSystem::makeFolder(const std::string& path) {
  if (auto ec = check(FsOp::MakeFolder, path)) return ec;
  return target().makeFolder(path);
}

std::error_code FaultyFileSystem::syncFolder(const std::string& folder) {
  if (auto ec = check(FsOp::Sync, folder)) return ec;
  return real_.syncFolder(folder);
}

std::error_code FaultyFileSystem::setTimes(const std::string& path, std::optional<FileTime> created,
                                           std::optional<FileTime> modified,
                                           std::optional<FileTime> accessed) {
  if (auto ec = check(FsOp::SetTimes, path)) return ec;
  for (const auto& pattern : timesIgnored_)
    if (matches(pattern, path)) return {};
  if (steps_) {
    auto coarse = [](std::optional<FileTime>& time, FileTime step) {
      if (!time) return;
      if (step == 0) time.reset();
      else *time -= (*time % step + step) % step;
    };
    coarse(created, steps_->createdStep);
    coarse(modified, steps_->modifiedStep);
    coarse(accessed, steps_->accessedStep);
  }
  return target().setTimes(path, created, modified, accessed);
}

std::error_code FaultyFileSystem::getAttributes(const std::string& path, std::uint32_t& attributes) {
  if (auto ec = check(FsOp::GetAttributes, path)) return ec;
  return target().getAttributes(path, attributes);
}

std::error_code FaultyFileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
  if (auto ec = check(FsOp::SetAttributes, path)) return ec;
  return target().setAttributes(path, attributes);
}

MediumTraits FaultyFileSystem::medium(const std::string& path) {
  MediumTraits traits = target().medium(path);
  if (steps_) {
    traits.createdStep = steps_->createdStep;
    traits.modifiedStep = steps_->modifiedStep;
    traits.accessedStep = steps_->accessedStep;
  }
  return traits;
}

std::error_code FaultyFileSystem::openRead(const std::string& path, std::unique_ptr<InputFile>& out) {
  if (auto ec = check(FsOp::OpenRead, path)) return ec;
  std::unique_ptr<InputFile> real;
  if (auto ec = target().openRead(path, real)) return ec;
  out = std::make_unique<FaultyInputFile>(*this, path, std::move(real));
  return {};
}

std::error_code FaultyFileSystem::openWrite(const std::string& path, WriteMode mode,
                                            std::unique_ptr<OutputFile>& out) {
  if (auto ec = check(FsOp::OpenWrite, path)) return ec;
  std::unique_ptr<OutputFile> real;
  if (auto ec = target().openWrite(path, mode, real)) return ec;
  out = std::make_unique<FaultyOutputFile>(*this, path, std::move(real));
  return {};
}

std::error_code FaultyFileSystem::createLike(const std::string& path, const std::string& model,
                                             std::unique_ptr<OutputFile>& out) {
  if (auto ec = check(FsOp::OpenWrite, path)) return ec;
  std::unique_ptr<OutputFile> real;
  if (auto ec = real_.createLike(path, model, real)) return ec;
  out = std::make_unique<FaultyOutputFile>(*this, path, std::move(real));
  return {};
}

std::vector<std::string> FaultyFileSystem::mountPoints() {
  return mountPoints_ ? *mountPoints_ : target().mountPoints();
}

std::string FaultyFileSystem::executableFolder() {
  return executableFolder_ ? *executableFolder_ : target().executableFolder();
}

bool FaultyFileSystem::isWritableFolder(const std::string& folder) {
  for (const auto& pattern : unwritable_)
    if (matches(pattern, folder)) return false;
  return target().isWritableFolder(folder);
}

}  // namespace ritoma
