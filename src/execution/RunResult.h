#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// What a run of a plan reports. Texts are UTF-8 display texts, names raw
// disk bytes.
struct RunResult {
  // 0 success (or nothing done); negative a failure that is not rolled
  // back: −1 for copies, dummy files and archives, −(10 × the failing row +
  // the stage flags) for the times or attributes of copies; otherwise
  // 10 × the failing row + the stage flags reached: 1 rename, 2 times,
  // 4 attributes.
  int code = 0;
  // Every failure, also one at row 0 before any stage flag (code 0).
  bool failed = false;
  // The user declined the confirmation or the folder warning.
  bool cancelled = false;
  // The run was refused before anything changed.
  std::string refusal;
  // Why rows failed, in row order, the row that ended the run last: the
  // row's old name and the reason (UTF-8).
  struct RowError {
    std::size_t row = 0;
    std::string name;
    std::string text;
  };
  std::vector<RowError> rowErrors;
  // Files a roll-back could not put back, as they are named now (disk bytes).
  std::vector<std::string> notRolledBack;
  // Error texts shown after the general failure message (the archive's
  // backup name).
  std::vector<std::string> furtherMessages;
  // On success: the folder to list again and the names to check there.
  std::string folder;
  std::vector<std::string> processedNames;
  bool clearForce = false;  // ChkForce: the force box is cleared
  // Set when the undo file could not be written (the run itself succeeded).
  std::string undoWarning;
  // Set when a copy ignoring collisions skipped rows whose new name was
  // taken after the check (the run itself succeeded).
  std::string skipWarning;

  // Rows done with a note, in row order: a dummy written with the fallback
  // content because its archive could not give the stored file, and why
  // (the row's old name and the reason, UTF-8). Only rows whose dummy the
  // run leaves in the copy folder.
  std::vector<RowError> rowNotes;

  // The reason of a row in rowErrors, empty for any other row.
  std::string_view errorOf(std::size_t row) const { return textOf(rowErrors, row); }
  // The note of a row in rowNotes, empty for any other row.
  std::string_view noteOf(std::size_t row) const { return textOf(rowNotes, row); }

  static constexpr int FlagRename = 1;
  static constexpr int FlagTimes = 2;
  static constexpr int FlagAttributes = 4;
  int stageFlags() const { return code > 0 ? code % 10 : 0; }
  int lastDoneRow() const { return code > 0 ? code / 10 - 1 : -1; }

private:
  static std::string_view textOf(const std::vector<RowError>& rows, std::size_t row) {
    for (const RowError& e : rows)
      if (e.row == row) return e.text;
    return {};
  }
};

}  // namespace ritoma
