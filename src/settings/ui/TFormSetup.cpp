#include "settings/ui/TFormSetup.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QProxyStyle>
#include <QStyleOptionComplex>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>
#include <optional>

#include "conversion/ui/RegisteredListView.h"
#include "selection/ui/SelectionPageWidget.h"
#include "settings/DesktopEntry.h"
#include "settings/FilesScript.h"
#include "settings/IniFile.h"
#include "settings/ui/CountField.h"
#include "shell/ui/HelpViewer.h"
#include "shell/ui/OkCancelRow.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

// Group titles are drawn in bold; the Japanese faces have no bold of their
// own, and the emboldened glyphs come out wider than the title's measured
// room, which cut off its last character. The title gets one more
// character's room.
class WholeGroupTitleStyle : public QProxyStyle {
public:
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                       const QWidget* widget) const override {
    QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
    if (control == CC_GroupBox && part == SC_GroupBoxLabel && widget)
      rect.setWidth(rect.width() + widget->fontMetrics().horizontalAdvance(QChar(0xFF09)));
    return rect;
  }
};


// Help contexts of the pages 起動 … 書庫, in tab order.
constexpr int FirstPageContext = 201;

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }
std::string internal(const QString& text) { return TextCodec::fromDisplay(text.toStdU16String()); }

QString diskName(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

bool shortcutExists(const std::string& path) { return !path.empty() && QFileInfo::exists(diskName(path)); }

// Replaces `file` with `text` as a whole, or leaves it as it was.
bool writeWhole(const QString& file, const std::string& text) {
  QSaveFile out(file);
  const auto size = static_cast<qint64>(text.size());
  return out.open(QIODevice::WriteOnly) && out.write(text.data(), size) == size && out.commit();
}

// Whoever may read `file` may now run it too.
void makeExecutable(const QString& file) {
  QFileDevice::Permissions permissions = QFile::permissions(file);
  if (permissions & QFileDevice::ReadOwner) permissions |= QFileDevice::ExeOwner;
  if (permissions & QFileDevice::ReadGroup) permissions |= QFileDevice::ExeGroup;
  if (permissions & QFileDevice::ReadOther) permissions |= QFileDevice::ExeOther;
  QFile::setPermissions(file, permissions);
}

// Creates or replaces the shortcut file at `path`, or removes it when it is
// not `wanted`. A shortcut that cannot be written is left out without a
// message, and removing a missing one is no error. The desktop copy is
// made executable and, where gio is there, marked trusted: desktops that
// ask for either start nothing from an untrusted launcher.
void updateShortcut(const std::string& path, DesktopEntry::Place place, bool wanted, const std::string& executable) {
  if (path.empty()) return;
  const QString file = diskName(path);
  if (!wanted) {
    QFile::remove(file);
    return;
  }
  const std::optional<std::string> text = DesktopEntry::text(executable, place);
  if (!text) return;
  // The applications folder is a standard place that a fresh account may
  // lack; the desktop folder is the user's choice and is not made.
  if (place == DesktopEntry::Place::SendTo) QDir().mkpath(QFileInfo(file).absolutePath());
  if (!writeWhole(file, *text)) return;
  if (place != DesktopEntry::Place::Desktop) return;
  makeExecutable(file);
  const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
  if (gio.isEmpty()) return;
  // Without a metadata service gio only complains; nobody waits for it.
  QProcess process;
  process.setProgram(gio);
  process.setArguments({QStringLiteral("set"), file, QStringLiteral("metadata::trusted"), QStringLiteral("true")});
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.startDetached();
}

// Writes the Files script at `path` when `wanted`, removes it otherwise;
// a file of that name that the dialog did not write is left alone either
// way. As with the shortcuts, a failure is skipped without a message.
void updateFilesScript(const std::string& path, bool wanted, const std::string& executable) {
  if (path.empty()) return;
  const QString file = diskName(path);
  QFile existing(file);
  if (existing.exists()) {
    if (!existing.open(QIODevice::ReadOnly) || !FilesScript::isOurs(existing.readAll().toStdString())) return;
    existing.close();
  }
  if (!wanted) {
    QFile::remove(file);
    return;
  }
  QDir().mkpath(QFileInfo(file).absolutePath());
  if (!writeWhole(file, FilesScript::text(executable))) return;
  makeExecutable(file);
}

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

TFormSetup::TFormSetup(FileSystem& fs, std::string settingsPath, Target target, ShortcutPlaces places,
                       std::string executable, UserInteraction& interaction, QWidget* parent)
    : QDialog(parent),
      fs_(fs),
      settingsPath_(std::move(settingsPath)),
      target_(std::move(target)),
      places_(std::move(places)),
      executable_(std::move(executable)),
      interaction_(interaction) {
  setObjectName(QStringLiteral("FormSetup"));
  setWindowTitle(QStringLiteral("環境設定"));
  setModal(true);

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  pages_->addTab(buildStartPage(), QStringLiteral("起動"));
  pages_->addTab(buildFilterPage(), QStringLiteral("ﾌｨﾙﾀ"));
  pages_->addTab(buildGreetPage(), QStringLiteral("経過"));
  pages_->addTab(buildCheckPage(), QStringLiteral("ﾁｪｯｸ"));
  pages_->addTab(buildMessagePage(), QStringLiteral("確認"));
  pages_->addTab(buildArchivePage(), QStringLiteral("書庫"));
  for (int i = 0; i < pages_->count(); ++i) {
    pages_->widget(i)->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
    pages_->widget(i)->setProperty("helpContext", FirstPageContext + i);
  }
  setProperty("helpContext", FirstPageContext);
  connect(pages_, &QTabWidget::currentChanged, this,
          [this](int index) { setProperty("helpContext", FirstPageContext + index); });
  HelpViewer::bindKey(this);

  OkCancelRow buttons(this);
  connect(buttons.ok(), &QPushButton::clicked, this, &TFormSetup::ButtonOkClick);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addLayout(buttons.layout());
  layout->setSizeConstraint(QLayout::SetFixedSize);

  showValues();
}

QCheckBox* TFormSetup::makeCheckBox(const QString& name, const QString& caption, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  return box;
}

QWidget* TFormSetup::buildStartPage() {
  auto* page = new QWidget;
  checkBoxSendTo_ = makeCheckBox(QStringLiteral("CheckBoxSendTo"), QStringLiteral("「送る」 ﾒﾆｭｰに追加"), page);
  checkBoxDesktop_ =
      makeCheckBox(QStringLiteral("CheckBoxDesktop"), QStringLiteral("ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄ作成"), page);
  checkBoxArcOpen_ = makeCheckBox(QStringLiteral("CheckBoxArcOpen"),
                                  QStringLiteral("ﾊﾟﾗﾒｰﾀが書庫ﾌｧｲﾙの場合は展開表示"), page);
  auto* note = makeLabel(QStringLiteral("LabelArcOpen"), QStringLiteral("※[書庫]で指定されている拡張子のみ有効"), page);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(checkBoxSendTo_);
  layout->addWidget(checkBoxDesktop_);
  layout->addSpacing(8);
  layout->addWidget(checkBoxArcOpen_);
  auto* indented = new QHBoxLayout;
  indented->addSpacing(20);
  indented->addWidget(note);
  layout->addLayout(indented);
  layout->addStretch(1);
  return page;
}

QWidget* TFormSetup::buildFilterPage() {
  auto* page = new QWidget;
  listViewFilter_ = new RegisteredListView(QStringLiteral("ListViewFilter"), page);
  listViewFilter_->setHeaderLabels({QString(), QStringLiteral("ﾌｨﾙﾀ名"), QStringLiteral("ﾌｧｲﾙﾌｨﾙﾀ")});
  listViewFilter_->setColumnWidth(0, 28);
  listViewFilter_->setColumnWidth(1, 130);
  listViewFilter_->setMinimumSize(380, 160);
  editFilterName_ = new QLineEdit(page);
  editFilterName_->setObjectName(QStringLiteral("EditFilterName"));
  editFilterMask_ = new QLineEdit(page);
  editFilterMask_->setObjectName(QStringLiteral("EditFilterMask"));
  buttonAdd_ = new QPushButton(QStringLiteral("追加"), page);
  buttonAdd_->setObjectName(QStringLiteral("ButtonAdd"));
  buttonUpdate_ = new QPushButton(QStringLiteral("更新"), page);
  buttonUpdate_->setObjectName(QStringLiteral("ButtonUpdate"));
  buttonDelete_ = new QPushButton(QStringLiteral("削除"), page);
  buttonDelete_->setObjectName(QStringLiteral("ButtonDelete"));
  for (QPushButton* button : {buttonAdd_, buttonUpdate_, buttonDelete_}) button->setEnabled(false);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("ﾌｨﾙﾀ名"), editFilterName_);
  fields->addRow(QStringLiteral("ﾌｧｲﾙﾌｨﾙﾀ"), editFilterMask_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(buttonAdd_);
  buttons->addWidget(buttonUpdate_);
  buttons->addWidget(buttonDelete_);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(listViewFilter_, 1);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  listViewFilter_->installEventFilter(this);
  listViewFilter_->viewport()->installEventFilter(this);
  connect(listViewFilter_, &QTreeWidget::itemSelectionChanged, this, &TFormSetup::ListViewFilterSelect);
  connect(listViewFilter_, &RegisteredListView::entryDropped, this, &TFormSetup::ListViewFilterDrop);
  connect(editFilterName_, &QLineEdit::textChanged, this, &TFormSetup::EditFilterChange);
  connect(editFilterMask_, &QLineEdit::textChanged, this, &TFormSetup::EditFilterChange);
  connect(buttonAdd_, &QPushButton::clicked, this, &TFormSetup::ButtonAddClick);
  connect(buttonUpdate_, &QPushButton::clicked, this, &TFormSetup::ButtonUpdateClick);
  connect(buttonDelete_, &QPushButton::clicked, this, &TFormSetup::ButtonDeleteClick);
  return page;
}

QWidget* TFormSetup::buildGreetPage() {
  auto* page = new QWidget;
  auto* group = new QGroupBox(QStringLiteral("ｸﾞﾘｰﾃｨﾝｸﾞﾎﾞｯｸｽの表示 （表示対象件数）"), page);
  group->setObjectName(QStringLiteral("GroupBoxGreet"));
  auto* titleStyle = new WholeGroupTitleStyle;
  titleStyle->setParent(group);
  group->setStyle(titleStyle);
  static const char* const captions[] = {"ﾌｧｲﾙ取得", "変換処理", "ﾘﾈｰﾑﾁｪｯｸ", "ﾌｧｲﾙ展開", "ﾌｧｲﾙﾁｪｯｸ"};
  auto* fields = new QFormLayout(group);
  for (int i = 0; i < 5; ++i) {
    auto* field = new CountField(QStringLiteral("EditGreet%1").arg(i + 1), QStringLiteral("UpDownGreet%1").arg(i + 1), group);
    field->setFixedWidth(80);
    fields->addRow(QString::fromUtf8(captions[i]), field);
    greet_.push_back(field);
  }
  auto* note = makeLabel(QStringLiteral("LabelGreet"), QStringLiteral("※0件の場合は表示なし"), page);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(group);
  layout->addWidget(note);
  layout->addStretch(1);
  return page;
}

QWidget* TFormSetup::buildCheckPage() {
  auto* page = new QWidget;
  checkBoxChkStop_ = makeCheckBox(QStringLiteral("CheckBoxChkStop"),
                                  QStringLiteral("ｴﾗｰ発生時は直ちにﾌｧｲﾙﾁｪｯｸを中止する"), page);
  checkBoxChkAuto_ = makeCheckBox(QStringLiteral("CheckBoxChkAuto"), QStringLiteral("ﾌｧｲﾙﾁｪｯｸを自動で行なう"), page);
  checkBoxChkForce_ = makeCheckBox(QStringLiteral("CheckBoxChkForce"),
                                   QStringLiteral("強制変更ﾁｪｯｸﾎﾞｯｸｽは処理後ｸﾘｱする"), page);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(checkBoxChkStop_);
  layout->addWidget(checkBoxChkAuto_);
  layout->addWidget(checkBoxChkForce_);
  layout->addStretch(1);
  return page;
}

QWidget* TFormSetup::buildMessagePage() {
  auto* page = new QWidget;
  checkBoxMsgExec_ = makeCheckBox(QStringLiteral("CheckBoxMsgExec"), QStringLiteral("実行前に処理内容を表示"), page);
  checkBoxMsgExit_ = makeCheckBox(QStringLiteral("CheckBoxMsgExit"), QStringLiteral("Ritoma終了時の確認"), page);
  checkBoxMsgDir_ = makeCheckBox(QStringLiteral("CheckBoxMsgDir"),
                                 QStringLiteral("処理対象外となるﾃﾞｨﾚｸﾄﾘがある場合の警告"), page);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(checkBoxMsgExec_);
  layout->addWidget(checkBoxMsgExit_);
  layout->addWidget(checkBoxMsgDir_);
  layout->addStretch(1);
  return page;
}

QWidget* TFormSetup::buildArchivePage() {
  auto* page = new QWidget;
  auto* group = new QGroupBox(QStringLiteral("書庫ﾌｧｲﾙをﾃﾞｨﾚｸﾄﾘ表示＆直接更新"), page);
  group->setObjectName(QStringLiteral("GroupBoxArc"));
  checkBoxArcLzh_ = makeCheckBox(QStringLiteral("CheckBoxArcLzh"), QStringLiteral("lzh"), group);
  checkBoxArcZip_ = makeCheckBox(QStringLiteral("CheckBoxArcZip"), QStringLiteral("zip"), group);
  auto* kinds = new QHBoxLayout(group);
  kinds->addWidget(checkBoxArcLzh_);
  kinds->addWidget(checkBoxArcZip_);
  kinds->addStretch(1);
  checkBoxArcBackup_ =
      makeCheckBox(QStringLiteral("CheckBoxArcBackup"), QStringLiteral("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙを作成(推奨)"), page);
  checkBoxArcBackupFirst_ = makeCheckBox(QStringLiteral("CheckBoxArcBackupFirst"),
                                         QStringLiteral("最初に作成したﾊﾞｯｸｱｯﾌﾟのみ残す"), page);
  connect(checkBoxArcBackup_, &QCheckBox::toggled, checkBoxArcBackupFirst_, &QCheckBox::setEnabled);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(group);
  layout->addWidget(checkBoxArcBackup_);
  auto* indented = new QHBoxLayout;
  indented->addSpacing(20);
  indented->addWidget(checkBoxArcBackupFirst_);
  layout->addLayout(indented);
  layout->addStretch(1);
  return page;
}

void TFormSetup::showValues() {
  {
    const IniFile ini(fs_, settingsPath_);
    for (const FilterRow& row : SetupValues::readFilterRows(ini)) addFilterRow(row);
  }
  checkBoxDesktop_->setEnabled(!places_.desktopFile().empty());
  checkBoxSendTo_->setEnabled(!places_.sendToFile().empty());
  checkBoxDesktop_->setChecked(shortcutExists(places_.desktopFile()));
  checkBoxSendTo_->setChecked(shortcutExists(places_.sendToFile()));
  const Options& options = target_.options;
  checkBoxArcOpen_->setChecked(options.arcOpen);
  for (std::size_t i = 0; i < greet_.size(); ++i) greet_[i]->setValue(options.greet[i]);
  checkBoxChkAuto_->setChecked(options.chkAuto);
  checkBoxChkStop_->setChecked(options.chkStop);
  checkBoxChkForce_->setChecked(options.chkForce);
  checkBoxMsgExec_->setChecked(options.msgExec);
  checkBoxMsgDir_->setChecked(options.msgDir);
  checkBoxMsgExit_->setChecked(options.msgExit);
  checkBoxArcLzh_->setChecked(target_.archives.isLoaded(ArcLzh));
  checkBoxArcZip_->setChecked(target_.archives.isLoaded(ArcZip));
  checkBoxArcBackup_->setChecked(options.arcBackup > 0);
  checkBoxArcBackupFirst_->setChecked(options.arcBackup == 2);
  checkBoxArcBackupFirst_->setEnabled(checkBoxArcBackup_->isChecked());
}

// --- the filter list -------------------------------------------------------

void TFormSetup::addFilterRow(const FilterRow& row) {
  auto* item = new QTreeWidgetItem(listViewFilter_);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
  item->setCheckState(0, row.checked ? Qt::Checked : Qt::Unchecked);
  item->setText(1, display(row.name));
  item->setText(2, display(row.patterns));
}

std::vector<FilterRow> TFormSetup::filterRows() const {
  std::vector<FilterRow> rows;
  for (int i = 0; i < listViewFilter_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = listViewFilter_->topLevelItem(i);
    rows.push_back({item->checkState(0) == Qt::Checked, internal(item->text(1)), internal(item->text(2))});
  }
  return rows;
}

bool TFormSetup::eventFilter(QObject* watched, QEvent* event) {
  if (watched == listViewFilter_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
    if (QTreeWidgetItem* item = listViewFilter_->topLevelItem(selectedRow()))
      item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    return true;
  }
  // A click where no row lies leaves no row selected.
  if (watched == listViewFilter_->viewport() && event->type() == QEvent::MouseButtonPress &&
      !listViewFilter_->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
    listViewFilter_->clearSelection();
  return QDialog::eventFilter(watched, event);
}

int TFormSetup::selectedRow() const { return listViewFilter_->selectedIndex(); }

void TFormSetup::selectRow(int row) {
  listViewFilter_->selectIndex(row);
  listViewFilter_->setFocus();
}

void TFormSetup::ListViewFilterSelect() {
  const int row = selectedRow();
  if (row >= 0) {
    const QTreeWidgetItem* item = listViewFilter_->topLevelItem(row);
    editFilterName_->setText(item->text(1));
    editFilterMask_->setText(item->text(2));
  }
  EditFilterChange();
}

void TFormSetup::EditFilterChange() {
  const bool filled = !editFilterName_->text().isEmpty() && !editFilterMask_->text().isEmpty();
  const int row = selectedRow();
  buttonAdd_->setEnabled(filled);
  buttonUpdate_->setEnabled(filled && row >= 0);
  const QTreeWidgetItem* item = row >= 0 ? listViewFilter_->topLevelItem(row) : nullptr;
  buttonDelete_->setEnabled(item && editFilterName_->text() == item->text(1) &&
                            editFilterMask_->text() == item->text(2));
}

void TFormSetup::ButtonAddClick() {
  addFilterRow({true, internal(editFilterName_->text()), internal(editFilterMask_->text())});
  selectRow(listViewFilter_->topLevelItemCount() - 1);
  EditFilterChange();
}

void TFormSetup::ButtonUpdateClick() {
  QTreeWidgetItem* item = listViewFilter_->topLevelItem(selectedRow());
  if (!item) return;
  item->setText(1, editFilterName_->text());
  item->setText(2, editFilterMask_->text());
  EditFilterChange();
}

void TFormSetup::ButtonDeleteClick() {
  const int row = selectedRow();
  if (row < 0) return;
  delete listViewFilter_->takeTopLevelItem(row);
  listViewFilter_->clearSelection();
  editFilterName_->clear();
  editFilterMask_->clear();
  EditFilterChange();
}

void TFormSetup::ListViewFilterDrop(int selected, int target) {
  if (selected == target) return;
  QTreeWidgetItem* item = listViewFilter_->takeTopLevelItem(selected);
  listViewFilter_->insertTopLevelItem(target, item);
  selectRow(target);
}

// --- OK ----------------------------------------------------------------------

void TFormSetup::switchBackEnd(ArcKind kind, QCheckBox* box) {
  ArchiveLibraries& archives = target_.archives;
  if (box->isChecked() && !archives.isLoaded(kind)) {
    if (!archives.load(kind)) box->setChecked(false);
  } else if (!box->isChecked() && archives.isLoaded(kind)) {
    archives.unload(kind);
  }
}

void TFormSetup::ButtonOkClick() {
  // 1, 2. The shortcuts.
  updateShortcut(places_.desktopFile(), DesktopEntry::Place::Desktop, checkBoxDesktop_->isChecked(), executable_);
  updateShortcut(places_.sendToFile(), DesktopEntry::Place::SendTo, checkBoxSendTo_->isChecked(), executable_);
  updateFilesScript(places_.filesScriptFile(), checkBoxSendTo_->isChecked(), executable_);
  // 3. The filter choice, on its first entry.
  SetupValues values;
  values.filters = filterRows();
  values.attributes = target_.selection.attributeFilter();
  FilterChoice& choice = target_.selection.filterChoice();
  choice.setUserEntries(values.choiceEntries());
  choice.select(0);
  target_.selection.showFilterChoice();
  // 4. The options.
  Options& options = target_.options;
  options.arcOpen = checkBoxArcOpen_->isChecked();
  for (std::size_t i = 0; i < greet_.size(); ++i) options.greet[i] = greet_[i]->value();
  options.chkAuto = checkBoxChkAuto_->isChecked();
  options.chkStop = checkBoxChkStop_->isChecked();
  options.chkForce = checkBoxChkForce_->isChecked();
  options.msgExec = checkBoxMsgExec_->isChecked();
  options.msgDir = checkBoxMsgDir_->isChecked();
  options.msgExit = checkBoxMsgExit_->isChecked();
  options.arcBackup = !checkBoxArcBackup_->isChecked() ? 0 : checkBoxArcBackupFirst_->isChecked() ? 2 : 1;
  values.options = options;
  // 5, 6. The back ends, and what follows them.
  switchBackEnd(ArcLzh, checkBoxArcLzh_);
  switchBackEnd(ArcZip, checkBoxArcZip_);
  if (target_.backEndsSwitched) target_.backEndsSwitched();
  // 7. The settings file.
  values.lzh = checkBoxArcLzh_->isChecked();
  values.zip = checkBoxArcZip_->isChecked();
  try {
    IniFile ini(fs_, settingsPath_);
    values.write(ini);
  } catch (const IniWriteError& error) {
    // The main window has the new values already; they last for this run.
    interaction_.tell(MessageKind::Error, error.what(), "Ritoma");
  }
  // 8.
  accept();
}

}  // namespace ritoma
