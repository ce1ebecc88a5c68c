#include "cli/TerminalProgress.h"

#include <unistd.h>

#include <algorithm>

namespace ritoma {

TerminalProgress::TerminalProgress(std::FILE* err, bool enabled) : err_(err), enabled_(enabled) {}

TerminalProgress::TerminalProgress() : TerminalProgress(stderr, isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress() {
  if (open_) close();
}

void TerminalProgress::open(std::string_view caption, std::int64_t maximum) {
  if (open_) close();
  open_ = true;
  caption_ = caption;
  maximum_ = maximum;
  position_ = 0;
  shownPercent_ = -1;
  draw();
}

void TerminalProgress::setMaximum(std::int64_t maximum) {
  maximum_ = maximum;
  draw();
}

void TerminalProgress::step() {
  ++position_;
  draw();
}

void TerminalProgress::close() {
  if (open_ && enabled_) {
    std::fputs("\r\x1b[K", err_);
    std::fflush(err_);
  }
  open_ = false;
}

// Redraws only when the shown percentage changes, so that a batch of many
// thousand rows does not flood the terminal.
void TerminalProgress::draw() {
  if (!open_ || !enabled_) return;
  std::int64_t shown = std::min(position_, maximum_);
  int percent = maximum_ > 0 ? static_cast<int>(shown * 100 / maximum_) : 0;
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  std::fprintf(err_, "\r\x1b[K%s %3d%%", caption_.c_str(), percent);
  std::fflush(err_);
}

}  // namespace ritoma
