#pragma once

#include <QProgressBar>
#include <QWidget>

namespace ritoma {

// The progress window: a small tool window that stays on top, centred on
// its owner, without system buttons; its caption is the operation's text and
// it holds a smooth bar (100 × 9 pixels, minimum 0).
class TFormGreet : public QWidget {
  Q_OBJECT
public:
  TFormGreet(QWidget* owner, const QString& caption, int maximum);

  QProgressBar* bar() const { return bar_; }
  void centreOnOwner();

private:
  QWidget* owner_;
  QProgressBar* bar_;
};

}  // namespace ritoma
