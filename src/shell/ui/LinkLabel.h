#pragma once

#include <QLabel>
#include <QUrl>

namespace ritoma {

// A web or mail address: teal, green while the pointer is over it, handed
// to the desktop when clicked.
class LinkLabel : public QLabel {
  Q_OBJECT
public:
  LinkLabel(const QString& text, QUrl url, QWidget* parent = nullptr);

  const QUrl& url() const { return url_; }
  bool isHot() const { return hot_; }

signals:
  void activated(const QUrl& url);

protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  void setHot(bool hot);
  QUrl url_;
  bool hot_ = false;
};

}  // namespace ritoma
