#pragma once

#include <QTreeWidget>

namespace ritoma {

// A registered-macro or registered-replacement list: one selected entry at
// a time; dragging the selected entry onto another entry asks to move it
// there (entryDropped). Every drag is accepted; a drop on empty space does
// nothing. The list itself never moves or removes rows on a drop: the page
// moves the entry in its list and refills the view.
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
