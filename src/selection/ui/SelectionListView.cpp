#include "selection/ui/SelectionListView.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <memory>

#include "selection/SelectionList.h"
#include "selection/ui/SelectionTableModel.h"
#include "shell/ui/SelectedRows.h"

namespace ritoma {

SelectionListView::SelectionListView(QWidget* parent) : QTreeView(parent) {
  setObjectName(QStringLiteral("ListView1"));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setDragEnabled(true);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDropIndicatorShown(false);
  setDragDropMode(QAbstractItemView::InternalMove);
  // The drag scrolls by its own rule below.
  setAutoScroll(false);
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  header()->setSectionsClickable(true);
  header()->setSortIndicatorShown(false);
  connect(header(), &QHeaderView::sectionClicked, this, &SelectionListView::headerClicked);

  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("PopupMenuList1"));
  QAction* check = menu_->addAction(QStringLiteral("選択をチェック"));
  check->setObjectName(QStringLiteral("MenuCheck1"));
  connect(check, &QAction::triggered, this, [this] {
    if (model_) model_->setRowsChecked(selectedRows(), true);
  });
  QAction* uncheck = menu_->addAction(QStringLiteral("選択を未チェック"));
  uncheck->setObjectName(QStringLiteral("MenuUncheck1"));
  connect(uncheck, &QAction::triggered, this, [this] {
    if (model_) model_->setRowsChecked(selectedRows(), false);
  });

  scrollTimer_.setInterval(ScrollInterval);
  connect(&scrollTimer_, &QTimer::timeout, this, [this] {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + scrollStep_);
  });
}

void SelectionListView::setListModel(SelectionTableModel* model) {
  model_ = model;
  setModel(model);
  header()->setSectionResizeMode(SelectionTableModel::ColumnCheck, QHeaderView::Fixed);
}

std::vector<std::size_t> SelectionListView::selectedRows() const { return SelectedRows::of(this); }

QRect SelectionListView::checkRect(int row) const {
  if (!model_) return {};
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QModelIndex index = model_->index(row, SelectionTableModel::ColumnCheck);
  option.rect = visualRect(index);
  option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration;
  option.checkState = index.data(Qt::CheckStateRole).value<Qt::CheckState>();
  return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

bool SelectionListView::onCheckImage(const QPoint& pos) const {
  const QModelIndex index = indexAt(pos);
  return index.isValid() && checkRect(index.row()).contains(pos);
}

void SelectionListView::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (model_ && onCheckImage(pos)) {
    model_->toggleChecked(static_cast<std::size_t>(indexAt(pos).row()));
    event->accept();
    return;
  }
  QTreeView::mousePressEvent(event);
}

void SelectionListView::mouseDoubleClickEvent(QMouseEvent* event) {
  // A quick second press on the check image toggles again.
  if (model_ && onCheckImage(event->position().toPoint())) {
    mousePressEvent(event);
    return;
  }
  QTreeView::mouseDoubleClickEvent(event);
}

void SelectionListView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
    const std::vector<std::size_t> rows = selectedRows();
    if (model_ && !rows.empty()) model_->toggleChecked(rows.front());
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

// With the view's own auto-scroll off (the drag has its rule), a current
// row moved by the keys (End, Home, Page Down, the arrows) is brought into
// view here.
void SelectionListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  if (current.isValid() && isVisible()) scrollTo(current);
}

void SelectionListView::contextMenuEvent(QContextMenuEvent* event) {
  menu_->popup(event->globalPos());
  event->accept();
}

void SelectionListView::headerClicked(int section) {
  if (!model_) return;
  if (section == SelectionTableModel::ColumnCheck)
    model_->cycleChecks();
  else if (section >= SelectionList::ColumnName && section <= SelectionList::ColumnDate)
    model_->sortByColumn(section);
}

void SelectionListView::startDrag(Qt::DropActions) {
  const QModelIndexList rows = selectionModel()->selectedRows();
  if (rows.isEmpty() || !model_) return;
  // The rows move on the drop; nothing is removed when the drag ends.
  auto* drag = new QDrag(this);
  drag->setMimeData(model_->mimeData(rows));
  drag->exec(Qt::MoveAction, Qt::MoveAction);
  dragEnded();
}

void SelectionListView::dragEnterEvent(QDragEnterEvent* event) {
  if (!acceptsRows(event)) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::MoveAction);
  event->accept();
}

void SelectionListView::dragMoveEvent(QDragMoveEvent* event) {
  if (!acceptsRows(event)) {
    event->ignore();
    return;
  }
  dragHover(event->position().toPoint());
  event->setDropAction(Qt::MoveAction);
  event->accept();
}

void SelectionListView::dragLeaveEvent(QDragLeaveEvent* event) {
  dragEnded();
  event->accept();
}

void SelectionListView::dropEvent(QDropEvent* event) {
  dragEnded();
  if (!acceptsRows(event)) {
    event->ignore();
    return;
  }
  dropRowsAt(event->mimeData(), event->position().toPoint());
  event->setDropAction(Qt::MoveAction);
  event->accept();
}

void SelectionListView::dragHover(const QPoint& pos) {
  if (pos.y() < ScrollTopZone)
    setScroll(-ScrollStep);
  else if (pos.y() > viewport()->height() - ScrollBottomZone)
    setScroll(ScrollStep);
  else
    setScroll(0);
}

void SelectionListView::dragEnded() { setScroll(0); }

bool SelectionListView::dropRowsAt(const QMimeData* rows, const QPoint& pos) {
  setScroll(0);
  if (!model_) return false;
  const QModelIndex under = indexAt(pos);
  return model_->dropMimeData(rows, Qt::MoveAction, -1, -1,
                              under.isValid() ? model_->index(under.row(), 0) : QModelIndex());
}

bool SelectionListView::acceptsRows(const QDropEvent* event) const {
  // Only this list's own rows carry the row format.
  return model_ && event->mimeData() && event->mimeData()->hasFormat(model_->mimeTypes().front());
}

void SelectionListView::setScroll(int step) {
  scrollStep_ = step;
  if (step == 0)
    scrollTimer_.stop();
  else if (!scrollTimer_.isActive())
    scrollTimer_.start();
}

}  // namespace ritoma
