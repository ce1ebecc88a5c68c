#include "conversion/ui/ConversionListView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <algorithm>

#include "conversion/ui/ConversionListModel.h"
#include "shell/ui/SelectedRows.h"

namespace ritoma {

ConversionListView::ConversionListView(QWidget* parent) : QTreeView(parent) {
  setObjectName(QStringLiteral("ListView3"));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  header()->setSectionsClickable(true);
  header()->setSectionsMovable(false);
  header()->setStretchLastSection(true);
  header()->setMinimumSectionSize(35);

  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("PopupMenu3"));
  auto add = [this](const char* name, const QString& text, auto handler) {
    QAction* action = menu_->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, handler);
  };
  add("MenuCheck3", QStringLiteral("選択をチェック"), [this] { if (model_) model_->setChecked(selectedRows(), true); });
  add("MenuUncheck3", QStringLiteral("選択を未チェック"), [this] { if (model_) model_->setChecked(selectedRows(), false); });
  menu_->addSeparator();
  add("MenuKeySet3", QStringLiteral("選択にｷｰ設定"), [this] { if (model_) model_->setKeys(selectedRows(), true); });
  add("MenuKeyClear3", QStringLiteral("選択のｷｰ解除"), [this] { if (model_) model_->setKeys(selectedRows(), false); });
  menu_->addSeparator();
  add("MenuClear3", QStringLiteral("選択をクリア"), [this] { if (model_) model_->clearResults(selectedRows()); });

  connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
    if (model_) model_->headerClicked(section);
  });
}

void ConversionListView::setListModel(ConversionListModel* model) {
  model_ = model;
  setModel(model);
  header()->setSectionResizeMode(ConversionListModel::ColumnCheck, QHeaderView::Fixed);
  // 35 pixels, or what the style needs for the check image and the whole
  // icon, which carries the key mark.
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.rect = QRect(0, 0, 100, 20);
  option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration;
  option.decorationSize = iconSize().isValid() ? iconSize() : QSize(16, 16);
  const QRect icon = style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  header()->resizeSection(ConversionListModel::ColumnCheck, std::max(35, icon.right() + 1 + margin));
}

std::vector<std::size_t> ConversionListView::selectedRows() const { return SelectedRows::of(this); }

QRect ConversionListView::itemRect(int row, QStyle::SubElement element) const {
  if (!model_) return {};
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QModelIndex index = model_->index(row, ConversionListModel::ColumnCheck);
  option.rect = visualRect(index);
  option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration;
  option.checkState = index.data(Qt::CheckStateRole).value<Qt::CheckState>();
  option.decorationSize = iconSize().isValid() ? iconSize() : QSize(16, 16);
  return style()->subElementRect(element, &option, this);
}

QRect ConversionListView::checkRect(int row) const { return itemRect(row, QStyle::SE_ItemViewItemCheckIndicator); }
QRect ConversionListView::iconRect(int row) const { return itemRect(row, QStyle::SE_ItemViewItemDecoration); }

void ConversionListView::toggleSelectedKeys() {
  const std::vector<std::size_t> rows = selectedRows();
  if (!model_ || rows.empty()) return;
  model_->setKeys(rows, !model_->list().rows[rows.front()].key);
}

void ConversionListView::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const QModelIndex index = indexAt(pos);
  const bool anySelected = !selectedRows().empty();
  if (model_ && index.isValid() && anySelected && checkRect(index.row()).contains(pos)) {
    model_->toggleChecked(static_cast<std::size_t>(index.row()));
    event->accept();
    return;
  }
  QTreeView::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  if (model_ && index.isValid() && anySelected && iconRect(index.row()).contains(pos)) toggleSelectedKeys();
  emit listClicked();
}

void ConversionListView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const QModelIndex index = indexAt(pos);
  if (model_ && index.isValid() && checkRect(index.row()).contains(pos)) {
    model_->toggleChecked(static_cast<std::size_t>(index.row()));
    event->accept();
    return;
  }
  QTreeView::mouseDoubleClickEvent(event);
  if (index.isValid() && selectionModel()->isRowSelected(index.row(), {}))
    emit rowDoubleClicked(static_cast<std::size_t>(index.row()));
}

void ConversionListView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
    const std::vector<std::size_t> rows = selectedRows();
    if (model_ && !rows.empty()) model_->toggleChecked(rows.front());
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

void ConversionListView::contextMenuEvent(QContextMenuEvent* event) {
  menu_->popup(event->globalPos());
  event->accept();
}

}  // namespace ritoma
