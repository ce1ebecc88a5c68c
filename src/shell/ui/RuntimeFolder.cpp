#include "shell/ui/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace ritoma {

namespace {

// Creates `path` and its missing parents, each with mode 0700; an existing
// component is left as it is (isPrivate judges the last one afterwards).
void makeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
    if (slash == std::string::npos) return;
  }
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

bool RuntimeFolder::isPrivate(const std::string& path) {
  if (!path.starts_with('/')) return false;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

std::string RuntimeFolder::locate(const std::string& runtimeDir, const std::string& cacheHome,
                                  const std::string& home) {
  if (isPrivate(runtimeDir)) return runtimeDir;
  std::string base = cacheHome;
  if (!base.starts_with('/')) {
    if (!home.starts_with('/')) return {};
    base = home == "/" ? "/.cache" : home + "/.cache";
  }
  std::string folder = base.ends_with('/') ? base + "ritoma" : base + "/ritoma";
  makeFolders(folder);
  return isPrivate(folder) ? folder : std::string();
}

std::string RuntimeFolder::forThisUser() {
  return locate(environment("XDG_RUNTIME_DIR"), environment("XDG_CACHE_HOME"), environment("HOME"));
}

}  // namespace ritoma
