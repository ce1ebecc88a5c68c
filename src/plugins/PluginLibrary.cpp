#include "plugins/PluginLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstring>

namespace ritoma {

namespace {

// Longest text taken from a plug-in's return. Longer than any name the
// rename check accepts, so an overlong result is refused there instead of
// being cut here.
constexpr std::size_t kMaxReturnedText = 65536;

// The plain name, then the decorated one. An ELF linker reads "@" in a
// symbol name as a version, so the decorated name is also tried without its
// "@n" suffix ("_GetInfo"), the form such a plug-in can export.
void* entryPoint(void* handle, const char* plain, const std::string& decorated) {
  if (void* p = dlsym(handle, plain)) return p;
  if (void* p = dlsym(handle, decorated.c_str())) return p;
  return dlsym(handle, decorated.substr(0, decorated.find('@')).c_str());
}

std::optional<std::string> copyReturned(const char* text) {
  if (!text) return std::nullopt;
  return std::string(text, strnlen(text, kMaxReturnedText));
}

}  // namespace

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::string& path, std::string& why) {
  // dlopen reads whatever the path names: a FIFO or a device would block
  // it for good, so only a regular file (or a link to one) is opened.
  struct stat st{};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    why = "読み込めません: " + path + " は通常のファイルではありません";
    return nullptr;
  }
  dlerror();
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* err = dlerror();
    why = std::string("読み込めません: ") + (err ? err : path.c_str());
    return nullptr;
  }
  std::unique_ptr<PluginLibrary> lib(new PluginLibrary(handle, path));
  struct Entry {
    const char* plain;
    const char* decorated;
    void** slot;
  };
  const Entry entries[] = {
      {"GetInfo", "_GetInfo@4", reinterpret_cast<void**>(&lib->getInfo_)},
      {"InitDLL", "_InitDLL@4", reinterpret_cast<void**>(&lib->initDll_)},
      {"SetOption", "_SetOption@4", reinterpret_cast<void**>(&lib->setOption_)},
      {"ExecMacro", "_ExecMacro@4", reinterpret_cast<void**>(&lib->execMacro_)},
      {"EndDLL", "_EndDLL@0", reinterpret_cast<void**>(&lib->endDll_)},
  };
  for (const Entry& e : entries) {
    *e.slot = entryPoint(handle, e.plain, e.decorated);
    if (!*e.slot) {
      why = std::string("入口 ") + e.plain + " がありません";
      return nullptr;
    }
  }
  // One byte more than the plug-in may use, always NUL: a plug-in that
  // fills all 64 bytes without a terminator is still read as 64 bytes.
  char name[RITOMA_PLUGIN_TEXT_SIZE + 1] = {};
  char information[RITOMA_PLUGIN_TEXT_SIZE + 1] = {};
  RitomaPluginInfo info{name, 0, information};
  const int answer = lib->getInfo_(&info);
  if (answer != RITOMA_PLUGIN_MAGIC) {
    why = "GetInfo が " + std::to_string(answer) + " を返しました (1410 ではありません)";
    return nullptr;
  }
  lib->name_.assign(name, strnlen(name, RITOMA_PLUGIN_TEXT_SIZE));
  lib->information_.assign(information, strnlen(information, RITOMA_PLUGIN_TEXT_SIZE));
  lib->proposedLetter_ = info.letter;
  return lib;
}

PluginLibrary::~PluginLibrary() { dlclose(handle_); }

std::optional<std::string> PluginLibrary::setOption(const RitomaPluginWindow& window) const {
  return copyReturned(setOption_(&window));
}

std::optional<std::string> PluginLibrary::execMacro(const ExecMacroInfo& call) const {
  return copyReturned(execMacro_(&call));
}

}  // namespace ritoma
