#pragma once

#include <QDialog>

class QLineEdit;
class QTextEdit;

namespace ritoma {

// "文字列ﾏｸﾛ(/?)置換": asks for the text of one "/?" of a registered macro.
// RichEditS shows the template with the asked "/?" drawn blue, bold and
// underlined; the answer is typed into LabeledEditS.
class TFormMacroQ : public QDialog {
  Q_OBJECT
public:
  // `before` is the template text built so far, `after` the rest behind the
  // asked "/?" (display text).
  TFormMacroQ(const QString& before, const QString& after, QWidget* parent = nullptr);

  QString answer() const;
  QTextEdit* richEdit() const { return richEditS_; }

private:
  QTextEdit* richEditS_ = nullptr;
  QLineEdit* labeledEditS_ = nullptr;
};

}  // namespace ritoma
