#pragma once

#include <QTreeWidget>

namespace ritoma {

// The folder tree of page 選択. Its nodes open with a double-click, or with
// Enter or Space on the current node, and are never expanded or collapsed by
// hand, so it draws no expand arrows or branch lines: only the indentation
// shows the depth.
class FolderTreeWidget : public QTreeWidget {
  Q_OBJECT
public:
  using QTreeWidget::QTreeWidget;

signals:
  // Enter, keypad Enter or Space on the current node.
  void nodeChosen(QTreeWidgetItem* item);

protected:
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace ritoma
