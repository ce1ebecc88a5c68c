#pragma once

#include "ritoma_plugin.h"

// The five C entry points of a metadata plug-in, each forwarding to the one
// instance of MACRO_CLASS (a MetadataMacro). Written once in the plug-in's
// own source file, at global scope:
//
//   RITOMA_METADATA_ENTRY_POINTS(ritoma::metadata::ExifMacro)
//
// No C++ exception crosses the C interface: the macro class catches its
// own, and GetInfo, which constructs the instance, answers 0 (not a
// plug-in) if that fails.
#define RITOMA_METADATA_ENTRY_POINTS(MACRO_CLASS) \
  namespace { \
  MACRO_CLASS& metadataMacro() { \
    static MACRO_CLASS instance; \
    return instance; \
  } \
  } \
  extern "C" { \
  RITOMA_PLUGIN_EXPORT int GetInfo(RitomaPluginInfo* info) { \
    try { \
      return metadataMacro().getInfo(info); \
    } catch (...) { \
      return 0; \
    } \
  } \
  RITOMA_PLUGIN_EXPORT void InitDLL(const RitomaPluginInit* init) { metadataMacro().initDll(init); } \
  RITOMA_PLUGIN_EXPORT const char* SetOption(const RitomaPluginWindow* window) { \
    return metadataMacro().setOption(window); \
  } \
  RITOMA_PLUGIN_EXPORT const char* ExecMacro(const ExecMacroInfo* call) { return metadataMacro().execMacro(call); } \
  RITOMA_PLUGIN_EXPORT void EndDLL(void) { metadataMacro().endDll(); } \
  }
