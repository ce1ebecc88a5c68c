#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// One renamed file of the last batch. Names are raw disk bytes; the texts
// are the plan's listed time texts (19 characters) and attribute text.
struct UndoRecord {
  std::string newName;  // the name the run gave the file
  std::string oldName;  // the name before the run, without the force marker
  bool isFile = true;   // folder records carry no times and attributes
  std::string created;
  std::string modified;
  std::string accessed;
  std::string attrs;
};

struct UndoLog {
  std::string folder;  // raw disk path with a trailing "/"
  std::vector<UndoRecord> records;
  // UndoHistory::digest of the file it was loaded from, which the undo run
  // of this batch takes out of the history.
  std::uint64_t digest = 0;
};

// The binary undo file "Ritoma.und".
class UndoFile {
public:
  static constexpr const char* FileName = "Ritoma.und";

  enum class Status {
    Ok,
    Empty,    // no bytes at all
    Damaged,  // truncated, overlong, trailing bytes, a relative folder, or an unusable name or text
  };

  // The file's bytes, or nullopt when the log cannot be recorded (more than
  // 4294967295 records, a name or folder longer than 65535 bytes, a time
  // text longer than 19 bytes). Shorter texts are padded with blanks. Up to
  // 65534 records the count takes two bytes, as it always did; a larger
  // batch writes the escape 0xFFFF and a four-byte count.
  static std::optional<std::string> encode(const UndoLog& log);

  // A record as add() takes it: views of the same fields as UndoRecord.
  struct RecordView {
    std::string_view newName;
    std::string_view oldName;
    bool isFile = true;
    std::string_view created;
    std::string_view modified;
    std::string_view accessed;
    std::string_view attrs;
  };
  // The bytes of encode, made record by record without an UndoLog, for a
  // batch too large to be held twice: start() writes the header for
  // `count` records, add() appends one. Either is false (leaving `out`
  // unusable) on a field beyond the limits of encode; the caller adds
  // exactly `count` records.
  static bool start(std::string& out, std::string_view folder, std::size_t count);
  static bool add(std::string& out, const RecordView& record);
  // Reads both layouts, and the older files of exactly 65535 records that
  // hold 0xFFFF as a plain count.
  static Status decode(std::string_view bytes, UndoLog& out);
};

}  // namespace ritoma
