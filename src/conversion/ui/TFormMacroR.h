#pragma once

#include <QDialog>
#include <QPointer>

#include "conversion/RegisteredMacroList.h"
#include "shell/UserInteraction.h"

class QLineEdit;
class QPushButton;

namespace ritoma {

// "ﾏｸﾛ登録" / "ﾏｸﾛ更新": registers the page's templates as a new macro or
// edits the selected one. The caller changes the list by outcome() and
// rewrites section "Macro" after every OK close.
class TFormMacroR : public QDialog {
  Q_OBJECT
public:
  enum class Outcome { Cancelled, Updated, Deleted, Kept };

  // `caption` is the register button's caption: "登録" makes a new entry,
  // anything else edits the selected one (and offers "削除").
  TFormMacroR(const QString& caption, const RegisteredMacro& shown, UserInteraction& interaction,
              QWidget* parent = nullptr);

  // The three boxes (code page 932).
  RegisteredMacro entry() const;
  Outcome outcome() const { return outcome_; }
  bool isNewEntry() const { return newEntry_; }

private:
  void ButtonSClick();
  void ButtonUpdateClick();
  void ButtonDeleteClick();
  void focusMoved(QWidget* now);

  UserInteraction& interaction_;
  bool newEntry_ = true;
  Outcome outcome_ = Outcome::Cancelled;
  QLineEdit* labeledEditF_ = nullptr;
  QLineEdit* labeledEditE_ = nullptr;
  QLineEdit* labeledEditR_ = nullptr;
  QPushButton* buttonS_ = nullptr;
  QPointer<QLineEdit> questionTarget_;
};

}  // namespace ritoma
