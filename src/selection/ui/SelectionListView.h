#pragma once

#include <QTimer>
#include <QTreeView>
#include <cstddef>
#include <vector>

class QMenu;
class QMimeData;

namespace ritoma {

class SelectionTableModel;

// The selection list ListView1: a report view over SelectionTableModel.
// A press of any mouse button on a row's check image toggles it; Space
// toggles the first selected row; the context menu checks or unchecks the
// selected rows; a header click cycles the checks (column 0) or sorts
// (columns 1 to 4); dragging selected rows onto a row reorders them, with
// the list scrolling while the pointer is near its top or bottom edge.
class SelectionListView : public QTreeView {
  Q_OBJECT
public:
  // Auto-scroll while dragging: the edge zones and the step.
  static constexpr int ScrollTopZone = 20;
  static constexpr int ScrollBottomZone = 7;
  static constexpr int ScrollStep = 17;
  static constexpr int ScrollInterval = 10;

  explicit SelectionListView(QWidget* parent = nullptr);

  void setListModel(SelectionTableModel* model);
  SelectionTableModel* listModel() const { return model_; }

  // Selected rows in ascending order.
  std::vector<std::size_t> selectedRows() const;
  // Where a row's check image lies, in viewport coordinates.
  QRect checkRect(int row) const;
  QMenu* contextMenu() const { return menu_; }
  // Pixels the list scrolls per step while a drag hovers at an edge
  // (negative upwards, 0 while not scrolling).
  int dragScrollStep() const { return scrollStep_; }

  // What the drag events do. A drag over `pos` (viewport coordinates)
  // scrolls up near the top edge, down near the bottom edge, and stops in
  // between; the scrolling stops when the drag ends in any way.
  void dragHover(const QPoint& pos);
  void dragEnded();
  // Drops the dragged `rows` on the row under `pos`; false when nothing
  // moved.
  bool dropRowsAt(const QMimeData* rows, const QPoint& pos);

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void headerClicked(int section);
  bool onCheckImage(const QPoint& pos) const;
  bool acceptsRows(const QDropEvent* event) const;
  void setScroll(int step);

  SelectionTableModel* model_ = nullptr;
  QMenu* menu_ = nullptr;
  QTimer scrollTimer_;
  int scrollStep_ = 0;
};

}  // namespace ritoma
