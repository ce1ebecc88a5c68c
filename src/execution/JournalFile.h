#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>


namespace ritoma {

// The stages of an in-place folder run, in the order they run.
enum class JournalStage : std::uint8_t {
  TempNames = 1,   // old name -> temporary name (force change)
  Renames = 2,     // (temporary or old) name -> new name
  Times = 3,
  Attributes = 4,
};

// One row of a journaled run. Folder runs: raw disk names inside the
// folder, and a file's listed times and attributes before the run (the
// plan's texts, as the roll-back uses them). Archive runs: the entry names,
// kept for display only.
struct JournalRow {
  std::string oldName;
  std::string tempName;  // empty unless the run used temporary names
  std::string newName;
  bool isFile = true;    // folders carry no times and attributes
  std::string created;   // "yyyy/mm/dd hh:mm:ss", local time
  std::string modified;
  std::string accessed;
  std::uint32_t attributes = 0;  // R, H, S, A bits
};

// What a journal records: the run as planned (the header, written before
// the run touches anything) and the progress records appended as it goes.
struct JournalData {
  bool archive = false;
  std::string folder;       // folder run: absolute, with a trailing "/"
  std::string archivePath;  // archive run: the archive and its backup
  std::string backupPath;
  std::vector<JournalRow> rows;
  // Progress, indexed by JournalStage: whether the stage began, and how
  // many of its rows it had been recorded as done.
  std::array<bool, 5> started{};
  std::array<std::uint32_t, 5> done{};

  bool stageStarted(JournalStage stage) const { return started[static_cast<std::size_t>(stage)]; }
  // Archive run: the file under the archive's name is the one the run
  // created (recorded right after creating it).
  bool archiveWritten() const { return archive && stageStarted(JournalStage::Renames); }
};

// The crash journal "Ritoma.jnl" beside the undo file. Little-endian:
//
//   "RitomaJ1" | kind u8 (0 folder, 1 archive) | body | records ...
//
//   folder body:  folder (u16 length + bytes) | flags u8 (1: temporary
//                 names) | N u32 | N rows: old, temp, new (each u16 length
//                 + bytes) | kind u8 (0 folder, 1 file) | files: created,
//                 modified, accessed (each u8 length + text), attributes u32
//   archive body: archive path | backup path | N u32 | N rows: old, new
//   records:      'S' stage u8 (the stage began) | 'P' stage u8 done u32;
//                 an archive run's only record is 'S' 2: it created the new
//                 archive under the archive's name
//
// A record cut short at the end (a write the crash interrupted) is ignored.
class JournalFile {
public:
  static constexpr const char* FileName = "Ritoma.jnl";
  // The bytes every journal begins with.
  static constexpr std::string_view Magic{"RitomaJ1", 8};
  enum class Status {
    Ok,
    Empty,    // no bytes at all
    Damaged,  // anything that is not a journal this program wrote
  };

  // The header of `data` (rows and paths; progress is not encoded), or
  // nullopt when a name or path is longer than 65535 bytes.
  static std::optional<std::string> encode(const JournalData& data);

  // A folder run's row as addFolderRow() takes it: views of the same
  // fields as JournalRow.
  struct FolderRowView {
    std::string_view oldName;
    std::string_view tempName;
    std::string_view newName;
    bool isFile = true;
    std::string_view created;
    std::string_view modified;
    std::string_view accessed;
    std::uint32_t attributes = 0;
  };
  // A folder run's header made row by row, without a JournalData copy of
  // the batch: startFolder() for `count` rows, then exactly `count` rows,
  // each with a temporary name exactly when `tempNames`. Either is false
  // (leaving `out` unusable) when encode would give nullopt.
  static bool startFolder(std::string& out, std::string_view folder, bool tempNames,
                          std::size_t count);
  static bool addFolderRow(std::string& out, bool tempNames, const FolderRowView& row);
  static std::string stageRecord(JournalStage stage);
  static std::string progressRecord(JournalStage stage, std::uint32_t done);
  // Reads a journal; memory use is bounded by the size of `bytes`.
  static Status decode(std::string_view bytes, JournalData& out);
};

}  // namespace ritoma
