#include "settings/ui/CountField.h"

#include <QLineEdit>

namespace ritoma {

namespace {

constexpr int MaxDigits = 4;

}  // namespace

CountField::CountField(const QString& editName, const QString& upDownName, QWidget* parent) : QSpinBox(parent) {
  setObjectName(upDownName);
  lineEdit()->setObjectName(editName);
  lineEdit()->setMaxLength(MaxDigits);
  setRange(0, Maximum);
  setSingleStep(10);
}

QValidator::State CountField::validate(QString& text, int&) const {
  if (text.size() > MaxDigits) return QValidator::Invalid;
  for (QChar c : text) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return QValidator::Invalid;
  }
  return text.isEmpty() ? QValidator::Intermediate : QValidator::Acceptable;
}

int CountField::valueFromText(const QString& text) const { return std::min(text.toInt(), Maximum); }

}  // namespace ritoma
