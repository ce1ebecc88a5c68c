#pragma once

#include <QAbstractTableModel>

#include "selection/EditList.h"

namespace ritoma {

// The edit list ListView2 as a table: column 0 the icon (the hidden
// infoText as its tooltip and under Qt::UserRole), column 1 "元ﾌｧｲﾙ名", one
// column per saved stage, and the check's error column when present.
class EditListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit EditListModel(const EditList& list, QObject* parent = nullptr)
      : QAbstractTableModel(parent), list_(list) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Call after the edit list changed its rows or columns.
  void reload();

private:
  const EditList& list_;
};

}  // namespace ritoma
