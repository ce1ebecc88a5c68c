#include "conversion/ui/TFormMacroQ.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "shell/ui/HelpViewer.h"
#include "shell/ui/OkCancelRow.h"

namespace ritoma {

TFormMacroQ::TFormMacroQ(const QString& before, const QString& after, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormMacroQ"));
  setWindowTitle(QStringLiteral("文字列ﾏｸﾛ(/?)置換"));
  setProperty("helpContext", 501);
  HelpViewer::bindKey(this);

  richEditS_ = new QTextEdit(this);
  richEditS_->setObjectName(QStringLiteral("RichEditS"));
  richEditS_->setReadOnly(true);
  richEditS_->setFixedHeight(48);
  QTextCursor cursor(richEditS_->document());
  QTextCharFormat plain;
  cursor.insertText(before, plain);
  QTextCharFormat mark;
  mark.setForeground(QColor(0, 0, 255));
  mark.setFontWeight(QFont::Bold);
  mark.setFontUnderline(true);
  cursor.insertText(QStringLiteral("/?"), mark);
  cursor.insertText(after, plain);

  labeledEditS_ = new QLineEdit(this);
  labeledEditS_->setObjectName(QStringLiteral("LabeledEditS"));
  auto* label = new QLabel(QStringLiteral("置換文字列"), this);
  label->setBuddy(labeledEditS_);

  const OkCancelRow buttons(this);
  connect(buttons.ok(), &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(richEditS_);
  layout->addWidget(label);
  layout->addWidget(labeledEditS_);
  layout->addLayout(buttons.layout());
  labeledEditS_->setFocus();
}

QString TFormMacroQ::answer() const { return labeledEditS_->text(); }

}  // namespace ritoma
