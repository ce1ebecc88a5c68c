#pragma once

#include <QIdentityProxyModel>

namespace ritoma {

// The folder chooser's view of a QFileSystemModel in the window's language:
// a folder's kind reads "フォルダ" and its time "yyyy/MM/dd hh:mm" in local
// time, as every time the program writes, whatever the desktop's regional
// settings and whatever Qt's translations hold. Every other text is the
// source model's.
class FolderChooserModel : public QIdentityProxyModel {
  Q_OBJECT
public:
  using QIdentityProxyModel::QIdentityProxyModel;

  // The columns of QFileSystemModel.
  enum Column { ColumnName = 0, ColumnSize = 1, ColumnKind = 2, ColumnTime = 3 };

  QVariant data(const QModelIndex& index, int role) const override;
};

}  // namespace ritoma
