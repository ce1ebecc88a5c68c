/*
 * charcount - a sample extension macro for Ritoma.
 *
 * "/xC" inserts the number of characters of the row's name before the
 * conversion stage, extension included (a double-byte character counts as
 * one). An option
 * gives the least number of digits, padded with zeros: "/xC<3>" turns a
 * seven-character name into "007".
 *
 * Built from ritoma_plugin.h alone, to show what a plug-in needs.
 */
#include <stdio.h>
#include <string.h>

#include "ritoma_plugin.h"

/* The texts returned stay ours; the host copies them at once. */
static char result[32];
static char option[16];

/* The letter the user bound us to; the "+" button inserts a whole macro. */
static char letter = 'C';

static int isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

static int countCharacters(const char* text) {
  int count = 0;
  for (const unsigned char* p = (const unsigned char*)text; *p; ++p, ++count) {
    if (isLeadByte(*p) && p[1]) ++p;
  }
  return count;
}

/* A width of 0-9 digits from the option text; anything else means none. */
static int widthFrom(const char* option) {
  if (option && option[0] >= '0' && option[0] <= '9' && option[1] == '\0') return option[0] - '0';
  return 0;
}

RITOMA_PLUGIN_EXPORT int GetInfo(RitomaPluginInfo* info) {
  if (!info) return 0;
  /* Texts are in code page 932: "文字数" and
     "名前の文字数（拡張子を含む）: <n>でn桁に0埋め". */
  snprintf(info->name, RITOMA_PLUGIN_TEXT_SIZE, "%s", "\x95\xb6\x8e\x9a\x90\x94");
  info->letter = 'C';
  snprintf(info->information, RITOMA_PLUGIN_TEXT_SIZE, "%s",
           "\x96\xbc\x91\x4f\x82\xcc\x95\xb6\x8e\x9a\x90\x94\x81\x69\x8a\x67\x92\xa3\x8e\x71\x82\xf0\x8a\xdc\x82\xde"
           "\x81\x6a: <n>\x82\xc5n\x8c\x85\x82\xc9" "0\x96\x84\x82\xdf");
  return RITOMA_PLUGIN_MAGIC;
}

RITOMA_PLUGIN_EXPORT void InitDLL(const RitomaPluginInit* init) {
  if (init) letter = init->letter;
}

RITOMA_PLUGIN_EXPORT const char* SetOption(const RitomaPluginWindow* window) {
  (void)window;
  snprintf(option, sizeof option, "/x%c<3>", letter);
  return option;
}

RITOMA_PLUGIN_EXPORT const char* ExecMacro(const ExecMacroInfo* call) {
  if (!call || !call->currentName) return NULL;
  snprintf(result, sizeof result, "%0*d", widthFrom(call->option), countCharacters(call->currentName));
  return result;
}

RITOMA_PLUGIN_EXPORT void EndDLL(void) {}
