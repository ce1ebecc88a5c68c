#include "conversion/ui/RadioGroup.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QRadioButton>

namespace ritoma {

RadioGroup::RadioGroup(const QString& name, const QString& caption, const QStringList& items, QWidget* parent,
                       Qt::Orientation orientation)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  setObjectName(name);
  auto* layout = new QBoxLayout(orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->setSpacing(2);
  for (int i = 0; i < items.size(); ++i) {
    auto* radio = new QRadioButton(items[i], this);
    radio->setObjectName(name + QLatin1Char('_') + QString::number(i));
    group_->addButton(radio, i);
    layout->addWidget(radio);
  }
  setItemIndex(0);
  connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) emit itemIndexChanged(id);
  });
}

int RadioGroup::itemIndex() const { return group_->checkedId(); }

void RadioGroup::setItemIndex(int index) {
  if (QAbstractButton* b = group_->button(index)) b->setChecked(true);
}

QAbstractButton* RadioGroup::button(int index) const { return group_->button(index); }

}  // namespace ritoma
