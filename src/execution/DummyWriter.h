#pragma once

#include <cstddef>
#include <string>

#include "execution/PlanList.h"

namespace ritoma {

// The dummy-file writers that a copy run uses instead of copying, as the
// dummy-file dialog sets them up. Folders are raw disk paths ending in "/";
// the writers skip marked rows and folder rows. A row that fails (its
// dummy cannot be written, the source of a cut-out cannot be read) is
// marked MarkFailed and leaves no file; the run then fails and removes the
// dummies of the rows before it.
class DummyWriter {
public:
  // The dialog's page: what is written for each row.
  enum class Page { Content = 0, Excerpt = 1, FromArchive = 2 };

  virtual ~DummyWriter() = default;
  virtual Page page() const = 0;
  // "対象書庫ﾌｧｲﾙ以外の場合": the writer for a row that is no archive
  // (Content or Excerpt), used on page FromArchive.
  virtual Page fallback() const = 0;

  // Rows first … end − 1. False stops the run.
  virtual bool writeContent(const std::string& source, const std::string& target, PlanList& plan,
                            std::size_t first, std::size_t end) = 0;
  virtual bool writeExcerpt(const std::string& source, const std::string& target, PlanList& plan,
                            std::size_t first, std::size_t end) = 0;
  // One row; false with MarkFailed when the row failed. False without a
  // mark when the row is to get the fallback content instead, and leaves no
  // file and its new name as it was: its file is no archive of a kind
  // switched on, holds no such stored file, or cannot give it (damaged,
  // unreadable, a link, too large). fallbackReason() tells which rows of
  // the last kind fell back.
  virtual bool writeFromArchive(const std::string& source, const std::string& target,
                                PlanList& plan, std::size_t row) = 0;
  // Why the last row failed (UTF-8 display text).
  virtual const std::string& lastError() const = 0;
  // Why the archive of the last writeFromArchive could not give its stored
  // file (UTF-8 display text, the archive not named); empty when that row
  // was written or its file simply is no such archive.
  virtual const std::string& fallbackReason() const = 0;
};

}  // namespace ritoma
