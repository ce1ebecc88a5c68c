#pragma once

#include <QAbstractTableModel>
#include <QIcon>

#include <optional>

#include "execution/PlanList.h"
#include "execution/RunResult.h"

namespace ritoma {

// The plan list ListView4 as a table over the core's PlanList: column 0
// the row image with the row mark drawn over it, columns 1 to 6 the names,
// times and attributes, columns 7 to 10 the listed values (never shown),
// column 11 what a run that failed or left notes made of each row: why a
// row failed, and the note of a row done with one.
class PlanListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  static constexpr int ResultColumn = 11;
  static constexpr int ColumnCount = 12;

  explicit PlanListModel(const PlanList& plan, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Call after the plan changed its rows, captions or marks.
  void reload();
  // The result column tells what `result`, a run that failed or left
  // notes, made of the rows; forgetRun() empties it for a new plan.
  void showRun(const RunResult& result);
  void forgetRun();
  // The row's image with its mark (MarkNone: the plain image).
  QIcon icon(int image, RowMark mark) const;

private:
  const PlanList& plan_;
  std::optional<RunResult> shownRun_;
  static constexpr int MarkCount = MarkHeaderTooLong + 1;  // the marks drawn, from MarkBlocked
  QIcon images_[3];
  QIcon marked_[3][MarkCount];
};

}  // namespace ritoma
