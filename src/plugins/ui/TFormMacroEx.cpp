#include "plugins/ui/TFormMacroEx.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "shell/ui/HelpViewer.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }

}  // namespace

TFormMacroEx::TFormMacroEx(PluginHost& host, IniFile& settings, UserInteraction& interaction,
                           const std::vector<Previous>& previous, QWidget* parent)
    : QDialog(parent), host_(host), settings_(settings), interaction_(interaction) {
  setObjectName(QStringLiteral("FormMacroEx"));
  setProperty("helpContext", 207);
  HelpViewer::bindKey(this);
  setWindowTitle(QStringLiteral("拡張ﾏｸﾛ設定"));
  setModal(true);

  listViewMacroEx_ = new QTreeWidget(this);
  listViewMacroEx_->setObjectName(QStringLiteral("ListViewMacroEx"));
  listViewMacroEx_->setHeaderLabels(
      {QString(), QStringLiteral("ﾏｸﾛ名(ｺﾏﾝﾄﾞ)"), QStringLiteral("DLL名"), QStringLiteral("ﾏｸﾛ情報")});
  listViewMacroEx_->setRootIsDecorated(false);
  listViewMacroEx_->setColumnWidth(0, 48);
  listViewMacroEx_->setColumnWidth(1, 160);
  listViewMacroEx_->setColumnWidth(2, 120);
  comboBoxCmd_ = new QComboBox(this);
  comboBoxCmd_->setObjectName(QStringLiteral("ComboBoxCmd"));
  buttonCmdSet_ = new QPushButton(QStringLiteral("ｺﾏﾝﾄﾞ指定"), this);
  buttonCmdSet_->setObjectName(QStringLiteral("ButtonCmdSet"));
  buttonCmdCancel_ = new QPushButton(QStringLiteral("中止"), this);
  buttonCmdCancel_->setObjectName(QStringLiteral("ButtonCmdCancel"));
  buttonOk_ = new QPushButton(QStringLiteral("設定"), this);
  buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
  buttonOk_->setDefault(true);

  auto* commands = new QHBoxLayout;
  commands->addWidget(comboBoxCmd_);
  commands->addWidget(buttonCmdSet_);
  commands->addWidget(buttonCmdCancel_);
  commands->addStretch(1);
  commands->addWidget(buttonOk_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(listViewMacroEx_, 1);
  layout->addLayout(commands);
  resize(560, 300);

  for (PluginCandidate& candidate : host_.candidates()) {
    Row row{std::move(candidate), 0};
    for (const Previous& p : previous) {
      if (p.fileName == row.candidate.fileName) row.letter = p.letter;
    }
    rows_.push_back(std::move(row));
  }
  updating_ = true;
  for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
    auto* item = new QTreeWidgetItem(listViewMacroEx_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    showRow(i);
  }
  updating_ = false;
  endLetterSelection();

  connect(listViewMacroEx_, &QTreeWidget::itemChanged, this, &TFormMacroEx::onItemChanged);
  connect(listViewMacroEx_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { onDoubleClicked(item); });
  connect(comboBoxCmd_, &QComboBox::currentIndexChanged, this,
          [this](int index) { buttonCmdSet_->setEnabled(selecting_ >= 0 && index >= 0); });
  connect(buttonCmdSet_, &QPushButton::clicked, this, &TFormMacroEx::ButtonCmdSetClick);
  connect(buttonCmdCancel_, &QPushButton::clicked, this, &TFormMacroEx::ButtonCmdCancelClick);
  connect(buttonOk_, &QPushButton::clicked, this, &TFormMacroEx::ButtonOkClick);
}

// Only "設定" leaves the dialog.
void TFormMacroEx::reject() {}

bool TFormMacroEx::ticked(int row) const {
  return listViewMacroEx_->topLevelItem(row)->checkState(0) == Qt::Checked;
}

void TFormMacroEx::showRow(int row) {
  const bool wasUpdating = updating_;
  updating_ = true;
  const Row& r = rows_[row];
  QTreeWidgetItem* item = listViewMacroEx_->topLevelItem(row);
  const QString name = display(r.candidate.library->name());
  item->setCheckState(0, r.letter ? Qt::Checked : Qt::Unchecked);
  item->setText(0, r.letter ? QString(QChar(r.letter)) : QString());
  item->setText(1, r.letter ? display(PluginHost::caption(r.candidate.library->name(), r.letter)) : name);
  item->setText(2, display(r.candidate.fileName));
  item->setText(3, display(r.candidate.library->information()));
  updating_ = wasUpdating;
}

void TFormMacroEx::onItemChanged(QTreeWidgetItem* item, int column) {
  if (updating_ || column != 0) return;
  const int row = listViewMacroEx_->indexOfTopLevelItem(item);
  if (row < 0) return;
  Row& r = rows_[row];
  if (ticked(row)) {
    if (!r.letter) beginLetterSelection(row);
    return;
  }
  if (!r.letter) return;
  const Answer answer = interaction_.ask(QuestionKind::OkCancel,
                                         "拡張マクロの選択を解除すると\n初期設定値も消去されます\n解除しますか？",
                                         "確認");
  if (answer == Answer::Ok) {
    try {
      settings_.eraseSection(PluginHost::sectionFor(r.letter));
    } catch (const IniWriteError& error) {
      interaction_.tell(MessageKind::Error, error.what(), "Ritoma");
    }
    r.letter = 0;
  }
  showRow(row);
}

void TFormMacroEx::onDoubleClicked(QTreeWidgetItem* item) {
  const int row = listViewMacroEx_->indexOfTopLevelItem(item);
  if (row >= 0 && selecting_ < 0 && ticked(row)) beginLetterSelection(row);
}

// The keyboard follows the selection: the letters take the focus (and
// Enter presses "ｺﾏﾝﾄﾞ指定") before the list is disabled, so the focus never
// falls out of the dialog.
void TFormMacroEx::beginLetterSelection(int row) {
  selecting_ = row;
  comboBoxCmd_->setEnabled(true);
  comboBoxCmd_->setFocus();
  buttonCmdSet_->setDefault(true);
  listViewMacroEx_->setEnabled(false);
  buttonOk_->setEnabled(false);
  comboBoxCmd_->clear();
  std::string taken;
  for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
    if (i != row && ticked(i) && rows_[i].letter) taken += rows_[i].letter;
  }
  for (char c = 'A'; c <= 'Z'; ++c) {
    if (taken.find(c) == std::string::npos) comboBoxCmd_->addItem(QString(QChar(c)));
  }
  const char wanted = rows_[row].letter ? rows_[row].letter : rows_[row].candidate.library->proposedLetter();
  comboBoxCmd_->setCurrentIndex(comboBoxCmd_->findText(QString(QChar(wanted))));
  buttonCmdSet_->setEnabled(comboBoxCmd_->currentIndex() >= 0);
  buttonCmdCancel_->setEnabled(true);
}

void TFormMacroEx::endLetterSelection() {
  selecting_ = -1;
  listViewMacroEx_->setEnabled(true);
  buttonOk_->setEnabled(true);
  buttonOk_->setDefault(true);
  listViewMacroEx_->setFocus();
  comboBoxCmd_->setEnabled(false);
  buttonCmdSet_->setEnabled(false);
  buttonCmdCancel_->setEnabled(false);
}

void TFormMacroEx::ButtonCmdSetClick() {
  if (selecting_ < 0 || comboBoxCmd_->currentIndex() < 0) return;
  const int row = selecting_;
  rows_[row].letter = comboBoxCmd_->currentText().at(0).toLatin1();
  endLetterSelection();
  showRow(row);
}

void TFormMacroEx::ButtonCmdCancelClick() {
  if (selecting_ < 0) return;
  const int row = selecting_;
  endLetterSelection();
  showRow(row);  // ticked only with a letter
}

void TFormMacroEx::ButtonOkClick() {
  for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
    if (ticked(i) && rows_[i].letter) host_.putInService(std::move(rows_[i].candidate), rows_[i].letter, settings_.path());
  }
  // The others are unloaded with the dialog, without EndDLL.
  rows_.clear();
  accept();
}

}  // namespace ritoma
