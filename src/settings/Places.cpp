#include "settings/Places.h"

#include <cstdlib>

namespace ritoma {

namespace {

// Creates `path` and any missing parents. Failures are left to the first
// write into the folder, which reports them.
void makeFolders(FileSystem& fs, const std::string& path) {
  for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (!fs.exists(part)) fs.makeFolder(part);
    if (slash == std::string::npos) break;
  }
}

bool isInstalled(FileSystem& fs, const std::string& executableFolder) {
  FileInfo info;
  return !fs.stat(FileSystem::joinPath(executableFolder, RITOMA_DATA_FROM_BIN), info) && info.isFolder;
}

}  // namespace

Places Places::locate(FileSystem& fs, const std::string& executableFolder,
                      const std::string& xdgConfigHome, const std::string& home) {
  if (!executableFolder.empty() && fs.isWritableFolder(executableFolder) && !isInstalled(fs, executableFolder))
    return Places(executableFolder);
  const std::string base =
      xdgConfigHome.starts_with('/') ? xdgConfigHome : FileSystem::joinPath(home.empty() ? "/" : home, ".config");
  std::string folder = FileSystem::joinPath(base, "ritoma");
  makeFolders(fs, folder);
  return Places(std::move(folder));
}

Places Places::forThisProgram(FileSystem& fs) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  return locate(fs, fs.executableFolder(), xdg ? xdg : "", home ? home : "");
}

std::string Places::settingsFile() const { return FileSystem::joinPath(folder_, "Ritoma.ini"); }

std::string Places::undoFile() const { return FileSystem::joinPath(folder_, "Ritoma.und"); }

}  // namespace ritoma
