#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <cstddef>
#include <vector>

#include "conversion/ConversionList.h"

namespace ritoma {

// ListView3 as a view of the core conversion list: column 0 the check image
// and the row icon (with the key mark drawn over it as a blue "+"), column
// 1 "変換前" (source), column 2 "変換後" (result). The model holds no rows
// of its own; every change goes through here so that the view follows.
class ConversionListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  static constexpr int ColumnCheck = 0;
  static constexpr int ColumnSource = 1;
  static constexpr int ColumnResult = 2;
  static constexpr int ColumnCount = 3;

  explicit ConversionListModel(ConversionList& list, QObject* parent = nullptr);

  ConversionList& list() { return list_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Call after the core list was refilled.
  void reload();
  // Call after results of the core list changed.
  void resultsChanged();

  void toggleChecked(std::size_t row);
  void setChecked(const std::vector<std::size_t>& rows, bool checked);
  void setKeys(const std::vector<std::size_t>& rows, bool key);
  void clearResults(const std::vector<std::size_t>& rows);
  void setResult(std::size_t row, std::string result);

  // Header clicks: column 0 unchecks every row when any is checked, else
  // checks every row; "変換前" removes every key; "変換後" empties every
  // result. Each does nothing when there is nothing to change.
  void headerClicked(int column);

  // The row icon: 0 file, 1 disk folder, 2 archive directory entry, with
  // the key mark over it.
  static QIcon rowIcon(int icon, bool key);

private:
  void rowsChanged(int column, const QList<int>& roles);

  ConversionList& list_;
};

}  // namespace ritoma
