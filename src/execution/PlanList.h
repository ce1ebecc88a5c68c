#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "execution/PlanRow.h"

namespace ritoma {

// Which check and run procedures a plan uses.
enum class PlanMode { Folder = 0, Archive = 1 };

// Source of the time dialog: a date and time given directly, or each row's
// own creation, last-write or last-access text.
enum class TimeSource { Direct = 0, Created = 1, Modified = 2, Accessed = 3 };

// What the time dialog's OK applies. target[k] / all[k] are the boxes of
// creation (k = 0), last write (1) and last access (2): "全て変更" takes all
// file rows instead of the selected ones.
struct TimeChange {
  TimeSource source = TimeSource::Direct;
  std::string text;  // the direct time text (Direct only), code page 932
  std::array<bool, 3> target{};
  std::array<bool, 3> all{};
};

// The plan list of page 属性: the rows in execution order and the column
// captions. A caption of the columns 3 to 6 that starts with "!" marks that
// column as changed: the execution applies it.
class PlanList {
public:
  static constexpr std::size_t ColOldName = 1;
  static constexpr std::size_t ColNewName = 2;
  static constexpr std::size_t ColCreated = 3;
  static constexpr std::size_t ColModified = 4;
  static constexpr std::size_t ColAccessed = 5;
  static constexpr std::size_t ColAttrs = 6;

  std::vector<PlanRow> rows;
  PlanMode mode = PlanMode::Folder;
  bool renameMode = true;
  // The current folder as the file system names it (raw bytes, no trailing
  // "/" except for the root).
  std::string folder;
  // A reverse plan made by UNDO: the digest of the record it reverses
  // (UndoLog::digest). Its in-place run takes that record out of the undo
  // history instead of recording one.
  std::optional<std::uint64_t> reverses;

  void clear();
  // Captions (code page 932) of the columns 1 to 6, without "!" unless changed.
  const std::string& caption(std::size_t column) const { return captions_.at(column); }
  void setCaption(std::size_t column, std::string caption) { captions_.at(column) = std::move(caption); }
  // Sets the captions of a freshly built plan by mode and rename mode.
  void setDefaultCaptions();
  // Columns that the list shows (column 2 is hidden without renaming; in
  // archive mode only 1, 2 and 4).
  bool columnShown(std::size_t column) const;

  bool isChanged(std::size_t column) const;
  bool anyTimeChanged() const;
  void markChanged(std::size_t column);

  // The text of a row in the columns 3 to 6.
  std::string& text(std::size_t row, std::size_t column);
  const std::string& text(std::size_t row, std::size_t column) const;
  // The text of a row's listed value in the columns 3 to 6 (empty for a
  // folder row).
  std::string listedText(std::size_t row, std::size_t column) const;

  // The time dialog's OK. A target box equal to the source is disabled and
  // skipped. Folder rows keep their empty texts. Returns false, changing
  // nothing, when the direct text is not a time the file system can store.
  bool applyTimeChange(const TimeChange& change, const std::vector<std::size_t>& selected);
  // The attribute dialog's OK: `attrs` (S, H, R, A or "-") on every target row.
  bool applyAttributeChange(const std::string& attrs, bool all,
                            const std::vector<std::size_t>& selected);
  // A click on the header of a changed column (3 to 6): the "!" is removed
  // and every non-empty text of the column goes back to its listed value.
  void undoColumn(std::size_t column);

  // Starting state of the dialogs: "全て変更" is checked when no row or every
  // row is selected; the time pickers start from the first selected row's
  // text of the column (none: now); the attribute boxes from the first
  // selected row's text, or the first row's when none is selected.
  bool allBoxInitial(const std::vector<std::size_t>& selected) const;
  std::optional<std::string> initialTimeText(std::size_t column,
                                             const std::vector<std::size_t>& selected) const;
  std::string initialAttributes(const std::vector<std::size_t>& selected) const;

private:
  std::array<std::string, 7> captions_;
};

}  // namespace ritoma
