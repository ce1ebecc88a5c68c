#pragma once

#include "conversion/RegisteredReplaceList.h"
#include "conversion/ui/RegisteredEntryDialog.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace ritoma {

class RadioGroup;

// "置換登録" / "置換更新": registers the replacement tab's settings as a new
// replacement or edits the selected one. The caller changes the list by
// outcome() and rewrites section "Replace" after every OK close.
class TFormRepR : public RegisteredEntryDialog {
  Q_OBJECT
public:
  // `caption` is the register button's caption: "登録" makes a new entry,
  // anything else edits the selected one (and offers "削除").
  TFormRepR(const QString& caption, const RegisteredReplace& shown, QtUserInteraction& interaction,
            QWidget* parent = nullptr);

  RegisteredReplace entry() const;

private:
  QLineEdit* labeledEdit1_ = nullptr;
  QLineEdit* labeledEdit2_ = nullptr;
  RadioGroup* radioGroupRep_ = nullptr;
  RadioGroup* radioGroupRepLR_ = nullptr;
  QCheckBox* checkBoxRepUL_ = nullptr;
  QSpinBox* upDownRep_ = nullptr;
  QSpinBox* upDownSkip_ = nullptr;
};

}  // namespace ritoma
