#pragma once

#include <QSpinBox>

namespace ritoma {

// A count of page 経過: an edit field of at most four digits with a spinner
// from 0 to 1000 in steps of 10. Typed characters other than digits are
// dropped; a typed number above 1000 counts as 1000. The spin box carries
// the up-down name and its edit field the edit name.
class CountField : public QSpinBox {
  Q_OBJECT
public:
  static constexpr int Maximum = 1000;

  CountField(const QString& editName, const QString& upDownName, QWidget* parent = nullptr);

protected:
  QValidator::State validate(QString& text, int& pos) const override;
  int valueFromText(const QString& text) const override;
};

}  // namespace ritoma
