#pragma once

#include <QAbstractTableModel>

#include "selection/SelectionList.h"

namespace ritoma {

// The selection list ListView1 as a view of the core list: column 0 the
// check image and icon, then "ﾌｧｲﾙ名", "拡張子", "サイズ" (right-aligned)
// and "更新日時" with the sort mark in their captions.
class SelectionListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit SelectionListModel(SelectionList& list, QObject* parent = nullptr)
      : QAbstractTableModel(parent), list_(list) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Call after the list was rebuilt or its checks changed.
  void reload();

signals:
  void checksChanged();

private:
  SelectionList& list_;
};

}  // namespace ritoma
