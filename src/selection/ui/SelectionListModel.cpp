#include "selection/ui/SelectionListModel.h"

#include <QApplication>
#include <QStyle>

#include "text/TextCodec.h"

namespace ritoma {

namespace {

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }

}  // namespace

int SelectionListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.size());
}

int SelectionListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 5; }

QVariant SelectionListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const FileEntry& entry = list_.row(static_cast<std::size_t>(index.row()));
  switch (index.column()) {
    case 0:
      if (role == Qt::CheckStateRole) return entry.checked ? Qt::Checked : Qt::Unchecked;
      if (role == Qt::DecorationRole && entry.icon != FileEntry::IconFile)
        return QApplication::style()->standardIcon(QStyle::SP_DirIcon);
      return {};
    case SelectionList::ColumnName:
      return role == Qt::DisplayRole ? display(entry.baseName) : QVariant();
    case SelectionList::ColumnExtension:
      return role == Qt::DisplayRole ? display(entry.extension) : QVariant();
    case SelectionList::ColumnSize:
      if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      return role == Qt::DisplayRole ? display(entry.sizeText) : QVariant();
    case SelectionList::ColumnDate:
      return role == Qt::DisplayRole ? display(entry.modifiedText) : QVariant();
    default:
      return {};
  }
}

bool SelectionListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) return false;
  list_.setChecked(static_cast<std::size_t>(index.row()), value.toInt() == Qt::Checked);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  emit checksChanged();
  return true;
}

Qt::ItemFlags SelectionListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.isValid() && index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant SelectionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 1 || section > 4) return {};
  return display(list_.headerCaption(section));
}

void SelectionListModel::reload() {
  beginResetModel();
  endResetModel();
  emit checksChanged();
}

}  // namespace ritoma
