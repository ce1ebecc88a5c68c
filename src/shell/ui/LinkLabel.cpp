#include "shell/ui/LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace ritoma {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  setHot(false);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
  setHot(true);
  QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
  setHot(false);
  QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit activated();
  QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
    emit activated();
    event->accept();
    return;
  }
  QLabel::keyPressEvent(event);
}

void LinkLabel::setHot(bool hot) {
  hot_ = hot;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, hot ? QColor(0, 128, 0) : QColor(0, 128, 128));
  setPalette(p);
}

}  // namespace ritoma
