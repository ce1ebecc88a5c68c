#pragma once

#include <QTreeWidget>

namespace ritoma {

// A list of entries that the user reorders by dragging (the registered
// macros and replacements, the settings dialog's filter list): one selected
// entry at a time; dragging the selected entry onto another entry asks to
// move it there (entryDropped). Every drag is accepted; a drop on empty space does
// nothing. The list itself never moves or removes rows on a drop: its owner
// moves the entry.
class RegisteredListView : public QTreeWidget {
  Q_OBJECT
public:
  explicit RegisteredListView(const QString& name, QWidget* parent = nullptr);

  // Index of the selected entry, -1 for none.
  int selectedIndex() const;
  void selectIndex(int index);

signals:
  void entryDropped(int selected, int target);
  // Any double click in the list; the page applies the selected entry.
  void listDoubleClicked();

protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace ritoma
