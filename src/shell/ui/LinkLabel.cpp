#include "shell/ui/LinkLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>

namespace ritoma {

LinkLabel::LinkLabel(const QString& text, QUrl url, QWidget* parent)
    : QLabel(text, parent), url_(std::move(url)) {
  setCursor(Qt::PointingHandCursor);
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
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit activated(url_);
    QDesktopServices::openUrl(url_);
  }
  QLabel::mouseReleaseEvent(event);
}

void LinkLabel::setHot(bool hot) {
  hot_ = hot;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, hot ? QColor(0, 128, 0) : QColor(0, 128, 128));
  setPalette(p);
}

}  // namespace ritoma
