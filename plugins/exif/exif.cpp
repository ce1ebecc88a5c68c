// exif - the photo macro of Ritoma ("/xE" by default): a field of a photo's
// Exif, IPTC or XMP metadata ("/xE<date,%Y%m%d_%H%M%S>", "/xE<model,,unknown>").
#include "ExifMacro.h"
#include "ritoma_plugin.h"

namespace {

ritoma::metadata::ExifMacro& macro() {
  static ritoma::metadata::ExifMacro instance;
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
