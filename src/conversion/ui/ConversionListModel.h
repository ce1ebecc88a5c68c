#pragma once

#include <QAbstractTableModel>

#include "conversion/ConversionList.h"

namespace ritoma {

// The conversion list ListView3: "変換前" with the row's check box and
// icon, and "変換後".
class ConversionListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit ConversionListModel(ConversionList& list, QObject* parent = nullptr)
      : QAbstractTableModel(parent), list_(list) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Call after the list was refilled or its results changed.
  void reload();

private:
  ConversionList& list_;
};

}  // namespace ritoma
