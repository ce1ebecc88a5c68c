#include "settings/FilesScript.h"

namespace ritoma {

namespace {

// The first two lines, by which the dialog knows its own script again.
constexpr std::string_view Header =
    "#!/bin/sh\n"
    "# Ritoma: written by its 環境設定 (「送る」 ﾒﾆｭｰに追加), removed when that box is unticked.\n";

// `text` in single quotes for the shell, a "'" written as '\''.
std::string shellQuoted(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

}  // namespace

std::string FilesScript::text(std::string_view executable) {
  // URIs hold no line break (it would be escaped), so splitting at line
  // breaks alone, without file-name patterns, gives them back one by one;
  // remote places arrive as URIs too and are refused by the program. Caja
  // and Nemo run the same script from their own scripts folders with their
  // own variable.
  return std::string(Header) +
         "IFS='\n"
         "'\n"
         "set -f\n"
         "exec " + shellQuoted(executable) +
         " ${NAUTILUS_SCRIPT_SELECTED_URIS:-${CAJA_SCRIPT_SELECTED_URIS:-$NEMO_SCRIPT_SELECTED_URIS}}\n";
}

bool FilesScript::isOurs(std::string_view fileText) { return fileText.starts_with(Header); }

}  // namespace ritoma
