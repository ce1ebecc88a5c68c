#pragma once

#include <QLabel>

namespace ritoma {

// A link: teal, green while the pointer is over it; a click, or Enter or
// Space while it has the focus, activates it.
class LinkLabel : public QLabel {
  Q_OBJECT
public:
  explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

  bool isHot() const { return hot_; }

signals:
  void activated();

protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void setHot(bool hot);
  bool hot_ = false;
};

}  // namespace ritoma
