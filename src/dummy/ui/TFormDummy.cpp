#include "dummy/ui/TFormDummy.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "archive/ArchiveLibraries.h"
#include "conversion/ui/NumberField.h"
#include "dummy/ui/TRichEditEx.h"
#include "settings/DummySettings.h"
#include "shell/ui/Fonts.h"
#include "shell/ui/HelpViewer.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

QCheckBox* makeCheckBox(const char* name, const QString& caption, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QRadioButton* makeRadioButton(const char* name, const QString& caption, QWidget* parent) {
  auto* button = new QRadioButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

// A number field (5 digits at most, as the ranges give) with its unit after it.
QSpinBox* makeNumber(const char* edit, const char* upDown, int minimum, QWidget* parent) {
  QSpinBox* box = NumberField::create(parent, QString::fromLatin1(edit), QString::fromLatin1(upDown), minimum,
                                      DummySettings::MaxNumber);
  NumberField::edit(box)->setMaxLength(5);
  box->setMinimumWidth(70);
  return box;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets, int indent = 0) {
  auto* layout = new QHBoxLayout;
  if (indent) layout->addSpacing(indent);
  for (QWidget* w : widgets) layout->addWidget(w);
  layout->addStretch();
  return layout;
}

}  // namespace

TFormDummy::TFormDummy(DummySettings& settings, const ArchiveLibraries& archives, QWidget* parent)
    : QDialog(parent), settings_(settings), archives_(archives) {
  setObjectName(QStringLiteral("FormDummy"));
  setWindowTitle(QStringLiteral("ﾀﾞﾐｰﾌｧｲﾙ設定"));
  setModal(true);
  HelpViewer::bindKey(this, 305);
  buildControls();
  showSettings();
  updateArchiveChoices();
}

void TFormDummy::buildControls() {
  auto* layout = new QVBoxLayout(this);
  pageControl_ = new QTabWidget(this);
  pageControl_->setObjectName(QStringLiteral("PageControl"));
  layout->addWidget(pageControl_);

  // Page 0: the text.
  auto* page0 = new QWidget;
  page0->setObjectName(QStringLiteral("TabSheetEdit"));
  richEditExDummy_ = new TRichEditEx(page0);
  richEditExDummy_->setObjectName(QStringLiteral("RichEditExDummy"));
  const QFont font = Fonts::fixed(12);
  richEditExDummy_->setFont(font);
  richEditExDummy_->setTabStopDistance(3 * QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')));
  richEditExDummy_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  richEditExDummy_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  checkBoxZeroByte_ = makeCheckBox("CheckBoxZeroByte", QStringLiteral("0(ｾﾞﾛ)ﾊﾞｲﾄ"), page0);
  panelByte_ = new QLabel(page0);
  panelByte_->setObjectName(QStringLiteral("PanelByte"));
  panelByte_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panelByte_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  panelByte_->setMinimumWidth(80);
  auto* layout0 = new QVBoxLayout(page0);
  layout0->addWidget(richEditExDummy_);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(checkBoxZeroByte_);
  bottom->addStretch();
  bottom->addWidget(panelByte_);
  layout0->addLayout(bottom);
  pageControl_->addTab(page0, QStringLiteral("内容編集"));

  // Page 1: a cut-out of the source.
  auto* page1 = new QWidget;
  page1->setObjectName(QStringLiteral("TabSheetFile"));
  radioButtonBin_ = makeRadioButton("RadioButtonBin", QStringLiteral("ﾊﾞｲﾅﾘﾌｧｲﾙ"), page1);
  radioButtonTxt_ = makeRadioButton("RadioButtonTxt", QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ"), page1);
  auto* modes = new QButtonGroup(page1);
  modes->addButton(radioButtonBin_);
  modes->addButton(radioButtonTxt_);
  upDownBin1_ = makeNumber("EditBin1", "UpDownBin1", 0, page1);
  upDownBin2_ = makeNumber("EditBin2", "UpDownBin2", 0, page1);
  upDownTxt1_ = makeNumber("EditTxt1", "UpDownTxt1", 1, page1);
  upDownTxt2_ = makeNumber("EditTxt2", "UpDownTxt2", 1, page1);
  checkBoxTxtMax_ = makeCheckBox("CheckBoxTxtMax", QStringLiteral("最大出力ﾊﾞｲﾄ数制限"), page1);
  upDownTxtMax_ = makeNumber("EditTxtMax", "UpDownTxtMax", 0, page1);
  auto* layout1 = new QVBoxLayout(page1);
  layout1->addWidget(radioButtonBin_);
  layout1->addLayout(row({upDownBin1_, new QLabel(QStringLiteral("ﾊﾞｲﾄ目から"), page1), upDownBin2_,
                          new QLabel(QStringLiteral("ﾊﾞｲﾄ"), page1)}, 20));
  layout1->addWidget(radioButtonTxt_);
  layout1->addLayout(row({upDownTxt1_, new QLabel(QStringLiteral("行目から"), page1), upDownTxt2_,
                          new QLabel(QStringLiteral("行"), page1)}, 20));
  layout1->addLayout(row({checkBoxTxtMax_, upDownTxtMax_, new QLabel(QStringLiteral("ﾊﾞｲﾄ"), page1)}, 20));
  layout1->addStretch();
  pageControl_->addTab(page1, QStringLiteral("ﾌｧｲﾙ内容"));

  // Page 2: a file stored in the source.
  auto* page2 = new QWidget;
  page2->setObjectName(QStringLiteral("TabSheetArc"));
  checkBoxArcLzh_ = makeCheckBox("CheckBoxArcLzh", QStringLiteral("lzh"), page2);
  checkBoxArcZip_ = makeCheckBox("CheckBoxArcZip", QStringLiteral("zip"), page2);
  checkBoxArcRar_ = makeCheckBox("CheckBoxArcRar", QStringLiteral("rar"), page2);
  checkBoxArcRar_->setEnabled(false);
  upDownArcNo_ = makeNumber("EditArcNo", "UpDownArcNo", 1, page2);
  checkBoxArcExt_ = makeCheckBox("CheckBoxArcExt", QStringLiteral("拡張子変更"), page2);
  comboBoxNotArc_ = new QComboBox(page2);
  comboBoxNotArc_->setObjectName(QStringLiteral("ComboBoxNotArc"));
  comboBoxNotArc_->addItems({QStringLiteral("内容編集"), QStringLiteral("ﾌｧｲﾙ内容")});
  auto* layout2 = new QVBoxLayout(page2);
  layout2->addLayout(row({checkBoxArcLzh_, checkBoxArcZip_, checkBoxArcRar_}));
  layout2->addLayout(row({upDownArcNo_, new QLabel(QStringLiteral("ﾌｧｲﾙ目"), page2), checkBoxArcExt_}));
  layout2->addLayout(row({new QLabel(QStringLiteral("対象書庫ﾌｧｲﾙ以外の場合"), page2), comboBoxNotArc_}));
  layout2->addStretch();
  pageControl_->addTab(page2, QStringLiteral("書庫ﾌｧｲﾙ"));
  resize(420, 300);

  // Every change is in force at once.
  connect(pageControl_, &QTabWidget::currentChanged, this, [this](int page) { settings_.page = page; });
  connect(richEditExDummy_, &QPlainTextEdit::textChanged, this, &TFormDummy::editChanged);
  connect(checkBoxZeroByte_, &QCheckBox::toggled, this, [this](bool on) {
    settings_.zeroByte = on;
    updateEnabling();
  });
  connect(radioButtonBin_, &QRadioButton::toggled, this, [this](bool on) {
    settings_.binary = on;
    updateEnabling();
  });
  connect(checkBoxTxtMax_, &QCheckBox::toggled, this, [this](bool on) {
    settings_.txtMax = on;
    updateEnabling();
  });
  auto number = [this](QSpinBox* box, int DummySettings::*field) {
    connect(box, &QSpinBox::valueChanged, this, [this, field](int value) { settings_.*field = value; });
  };
  number(upDownBin1_, &DummySettings::bin1);
  number(upDownBin2_, &DummySettings::bin2);
  number(upDownTxt1_, &DummySettings::txt1);
  number(upDownTxt2_, &DummySettings::txt2);
  number(upDownTxtMax_, &DummySettings::txtMaxBytes);
  number(upDownArcNo_, &DummySettings::arcNo);
  connect(checkBoxArcLzh_, &QCheckBox::toggled, this, [this](bool on) { settings_.arcLzh = on; });
  connect(checkBoxArcZip_, &QCheckBox::toggled, this, [this](bool on) { settings_.arcZip = on; });
  connect(checkBoxArcExt_, &QCheckBox::toggled, this, [this](bool on) { settings_.arcExt = on; });
  connect(comboBoxNotArc_, &QComboBox::currentIndexChanged, this,
          [this](int index) { settings_.notArcExcerpt = index == 1; });
}

// Puts the settings into the controls; the handlers then write back the
// same values.
void TFormDummy::showSettings() {
  const DummySettings s = settings_;
  QString text = QString::fromStdU16String(TextCodec::toDisplay(s.edit));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  richEditExDummy_->setPlainText(text);
  checkBoxZeroByte_->setChecked(s.zeroByte);
  (s.binary ? radioButtonBin_ : radioButtonTxt_)->setChecked(true);
  upDownBin1_->setValue(s.bin1);
  upDownBin2_->setValue(s.bin2);
  upDownTxt1_->setValue(s.txt1);
  upDownTxt2_->setValue(s.txt2);
  checkBoxTxtMax_->setChecked(s.txtMax);
  upDownTxtMax_->setValue(s.txtMaxBytes);
  checkBoxArcLzh_->setChecked(s.arcLzh);
  checkBoxArcZip_->setChecked(s.arcZip);
  upDownArcNo_->setValue(s.arcNo);
  checkBoxArcExt_->setChecked(s.arcExt);
  comboBoxNotArc_->setCurrentIndex(s.notArcExcerpt ? 1 : 0);
  pageControl_->setCurrentIndex(s.page);
  settings_ = s;
  updateEnabling();
  editChanged();
}

void TFormDummy::editChanged() {
  settings_.edit = TextCodec::fromDisplay(richEditExDummy_->crlfText().toStdU16String());
  panelByte_->setText(QString::number(TextCodec::toDisk(settings_.edit).size()));
}

void TFormDummy::updateEnabling() {
  richEditExDummy_->setEnabled(!checkBoxZeroByte_->isChecked());
  const bool binary = radioButtonBin_->isChecked();
  upDownBin1_->setEnabled(binary);
  upDownBin2_->setEnabled(binary);
  upDownTxt1_->setEnabled(!binary);
  upDownTxt2_->setEnabled(!binary);
  checkBoxTxtMax_->setEnabled(!binary);
  upDownTxtMax_->setEnabled(!binary && checkBoxTxtMax_->isChecked());
}

void TFormDummy::updateArchiveChoices() {
  checkBoxArcLzh_->setEnabled(archives_.isLoaded(ArcLzh));
  checkBoxArcZip_->setEnabled(archives_.isLoaded(ArcZip));
}

// A number field left empty or unfinished shows its last value again,
// which is also the value in force.
void TFormDummy::hideEvent(QHideEvent* event) {
  for (QSpinBox* box : {upDownBin1_, upDownBin2_, upDownTxt1_, upDownTxt2_, upDownTxtMax_, upDownArcNo_})
    NumberField::edit(box)->setText(QString::number(box->value()));
  QDialog::hideEvent(event);
}

}  // namespace ritoma
