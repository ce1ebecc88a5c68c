#pragma once

#include <QGroupBox>
#include <QStringList>

class QAbstractButton;
class QButtonGroup;

namespace ritoma {

// A captioned group of radio buttons with one chosen item, addressed by its
// index (the buttons are named after the group: name + "_" + index).
class RadioGroup : public QGroupBox {
  Q_OBJECT
public:
  RadioGroup(const QString& name, const QString& caption, const QStringList& items, QWidget* parent = nullptr,
             Qt::Orientation orientation = Qt::Vertical);

  int itemIndex() const;
  void setItemIndex(int index);
  QAbstractButton* button(int index) const;

signals:
  void itemIndexChanged(int index);

private:
  QButtonGroup* group_ = nullptr;
};

}  // namespace ritoma
