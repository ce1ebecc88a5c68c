#include "shell/ui/EditListModel.h"

#include <QApplication>
#include <QStyle>

#include "selection/ui/FolderIcons.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }

}  // namespace

int EditListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.rows.size());
}

int EditListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.columnCount());
}

QVariant EditListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  const auto column = static_cast<std::size_t>(index.column());
  const EditRow& entry = list_.rows[row];
  if (column == 0) {
    switch (role) {
      case Qt::DecorationRole:
        // Folders as on page 選択: yellow on disk, grey inside an archive.
        if (entry.icon != 0) return FolderIcons::rowIcon(entry.icon);
        return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
      case Qt::ToolTipRole:
      case Qt::UserRole:
        return display(entry.infoText);
      default:
        return {};
    }
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  if (column <= 1 + list_.stageCount()) return display(list_.nameAt(row, column));
  return display(entry.error);
}

QVariant EditListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return display(list_.caption(static_cast<std::size_t>(section)));
}

void EditListModel::reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace ritoma
