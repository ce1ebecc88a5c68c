#pragma once

#include <QDialog>

#include "conversion/RegisteredReplaceList.h"
#include "shell/UserInteraction.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace ritoma {

class RadioGroup;

// "置換登録" / "置換更新": registers the replacement tab's settings as a new
// replacement or edits the selected one. The caller changes the list by
// outcome() and rewrites section "Replace" after every OK close.
class TFormRepR : public QDialog {
  Q_OBJECT
public:
  enum class Outcome { Cancelled, Updated, Deleted, Kept };

  // `caption` is the register button's caption: "登録" makes a new entry,
  // anything else edits the selected one (and offers "削除").
  TFormRepR(const QString& caption, const RegisteredReplace& shown, UserInteraction& interaction,
            QWidget* parent = nullptr);

  RegisteredReplace entry() const;
  Outcome outcome() const { return outcome_; }
  bool isNewEntry() const { return newEntry_; }

private:
  void ButtonUpdateClick();
  void ButtonDeleteClick();

  UserInteraction& interaction_;
  bool newEntry_ = true;
  Outcome outcome_ = Outcome::Cancelled;
  QLineEdit* labeledEdit1_ = nullptr;
  QLineEdit* labeledEdit2_ = nullptr;
  RadioGroup* radioGroupRep_ = nullptr;
  RadioGroup* radioGroupRepLR_ = nullptr;
  QCheckBox* checkBoxRepUL_ = nullptr;
  QSpinBox* upDownRep_ = nullptr;
  QSpinBox* upDownSkip_ = nullptr;
};

}  // namespace ritoma
