#pragma once

#include <QPointer>

#include "conversion/RegisteredMacroList.h"
#include "conversion/ui/RegisteredEntryDialog.h"

class QLineEdit;
class QPushButton;

namespace ritoma {

// "ﾏｸﾛ登録" / "ﾏｸﾛ更新": registers the page's templates as a new macro or
// edits the selected one. The caller changes the list by outcome() and
// rewrites section "Macro" after every OK close.
class TFormMacroR : public RegisteredEntryDialog {
  Q_OBJECT
public:
  // `caption` is the register button's caption: "登録" makes a new entry,
  // anything else edits the selected one (and offers "削除").
  TFormMacroR(const QString& caption, const RegisteredMacro& shown, QtUserInteraction& interaction,
              QWidget* parent = nullptr);

  // The three boxes (code page 932).
  RegisteredMacro entry() const;

private:
  void ButtonSClick();
  void focusMoved(QWidget* now);

  QLineEdit* labeledEditF_ = nullptr;
  QLineEdit* labeledEditE_ = nullptr;
  QLineEdit* labeledEditR_ = nullptr;
  QPushButton* buttonS_ = nullptr;
  QPointer<QLineEdit> questionTarget_;
};

}  // namespace ritoma
