#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace ritoma {

// The files the program keeps in its settings folder: the settings file,
// the undo records (the latest and the older ones, see UndoHistory), the
// crash journal, and the temporary files each of them is written through
// (its name + ".tmp" + digits). Names are disk bytes.
class OwnFiles {
public:
  // Whether `name` is one of those files, letter case ignored: a folder
  // that ignores case holds them under any spelling.
  static bool isOwnName(std::string_view name);
  // Whether two disk paths of folders are spelled alike, a trailing "/"
  // aside.
  static bool sameFolder(std::string_view a, std::string_view b);
  // Whether a new undo record may take the place of what is at `path`:
  // nothing, or a file that begins as an undo record does.
  static bool mayReplaceUndoRecord(FileSystem& fs, const std::string& path);
  // Removes from `folder` the temporary files of the undo record and the
  // journal that a killed run left, and an undo record set aside by an undo
  // run: only files with such a name whose content begins as the program
  // writes it. `keep` (a running batch's own
  // temporary file) stays. Returns the paths removed.
  static std::vector<std::string> removeLeftovers(FileSystem& fs, const std::string& folder,
                                                  const std::string& keep = {});
};

}  // namespace ritoma
