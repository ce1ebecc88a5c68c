#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "shell/ProgressSink.h"
#include "shell/ui/TFormGreet.h"

namespace ritoma {

// The core's progress interface shown through the progress window. The
// window exists only between open and close. Ranges beyond the bar's int
// range are scaled down.
class GreetProgress final : public ProgressSink {
public:
  explicit GreetProgress(QWidget* owner) : owner_(owner) {}
  ~GreetProgress() override;

  void open(std::string_view caption, std::int64_t maximum) override;
  void setMaximum(std::int64_t maximum) override;
  void step() override;
  void close() override;
  bool isOpen() const override { return window_ != nullptr; }

  // The open window, for tests and for callers that place other windows.
  TFormGreet* window() const { return window_.get(); }
  std::int64_t position() const { return position_; }
  std::int64_t maximum() const { return maximum_; }

private:
  void show();
  void setBarRange();

  QPointer<QWidget> owner_;
  std::unique_ptr<TFormGreet> window_;
  std::int64_t maximum_ = 0;
  std::int64_t position_ = 0;
  std::int64_t scale_ = 1;
};

}  // namespace ritoma
