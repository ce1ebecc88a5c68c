#include "conversion/ui/TConversionPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "conversion/NotIntegerError.h"
#include "conversion/ui/ConversionListModel.h"
#include "conversion/ui/ConversionListView.h"
#include "conversion/ui/GrayCheckBox.h"
#include "conversion/ui/NumberField.h"
#include "conversion/ui/RadioGroup.h"
#include "conversion/ui/RegisteredListView.h"
#include "conversion/ui/TFormMacro.h"
#include "conversion/ui/TFormMacroQ.h"
#include "conversion/ui/TFormMacroR.h"
#include "conversion/ui/TFormRepR.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

const QString kPreview = QStringLiteral("← 確認");
const QString kApply = QStringLiteral("変換 →");
const QString kRegister = QStringLiteral("登録");
const QString kUpdate = QStringLiteral("更新");

QString display(std::string_view cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }
std::string internal(const QString& text) { return TextCodec::fromDisplay(text.toStdU16String()); }

QPushButton* makeButton(const char* name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

QLineEdit* makeEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

ClassState classState(const QCheckBox* box) {
  switch (box->checkState()) {
    case Qt::Checked: return ClassState::Checked;
    case Qt::PartiallyChecked: return ClassState::Grayed;
    default: return ClassState::Unchecked;
  }
}

bool within(const QWidget* widget, const QWidget* ancestor) {
  return widget && ancestor && (widget == ancestor || ancestor->isAncestorOf(widget));
}

}  // namespace

TConversionPage::TConversionPage(FileSystem& fs, std::string settingsPath, EditList& edit,
                                 QtUserInteraction& interaction, ProgressSink& progress, QWidget* parent)
    : QWidget(parent),
      fs_(fs),
      settingsPath_(std::move(settingsPath)),
      edit_(edit),
      interaction_(interaction),
      progress_(progress) {
  setObjectName(QStringLiteral("TabSheet3"));
  setProperty("helpContext", 304);

  splitter3_ = new QSplitter(Qt::Horizontal, this);
  splitter3_->setObjectName(QStringLiteral("Splitter3"));
  splitter3_->setChildrenCollapsible(false);

  auto* left = new QWidget(splitter3_);
  left->setObjectName(QStringLiteral("Panel3"));
  left->setMinimumWidth(250);

  labelSample_ = new QLabel(QStringLiteral("ｻﾝﾌﾟﾙ"), left);
  labelSample_->setObjectName(QStringLiteral("LabelSAMPLE"));
  editSample_ = makeEdit("EditSAMPLE", left);
  editSample_->setReadOnly(true);
  editSample_->installEventFilter(this);
  labelSample_->setBuddy(editSample_);

  button3Cnv_ = makeButton("Button3CNV", kPreview, left);
  button3Ok_ = makeButton("Button3OK", QStringLiteral("保存"), left);
  button3Cancel_ = makeButton("Button3CANCEL", QStringLiteral("ｷｬﾝｾﾙ"), left);

  pageControl3_ = new QTabWidget(left);
  pageControl3_->setObjectName(QStringLiteral("PageControl3"));
  pageControl3_->addTab(buildTemplateTab(), QStringLiteral("ﾌｧｲﾙ名変換"));
  pageControl3_->addTab(buildReplaceTab(), QStringLiteral("文字列置換"));
  pageControl3_->addTab(buildCharTab(), QStringLiteral("文字種別変換"));
  // The three tools are always in sight: the panel widens to the tabs
  // rather than hiding one behind scroll arrows.
  pageControl3_->setUsesScrollButtons(false);

  labelDirect_ = new QLabel(QStringLiteral("直接編集"), left);
  labelDirect_->setObjectName(QStringLiteral("LabelDirect"));
  labeledEditDirect_ = makeEdit("LabeledEditDirect", left);
  labelDirect_->setBuddy(labeledEditDirect_);
  buttonDirectOk_ = makeButton("ButtonDirectOK", QStringLiteral("OK"), left);
  buttonDirectCancel_ = makeButton("ButtonDirectCANCEL", QStringLiteral("ｷｬﾝｾﾙ"), left);
  for (QWidget* w : {static_cast<QWidget*>(labelDirect_), static_cast<QWidget*>(labeledEditDirect_),
                     static_cast<QWidget*>(buttonDirectOk_), static_cast<QWidget*>(buttonDirectCancel_)})
    w->hide();

  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(4, 4, 4, 4);
  leftLayout->addWidget(labelSample_);
  leftLayout->addWidget(editSample_);
  leftLayout->addWidget(button3Cnv_);
  leftLayout->addWidget(pageControl3_, 1);
  auto* okRow = new QHBoxLayout;
  okRow->addWidget(button3Ok_);
  okRow->addWidget(button3Cancel_);
  leftLayout->addLayout(okRow);
  leftLayout->addWidget(labelDirect_);
  leftLayout->addWidget(labeledEditDirect_);
  auto* directRow = new QHBoxLayout;
  directRow->addWidget(buttonDirectOk_);
  directRow->addWidget(buttonDirectCancel_);
  leftLayout->addLayout(directRow);
  leftLayout->addStretch(0);
  left->setMinimumWidth(std::max(250, leftLayout->minimumSize().width()));

  model_ = new ConversionListModel(list_, this);
  listView3_ = new ConversionListView(splitter3_);
  listView3_->setMinimumWidth(250);
  listView3_->setListModel(model_);
  listView3_->header()->resizeSection(ConversionListModel::ColumnSource, 120);
  splitter3_->addWidget(left);
  splitter3_->addWidget(listView3_);
  splitter3_->setStretchFactor(1, 1);
  connect(splitter3_, &QSplitter::splitterMoved, this, [this] { split3_ = splitter3_->sizes().value(0, split3_); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter3_);

  formMacro_ = std::make_unique<TFormMacro>(fs_, settingsPath_, interaction_, this);

  connect(button3Cnv_, &QPushButton::clicked, this, &TConversionPage::Button3CNVClick);
  connect(button3Ok_, &QPushButton::clicked, this, &TConversionPage::SaveStage);
  connect(button3Cancel_, &QPushButton::clicked, this, &TConversionPage::LeaveConversionPage);
  connect(buttonDirectOk_, &QPushButton::clicked, this, &TConversionPage::ButtonDirectOKClick);
  connect(buttonDirectCancel_, &QPushButton::clicked, this, &TConversionPage::EndDirectEdit);
  connect(listView3_, &ConversionListView::listClicked, this, &TConversionPage::ResetSample);
  connect(listView3_, &ConversionListView::rowDoubleClicked, this, &TConversionPage::BeginDirectEdit);
  connect(listView3_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TConversionPage::UpdateConvertButton);
  connect(pageControl3_, &QTabWidget::currentChanged, this, &TConversionPage::UpdateConvertButton);
  connect(pageControl3_, &QTabWidget::tabBarClicked, this, [this] { pageControl3_->tabBar()->setFocus(); });
  // The tab bar, focused by a click on a tab, has the help of the tab shown.
  const auto tabHelp = [this](int index) {
    if (QWidget* tab = pageControl3_->widget(index)) pageControl3_->setProperty("helpContext", tab->property("helpContext"));
  };
  connect(pageControl3_, &QTabWidget::currentChanged, this, tabHelp);
  tabHelp(pageControl3_->currentIndex());
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) { focusEntered(old, now); });

  answerer_ = [this](std::string_view before, std::string_view after) { return askQuestion(before, after); };
  UpdateConvertButton();
}

TConversionPage::~TConversionPage() = default;

// ---------------------------------------------------------------- tabs

QWidget* TConversionPage::buildTemplateTab() {
  tabSheetF_ = new QWidget;
  tabSheetF_->setObjectName(QStringLiteral("TabSheetF"));
  tabSheetF_->setProperty("helpContext", 501);

  labeledEditF_ = makeEdit("LabeledEditF", tabSheetF_);
  checkBoxE_ = new QCheckBox(QStringLiteral("拡張子"), tabSheetF_);
  checkBoxE_->setObjectName(QStringLiteral("CheckBoxE"));
  editE_ = makeEdit("EditE", tabSheetF_);
  editE_->setEnabled(false);
  for (QLineEdit* field : {labeledEditF_, editE_}) {
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, [this] { keptField_ = nullptr; });
  }
  buttonMacroEditF1_ = makeButton("ButtonMacroEditF1", QStringLiteral("←"), tabSheetF_);
  buttonMacroEditF2_ = makeButton("ButtonMacroEditF2", QStringLiteral("+"), tabSheetF_);
  buttonMacroEditE1_ = makeButton("ButtonMacroEditE1", QStringLiteral("←"), tabSheetF_);
  buttonMacroEditE2_ = makeButton("ButtonMacroEditE2", QStringLiteral("+"), tabSheetF_);
  for (QPushButton* b : {buttonMacroEditF1_, buttonMacroEditF2_, buttonMacroEditE1_, buttonMacroEditE2_}) {
    b->setFixedWidth(24);
    b->setEnabled(false);
  }
  comboBoxMacro_ = new QComboBox(tabSheetF_);
  comboBoxMacro_->setObjectName(QStringLiteral("ComboBoxMacro"));
  comboBoxMacro_->addItems({QStringLiteral("元ﾌｧｲﾙ名(/f)"), QStringLiteral("元拡張子(/e)"), QStringLiteral("連番(/n)"),
                            QStringLiteral("親ｷｰ連番(/K)"), QStringLiteral("子ｷｰ連番(/k)"),
                            QStringLiteral("ﾌｧｲﾙ日付(/D)"), QStringLiteral("ﾌｧｲﾙ時刻(/T)"),
                            QStringLiteral("ﾌｧｲﾙｻｲｽﾞ(/s)"), QStringLiteral("親ﾌｫﾙﾀﾞ名(/o)")});
  comboBoxMacro_->setCurrentIndex(-1);
  buttonMacroR_ = makeButton("ButtonMacroR", kRegister, tabSheetF_);
  listViewMacro_ = new RegisteredListView(QStringLiteral("ListViewMacro"), tabSheetF_);
  listViewMacro_->setHeaderLabels({QStringLiteral("登録名"), QStringLiteral("ﾌｧｲﾙ名"), QStringLiteral("拡張子")});
  listViewMacro_->header()->resizeSection(0, 75);
  listViewMacro_->header()->resizeSection(1, 75);
  listViewMacro_->header()->resizeSection(2, 50);

  auto* grid = new QGridLayout(tabSheetF_);
  auto* nameLabel = new QLabel(QStringLiteral("ﾌｧｲﾙ名"), tabSheetF_);
  nameLabel->setBuddy(labeledEditF_);
  grid->addWidget(nameLabel, 0, 0, 1, 3);
  grid->addWidget(labeledEditF_, 1, 0);
  grid->addWidget(buttonMacroEditF1_, 1, 1);
  grid->addWidget(buttonMacroEditF2_, 1, 2);
  grid->addWidget(checkBoxE_, 2, 0, 1, 3);
  grid->addWidget(editE_, 3, 0);
  grid->addWidget(buttonMacroEditE1_, 3, 1);
  grid->addWidget(buttonMacroEditE2_, 3, 2);
  auto* macroLabel = new QLabel(QStringLiteral("ﾏｸﾛ↑"), tabSheetF_);
  macroLabel->setBuddy(comboBoxMacro_);
  auto* macroRow = new QHBoxLayout;
  macroRow->addWidget(macroLabel);
  macroRow->addWidget(comboBoxMacro_, 1);
  grid->addLayout(macroRow, 4, 0, 1, 3);
  grid->addWidget(buttonMacroR_, 5, 0, 1, 3, Qt::AlignLeft);
  grid->addWidget(listViewMacro_, 6, 0, 1, 3);
  grid->setRowStretch(6, 1);

  connect(labeledEditF_, &QLineEdit::textChanged, this, &TConversionPage::UpdateConvertButton);
  connect(checkBoxE_, &QCheckBox::toggled, this, [this](bool on) {
    editE_->setEnabled(on);
    updateMacroButtons();
  });
  connect(comboBoxMacro_, &QComboBox::currentIndexChanged, this, &TConversionPage::updateMacroButtons);
  connect(buttonMacroEditF1_, &QPushButton::clicked, this, [this] { insertChosenMacro(labeledEditF_, false); });
  connect(buttonMacroEditF2_, &QPushButton::clicked, this, [this] { insertChosenMacro(labeledEditF_, true); });
  connect(buttonMacroEditE1_, &QPushButton::clicked, this, [this] { insertChosenMacro(editE_, false); });
  connect(buttonMacroEditE2_, &QPushButton::clicked, this, [this] { insertChosenMacro(editE_, true); });
  connect(buttonMacroR_, &QPushButton::clicked, this, &TConversionPage::ButtonMacroRClick);
  connect(listViewMacro_, &RegisteredListView::listDoubleClicked, this, &TConversionPage::ListViewMacroDblClick);
  connect(listViewMacro_, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (buttonMacroR_->text() == kUpdate) buttonMacroR_->setEnabled(listViewMacro_->selectedIndex() >= 0);
  });
  connect(listViewMacro_, &RegisteredListView::entryDropped, this, &TConversionPage::ListViewMacroDragDrop);
  return tabSheetF_;
}

QWidget* TConversionPage::buildReplaceTab() {
  tabSheetRep_ = new QWidget;
  tabSheetRep_->setObjectName(QStringLiteral("TabSheetRep"));
  tabSheetRep_->setProperty("helpContext", 502);

  comboBoxRep1_ = new QComboBox(tabSheetRep_);
  comboBoxRep1_->setObjectName(QStringLiteral("ComboBoxRep1"));
  comboBoxRep2_ = new QComboBox(tabSheetRep_);
  comboBoxRep2_->setObjectName(QStringLiteral("ComboBoxRep2"));
  for (QComboBox* c : {comboBoxRep1_, comboBoxRep2_}) {
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(20);
  }
  radioGroupRep_ = new RadioGroup(QStringLiteral("RadioGroupRep"), QStringLiteral("対象"),
                                  {QStringLiteral("ﾌｧｲﾙ名"), QStringLiteral("拡張子"), QStringLiteral("両方")},
                                  tabSheetRep_);
  radioGroupRepLR_ = new RadioGroup(QStringLiteral("RadioGroupRepLR"), QStringLiteral("検索開始位置"),
                                    {QStringLiteral("左→"), QStringLiteral("←右")}, tabSheetRep_);
  checkBoxRepUL_ = new QCheckBox(QStringLiteral("大/小文字区別"), tabSheetRep_);
  checkBoxRepUL_->setObjectName(QStringLiteral("CheckBoxRepUL"));
  checkBoxRepUL_->setChecked(true);
  upDownSkip_ = NumberField::create(tabSheetRep_, QStringLiteral("EditSkip"), QStringLiteral("UpDownSkip"), 0, 999);
  upDownRep_ = NumberField::create(tabSheetRep_, QStringLiteral("EditRep"), QStringLiteral("UpDownRep"), 0, 9);
  NumberField::acceptDigitsOnly(upDownSkip_);
  buttonRepR_ = makeButton("ButtonRepR", kRegister, tabSheetRep_);
  listViewRep_ = new RegisteredListView(QStringLiteral("ListViewRep"), tabSheetRep_);
  listViewRep_->setHeaderLabels({QString(), QStringLiteral("置換前"), QStringLiteral("置換後")});
  listViewRep_->header()->setMinimumSectionSize(0);
  listViewRep_->header()->resizeSection(0, 0);
  listViewRep_->header()->setSectionResizeMode(0, QHeaderView::Fixed);
  listViewRep_->setColumnHidden(0, true);

  auto* grid = new QGridLayout(tabSheetRep_);
  grid->addWidget(new QLabel(QStringLiteral("置換前"), tabSheetRep_), 0, 0, 1, 4);
  grid->addWidget(comboBoxRep1_, 1, 0, 1, 4);
  grid->addWidget(new QLabel(QStringLiteral("置換後"), tabSheetRep_), 2, 0, 1, 4);
  grid->addWidget(comboBoxRep2_, 3, 0, 1, 4);
  grid->addWidget(radioGroupRep_, 4, 0, 1, 2);
  grid->addWidget(radioGroupRepLR_, 4, 2, 1, 2);
  grid->addWidget(checkBoxRepUL_, 5, 0, 1, 4);
  grid->addWidget(new QLabel(QStringLiteral("ｽｷｯﾌﾟ件数"), tabSheetRep_), 6, 0);
  grid->addWidget(upDownSkip_, 6, 1);
  grid->addWidget(new QLabel(QStringLiteral("置換件数"), tabSheetRep_), 6, 2);
  grid->addWidget(upDownRep_, 6, 3);
  grid->addWidget(buttonRepR_, 7, 0, 1, 4, Qt::AlignLeft);
  grid->addWidget(listViewRep_, 8, 0, 1, 4);
  grid->setRowStretch(8, 1);

  connect(comboBoxRep1_, &QComboBox::editTextChanged, this, &TConversionPage::UpdateConvertButton);
  connect(buttonRepR_, &QPushButton::clicked, this, &TConversionPage::ButtonRepRClick);
  connect(listViewRep_, &RegisteredListView::listDoubleClicked, this, &TConversionPage::ListViewRepDblClick);
  connect(listViewRep_, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (buttonRepR_->text() == kUpdate) buttonRepR_->setEnabled(listViewRep_->selectedIndex() >= 0);
  });
  connect(listViewRep_, &RegisteredListView::entryDropped, this, &TConversionPage::ListViewRepDragDrop);
  return tabSheetRep_;
}

QWidget* TConversionPage::buildCharTab() {
  tabSheetChg_ = new QWidget;
  tabSheetChg_->setObjectName(QStringLiteral("TabSheetChg"));
  tabSheetChg_->setProperty("helpContext", 503);

  treeViewChg_ = new QTreeWidget(tabSheetChg_);
  treeViewChg_->setObjectName(QStringLiteral("TreeViewChg"));
  treeViewChg_->setHeaderHidden(true);
  buildTree();

  auto* target = new QGroupBox(QStringLiteral("対象"), tabSheetChg_);
  target->setObjectName(QStringLiteral("GroupBoxChg"));
  auto* targetLayout = new QHBoxLayout(target);
  const char* names[3] = {"RadioButtonChg1", "RadioButtonChg2", "RadioButtonChg3"};
  const QString captions[3] = {QStringLiteral("ﾌｧｲﾙ名"), QStringLiteral("拡張子"), QStringLiteral("両方")};
  for (int i = 0; i < 3; ++i) {
    radioButtonChg_[i] = new QRadioButton(captions[i], target);
    radioButtonChg_[i]->setObjectName(QString::fromLatin1(names[i]));
    targetLayout->addWidget(radioButtonChg_[i]);
  }
  radioButtonChg_[0]->setChecked(true);

  labeledEditChg_ = makeEdit("LabeledEditChg", tabSheetChg_);
  labeledEditChg_->setText(display(CharConverter::DefaultDelimiters()));
  auto* classes = new QGroupBox(tabSheetChg_);
  auto* classLayout = new QGridLayout(classes);
  checkBoxChg_[0] = new QCheckBox(QStringLiteral("英字"), classes);
  checkBoxChg_[0]->setObjectName(QStringLiteral("CheckBoxChg1"));
  checkBoxChg_[1] = new QCheckBox(QStringLiteral("数字"), classes);
  checkBoxChg_[1]->setObjectName(QStringLiteral("CheckBoxChg2"));
  checkBoxChg_[2] = new GrayCheckBox(QStringLiteral("CheckBoxChg3"), QStringLiteral("カナ"), classes);
  checkBoxChg_[3] = new GrayCheckBox(QStringLiteral("CheckBoxChg4"), QStringLiteral("その他"), classes);
  for (int i = 0; i < 4; ++i) classLayout->addWidget(checkBoxChg_[i], i / 2, i % 2);

  auto* layout = new QVBoxLayout(tabSheetChg_);
  auto* treeLabel = new QLabel(QStringLiteral("変換"), tabSheetChg_);
  treeLabel->setBuddy(treeViewChg_);
  layout->addWidget(treeLabel);
  layout->addWidget(treeViewChg_, 1);
  layout->addWidget(target);
  auto* wordLabel = new QLabel(QStringLiteral("単語区切り文字"), tabSheetChg_);
  wordLabel->setBuddy(labeledEditChg_);
  layout->addWidget(wordLabel);
  layout->addWidget(labeledEditChg_);
  layout->addWidget(classes);

  connect(treeViewChg_, &QTreeWidget::currentItemChanged, this, &TConversionPage::charNodeChanged);
  charNodeChanged();
  return tabSheetChg_;
}

void TConversionPage::buildTree() {
  QTreeWidgetItem* heading = nullptr;
  for (int position = 0; position < CharConverter::PositionCount; ++position) {
    const QString caption = QString::fromUtf8(CharConverter::NodeCaption(position));
    QTreeWidgetItem* item = nullptr;
    if (CharConverter::IsHeading(position)) {
      item = heading = new QTreeWidgetItem(treeViewChg_, {caption});
    } else {
      item = new QTreeWidgetItem(heading, {caption});
    }
    item->setData(0, Qt::UserRole, position);
  }
  treeViewChg_->expandAll();
}

int TConversionPage::treePosition() const {
  const QTreeWidgetItem* item = treeViewChg_->currentItem();
  return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

void TConversionPage::charNodeChanged() {
  const int position = treePosition();
  const bool targets = CharConverter::TargetChoiceEnabled(position);
  const bool wholeName = position == CharConverter::ComposePosition;
  radioButtonChg_[0]->setEnabled(!wholeName);
  radioButtonChg_[1]->setEnabled(targets);
  radioButtonChg_[2]->setEnabled(targets);
  // The buttons show the part the operation changes.
  if (!targets) radioButtonChg_[wholeName ? 2 : 0]->setChecked(true);
  labeledEditChg_->setEnabled(CharConverter::DelimitersEnabled(position));
  for (QCheckBox* box : checkBoxChg_) box->setEnabled(CharConverter::ClassesEnabled(position));
  UpdateConvertButton();
}

// ---------------------------------------------------------------- opening and settings

void TConversionPage::open(const ConversionStage& stage, const TemplateContext& context) {
  if (directRow_) EndDirectEdit();
  context_ = context;
  list_.Open(edit_, stage);
  model_->reload();
  if (!list_.rows.empty()) {
    listView3_->setCurrentIndex(model_->index(0, 0));
    listView3_->selectionModel()->select(model_->index(0, 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  ResetSample();
}

void TConversionPage::rowsChanged() { model_->reload(); }

void TConversionPage::setPluginMacros(const QStringList& entries, PluginOption option) {
  const int chosen = comboBoxMacro_->currentIndex();
  while (comboBoxMacro_->count() > BuiltInMacroCount) comboBoxMacro_->removeItem(BuiltInMacroCount);
  comboBoxMacro_->addItems(entries);
  comboBoxMacro_->setCurrentIndex(chosen < comboBoxMacro_->count() ? chosen : -1);
  pluginOption_ = std::move(option);
}

void TConversionPage::loadLayout(const IniFile& ini) {
  split3_ = ini.readInteger("Window", "Split3", 250);
  splitter3_->setSizes({split3_, std::max(250, splitter3_->width() - split3_)});
  listView3_->header()->resizeSection(ConversionListModel::ColumnSource, ini.readInteger("Window", "Colums3-1", 120));
  listView3_->header()->resizeSection(ConversionListModel::ColumnResult, ini.readInteger("Window", "Colums3-2", 10000));
  const int macroDefaults[3] = {75, 75, 50};
  for (int i = 0; i < 3; ++i)
    listViewMacro_->header()->resizeSection(
        i, ini.readInteger("Window", IniFile::indexedKey("ColumsM-", i), macroDefaults[i]));
}

void TConversionPage::loadMacroChoice(const IniFile& ini) { setMacroChoice(ini.readInteger("Window", "Macro3", -1)); }

void TConversionPage::saveLayout(IniFile& ini) const {
  IniFile::Batch batch(ini);
  ini.writeInteger("Window", "Split3", isVisible() ? splitter3_->sizes().value(0, split3_) : split3_);
  ini.writeInteger("Window", "Macro3", macroChoice());
  ini.writeInteger("Window", "Colums3-1", listView3_->header()->sectionSize(ConversionListModel::ColumnSource));
  ini.writeInteger("Window", "Colums3-2", listView3_->header()->sectionSize(ConversionListModel::ColumnResult));
  for (int i = 0; i < 3; ++i)
    ini.writeInteger("Window", IniFile::indexedKey("ColumsM-", i), listViewMacro_->header()->sectionSize(i));
  batch.commit();
}

void TConversionPage::loadMacros(const IniFile& ini) {
  macros_.load(ini);
  fillMacroList();
}

void TConversionPage::loadHistories(const IniFile& ini) {
  history_.load(ini);
  fillHistory(comboBoxRep1_, history_.search);
  fillHistory(comboBoxRep2_, history_.replacement);
}

void TConversionPage::loadReplacements(const IniFile& ini) {
  replacements_.load(ini);
  fillReplaceList();
}

void TConversionPage::saveHistories(IniFile& ini) const { history_.save(ini); }

std::string TConversionPage::wordDelimiters() const { return internal(labeledEditChg_->text()); }

void TConversionPage::setWordDelimiters(const std::string& text) { labeledEditChg_->setText(display(text)); }

int TConversionPage::macroChoice() const { return comboBoxMacro_->currentIndex(); }

void TConversionPage::setMacroChoice(int index) {
  comboBoxMacro_->setCurrentIndex(index >= 0 && index < comboBoxMacro_->count() ? index : -1);
  updateMacroButtons();
}

// ---------------------------------------------------------------- preview and apply

void TConversionPage::focusActiveTool() {
  switch (activeTool()) {
    case ToolTemplate: labeledEditF_->setFocus(); break;
    case ToolReplace: comboBoxRep1_->setFocus(); break;
    case ToolChars: treeViewChg_->setFocus(); break;
  }
}

TConversionPage::Tool TConversionPage::activeTool() const { return static_cast<Tool>(pageControl3_->currentIndex()); }

std::optional<std::size_t> TConversionPage::selectedRow() const {
  const std::vector<std::size_t> rows = listView3_->selectedRows();
  if (rows.empty() || rows.front() >= list_.rows.size()) return std::nullopt;
  return rows.front();
}

void TConversionPage::setSample(const std::string& text) {
  sample_ = text;
  editSample_->setText(display(text));
  editSample_->setToolTip(editSample_->text());
}

StringReplacer TConversionPage::replacer() const {
  StringReplacer r;
  r.search = internal(comboBoxRep1_->currentText());
  r.replacement = internal(comboBoxRep2_->currentText());
  r.target = static_cast<NamePart>(radioGroupRep_->itemIndex());
  r.leftToRight = radioGroupRepLR_->itemIndex() == 0;
  r.caseSensitive = checkBoxRepUL_->isChecked();
  r.skipCount = upDownSkip_->value();
  r.replaceCount = upDownRep_->value();
  return r;
}

CharConverter TConversionPage::converter() const {
  CharConverter c;
  c.position = treePosition();
  c.target = radioButtonChg_[2]->isChecked()   ? NamePart::Both
             : radioButtonChg_[1]->isChecked() ? NamePart::Extension
                                               : NamePart::Name;
  c.delimiters = wordDelimiters();
  c.letters = checkBoxChg_[0]->isChecked();
  c.digits = checkBoxChg_[1]->isChecked();
  c.kana = classState(checkBoxChg_[2]);
  c.other = classState(checkBoxChg_[3]);
  return c;
}

void TConversionPage::Button3CNVClick() {
  if (button3Cnv_->text() == kPreview) {
    PreviewSample();
  } else {
    ApplyToRows();
  }
}

void TConversionPage::PreviewSample() {
  const std::optional<std::size_t> row = selectedRow();
  if (!row) return;
  std::string text;
  switch (activeTool()) {
    case ToolTemplate: {
      engine_.context = context_;
      engine_.context.defaults = formMacro_->defaults();
      engine_.context.sizeWidth = edit_.sizeWidth;
      const std::string ext = internal(editE_->text());
      try {
        text = list_.PreviewTemplate(engine_, edit_, *row, internal(labeledEditF_->text()),
                                     checkBoxE_->isChecked() ? &ext : nullptr);
      } catch (const NotIntegerError& error) {
        interaction_.tell(MessageKind::Error, error.what(), "Ritoma");
        return;
      }
      break;
    }
    case ToolReplace:
      text = replacer().ReplaceAll(sample_);
      addToHistory(comboBoxRep1_, history_.search);
      if (!comboBoxRep2_->currentText().isEmpty()) addToHistory(comboBoxRep2_, history_.replacement);
      break;
    case ToolChars:
      text = converter().ConvertChars(sample_);
      break;
  }
  setSample(text);
  button3Cnv_->setText(kApply);
}

void TConversionPage::ApplyToRows() {
  switch (activeTool()) {
    case ToolTemplate: list_.ApplyToRows(engine_, edit_, progress_, progressThreshold_); break;
    case ToolReplace: list_.ApplyToRows(replacer(), progress_, progressThreshold_); break;
    case ToolChars: list_.ApplyToRows(converter(), progress_, progressThreshold_); break;
  }
  model_->resultsChanged();
  ResetSample();
}

void TConversionPage::ResetSample() {
  const std::optional<std::size_t> row = selectedRow();
  setSample(row ? list_.rows[*row].source : std::string());
  button3Cnv_->setText(kPreview);
  UpdateConvertButton();
}

void TConversionPage::UpdateConvertButton() {
  bool ready = false;
  switch (activeTool()) {
    case ToolTemplate: ready = !labeledEditF_->text().isEmpty(); break;
    case ToolReplace: ready = !comboBoxRep1_->currentText().isEmpty(); break;
    case ToolChars: ready = treePosition() >= 0 && !CharConverter::IsHeading(treePosition()); break;
  }
  button3Cnv_->setEnabled(ready && selectedRow().has_value());
}

void TConversionPage::addToHistory(QComboBox* combo, TextHistory& history) {
  const QString text = combo->currentText();
  history.AddToHistory(internal(text));
  fillHistory(combo, history);
  const QSignalBlocker block(combo);
  combo->setCurrentIndex(0);
  combo->setEditText(text);
}

void TConversionPage::fillHistory(QComboBox* combo, const TextHistory& history) {
  const QSignalBlocker block(combo);
  const QString text = combo->currentText();
  combo->clear();
  for (const std::string& entry : history.entries) combo->addItem(display(entry));
  combo->setCurrentIndex(-1);
  combo->setEditText(text);
}

// ---------------------------------------------------------------- focus, keys, sample box

void TConversionPage::focusEntered(QWidget* old, QWidget* now) {
  if (!now || !isAncestorOf(now)) return;
  // Only a move between the page's own controls resets a finished preview: the
  // window coming back to the front (no previous focus) or a dialog closing does not.
  const QWidget* tabPage = pageControl3_->currentWidget();
  const bool inTool = within(now, tabPage) && !within(now, upDownSkip_) && !within(now, upDownRep_);
  const bool moved = old && isAncestorOf(old);
  if (moved && inTool && button3Cnv_->text() == kApply) ResetSample();

  if (within(now, listViewMacro_)) {
    buttonMacroR_->setText(kUpdate);
    buttonMacroR_->setEnabled(listViewMacro_->selectedIndex() >= 0);
  } else if (within(now, tabSheetF_) && now != buttonMacroR_) {
    buttonMacroR_->setText(kRegister);
    buttonMacroR_->setEnabled(true);
  }
  if (within(now, listViewRep_)) {
    buttonRepR_->setText(kUpdate);
    buttonRepR_->setEnabled(listViewRep_->selectedIndex() >= 0);
  } else if (within(now, tabSheetRep_) && now != buttonRepR_) {
    buttonRepR_->setText(kRegister);
    buttonRepR_->setEnabled(true);
  }
}

bool TConversionPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editSample_ && event->type() == QEvent::MouseButtonDblClick) {
    sampleDoubleClicked();
    return true;
  }
  if (watched == labeledEditF_ || watched == editE_) {
    // A field loses its selection with the focus; a press on "←" moves the focus, so the
    // selection is kept here for the insertion to replace.
    auto* field = static_cast<QLineEdit*>(watched);
    if (event->type() == QEvent::FocusOut && field->hasSelectedText()) {
      keptField_ = field;
      keptStart_ = field->selectionStart();
      keptLength_ = field->selectionLength();
    } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
      keptField_ = nullptr;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TConversionPage::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const bool escape = event->key() == Qt::Key_Escape;
  QPushButton* target = nullptr;
  // Enter on a focused button presses that button, not the page's default.
  auto* focused = qobject_cast<QPushButton*>(focusWidget());
  if (enter && focused && isAncestorOf(focused)) target = focused;
  else if (directRow_) target = enter ? buttonDirectOk_ : escape ? buttonDirectCancel_ : nullptr;
  else target = enter ? button3Cnv_ : escape ? button3Cancel_ : nullptr;
  if (target && target->isEnabled()) {
    target->click();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TConversionPage::sampleDoubleClicked() {
  switch (activeTool()) {
    case ToolTemplate: {
      const std::size_t dot = sample_.rfind('.');
      labeledEditF_->setText(display(sample_.substr(0, dot)));
      if (editE_->isEnabled()) editE_->setText(dot == std::string::npos ? QString() : display(sample_.substr(dot + 1)));
      labeledEditF_->setFocus();
      break;
    }
    case ToolReplace:
      comboBoxRep1_->setEditText(display(sample_));
      UpdateConvertButton();
      comboBoxRep1_->setFocus();
      break;
    case ToolChars:
      break;
  }
}

// ---------------------------------------------------------------- macro insertion

void TConversionPage::updateMacroButtons() {
  const bool chosen = comboBoxMacro_->currentIndex() >= 0;
  buttonMacroEditF1_->setEnabled(chosen);
  buttonMacroEditF2_->setEnabled(chosen);
  buttonMacroEditE1_->setEnabled(chosen && editE_->isEnabled());
  buttonMacroEditE2_->setEnabled(chosen && editE_->isEnabled());
}

void TConversionPage::insertChosenMacro(QLineEdit* target, bool withOptions) {
  const int index = comboBoxMacro_->currentIndex();
  if (index < 0) return;
  const QString entry = comboBoxMacro_->itemText(index);
  if (!withOptions) {
    const int open = entry.lastIndexOf(QLatin1Char('('));
    if (open >= 0) InsertMacroText(target, entry.mid(open + 1, entry.size() - open - 2));
    return;
  }
  std::optional<std::string> text;
  if (index < BuiltInMacroCount) {
    text = formMacro_->ShowMacroDialog(index, entry);
  } else if (pluginOption_) {
    text = pluginOption_(index - BuiltInMacroCount);
  }
  if (text) InsertMacroText(target, display(*text));
}

void TConversionPage::InsertMacroText(QLineEdit* target, const QString& text) {
  // Typed in at the caret as a paste would be, replacing the selection,
  // without going through the clipboard: whatever it holds stays intact.
  if (target == keptField_ && !target->hasSelectedText()) target->setSelection(keptStart_, keptLength_);
  keptField_ = nullptr;
  target->insert(text);
}

// ---------------------------------------------------------------- direct edit, save, leave

void TConversionPage::BeginDirectEdit(std::size_t row) {
  if (row >= list_.rows.size()) return;
  directRow_ = row;
  const ConversionRow& r = list_.rows[row];
  directOriginal_ = r.result.empty() ? r.source : r.result;
  labeledEditDirect_->setText(display(directOriginal_));
  listView3_->setEnabled(false);
  for (QWidget* w : {static_cast<QWidget*>(labelSample_), static_cast<QWidget*>(editSample_),
                     static_cast<QWidget*>(button3Cnv_), static_cast<QWidget*>(pageControl3_),
                     static_cast<QWidget*>(button3Ok_), static_cast<QWidget*>(button3Cancel_)})
    w->hide();
  for (QWidget* w : {static_cast<QWidget*>(labelDirect_), static_cast<QWidget*>(labeledEditDirect_),
                     static_cast<QWidget*>(buttonDirectOk_), static_cast<QWidget*>(buttonDirectCancel_)})
    w->show();
  labeledEditDirect_->setFocus();
  labeledEditDirect_->selectAll();
}

void TConversionPage::ButtonDirectOKClick() {
  if (!directRow_) return;
  const QString text = labeledEditDirect_->text();
  // An untouched field keeps the row's bytes, even where their display
  // form would not convert back to the same bytes.
  std::string result = text == display(directOriginal_) ? directOriginal_ : internal(text);
  model_->setResult(*directRow_, std::move(result));
  EndDirectEdit();
}

void TConversionPage::EndDirectEdit() {
  directRow_.reset();
  for (QWidget* w : {static_cast<QWidget*>(labelDirect_), static_cast<QWidget*>(labeledEditDirect_),
                     static_cast<QWidget*>(buttonDirectOk_), static_cast<QWidget*>(buttonDirectCancel_)})
    w->hide();
  for (QWidget* w : {static_cast<QWidget*>(labelSample_), static_cast<QWidget*>(editSample_),
                     static_cast<QWidget*>(button3Cnv_), static_cast<QWidget*>(pageControl3_),
                     static_cast<QWidget*>(button3Ok_), static_cast<QWidget*>(button3Cancel_)})
    w->show();
  listView3_->setEnabled(true);
}

void TConversionPage::SaveStage() {
  const int next = list_.SaveStage(edit_);
  emit stageSaved(next);
  LeaveConversionPage();
}

void TConversionPage::LeaveConversionPage() {
  if (directRow_) EndDirectEdit();
  engine_.ClearTemplates();
  emit leaveRequested();
}

// ---------------------------------------------------------------- registered lists

void TConversionPage::tell(const std::exception& error) { interaction_.tell(MessageKind::Error, error.what(), "Ritoma"); }

void TConversionPage::fillMacroList() {
  listViewMacro_->clear();
  for (const RegisteredMacro& m : macros_.entries)
    listViewMacro_->addTopLevelItem(
        new QTreeWidgetItem({display(m.name), display(m.fileTemplate), display(m.extTemplate)}));
}

void TConversionPage::fillReplaceList() {
  listViewRep_->clear();
  for (const RegisteredReplace& r : replacements_.entries)
    listViewRep_->addTopLevelItem(new QTreeWidgetItem({display(r.parameters), display(r.before), display(r.after)}));
}

void TConversionPage::saveMacroSection() {
  try {
    IniFile ini(fs_, settingsPath_);
    macros_.saveSection(ini);
  } catch (const std::exception& error) {
    tell(error);
  }
}

void TConversionPage::saveReplaceSection() {
  try {
    IniFile ini(fs_, settingsPath_);
    replacements_.saveSection(ini);
  } catch (const std::exception& error) {
    tell(error);
  }
}

void TConversionPage::ButtonMacroRClick() {
  const QString caption = buttonMacroR_->text();
  const int selected = listViewMacro_->selectedIndex();
  RegisteredMacro shown;
  if (caption == kRegister) {
    shown.fileTemplate = internal(labeledEditF_->text());
    if (checkBoxE_->isChecked()) shown.extTemplate = internal(editE_->text());
  } else if (selected >= 0) {
    shown = macros_.entries[static_cast<std::size_t>(selected)];
  } else {
    return;
  }
  TFormMacroR dialog(caption, shown, interaction_, window());
  if (dialog.exec() != QDialog::Accepted) return;
  const RegisteredMacro entry = dialog.entry();
  if (dialog.outcome() == TFormMacroR::Outcome::Updated &&
      !(entry.name.empty() && entry.fileTemplate.empty() && entry.extTemplate.empty())) {
    if (dialog.isNewEntry()) macros_.entries.push_back(entry);
    else macros_.entries[static_cast<std::size_t>(selected)] = entry;
  } else if (dialog.outcome() == TFormMacroR::Outcome::Deleted) {
    macros_.entries.erase(macros_.entries.begin() + selected);
  }
  saveMacroSection();
  fillMacroList();
}

void TConversionPage::ButtonRepRClick() {
  const QString caption = buttonRepR_->text();
  const int selected = listViewRep_->selectedIndex();
  RegisteredReplace shown;
  if (caption == kRegister) {
    const StringReplacer r = replacer();
    shown = {ReplaceParameters{r.caseSensitive, r.target, r.leftToRight, r.replaceCount, r.skipCount}.encode(),
             r.search, r.replacement};
  } else if (selected >= 0) {
    shown = replacements_.entries[static_cast<std::size_t>(selected)];
  } else {
    return;
  }
  TFormRepR dialog(caption, shown, interaction_, window());
  if (dialog.exec() != QDialog::Accepted) return;
  const RegisteredReplace entry = dialog.entry();
  if (dialog.outcome() == TFormRepR::Outcome::Updated && !entry.before.empty()) {
    if (dialog.isNewEntry()) replacements_.entries.push_back(entry);
    else replacements_.entries[static_cast<std::size_t>(selected)] = entry;
  } else if (dialog.outcome() == TFormRepR::Outcome::Deleted) {
    replacements_.entries.erase(replacements_.entries.begin() + selected);
  }
  saveReplaceSection();
  fillReplaceList();
}

std::optional<std::string> TConversionPage::askQuestion(std::string_view before, std::string_view after) {
  TFormMacroQ dialog(display(before), display(after), window());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return internal(dialog.answer());
}

void TConversionPage::ListViewMacroDblClick() {
  const int selected = listViewMacro_->selectedIndex();
  if (selected < 0) return;
  const RegisteredMacro entry = macros_.entries[static_cast<std::size_t>(selected)];
  labeledEditF_->setText(display(QuestionMacro::Expand(entry.fileTemplate, answerer_)));
  checkBoxE_->setChecked(!entry.extTemplate.empty());
  editE_->setText(display(QuestionMacro::Expand(entry.extTemplate, answerer_)));
}

void TConversionPage::ListViewRepDblClick() {
  const int selected = listViewRep_->selectedIndex();
  if (selected < 0) return;
  const RegisteredReplace& entry = replacements_.entries[static_cast<std::size_t>(selected)];
  comboBoxRep1_->setEditText(display(entry.before));
  UpdateConvertButton();
  comboBoxRep2_->setEditText(display(entry.after));
  const ReplaceParameters params = ReplaceParameters::decode(entry.parameters);
  checkBoxRepUL_->setChecked(params.caseSensitive);
  radioGroupRep_->setItemIndex(static_cast<int>(params.target));
  radioGroupRepLR_->setItemIndex(params.leftToRight ? 0 : 1);
  upDownRep_->setValue(params.replaceCount);
  upDownSkip_->setValue(params.skipCount);
}

void TConversionPage::ListViewMacroDragDrop(int selected, int target) {
  try {
    IniFile ini(fs_, settingsPath_);
    const std::size_t moved =
        macros_.moveEntry(ini, static_cast<std::size_t>(selected), static_cast<std::size_t>(target));
    fillMacroList();
    listViewMacro_->selectIndex(static_cast<int>(moved));
  } catch (const std::exception& error) {
    fillMacroList();
    tell(error);
  }
}

void TConversionPage::ListViewRepDragDrop(int selected, int target) {
  try {
    IniFile ini(fs_, settingsPath_);
    const std::size_t moved =
        replacements_.moveEntry(ini, static_cast<std::size_t>(selected), static_cast<std::size_t>(target));
    fillReplaceList();
    listViewRep_->selectIndex(static_cast<int>(moved));
  } catch (const std::exception& error) {
    fillReplaceList();
    tell(error);
  }
}

}  // namespace ritoma
