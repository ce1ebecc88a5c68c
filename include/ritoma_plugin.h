/*
 * ritoma_plugin.h - the interface between Ritoma and an extension-macro
 * plug-in. This header is the whole contract: a plug-in includes it, is
 * built as a shared object ("*.so") and exports the five entry points below
 * with C linkage.
 *
 * What a plug-in does
 *   A plug-in adds one macro to the conversion template. The user puts it
 *   in service in the dialog "拡張ﾏｸﾛ設定" and binds it to a command letter
 *   'A'-'Z'. In a template, "/x" followed by that letter (for example
 *   "/xC", or "/xC<option>" with an option text, as the built-in macros
 *   take theirs) calls ExecMacro once per row, and the text it returns
 *   takes the element's place in the new name.
 *
 * Where plug-ins are found, in this order
 *   1. the folder of the ritoma executable;
 *   2. lib/ritoma/plugins of the tree ritoma is installed in
 *      (/usr/lib/ritoma/plugins for /usr/bin/ritoma);
 *   3. $XDG_DATA_HOME/ritoma/plugins (~/.local/share/ritoma/plugins).
 *   The settings file keeps the file name only; the first folder holding
 *   it wins.
 *
 * Texts
 *   Every text is NUL-terminated, in code page 932 (Shift_JIS). Texts the
 *   host passes are valid only during the call that receives them. A text
 *   a plug-in returns stays the plug-in's memory: the host copies it at
 *   once, so a static buffer reused on the next call is fine. Return NULL
 *   for "nothing".
 *
 * Records
 *   All records are byte-packed, fields in the order below, with the
 *   platform's own pointer size. Always use these declarations instead of
 *   computing offsets by hand.
 *
 * Lifetime, as the host calls it
 *   GetInfo    when the library is loaded (at start-up for every plug-in in
 *              service, and for every candidate when the dialog opens); it
 *              must answer RITOMA_PLUGIN_MAGIC, or the library is unloaded
 *              and skipped.
 *   InitDLL    once, when the plug-in is put into service with its letter.
 *   ExecMacro  for every "/x" + letter element of every row, in preview
 *              (passNumber 0) and in a conversion pass (passNumber 1, 2,
 *              ...).
 *   SetOption  when the user presses "+" beside the template field while
 *              the macro drop-down shows this plug-in; the text returned is
 *              inserted at the caret (typically "/xL" plus an option).
 *   EndDLL     when the plug-in is taken out of service (the dialog opens,
 *              the program ends); the library is unloaded right after.
 *   A library the dialog loads as a candidate but that the user leaves
 *   unticked is unloaded without InitDLL or EndDLL.
 *
 * Settings
 *   A plug-in may keep its own settings in the host's settings file, in the
 *   section InitDLL names ("MacroEx" + letter). The host erases that
 *   section when the user withdraws the plug-in in the dialog. The file is
 *   an INI file in UTF-8.
 *
 * Calls come from one thread at a time. A plug-in that crashes takes the
 * program with it: check every pointer you are given for NULL.
 */
#ifndef RITOMA_PLUGIN_H
#define RITOMA_PLUGIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The value GetInfo answers to mark a valid plug-in. */
#define RITOMA_PLUGIN_MAGIC 1410

/* Size of each buffer GetInfo writes into, NUL included. The host reads no
 * more than this even when no NUL is written. */
#define RITOMA_PLUGIN_TEXT_SIZE 64

/* Put before each entry point's definition. */
#if defined(_WIN32)
#define RITOMA_PLUGIN_EXPORT __declspec(dllexport)
#else
#define RITOMA_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

#pragma pack(push, 1)

/* Filled by GetInfo. */
typedef struct RitomaPluginInfo {
  /* Host buffer of RITOMA_PLUGIN_TEXT_SIZE bytes: the macro's name, shown
   * in the macro drop-down as name + "(/x" + letter + ")". */
  char* name;
  /* The command letter the plug-in proposes, 'A'-'Z'; the user may choose
   * another. */
  char letter;
  /* Host buffer of RITOMA_PLUGIN_TEXT_SIZE bytes: a line of information
   * shown in the dialog's "ﾏｸﾛ情報" column. */
  char* information;
} RitomaPluginInfo;

/* Passed to InitDLL. The three texts are valid only during the call. */
typedef struct RitomaPluginInit {
  void* window;               /* the main window, as an opaque handle */
  char letter;                /* the command letter bound to the plug-in */
  const char* caption;        /* name + "(/x" + letter + ")" */
  const char* settingsFile;   /* full path of the host's settings file */
  const char* section;        /* the plug-in's own section, "MacroEx" + letter */
} RitomaPluginInit;

/* Passed to SetOption: the main window's place and size, in pixels. */
typedef struct RitomaPluginWindow {
  int16_t left;
  int16_t top;
  int16_t width;
  int16_t height;
} RitomaPluginWindow;

/* Passed to ExecMacro, refilled before every call. The texts stay valid
 * until the call returns. */
typedef struct ExecMacroInfo {
  const char* option;       /* option text of this /x element, "" when none */
  const char* folder;       /* the current folder */
  const char* listedName;   /* in an archive: the archive's file name;
                               otherwise the row's full name as selected */
  const char* currentName;  /* the row's name before this conversion stage */
  char inArchive;           /* 1 while an archive's entries are listed */
  char hasKey;              /* 1 when the row carries the key mark */
  int32_t passNumber;       /* 0 in preview; 1, 2, ... for the rows of a pass */
  int32_t useCount;         /* calls of this plug-in for the current row,
                               this one included (1 on the first) */
} ExecMacroInfo;

#pragma pack(pop)

/* The five entry points. The host looks each up by these plain names, then
 * by the decorated names "_GetInfo@4", "_InitDLL@4", "_SetOption@4",
 * "_ExecMacro@4", "_EndDLL@0", and then by those names without "@n"
 * ("_GetInfo", ...), since ELF linkers read "@" as a symbol version. A
 * library lacking one of the five is not a plug-in. */
typedef int (*RitomaGetInfoFn)(RitomaPluginInfo* info);
typedef void (*RitomaInitDLLFn)(const RitomaPluginInit* init);
typedef const char* (*RitomaSetOptionFn)(const RitomaPluginWindow* window);
typedef const char* (*RitomaExecMacroFn)(const ExecMacroInfo* call);
typedef void (*RitomaEndDLLFn)(void);

RITOMA_PLUGIN_EXPORT int GetInfo(RitomaPluginInfo* info);
RITOMA_PLUGIN_EXPORT void InitDLL(const RitomaPluginInit* init);
RITOMA_PLUGIN_EXPORT const char* SetOption(const RitomaPluginWindow* window);
RITOMA_PLUGIN_EXPORT const char* ExecMacro(const ExecMacroInfo* call);
RITOMA_PLUGIN_EXPORT void EndDLL(void);

#ifdef __cplusplus
}
#endif

#endif /* RITOMA_PLUGIN_H */
