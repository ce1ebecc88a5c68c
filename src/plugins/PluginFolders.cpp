#include "plugins/PluginFolders.h"

#include <cstdlib>
#include <string_view>

namespace ritoma {

std::string PluginFolders::installFolder(const std::string& executableFolder) {
  if (executableFolder.empty()) return {};
  if (!executableFolder.starts_with('/')) return FileSystem::joinPath(executableFolder, RITOMA_PLUGINS_FROM_BIN);
  // Lexical: the kernel reports the executable's folder with every link
  // resolved, so ".." is its parent.
  std::string folder = executableFolder;
  std::string_view rest = RITOMA_PLUGINS_FROM_BIN;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    while (folder.size() > 1 && folder.ends_with('/')) folder.pop_back();
    if (part == "..") {
      const std::size_t last = folder.rfind('/');
      folder.erase(last == 0 ? 1 : last);
    } else if (!part.empty() && part != ".") {
      folder = FileSystem::joinPath(folder, std::string(part));
    }
  }
  return folder;
}

std::vector<std::string> PluginFolders::locate(const std::string& executableFolder,
                                               const std::string& xdgDataHome,
                                               const std::string& home) {
  std::vector<std::string> folders;
  if (!executableFolder.empty()) {
    folders.push_back(executableFolder);
    folders.push_back(installFolder(executableFolder));
  }
  std::string data;
  if (xdgDataHome.starts_with('/')) {
    data = xdgDataHome;
  } else if (!home.empty()) {
    data = FileSystem::joinPath(home, ".local/share");
  }
  if (!data.empty()) folders.push_back(FileSystem::joinPath(data, "ritoma/plugins"));
  return folders;
}

std::vector<std::string> PluginFolders::forThisProgram(FileSystem& fs) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  return locate(fs.executableFolder(), xdg ? xdg : "", home ? home : "");
}

}  // namespace ritoma
