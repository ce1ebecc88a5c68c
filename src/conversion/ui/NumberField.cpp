#include "conversion/ui/NumberField.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSpinBox>

namespace ritoma {

QSpinBox* NumberField::create(QWidget* parent, const QString& editName, const QString& upDownName, int minimum,
                              int maximum) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(upDownName);
  box->setRange(minimum, maximum);
  if (QLineEdit* line = edit(box)) line->setObjectName(editName);
  return box;
}

QLineEdit* NumberField::edit(QSpinBox* box) { return box->findChild<QLineEdit*>(); }

void NumberField::acceptDigitsOnly(QSpinBox* box) {
  if (QLineEdit* line = edit(box)) line->installEventFilter(new NumberField(box));
}

bool NumberField::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool erase = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
    const QString text = key->text();
    const bool digit = text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9');
    if (erase || (!text.isEmpty() && text[0].isPrint() && !digit)) return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace ritoma
