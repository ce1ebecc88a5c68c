#pragma once

#include <QAbstractTableModel>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "selection/SelectionList.h"

namespace ritoma {

// ListView1 as a view of the core selection list: the model holds no rows
// of its own, so a folder of any size costs one reset. Column 0 carries the
// check image and the row icon, columns 1 to 4 the name, extension, size
// (right-aligned) and date, with the core's captions and sort marks.
//
// Every change goes through the core list and is announced from here;
// checksChanged() follows every change that may alter the checked rows.
class SelectionTableModel : public QAbstractTableModel {
  Q_OBJECT
public:
  static constexpr int ColumnCheck = 0;
  static constexpr int ColumnCount = 5;
  // The tip of a name stored decomposed (not in Unicode NFC), which the
  // list marks and colours.
  static inline const QString DecomposedTip = QStringLiteral(
      "濁点などが文字から分離しています (Mac で作られた名前など)。\n"
      "変換ﾍﾟｰｼﾞの文字種別変換「分離 ⇒ 合成 (NFC)」で直せます。");

  explicit SelectionTableModel(SelectionList& list, QObject* parent = nullptr);

  SelectionList& list() { return list_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Rebuilds the rows through `build`, which refills the core list.
  void rebuild(const std::function<void()>& build);

  void toggleChecked(std::size_t row);
  // "選択をチェック" / "選択を未チェック".
  void setRowsChecked(const std::vector<std::size_t>& rows, bool checked);
  // Header click on column 0.
  void cycleChecks();
  // Header click on column 1 … 4. The selection is dropped: the rows are
  // in a new order.
  void sortByColumn(int column);

  // Drops the rows `selected` onto `target` (the row under the pointer,
  // none below the last row). Moved rows keep their selection and focus,
  // since every persistent index follows its row. False when nothing moved.
  bool dropRows(const std::vector<std::size_t>& selected, std::optional<std::size_t> target);

  // Drag and drop inside the list: the dragged rows travel as their indices;
  // a drop on `parent` (the row under the pointer) moves them there.
  Qt::DropActions supportedDragActions() const override;
  Qt::DropActions supportedDropActions() const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

signals:
  void checksChanged();

private:
  void checksUpdated(std::size_t first, std::size_t last);

  SelectionList& list_;
};

}  // namespace ritoma
