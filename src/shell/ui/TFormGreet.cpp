#include "shell/ui/TFormGreet.h"

#include <QVBoxLayout>

namespace ritoma {

TFormGreet::TFormGreet(QWidget* owner, const QString& caption, int maximum)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint),
      owner_(owner),
      bar_(new QProgressBar(this)) {
  setObjectName(QStringLiteral("FormGreet"));
  setWindowTitle(caption);
  setAttribute(Qt::WA_DeleteOnClose, false);
  bar_->setObjectName(QStringLiteral("ProgressBar1"));
  bar_->setTextVisible(false);
  bar_->setFixedSize(100, 9);
  bar_->setRange(0, maximum);
  bar_->setValue(0);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 12, 16, 12);
  layout->addWidget(bar_);
  setFixedSize(sizeHint().expandedTo(QSize(220, 0)));
  centreOnOwner();
}

void TFormGreet::centreOnOwner() {
  if (!owner_) return;
  const QRect frame = owner_->frameGeometry();
  move(frame.center() - QPoint(width() / 2, height() / 2));
}

}  // namespace ritoma
