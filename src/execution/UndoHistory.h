#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "execution/UndoFile.h"
#include "platform/FileSystem.h"

namespace ritoma {

// The undo records of the last batches, in the folder of the latest one.
// The latest keeps its place and layout ("Ritoma.und"); the one before it
// is "Ritoma.und.1", and so on back to "Ritoma.und.9". A record set aside
// by the undo run that reverses it waits as "Ritoma.und.undone" until that
// run is over.
//
// Records only ever move by renames that replace nothing, one at a time in
// an order that keeps them in sequence: an interrupted rotation leaves every
// record readable and in order, at worst with a place empty between two of
// them (or at the latest's), which compact() closes. Only files that begin
// as an undo record are moved or removed; a place holding anything else
// ends the history there, and stays as it is.
class UndoHistory {
public:
  static constexpr std::size_t MaxRecords = 10;
  // The records together: twice the largest record UNDO reads, so that the
  // record before a new one of any readable size stays. Beyond it the
  // oldest go first.
  static constexpr std::uint64_t MaxTotalSize = std::uint64_t{2} << 30;
  static constexpr std::string_view SetAsideSuffix = ".undone";

  // `latestPath`: where the latest record lives ("…/Ritoma.und").
  UndoHistory(FileSystem& fs, std::string latestPath);

  // Whether `name` is one of the names of older or set-aside records
  // ("Ritoma.und.1" to "Ritoma.und.9", "Ritoma.und.undone"), letter case
  // ignored. The latest's own name is not among them.
  static bool isOlderRecordName(std::string_view name);
  // A value that tells the bytes of one record from those of another.
  static std::uint64_t digest(std::string_view bytes);

  // The place of the record `age` batches before the latest (0: the latest).
  std::string pathOf(std::size_t age) const;
  std::string setAsidePath() const;

  struct Entry {
    std::string path;
    std::uint64_t size = 0;
    FileTime written = 0;  // when the run that made it ended
  };
  // The records kept, latest first; empty places are passed over.
  std::vector<Entry> entries();

  // Moves the records down over the empty places an interrupted rotation
  // left, so that the latest is at its place again. Stops at the first
  // failure, every record still in order.
  std::error_code compact();
  // Makes the complete record at `temp` (in the same folder) the latest;
  // the others move back one place, and the oldest beyond MaxRecords or
  // MaxTotalSize are removed. On failure `temp` stays where it is.
  std::error_code push(const std::string& temp);
  // Removes the latest record; the one before it becomes the latest.
  std::error_code dropLatest();

  enum class SetAside { Done, Changed, Failed };
  // The undo run of the latest record is over: the record is set aside
  // and the one before it becomes the latest. Changed, touching nothing,
  // when the latest is no longer the record of `digest` (another run
  // recorded a batch since).
  SetAside setLatestAside(std::uint64_t digest);
  // Removes the record setLatestAside put aside, once its run has ended.
  void dropSetAside();
  // Puts a record set aside back as the latest, when the run that reversed
  // it was put back after all. Nothing when there is none.
  std::error_code restoreSetAside();

private:
  // Whether `path` holds a file that begins as an undo record; `other`
  // tells whether it holds anything else.
  bool isRecord(const std::string& path, bool& other, FileInfo* found = nullptr);
  struct Place {
    std::size_t age = 0;
    std::uint64_t size = 0;
    FileTime written = 0;
  };
  // The places 0 to MaxRecords - 1 holding records, up to the first that
  // holds something else; `capacity` is that place or MaxRecords.
  std::vector<Place> scan(std::size_t& capacity);
  // compact(), leaving in `places` the records where it put them.
  std::error_code compact(std::vector<Place>& places, std::size_t& capacity);
  // Places the file at `from` as the latest, the others moved back.
  std::error_code pushFile(const std::string& from, std::uint64_t size);

  FileSystem& fs_;
  std::string latest_;
  std::string folder_;
};

}  // namespace ritoma
