#pragma once

#include <QTreeView>
#include <cstddef>
#include <vector>

class QMenu;

namespace ritoma {

class ConversionListModel;

// The conversion list ListView3: a report view over ConversionListModel
// with multiple selection. While a row is selected, a press on a row's check
// image toggles that row and a left press on a row's icon toggles the key of
// the selected rows (set when the first selected row has none); Space
// toggles the first selected row; the context menu checks, keys or clears
// the selected rows; header clicks act on all rows.
class ConversionListView : public QTreeView {
  Q_OBJECT
public:
  explicit ConversionListView(QWidget* parent = nullptr);

  void setListModel(ConversionListModel* model);

  // Selected rows in ascending order; the first is "the selected row".
  std::vector<std::size_t> selectedRows() const;
  // The check image and the icon of a row, in viewport coordinates.
  QRect checkRect(int row) const;
  QRect iconRect(int row) const;
  QMenu* contextMenu() const { return menu_; }

  // Toggles the keys of the selected rows as the icon press does.
  void toggleSelectedKeys();

signals:
  // Any left click in the list, after the selection followed it.
  void listClicked();
  // A double click on a selected row.
  void rowDoubleClicked(std::size_t row);

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  QRect itemRect(int row, QStyle::SubElement element) const;

  ConversionListModel* model_ = nullptr;
  QMenu* menu_ = nullptr;
};

}  // namespace ritoma
