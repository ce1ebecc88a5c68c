#include "plugins/PluginFolders.h"

#include <cstdlib>

namespace ritoma {

namespace {

std::string join(const std::string& folder, const std::string& name) {
  if (folder.ends_with('/')) return folder + name;
  return folder + "/" + name;
}

}  // namespace

std::string PluginFolders::installFolder() { return RITOMA_PLUGIN_INSTALL_DIR; }

std::vector<std::string> PluginFolders::locate(const std::string& executableFolder,
                                               const std::string& xdgDataHome,
                                               const std::string& home) {
  std::vector<std::string> folders;
  if (!executableFolder.empty()) folders.push_back(executableFolder);
  folders.push_back(installFolder());
  std::string data;
  if (xdgDataHome.starts_with('/')) {
    data = xdgDataHome;
  } else if (!home.empty()) {
    data = join(home, ".local/share");
  }
  if (!data.empty()) folders.push_back(join(data, "ritoma/plugins"));
  return folders;
}

std::vector<std::string> PluginFolders::forThisProgram(FileSystem& fs) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  return locate(fs.executableFolder(), xdg ? xdg : "", home ? home : "");
}

}  // namespace ritoma
