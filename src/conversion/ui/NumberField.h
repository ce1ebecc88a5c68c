#pragma once

#include <QObject>
#include <QString>

class QLineEdit;
class QSpinBox;

namespace ritoma {

// An edit field paired with an up-down control, as one spin box: the spin
// box carries the up-down name and its edit field the edit name, so both
// are found by name. The value is always the up-down position.
class NumberField : public QObject {
  Q_OBJECT
public:
  static QSpinBox* create(QWidget* parent, const QString& editName, const QString& upDownName, int minimum,
                          int maximum);
  static QLineEdit* edit(QSpinBox* box);
  // Lets only the digit keys through to the edit field: every other key
  // with a text, Backspace and Delete included, is ignored.
  static void acceptDigitsOnly(QSpinBox* box);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  using QObject::QObject;
};

}  // namespace ritoma
