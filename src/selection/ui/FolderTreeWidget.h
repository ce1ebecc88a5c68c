#pragma once

#include <QTreeWidget>

namespace ritoma {

// The folder tree of page 選択. Its nodes open with a double-click and are
// never expanded or collapsed by hand, so it draws no expand arrows or
// branch lines: only the indentation shows the depth.
class FolderTreeWidget : public QTreeWidget {
public:
  using QTreeWidget::QTreeWidget;

protected:
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
};

}  // namespace ritoma
