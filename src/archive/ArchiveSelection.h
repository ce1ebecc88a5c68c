#pragma once

#include <string>

#include "archive/ArcInfo.h"
#include "archive/ArchiveLibraries.h"
#include "selection/FileEntry.h"
#include "selection/SelectionList.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// The selection list of an open archive: one row per listed entry.
class ArchiveSelection {
public:
  // Rebuilds `list` from the entries of the archive at `archivePath` (a
  // disk path) in archive order, then sorts it by name. Progress opens with
  // "ファイル取得中…" and the entry count when `greetThreshold` > 0 and the
  // count reaches it. An archive that cannot be read leaves the list empty
  // and returns false with `error` set.
  static bool buildSelectionList(ArchiveLibraries& libraries, ArcKind kind,
                                 const std::string& archivePath, bool checkNewFiles,
                                 SelectionList& list, ProgressSink& progress, int greetThreshold,
                                 std::string* error = nullptr);

  // One row: directory entries (a name ending in "/" or "\") are unchecked
  // folder rows; stored files are checked when `checkNewFiles`.
  static FileEntry entryOf(const ArcInfo& info, bool checkNewFiles);
  // "yyyy/mm/dd hh:mm:ss" of a packed DOS date and time, as stored.
  static std::string dosText(std::uint16_t date, std::uint16_t time);
};

}  // namespace ritoma
