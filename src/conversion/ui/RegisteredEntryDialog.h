#pragma once

#include <QDialog>
#include <QString>

#include "shell/ui/QtUserInteraction.h"

class QLayout;

namespace ritoma {

// The frame shared by the dialogs that register or edit one entry of a
// registered list: the register/update, "削除" and "CANCEL" buttons under
// the dialog's own boxes, and the outcome the caller changes the list by.
class RegisteredEntryDialog : public QDialog {
  Q_OBJECT
public:
  enum class Outcome { Cancelled, Updated, Deleted, Kept };

  Outcome outcome() const { return outcome_; }
  bool isNewEntry() const { return newEntry_; }

protected:
  // `caption` is the register button's caption: "登録" makes a new entry,
  // anything else edits the selected one (and offers "削除", asking
  // `deleteQuestion` first).
  RegisteredEntryDialog(const QString& caption, const char* deleteQuestion, QtUserInteraction& interaction,
                        QWidget* parent);

  // Lays out `body` above the buttons. Called once the body's controls
  // exist, so the buttons come last in the tab order.
  void addButtons(QLayout* body);

private:
  void ButtonUpdateClick();
  void ButtonDeleteClick();

  QtUserInteraction& interaction_;
  QString caption_;
  const char* deleteQuestion_;
  bool newEntry_ = true;
  Outcome outcome_ = Outcome::Cancelled;
};

}  // namespace ritoma
