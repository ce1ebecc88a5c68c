#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// The option controls of page 属性; the settings file keeps them in the
// section "Rename".
// Texts are code page 932. Force change and copy are never on together.
struct RunOptions {
  static constexpr int MaxHistory = 20;

  bool force = false;          // "強制変更": rename in place through temporary names
  std::string marker = "@";    // temporary name = marker + old name
  bool copy = false;           // "ｺﾋﾟｰ": copy under the new names instead of renaming
  std::string copyPath;        // copy folder; empty means the current folder
  std::vector<std::string> copyHistory;  // most recent first
  bool dummy = false;          // write dummy files instead of copies
  bool ignoreErrors = false;   // "ｴﾗｰ無視": run the unmarked rows of a failed copy check

  // Why `marker` cannot start temporary names, as a message (UTF-8); empty
  // when it can. A marker must itself pass the rename check as a name on
  // disk: no "/" (so no temporary name leaves the folder), no NUL, not "."
  // or "..", nothing the check forbids.
  static std::string markerError(const std::string& marker);

  // The name a file has between the two rename passes of force change: the
  // marker followed by its old name. The check measures and compares it,
  // the run moves the file there and its journal records it.
  std::string temporaryName(std::string_view oldName) const;

  // Puts `entry` at the top of the copy folder history; an entry equal
  // without regard to case moves there; at most MaxHistory entries.
  void addToHistory(const std::string& entry);
};

}  // namespace ritoma
