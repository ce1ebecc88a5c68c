#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/MacroPluginHost.h"
#include "platform/FileSystem.h"
#include "plugins/PluginLibrary.h"
#include "settings/IniFile.h"

namespace ritoma {

// A plug-in library found in the plug-in folders, loaded, not yet in
// service.
struct PluginCandidate {
  std::string fileName;  // name only, no folder
  std::unique_ptr<PluginLibrary> library;
};

// A file of the plug-in folders, or a [MacroEx] entry, that is not a
// usable plug-in, and why.
struct SkippedPlugin {
  std::string fileName;
  std::string reason;
};

// The extension-macro plug-ins in service, in order, and the letter table
// the template engine asks. A plug-in in service has had InitDLL; taking it
// out of service (or destroying the host) calls EndDLL and unloads it.
class PluginHost : public MacroPluginHost {
public:
  PluginHost(FileSystem& fs, std::vector<std::string> folders);
  ~PluginHost() override;
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // The opaque window handle passed to InitDLL.
  void setWindow(void* window) { window_ = window; }

  // Puts the plug-ins of [MacroEx] into service, in order. Entries that do
  // not load are left out (and listed in `skipped` when given); their
  // sections stay as they are.
  void loadSettings(IniFile& settings, std::vector<SkippedPlugin>* skipped = nullptr);
  // Erases [MacroEx] and writes "Count" and the DLLName/Command pairs of
  // the plug-ins in service.
  void saveSettings(IniFile& settings) const;

  // Full path of `fileName` in the first plug-in folder holding it, or
  // nothing.
  std::optional<std::string> find(const std::string& fileName) const;
  // Every "*.so" of the plug-in folders that loads as a plug-in, in
  // file-name order; a name found in several folders is taken from the
  // first. Files that do not load are listed in `skipped` when given.
  std::vector<PluginCandidate> candidates(std::vector<SkippedPlugin>* skipped = nullptr) const;

  // Puts a loaded plug-in into service with `letter` ('A'-'Z'): appends it,
  // binds the letter to it (a later plug-in takes a letter from an earlier
  // one) and calls InitDLL with its caption, `settingsFile` and its
  // section "MacroEx" + letter.
  void putInService(PluginCandidate candidate, char letter, const std::string& settingsFile);
  // EndDLL and unload for every plug-in in service; no letter is bound.
  void takeOutOfService();

  int count() const { return static_cast<int>(plugins_.size()); }
  const std::string& fileName(int plugin) const { return plugins_[plugin]->fileName; }
  char letter(int plugin) const { return plugins_[plugin]->letter; }
  const PluginLibrary& library(int plugin) const { return *plugins_[plugin]->library; }
  // name + "(/x" + letter + ")", as the macro drop-down shows it.
  std::string caption(int plugin) const;
  static std::string caption(const std::string& name, char letter);
  static std::string sectionFor(char letter);

  // The plug-in's answer to the "+" button, copied; nothing for null.
  std::optional<std::string> setOption(int plugin, const RitomaPluginWindow& window);

  int pluginForLetter(char letter) const override;
  void resetUseCounts() override;
  std::optional<std::string> execMacro(int plugin, const MacroCallInfo& call) override;

private:
  struct InService {
    std::string fileName;
    char letter = 0;
    std::unique_ptr<PluginLibrary> library;
    ExecMacroInfo record{};
  };

  FileSystem& fs_;
  std::vector<std::string> folders_;
  void* window_ = nullptr;
  std::vector<std::unique_ptr<InService>> plugins_;
  std::array<int, 26> index_;
  // NUL-terminated copies of the texts of the call being made.
  std::string option_, folder_, listedName_, currentName_;
};

}  // namespace ritoma
