// audio - the audio macro of Ritoma ("/xM" by default): a tag of a song
// ("/xM<track,2> - /xM<title>", "/xM<artist,,unknown>").
#include "AudioMacro.h"
#include "ritoma_plugin.h"

namespace {

ritoma::metadata::AudioMacro& macro() {
  static ritoma::metadata::AudioMacro instance;
  return instance;
}

}  // namespace

extern "C" {

RITOMA_PLUGIN_EXPORT int GetInfo(RitomaPluginInfo* info) {
  try {
    return macro().getInfo(info);
  } catch (...) {
    return 0;
  }
}

RITOMA_PLUGIN_EXPORT void InitDLL(const RitomaPluginInit* init) { macro().initDll(init); }
RITOMA_PLUGIN_EXPORT const char* SetOption(const RitomaPluginWindow* window) { return macro().setOption(window); }
RITOMA_PLUGIN_EXPORT const char* ExecMacro(const ExecMacroInfo* call) { return macro().execMacro(call); }
RITOMA_PLUGIN_EXPORT void EndDLL(void) { macro().endDll(); }

}
