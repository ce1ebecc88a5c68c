#include "shell/ui/GreetProgress.h"

#include <QCoreApplication>
#include <algorithm>
#include <climits>

namespace ritoma {

GreetProgress::~GreetProgress() = default;

void GreetProgress::open(std::string_view caption, std::int64_t maximum) {
  close();
  maximum_ = std::max<std::int64_t>(maximum, 0);
  position_ = 0;
  window_ = std::make_unique<TFormGreet>(
      owner_.data(), QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), 0);
  setBarRange();
  show();
}

void GreetProgress::setMaximum(std::int64_t maximum) {
  maximum_ = std::max<std::int64_t>(maximum, 0);
  position_ = std::min(position_, maximum_);
  if (window_) setBarRange();
}

void GreetProgress::step() {
  if (position_ >= maximum_) return;
  ++position_;
  if (!window_) return;
  const int value = static_cast<int>(position_ / scale_);
  if (value == window_->bar()->value()) return;
  window_->bar()->setValue(value);
  // Paint only when the bar moves by a pixel's worth, so long runs stay cheap.
  const int pixelStep = std::max(1, window_->bar()->maximum() / 100);
  if (value % pixelStep == 0 || position_ == maximum_) window_->bar()->repaint();
}

void GreetProgress::close() { window_.reset(); }

void GreetProgress::show() {
  window_->show();
  window_->raise();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void GreetProgress::setBarRange() {
  scale_ = maximum_ / INT_MAX + 1;
  window_->bar()->setRange(0, static_cast<int>(maximum_ / scale_));
  window_->bar()->setValue(static_cast<int>(position_ / scale_));
}

}  // namespace ritoma
