#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "shell/ProgressSink.h"

namespace ritoma {

// The progress window on the command line: one line on standard error,
// redrawn in place, and only when standard error is a terminal (so that
// scripts and logs see no progress at all).
class TerminalProgress final : public ProgressSink {
public:
  TerminalProgress(std::FILE* err, bool enabled);
  // Standard error, enabled when it is a terminal.
  TerminalProgress();
  ~TerminalProgress() override;

  void open(std::string_view caption, std::int64_t maximum) override;
  void setMaximum(std::int64_t maximum) override;
  void step() override;
  void close() override;
  bool isOpen() const override { return open_; }

private:
  void draw();

  std::FILE* err_;
  bool enabled_;
  bool open_ = false;
  std::string caption_;
  std::int64_t maximum_ = 0;
  std::int64_t position_ = 0;
  int shownPercent_ = -1;
};

}  // namespace ritoma
