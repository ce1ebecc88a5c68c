#include "support/TempDir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace ritoma {

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
  throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

void removeTree(const std::string& path) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0) return;
  if (!S_ISDIR(st.st_mode)) {
    ::unlink(path.c_str());
    return;
  }
  ::chmod(path.c_str(), 0700);
  if (DIR* dir = ::opendir(path.c_str())) {
    std::vector<std::string> children;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") children.push_back(name);
    }
    ::closedir(dir);
    for (const auto& child : children) removeTree(path + "/" + child);
  }
  ::rmdir(path.c_str());
}

}  // namespace

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/ritoma-test-XXXXXX";
  if (!::mkdtemp(pattern.data())) fail("mkdtemp", pattern);
  path_ = pattern;
}

TempDir::~TempDir() { removeTree(path_); }

std::string TempDir::operator/(std::string_view relative) const {
  return path_ + "/" + std::string(relative);
}

void TempDir::writeFile(std::string_view relative, std::string_view content) const {
  const std::string path = *this / relative;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) fail("open", path);
  const bool ok = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
  if (::close(fd) != 0 || !ok) fail("write", path);
}

void TempDir::makeFolder(std::string_view relative) const {
  const std::string path = *this / relative;
  if (::mkdir(path.c_str(), 0777) != 0) fail("mkdir", path);
}

std::string TempDir::readFile(std::string_view relative) const {
  const std::string path = *this / relative;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail("open", path);
  std::string content;
  char buffer[65536];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) content.append(buffer, static_cast<std::size_t>(n));
  ::close(fd);
  if (n < 0) fail("read", path);
  return content;
}

bool TempDir::exists(std::string_view relative) const {
  struct stat st{};
  return ::lstat((*this / relative).c_str(), &st) == 0;
}

std::vector<std::string> TempDir::names(std::string_view relative) const {
  const std::string path = relative.empty() ? path_ : *this / relative;
  DIR* dir = ::opendir(path.c_str());
  if (!dir) fail("opendir", path);
  std::vector<std::string> result;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") result.push_back(name);
  }
  ::closedir(dir);
  std::sort(result.begin(), result.end());
  return result;
}

}  // namespace ritoma
