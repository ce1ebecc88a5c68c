#include "conversion/ui/TFormMacroR.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "shell/ui/Fonts.h"
#include "shell/ui/HelpViewer.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {
QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }
std::string internal(const QString& text) { return TextCodec::fromDisplay(text.toStdU16String()); }
}  // namespace

TFormMacroR::TFormMacroR(const QString& caption, const RegisteredMacro& shown, QtUserInteraction& interaction,
                         QWidget* parent)
    : RegisteredEntryDialog(caption, "ﾏｸﾛを削除します", interaction, parent) {
  setObjectName(QStringLiteral("FormMacroR"));
  setWindowTitle(QStringLiteral("ﾏｸﾛ") + caption);
  setProperty("helpContext", 501);
  HelpViewer::bindKey(this);

  auto makeEdit = [this](const char* name, const std::string& text) {
    auto* edit = new QLineEdit(display(text), this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setFont(Fonts::fixed());
    return edit;
  };
  labeledEditF_ = makeEdit("LabeledEditF", shown.fileTemplate);
  labeledEditE_ = makeEdit("LabeledEditE", shown.extTemplate);
  labeledEditR_ = makeEdit("LabeledEditR", shown.name);

  buttonS_ = new QPushButton(QStringLiteral("/?"), this);
  buttonS_->setObjectName(QStringLiteral("ButtonS"));
  buttonS_->setEnabled(false);
  // The caret stays in the template box while "/?" is inserted.
  buttonS_->setFocusPolicy(Qt::NoFocus);

  connect(buttonS_, &QPushButton::clicked, this, &TFormMacroR::ButtonSClick);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { focusMoved(now); });

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("ﾌｧｲﾙ名"), this), 0, 0);
  grid->addWidget(labeledEditF_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("拡張子"), this), 1, 0);
  grid->addWidget(labeledEditE_, 1, 1);
  grid->addWidget(buttonS_, 0, 2, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("登録名"), this), 2, 0);
  grid->addWidget(labeledEditR_, 2, 1);
  addButtons(grid);
}

RegisteredMacro TFormMacroR::entry() const {
  return {internal(labeledEditR_->text()), internal(labeledEditF_->text()), internal(labeledEditE_->text())};
}

void TFormMacroR::focusMoved(QWidget* now) {
  if (!now || now->window() != this) return;
  if (now == labeledEditF_ || now == labeledEditE_) {
    questionTarget_ = static_cast<QLineEdit*>(now);
    buttonS_->setEnabled(true);
  } else {
    buttonS_->setEnabled(false);
  }
}

void TFormMacroR::ButtonSClick() {
  // Typed in like a paste at the caret, replacing the selection; the
  // clipboard is not used.
  if (questionTarget_) questionTarget_->insert(QStringLiteral("/?"));
}

}  // namespace ritoma
