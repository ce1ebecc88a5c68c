#include "plugins/PluginHost.h"

#include <algorithm>
#include <map>

namespace ritoma {

namespace {

constexpr const char* kSection = "MacroEx";

bool isLetter(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

PluginHost::PluginHost(FileSystem& fs, std::vector<std::string> folders)
    : fs_(fs), folders_(std::move(folders)) {
  index_.fill(-1);
}

PluginHost::~PluginHost() {
  for (auto& p : plugins_) p->library->endDll();
}

std::string PluginHost::caption(const std::string& name, char letter) {
  return name + "(/x" + letter + ")";
}

std::string PluginHost::caption(int plugin) const {
  return caption(plugins_[plugin]->library->name(), plugins_[plugin]->letter);
}

std::string PluginHost::sectionFor(char letter) { return std::string(kSection) + letter; }

std::optional<std::string> PluginHost::find(const std::string& fileName) const {
  if (fileName.empty() || fileName.find('/') != std::string::npos || fileName == "." ||
      fileName == "..")
    return std::nullopt;
  for (const std::string& folder : folders_) {
    const std::string path = folder.ends_with('/') ? folder + fileName : folder + "/" + fileName;
    FileInfo info;
    if (!fs_.stat(path, info)) return path;
  }
  return std::nullopt;
}

void PluginHost::loadSettings(IniFile& settings, std::vector<SkippedPlugin>* skipped) {
  const int n = settings.readListCount(kSection, "Count");
  for (int i = 0; i < n; ++i) {
    // A stored name keeps its file name only, whatever folder it named.
    std::string fileName = settings.readString(kSection, IniFile::indexedKey("DLLName-", i));
    if (auto slash = fileName.find_last_of("/\\"); slash != std::string::npos)
      fileName.erase(0, slash + 1);
    const std::string command = settings.readString(kSection, IniFile::indexedKey("Command-", i));
    auto skip = [&](std::string reason) {
      if (skipped) skipped->push_back({fileName, std::move(reason)});
    };
    if (fileName.empty()) continue;
    const char letter = command.size() == 1 ? command[0] : 0;
    if (!isLetter(letter)) {
      skip("ｺﾏﾝﾄﾞ文字 \"" + command + "\" が A～Z ではありません");
      continue;
    }
    const auto path = find(fileName);
    if (!path) {
      skip("プラグインのフォルダにありません");
      continue;
    }
    std::string why;
    auto library = PluginLibrary::open(*path, why);
    if (!library) {
      skip(why);
      continue;
    }
    putInService({fileName, std::move(library)}, letter, settings.path());
  }
}

void PluginHost::saveSettings(IniFile& settings) const {
  IniFile::Batch batch(settings);
  settings.eraseSection(kSection);
  settings.writeInteger(kSection, "Count", count());
  for (int i = 0; i < count(); ++i) {
    settings.writeString(kSection, IniFile::indexedKey("DLLName-", i), plugins_[i]->fileName);
    settings.writeString(kSection, IniFile::indexedKey("Command-", i),
                         std::string(1, plugins_[i]->letter));
  }
  batch.commit();
}

std::vector<PluginCandidate> PluginHost::candidates(std::vector<SkippedPlugin>* skipped) const {
  std::map<std::string, std::string> found;  // file name -> path, first folder wins
  for (const std::string& folder : folders_) {
    std::vector<std::string> names;
    if (fs_.listNames(folder, names)) continue;
    for (const std::string& name : names) {
      if (name.size() <= 3 || !name.ends_with(".so")) continue;
      found.emplace(name, folder.ends_with('/') ? folder + name : folder + "/" + name);
    }
  }
  std::vector<PluginCandidate> out;
  for (const auto& [name, path] : found) {
    std::string why;
    if (auto library = PluginLibrary::open(path, why)) {
      out.push_back({name, std::move(library)});
    } else if (skipped) {
      skipped->push_back({name, why});
    }
  }
  return out;
}

void PluginHost::putInService(PluginCandidate candidate, char letter,
                              const std::string& settingsFile) {
  auto p = std::make_unique<InService>();
  p->fileName = std::move(candidate.fileName);
  p->letter = letter;
  p->library = std::move(candidate.library);
  plugins_.push_back(std::move(p));
  const int at = count() - 1;
  if (isLetter(letter)) index_[letter - 'A'] = at;
  const std::string cap = caption(at);
  const std::string section = sectionFor(letter);
  const RitomaPluginInit init{window_, letter, cap.c_str(), settingsFile.c_str(),
                              section.c_str()};
  plugins_[at]->library->initDll(init);
}

void PluginHost::takeOutOfService() {
  for (auto& p : plugins_) p->library->endDll();
  plugins_.clear();
  index_.fill(-1);
}

std::optional<std::string> PluginHost::setOption(int plugin, const RitomaPluginWindow& window) {
  if (plugin < 0 || plugin >= count()) return std::nullopt;
  return plugins_[plugin]->library->setOption(window);
}

int PluginHost::pluginForLetter(char letter) const {
  return isLetter(letter) ? index_[letter - 'A'] : -1;
}

void PluginHost::resetUseCounts() {
  for (auto& p : plugins_) p->record.useCount = 0;
}

std::optional<std::string> PluginHost::execMacro(int plugin, const MacroCallInfo& call) {
  if (plugin < 0 || plugin >= count()) return std::nullopt;
  InService& p = *plugins_[plugin];
  option_.assign(call.option);
  folder_.assign(call.folder);
  listedName_.assign(call.listedName);
  currentName_.assign(call.currentName);
  p.record.option = option_.c_str();
  p.record.folder = folder_.c_str();
  p.record.listedName = listedName_.c_str();
  p.record.currentName = currentName_.c_str();
  p.record.inArchive = call.inArchive ? 1 : 0;
  p.record.hasKey = call.hasKey ? 1 : 0;
  p.record.passNumber = call.passNumber;
  p.record.useCount += 1;
  return p.library->execMacro(p.record);
}

}  // namespace ritoma
