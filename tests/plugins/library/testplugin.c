/*
 * A plug-in for the host's tests, built in several variants by the
 * definitions below. ExecMacro answers
 * "<name>[<option>]u<useCount>p<passNumber>:<currentName>|<folder>|<listedName>|<inArchive><hasKey>".
 * When RITOMA_TEST_PLUGIN_LOG names a file, InitDLL and EndDLL append a line
 * to it.
 *
 *   TP_NAME, TP_LETTER   what GetInfo answers (default "Test", 'T')
 *   TP_MAGIC             GetInfo's result (default 1410)
 *   TP_DECORATED_ALL     every entry point only as "_Name"
 *   TP_DECORATED_SOME    GetInfo and ExecMacro only as "_Name"
 *   TP_NO_ENDDLL         no EndDLL at all
 *   TP_NULL              SetOption and ExecMacro return NULL
 *   TP_NO_NUL            GetInfo fills both 64-byte buffers without a NUL
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "ritoma_plugin.h"

#ifndef TP_NAME
#define TP_NAME "Test"
#endif
#ifndef TP_LETTER
#define TP_LETTER 'T'
#endif
#ifndef TP_MAGIC
#define TP_MAGIC RITOMA_PLUGIN_MAGIC
#endif

#define VISIBLE __attribute__((visibility("default")))
#if defined(TP_DECORATED_ALL)
#define NAME_OF(plain, decorated) __asm__(decorated)
#define NAME_OF_SOME(plain, decorated) __asm__(decorated)
#elif defined(TP_DECORATED_SOME)
#define NAME_OF(plain, decorated) __asm__(plain)
#define NAME_OF_SOME(plain, decorated) __asm__(decorated)
#else
#define NAME_OF(plain, decorated) __asm__(plain)
#define NAME_OF_SOME(plain, decorated) __asm__(plain)
#endif

static char result[1024];
static char letter = '?';

static void logLine(const char* text) {
  const char* path = getenv("RITOMA_TEST_PLUGIN_LOG");
  if (!path || !*path) return;
  FILE* f = fopen(path, "a");
  if (!f) return;
  fprintf(f, "%s\n", text);
  fclose(f);
}

VISIBLE int tpGetInfo(RitomaPluginInfo* info) NAME_OF_SOME("GetInfo", "_GetInfo");
VISIBLE int tpGetInfo(RitomaPluginInfo* info) {
#ifdef TP_NO_NUL
  memset(info->name, 'N', RITOMA_PLUGIN_TEXT_SIZE);
  memset(info->information, 'I', RITOMA_PLUGIN_TEXT_SIZE);
#else
  snprintf(info->name, RITOMA_PLUGIN_TEXT_SIZE, "%s", TP_NAME);
  snprintf(info->information, RITOMA_PLUGIN_TEXT_SIZE, "%s info", TP_NAME);
#endif
  info->letter = TP_LETTER;
  return TP_MAGIC;
}

VISIBLE void tpInitDLL(const RitomaPluginInit* init) NAME_OF("InitDLL", "_InitDLL");
VISIBLE void tpInitDLL(const RitomaPluginInit* init) {
  char line[1024];
  letter = init->letter;
  snprintf(line, sizeof line, "init %s %c %s %s %s", TP_NAME, init->letter, init->caption,
           init->section, init->settingsFile);
  logLine(line);
}

VISIBLE const char* tpSetOption(const RitomaPluginWindow* window) NAME_OF("SetOption", "_SetOption");
VISIBLE const char* tpSetOption(const RitomaPluginWindow* window) {
#ifdef TP_NULL
  (void)window;
  return NULL;
#else
  snprintf(result, sizeof result, "/x%c<%d,%d,%d,%d>", letter, window->left, window->top,
           window->width, window->height);
  return result;
#endif
}

VISIBLE const char* tpExecMacro(const ExecMacroInfo* call) NAME_OF_SOME("ExecMacro", "_ExecMacro");
VISIBLE const char* tpExecMacro(const ExecMacroInfo* call) {
#ifdef TP_NULL
  (void)call;
  result[0] = '\0';
  return NULL;
#else
  snprintf(result, sizeof result, "%s[%s]u%dp%d:%s|%s|%s|%d%d", TP_NAME, call->option,
           (int)call->useCount, (int)call->passNumber, call->currentName, call->folder,
           call->listedName, call->inArchive, call->hasKey);
  return result;
#endif
}

#ifndef TP_NO_ENDDLL
VISIBLE void tpEndDLL(void) NAME_OF("EndDLL", "_EndDLL");
VISIBLE void tpEndDLL(void) {
  char line[128];
  snprintf(line, sizeof line, "end %s", TP_NAME);
  logLine(line);
}
#endif
