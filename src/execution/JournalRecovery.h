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
// recorded times and attributes again. Archive runs: when the backup still
// exists, it replaces whatever the run left under the archive's name.
//
// Every step can be interrupted and run again: the journal is removed only
// once every row is back.
class JournalRecovery {
public:
  // Asked before a recovery, in the window at start-up and by the command line.
  static constexpr const char* Question = "前回の処理が中断されています\n元に戻しますか？";

  enum class Load {
    None,     // no journal is pending
    Ok,
    Damaged,  // not a journal this program wrote; nothing is changed
  };

  JournalRecovery(FileSystem& fs, std::string journalPath);

  // Reads the journal. Damaged and unreadable journals stay where they
  // are; error() names the file.
  Load load();
  // Puts every row back; true when all of them are, the journal then being
  // removed. Rows that are not back are kept in the journal for a later
  // try, or named in error().
  bool recover();

  const JournalData& data() const { return data_; }
  // After recover(): whether each row of data().rows is back under its old name.
  const std::vector<bool>& rowsBack() const { return back_; }
  // The folder the recovered files are in (raw disk path, no trailing "/"
  // except for the root).
  std::string folder() const;
  const std::string& error() const { return error_; }
  const std::string& path() const { return path_; }

  // A journal larger than this is refused as damaged, unread.
  static constexpr std::uint64_t MaxSize = std::uint64_t{1} << 30;

private:
  bool recoverFolder();
  bool recoverArchive();
  bool removeJournal();

  FileSystem& fs_;
  std::string path_;
  JournalData data_;
  std::vector<bool> back_;
  std::string error_;
};

}  // namespace ritoma
