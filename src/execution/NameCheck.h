#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "archive/ArcInfo.h"
#include "selection/EditList.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// The rename check run by "属性 >>" on the final new names of a batch:
// forbidden characters, names the file system cannot take, and duplicates
// without regard to letter case.
class NameCheck {
public:
  // The longest name the undo file's 16-bit lengths can record.
  static constexpr std::size_t MaxNameBytes = 65535;
  // Longest name a Linux file system takes, in bytes on disk.
  static constexpr std::size_t MaxDiskNameBytes = 255;

  struct Result {
    // Set when the batch cannot be handled at all (a name too long to
    // record); UTF-8 display text. Nothing else is filled then.
    std::string refusal;
    std::vector<std::string> errors;  // one text per row, code page 932, empty when clear
    int errorCount = 0;
    bool passed() const { return refusal.empty() && errorCount == 0; }
    // "ﾁｪｯｸ … ｴﾗｰ" + count + "件", code page 932.
    std::string caption() const;
  };

  // `folderMode` adds "\" and "/" to the forbidden characters and the file
  // system's own limits. Outside it (names inside an archive) a name is a
  // path of components separated by "/" or "\" (not a trail byte): it may
  // not start at the root, end in a separator, or hold an empty, "." or
  // ".." component. Row i goes
  // into a header that stores code page 932 when `storedAsCodePage[i]` is
  // set, and each of its characters needs a code there (one-way codes such
  // as 〜 U+301C count); the other rows are stored as UTF-8. With `lzhPaths`
  // the names are paths inside an LZH archive, where "\" and "/" are the same
  // separator: "a\b" and "a/B" are duplicates. The progress window opens when
  // `greet3` > 0 and the batch has at least that many rows.
  static Result check(const std::vector<std::string>& newNames, bool folderMode,
                      ProgressSink& progress, int greet3,
                      const std::vector<bool>& storedAsCodePage = {}, bool lzhPaths = false);

  // The verdict of the check on one name, without duplicates: the error
  // text (code page 932), empty when the name passes.
  static std::string nameError(const std::string& name, bool folderMode);

  // Runs the check on the edit list's last stage (rename mode only), with
  // the rows' EditRow::storedAsCodePage, and sets or removes its error
  // column; a row whose entry is a device, a pipe or a socket is an error
  // too. Outside folder mode a row of a directory entry keeps the separator
  // that ends its name, and, given the archive's `archiveEntries` as listed,
  // a renamed row may neither take the path of a folder of the archive nor
  // lie in a folder that is a stored file. The refusal leaves the list
  // unchanged. With `inOwnFolder` (the batch's folder is the program's
  // settings folder) the names of the program's own files there are
  // refused too.
  static Result checkEditList(EditList& list, bool folderMode, ProgressSink& progress, int greet3,
                              bool lzhPaths = false,
                              const std::vector<ArcInfo>* archiveEntries = nullptr,
                              bool inOwnFolder = false);
};

}  // namespace ritoma
