#include "conversion/ui/TFormRepR.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "conversion/ui/NumberField.h"
#include "conversion/ui/RadioGroup.h"
#include "shell/ui/Fonts.h"
#include "shell/ui/HelpViewer.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {
QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }
std::string internal(const QString& text) { return TextCodec::fromDisplay(text.toStdU16String()); }
}  // namespace

TFormRepR::TFormRepR(const QString& caption, const RegisteredReplace& shown, QtUserInteraction& interaction,
                     QWidget* parent)
    : RegisteredEntryDialog(caption, "置換登録を削除します", interaction, parent) {
  setObjectName(QStringLiteral("FormRepR"));
  setWindowTitle(QStringLiteral("置換") + caption);
  setProperty("helpContext", 502);
  HelpViewer::bindKey(this);
  const ReplaceParameters params = ReplaceParameters::decode(shown.parameters);

  labeledEdit1_ = new QLineEdit(display(shown.before), this);
  labeledEdit1_->setObjectName(QStringLiteral("LabeledEdit1"));
  labeledEdit2_ = new QLineEdit(display(shown.after), this);
  labeledEdit2_->setObjectName(QStringLiteral("LabeledEdit2"));
  labeledEdit1_->setFont(Fonts::fixed());
  labeledEdit2_->setFont(Fonts::fixed());
  radioGroupRep_ = new RadioGroup(QStringLiteral("RadioGroupRep"), QStringLiteral("対象"),
                                  {QStringLiteral("ﾌｧｲﾙ名"), QStringLiteral("拡張子"), QStringLiteral("両方")}, this);
  radioGroupRep_->setItemIndex(static_cast<int>(params.target));
  radioGroupRepLR_ = new RadioGroup(QStringLiteral("RadioGroupRepLR"), QStringLiteral("検索開始位置"),
                                    {QStringLiteral("左→"), QStringLiteral("←右")}, this);
  radioGroupRepLR_->setItemIndex(params.leftToRight ? 0 : 1);
  checkBoxRepUL_ = new QCheckBox(QStringLiteral("大/小文字区別"), this);
  checkBoxRepUL_->setObjectName(QStringLiteral("CheckBoxRepUL"));
  checkBoxRepUL_->setChecked(params.caseSensitive);
  upDownRep_ = NumberField::create(this, QStringLiteral("EditRep"), QStringLiteral("UpDownRep"), 0, 9);
  upDownRep_->setValue(params.replaceCount);
  NumberField::acceptDigitsOnly(upDownRep_);
  upDownSkip_ = NumberField::create(this, QStringLiteral("EditSkip"), QStringLiteral("UpDownSkip"), 0, 999);
  upDownSkip_->setValue(params.skipCount);
  NumberField::acceptDigitsOnly(upDownSkip_);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("置換前"), this), 0, 0);
  grid->addWidget(labeledEdit1_, 0, 1, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("置換後"), this), 1, 0);
  grid->addWidget(labeledEdit2_, 1, 1, 1, 3);
  grid->addWidget(radioGroupRep_, 2, 0, 1, 2);
  grid->addWidget(radioGroupRepLR_, 2, 2, 1, 2);
  grid->addWidget(checkBoxRepUL_, 3, 0, 1, 4);
  grid->addWidget(new QLabel(QStringLiteral("置換件数"), this), 4, 0);
  grid->addWidget(upDownRep_, 4, 1);
  grid->addWidget(new QLabel(QStringLiteral("ｽｷｯﾌﾟ件数"), this), 4, 2);
  grid->addWidget(upDownSkip_, 4, 3);
  addButtons(grid);
}

RegisteredReplace TFormRepR::entry() const {
  ReplaceParameters params;
  params.caseSensitive = checkBoxRepUL_->isChecked();
  params.target = static_cast<NamePart>(radioGroupRep_->itemIndex());
  params.leftToRight = radioGroupRepLR_->itemIndex() == 0;
  params.replaceCount = upDownRep_->value();
  params.skipCount = upDownSkip_->value();
  return {params.encode(), internal(labeledEdit1_->text()), internal(labeledEdit2_->text())};
}

}  // namespace ritoma
