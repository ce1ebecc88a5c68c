#pragma once

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
};

// The binary undo file "Ritoma.und".
class UndoFile {
public:
  static constexpr const char* FileName = "Ritoma.und";

  enum class Status {
    Ok,
    Empty,    // no bytes at all
    Damaged,  // truncated, overlong, trailing bytes or an unusable name or text
  };

  // The file's bytes, or nullopt when the log cannot be recorded (more than
  // 4294967295 records, a name or folder longer than 65535 bytes, a time
  // text longer than 19 bytes). Shorter texts are padded with blanks. Up to
  // 65534 records the count takes two bytes, as it always did; a larger
  // batch writes the escape 0xFFFF and a four-byte count.
  static std::optional<std::string> encode(const UndoLog& log);
  // Reads both layouts, and the older files of exactly 65535 records that
  // hold 0xFFFF as a plain count.
  static Status decode(std::string_view bytes, UndoLog& out);
};

}  // namespace ritoma
