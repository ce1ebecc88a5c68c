#include "conversion/ui/GrayCheckBox.h"

namespace ritoma {

GrayCheckBox::GrayCheckBox(const QString& name, const QString& text, QWidget* parent) : QCheckBox(text, parent) {
  setObjectName(name);
  setTristate(true);
}

void GrayCheckBox::nextCheckState() {
  switch (checkState()) {
    case Qt::Unchecked: setCheckState(Qt::Checked); break;
    case Qt::Checked: setCheckState(Qt::PartiallyChecked); break;
    default: setCheckState(Qt::Unchecked); break;
  }
}

}  // namespace ritoma
