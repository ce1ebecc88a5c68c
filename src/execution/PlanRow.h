#pragma once

#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

namespace ritoma {

// Mark of a plan row, drawn as an overlay on its image. The execution skips
// every row whose mark is not MarkNone.
enum RowMark : int {
  MarkNone = -1,
  MarkBlocked = 0,     // the new name is still held by a later row (current or temporary name)
  MarkExists = 1,      // the new name exists outside the batch
  MarkTempExists = 2,  // the temporary name (marker + old name) already exists
  MarkFailed = 3,      // the operation of this row failed
  // The temporary name (marker + old name) is longer than a name on disk
  // may be (NameCheck::MaxDiskNameBytes).
  MarkTempTooLong = 4,
  // The row's rebuilt LZH header is larger than its 16-bit size can tell.
  MarkHeaderTooLong = 5,
};

// What a failed run left of a row; a row of a successful run is done, and
// so is one of a plan that did not run.
enum class RowOutcome : std::uint8_t {
  NotRun,         // the run ended before it changed the row
  RolledBack,     // changed by the run and put back as it was
  NotRolledBack,  // changed by the run and not put back
  CopyLeft,       // its copy or dummy file stays in the copy folder
};

// One row of the plan list (page 属性). Names and texts are code page 932.
// Time texts are "yyyy/mm/dd hh:mm:ss" in local time, attribute texts four
// characters in the order S, H, R, A with "-" for a clear bit. An empty
// `created` marks a folder row (or an archive row). The orig* fields keep
// a file row's values as listed, for the roll-back and the undo file; they
// are kept as numbers, since a batch of a million rows holds them all.
struct PlanRow {
  int image = 0;  // 0 file, 1 folder, 2 archive directory entry
  RowMark mark = MarkNone;
  std::string oldName;
  std::string newName;
  std::string created;
  std::string modified;
  std::string accessed;
  std::string attrs;
  FileTime origCreated = 0;
  FileTime origModified = 0;
  FileTime origAccessed = 0;
  std::uint32_t origAttrs = 0;  // the S, H, R and A bits (AttributeText)
  // An archive entry whose header stores code page 932 (EditRow::storedAsCodePage).
  bool storedAsCodePage = false;
  RowOutcome outcome = RowOutcome::NotRun;
  // The archive entry the row renames, by its position in the listing the
  // batch was built from (FileEntry::archiveIndex); -1 outside archives.
  std::int64_t archiveIndex = -1;

  bool isFolderRow() const { return created.empty(); }
};

}  // namespace ritoma
