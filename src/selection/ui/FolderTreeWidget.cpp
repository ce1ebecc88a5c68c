#include "selection/ui/FolderTreeWidget.h"

#include <QKeyEvent>

namespace ritoma {

void FolderTreeWidget::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {}

void FolderTreeWidget::keyPressEvent(QKeyEvent* event) {
  // The keypad's Enter arrives with the keypad modifier.
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  const int key = event->key();
  if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
    if (QTreeWidgetItem* item = currentItem()) emit nodeChosen(item);
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

}  // namespace ritoma
