#pragma once

#include <QDialog>
#include <cstddef>
#include <vector>

#include "execution/PlanList.h"

class QCheckBox;
class QDateEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;

namespace ritoma {

// "ﾌｧｲﾙ日時設定": sets the creation, last-write or last-access texts of the
// selected (or all) file rows of the plan, from a date and time given here
// or from another time column of each row. OK changes the plan and marks
// the changed columns; CANCEL changes nothing.
class TFormDateTime : public QDialog {
  Q_OBJECT
public:
  // `column` is the clicked time column (3, 4 or 5); `selected` the
  // selected rows in ascending order.
  TFormDateTime(PlanList& plan, std::size_t column, std::vector<std::size_t> selected,
                QWidget* parent = nullptr);

  // The direct time of the pickers as a plan time text.
  QString directText() const;

private:
  void RadioButtonDTClick();
  void CheckBoxDTClick();
  void ButtonnDTNowClick();
  void ButtonOkClick();
  TimeSource source() const;

  PlanList& plan_;
  std::vector<std::size_t> selected_;
  QRadioButton* sources_[4];
  QCheckBox* targets_[3];
  QCheckBox* all_[3];
  QDateEdit* date_;
  QTimeEdit* time_;
  QPushButton* now_;
};

}  // namespace ritoma
