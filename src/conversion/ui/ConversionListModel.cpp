#include "conversion/ui/ConversionListModel.h"

#include <QApplication>
#include <QStyle>

#include "text/TextCodec.h"

namespace ritoma {

namespace {

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }

}  // namespace

int ConversionListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.rows.size());
}

int ConversionListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant ConversionListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const ConversionRow& row = list_.rows[static_cast<std::size_t>(index.row())];
  if (index.column() == 0) {
    switch (role) {
      case Qt::DisplayRole:
        return display(row.source);
      case Qt::CheckStateRole:
        return row.checked ? Qt::Checked : Qt::Unchecked;
      case Qt::DecorationRole:
        return QApplication::style()->standardIcon(row.icon == 0 ? QStyle::SP_FileIcon : QStyle::SP_DirIcon);
      default:
        return {};
    }
  }
  return role == Qt::DisplayRole ? display(row.result) : QVariant();
}

bool ConversionListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) return false;
  list_.rows[static_cast<std::size_t>(index.row())].checked = value.toInt() == Qt::Checked;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags ConversionListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.isValid() && index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant ConversionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section == 0 ? QStringLiteral("変換前") : QStringLiteral("変換後");
}

void ConversionListModel::reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace ritoma
