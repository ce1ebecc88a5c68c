#include "settings/ShortcutPlaces.h"

#include <cstdlib>

#include "settings/FilesScript.h"

namespace ritoma {

namespace {

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string join(const std::string& folder, std::string_view name) {
  std::string base = withoutTrailingSlashes(folder);
  if (base != "/") base += '/';
  return base + std::string(name);
}

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string ShortcutPlaces::userDir(std::string_view fileText, std::string_view variable, const std::string& home) {
  std::string found;
  std::size_t start = 0;
  while (start < fileText.size()) {
    std::size_t end = fileText.find('\n', start);
    if (end == std::string_view::npos) end = fileText.size();
    std::string_view line = fileText.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.starts_with(variable) || line.substr(variable.size(), 2) != "=\"") continue;
    line.remove_prefix(variable.size() + 2);
    std::string value;
    bool closed = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '"') {
        closed = true;
        break;
      }
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
      value += line[i];
    }
    if (!closed) continue;
    if (value == "$HOME" || value.starts_with("$HOME/")) {
      if (home.empty()) continue;
      value = home + value.substr(5);
    } else if (!value.starts_with('/')) {
      continue;
    }
    found = withoutTrailingSlashes(value);
  }
  return found;
}

ShortcutPlaces ShortcutPlaces::locate(FileSystem& fs, const std::string& home, const std::string& xdgConfigHome,
                                      const std::string& xdgDataHome, const std::string& xdgDesktopDir) {
  ShortcutPlaces places;
  if (!home.starts_with('/')) return places;
  const std::string configHome = xdgConfigHome.starts_with('/') ? xdgConfigHome : join(home, ".config");
  std::string text;
  std::string desktop;
  if (!fs.readWholeFile(join(configHome, "user-dirs.dirs"), text)) desktop = userDir(text, "XDG_DESKTOP_DIR", home);
  if (desktop.empty() && xdgDesktopDir.starts_with('/')) desktop = withoutTrailingSlashes(xdgDesktopDir);
  if (desktop.empty()) desktop = join(home, "Desktop");
  if (desktop != withoutTrailingSlashes(home)) places.desktopFile_ = join(desktop, FileName);
  const std::string dataHome = xdgDataHome.starts_with('/') ? xdgDataHome : join(home, ".local/share");
  places.sendToFile_ = join(join(dataHome, "applications"), FileName);
  places.filesScriptFile_ = join(join(dataHome, "nautilus/scripts"), FilesScript::FileName);
  return places;
}

ShortcutPlaces ShortcutPlaces::forThisUser(FileSystem& fs) {
  return locate(fs, env("HOME"), env("XDG_CONFIG_HOME"), env("XDG_DATA_HOME"), env("XDG_DESKTOP_DIR"));
}

}  // namespace ritoma
