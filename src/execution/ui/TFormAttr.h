#pragma once

#include <QDialog>
#include <cstddef>
#include <vector>

#include "execution/PlanList.h"

class QCheckBox;

namespace ritoma {

// "ﾌｧｲﾙ属性設定": sets the attribute text of the selected (or all) file
// rows of the plan. OK changes the plan and marks the column as changed;
// CANCEL changes nothing.
class TFormAttr : public QDialog {
  Q_OBJECT
public:
  TFormAttr(PlanList& plan, std::vector<std::size_t> selected, QWidget* parent = nullptr);

private:
  void FormCreate();
  void ButtonOkClick();

  PlanList& plan_;
  std::vector<std::size_t> selected_;
  QCheckBox* boxes_[4];  // S, H, R, A
  QCheckBox* all_;
};

}  // namespace ritoma
