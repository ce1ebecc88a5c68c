#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ritoma_plugin.h"

namespace ritoma {

// One extension-macro plug-in library, loaded, with its five entry points
// resolved and its GetInfo answered. Unloads the library when destroyed
// (without EndDLL: the owner decides whether the plug-in was in service).
class PluginLibrary {
public:
  // Loads the library at `path`. On failure returns null and sets `why` to
  // a one-line reason (not loadable, which entry point is missing, what
  // GetInfo answered); nothing stays loaded.
  static std::unique_ptr<PluginLibrary> open(const std::string& path, std::string& why);
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  const std::string& path() const { return path_; }
  // GetInfo's texts, each at most 64 bytes, and its proposed letter.
  const std::string& name() const { return name_; }
  const std::string& information() const { return information_; }
  char proposedLetter() const { return proposedLetter_; }

  void initDll(const RitomaPluginInit& init) const { initDll_(&init); }
  void endDll() const { endDll_(); }
  // The returned texts, copied at once; nothing for a null return.
  std::optional<std::string> setOption(const RitomaPluginWindow& window) const;
  std::optional<std::string> execMacro(const ExecMacroInfo& call) const;

private:
  PluginLibrary(void* handle, std::string path) : handle_(handle), path_(std::move(path)) {}

  void* handle_;
  std::string path_;
  std::string name_;
  std::string information_;
  char proposedLetter_ = 0;
  RitomaGetInfoFn getInfo_ = nullptr;
  RitomaInitDLLFn initDll_ = nullptr;
  RitomaSetOptionFn setOption_ = nullptr;
  RitomaExecMacroFn execMacro_ = nullptr;
  RitomaEndDLLFn endDll_ = nullptr;
};

}  // namespace ritoma
