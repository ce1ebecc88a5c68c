#include "conversion/ui/RegisteredListView.h"

#include <QDropEvent>
#include <QHeaderView>

namespace ritoma {

RegisteredListView::RegisteredListView(const QString& name, QWidget* parent) : QTreeWidget(parent) {
  setObjectName(name);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::CopyAction);
  header()->setSectionsMovable(false);
}

int RegisteredListView::selectedIndex() const {
  const QList<QTreeWidgetItem*> items = selectedItems();
  return items.isEmpty() ? -1 : indexOfTopLevelItem(items.front());
}

void RegisteredListView::selectIndex(int index) {
  clearSelection();
  if (QTreeWidgetItem* item = topLevelItem(index)) {
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
  }
}

void RegisteredListView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeWidget::mouseDoubleClickEvent(event);
  emit listDoubleClicked();
}

void RegisteredListView::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }

void RegisteredListView::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void RegisteredListView::dropEvent(QDropEvent* event) {
  // Copy as the drop action: the dragging view must not remove the rows it
  // dragged, the page rebuilds the list.
  event->setDropAction(Qt::CopyAction);
  event->accept();
  const QTreeWidgetItem* target = itemAt(event->position().toPoint());
  const int selected = selectedIndex();
  if (!target || selected < 0) return;
  emit entryDropped(selected, indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(target)));
}

}  // namespace ritoma
