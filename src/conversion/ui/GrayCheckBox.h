#pragma once

#include <QCheckBox>

namespace ritoma {

// A check box with a third, grayed state, which clicks cycle in the order
// unchecked, checked, grayed.
class GrayCheckBox : public QCheckBox {
public:
  GrayCheckBox(const QString& name, const QString& text, QWidget* parent = nullptr);

protected:
  void nextCheckState() override;
};

}  // namespace ritoma
