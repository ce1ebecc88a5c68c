#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "execution/JournalFile.h"
#include "platform/FileSystem.h"

namespace ritoma {

// Puts back what an interrupted run left, from its crash journal.
//
// Folder runs: the renames are undone in the reverse of the run's order,
// first those to the new names, then those to the temporary names. Which
// name a file has is read from the disk, so a rename the journal had not yet
// recorded is found as well, and a row already back is left alone. Then,
// when the run had reached its time or attribute stage, every file gets the
// recorded times and attributes again. Archive runs: the backup goes back
// under the archive's name; what the run left there is removed only when
// the journal records that the run created it, and otherwise both files
// stay and are named.
//
// A folder run put back leaves the undo history as it was before the run:
// the record its run put on top goes again, and a record an undo run had
// taken out comes back as the latest.
//
// Only what this program can have written is accepted: rows that are plain
// names in the recorded folder, none of them one of the program's own files
// beside the journal, and an archive's backup under the backup naming beside
// it. No file is ever replaced. Every step can be interrupted and run again:
// the journal is removed only once every row is back.
class JournalRecovery {
public:
  // Asked before discard() in the window.
  static constexpr const char* DiscardQuestion =
      "中断された処理の記録を破棄しますか？\n（記録は日付を付けた名前で残ります）";

  enum class Load {
    None,     // no journal is pending
    Ok,
    Damaged,  // not a journal this program wrote; nothing is changed
  };

  JournalRecovery(FileSystem& fs, std::string journalPath);

  // Reads the journal. Damaged and unreadable journals stay where they
  // are; error() names the file.
  Load load();
  // The question asked before a recovery (after a successful load): the
  // folder or archive, and the number of files.
  std::string question() const;
  // Puts every row back; true when all of them are, the journal then being
  // removed. Rows that are not back are kept in the journal for a later
  // try, or named in error().
  bool recover();
  // After recover(): what was put back and what could not be.
  std::string summary() const;
  // Gives up a journal that cannot finish (damaged, or rows that cannot be
  // put back): it is kept under a dated name beside it (setAsidePath()),
  // and nothing else changes. False, with error(), when it cannot be moved.
  bool discard();
  // Removes what a killed run left beside the journal (see
  // OwnFiles::removeLeftovers); only to be called when no run is under way.
  void removeLeftovers();

  const JournalData& data() const { return data_; }
  // After recover(): whether each row of data().rows is back under its old name.
  const std::vector<bool>& rowsBack() const { return back_; }
  // The folder the recovered files are in (raw disk path, no trailing "/"
  // except for the root).
  std::string folder() const;
  const std::string& error() const { return error_; }
  const std::string& path() const { return path_; }
  const std::string& setAsidePath() const { return setAside_; }

  // A journal larger than this is refused as damaged, unread.
  static constexpr std::uint64_t MaxSize = std::uint64_t{1} << 30;

private:
  bool acceptable() const;
  bool recoverFolder();
  bool recoverArchive();
  void settleUndoHistory();
  bool removeJournal();

  FileSystem& fs_;
  std::string path_;
  JournalData data_;
  std::vector<bool> back_;
  std::string error_;
  std::string setAside_;
};

}  // namespace ritoma
