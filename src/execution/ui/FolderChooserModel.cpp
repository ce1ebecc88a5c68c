#include "execution/ui/FolderChooserModel.h"

#include <QDateTime>
#include <QFileSystemModel>

namespace ritoma {

QVariant FolderChooserModel::data(const QModelIndex& index, int role) const {
  const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
  if (role == Qt::DisplayRole && files && index.isValid()) {
    const QModelIndex source = mapToSource(index);
    if (index.column() == ColumnKind && files->isDir(source)) return QStringLiteral("フォルダ");
    if (index.column() == ColumnTime) {
      const QDateTime time = files->lastModified(source);
      return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm")) : QString();
    }
  }
  return QIdentityProxyModel::data(index, role);
}

}  // namespace ritoma
