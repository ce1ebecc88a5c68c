#include "execution/ui/TAttributePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <string_view>
#include <unordered_map>

#include "execution/ExecutionFlow.h"
#include "execution/NameCheck.h"
#include "execution/PlanBuilder.h"
#include "execution/OwnFiles.h"
#include "execution/RunJournal.h"
#include "execution/UndoFlow.h"
#include "execution/ui/FolderChooser.h"
#include "execution/ui/PlanListModel.h"
#include "execution/ui/TFormAttr.h"
#include "execution/ui/TFormDateTime.h"
#include "settings/IniFile.h"
#include "shell/ui/Fonts.h"
#include "shell/ui/SelectedRows.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

constexpr int TimeColumnWidth = 130;
constexpr int AttrColumnWidth = 43;
constexpr int ImageColumnWidth = 24;
constexpr int ResultColumnWidth = 260;
const QString Pending = QStringLiteral("？");

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }
std::string internal(const QString& text) { return TextCodec::fromDisplay(text.toStdU16String()); }

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

QCheckBox* makeCheckBox(const QString& name, const QString& caption, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  return box;
}

// A key of the copy-destination history: "Path-" (any letter case) and a number.
bool isHistoryKey(const std::string& key) {
  constexpr std::string_view prefix = "path-";
  if (key.size() <= prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (static_cast<char>(std::tolower(static_cast<unsigned char>(key[i]))) != prefix[i]) return false;
  return std::all_of(key.begin() + prefix.size(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TAttributePage::TAttributePage(FileSystem& fs, ProgressSink& progress, PlacedInteraction::Boxes boxes,
                               EditList& edit, std::string undoPath, Host host, QWidget* parent)
    : QWidget(parent),
      fs_(fs),
      progress_(progress),
      interaction_(std::move(boxes), this),
      edit_(edit),
      undoPath_(std::move(undoPath)),
      host_(std::move(host)),
      folderEngine_(fs, progress, settings_, undoPath_) {
  setObjectName(QStringLiteral("TAttributePage"));
  if (!host_.browseFolder) {
    host_.browseFolder = [this](const QString& title, const QString& start) {
      return FolderChooser::choose(window(), title, start);
    };
  }
  buildControls();
  RefreshOptionPanel();
  RefreshIgnoreOption();
}

TAttributePage::~TAttributePage() = default;

void TAttributePage::buildControls() {
  button4Prev_ = makeButton(QStringLiteral("Button4PREV"), QStringLiteral("<< 編集"), this);
  connect(button4Prev_, &QPushButton::clicked, this, [this] {
    if (host_.showEditPage) host_.showEditPage();
  });
  edit4Arc_ = new QLineEdit(this);
  edit4Arc_->setObjectName(QStringLiteral("Edit4Arc"));
  edit4Arc_->setReadOnly(true);
  edit4Arc_->setFont(Fonts::fixed());
  edit4Arc_->setVisible(false);
  checkBoxIgnore_ = makeCheckBox(QStringLiteral("CheckBoxIgnore"), QStringLiteral("ｴﾗｰ無視"), this);
  connect(checkBoxIgnore_, &QCheckBox::clicked, this, &TAttributePage::CheckBoxIgnoreClick);
  button4Exec_ = makeButton(QStringLiteral("Button4EXEC"), QStringLiteral("実行"), this);
  button4Exec_->setEnabled(false);
  connect(button4Exec_, &QPushButton::clicked, this, &TAttributePage::Button4EXECClick);

  listView4_ = new QTreeView(this);
  listView4_->setObjectName(QStringLiteral("ListView4"));
  listView4_->setFont(Fonts::fixed());
  listView4_->setRootIsDecorated(false);
  listView4_->setUniformRowHeights(true);
  listView4_->setAllColumnsShowFocus(true);
  listView4_->setSelectionBehavior(QAbstractItemView::SelectRows);
  listView4_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  listView4_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  model_ = new PlanListModel(plan_, listView4_);
  listView4_->setModel(model_);
  QHeaderView* header = listView4_->header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setSectionsClickable(true);
  header->resizeSection(0, ImageColumnWidth);
  for (int c = PlanList::ColAttrs + 1; c < PlanListModel::ColumnCount; ++c) listView4_->setColumnHidden(c, true);
  connect(header, &QHeaderView::sectionClicked, this, &TAttributePage::ListView4ColumnClick);
  listView4_->viewport()->installEventFilter(this);

  label4Check_ = new QLabel(QStringLiteral("↑"), this);
  label4Check_->setObjectName(QStringLiteral("Label4Check"));
  label4Check_->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
  button4Check_ = makeButton(QStringLiteral("Button4Check"), QString(), this);
  button4Check_->setFixedWidth(40);
  connect(button4Check_, &QPushButton::clicked, this, &TAttributePage::Button4CheckClick);

  checkBoxForce_ = makeCheckBox(QStringLiteral("CheckBoxForce"), QStringLiteral("強制変更"), this);
  editForce_ = new QLineEdit(QStringLiteral("@"), this);
  editForce_->setObjectName(QStringLiteral("EditForce"));
  editForce_->setFont(Fonts::fixed());
  editForce_->setFixedWidth(60);
  checkBoxCopy_ = makeCheckBox(QStringLiteral("CheckBoxCopy"), QStringLiteral("ｺﾋﾟｰ"), this);
  comboBoxCopyPath_ = new QComboBox(this);
  comboBoxCopyPath_->setObjectName(QStringLiteral("ComboBoxCopyPath"));
  comboBoxCopyPath_->setEditable(true);
  comboBoxCopyPath_->setFont(Fonts::fixed());
  comboBoxCopyPath_->setInsertPolicy(QComboBox::NoInsert);
  comboBoxCopyPath_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  comboBoxCopyPath_->setMinimumContentsLength(16);
  buttonOutPath_ = makeButton(QStringLiteral("ButtonOutPath"), QStringLiteral(".."), this);
  buttonOutPath_->setFixedWidth(28);
  checkBoxDummy_ = makeCheckBox(QStringLiteral("CheckBoxDummy"), QString(), this);
  buttonDummy_ = makeButton(QStringLiteral("ButtonDummy"), QStringLiteral("ﾀﾞﾐｰﾌｧｲﾙ"), this);

  // Enabling follows the boxes whoever changes them; the checks and the
  // mutual exclusion of force change and copy follow the user's clicks only.
  connect(checkBoxForce_, &QCheckBox::toggled, this, [this] { RefreshOptionPanel(); });
  connect(checkBoxCopy_, &QCheckBox::toggled, this, [this] { RefreshOptionPanel(); });
  connect(checkBoxDummy_, &QCheckBox::toggled, this, [this] { RefreshOptionPanel(); });
  connect(checkBoxForce_, &QCheckBox::clicked, this, &TAttributePage::CheckBoxForceClick);
  connect(checkBoxCopy_, &QCheckBox::clicked, this, &TAttributePage::CheckBoxCopyClick);
  connect(checkBoxDummy_, &QCheckBox::clicked, this, &TAttributePage::CheckBoxDummyClick);
  connect(buttonOutPath_, &QPushButton::clicked, this, &TAttributePage::ButtonOutPathClick);
  connect(buttonDummy_, &QPushButton::clicked, this, &TAttributePage::ButtonDummyClick);
  connect(editForce_, &QLineEdit::textEdited, this, &TAttributePage::Edit4Change);
  connect(comboBoxCopyPath_, &QComboBox::editTextChanged, this, &TAttributePage::Edit4Change);

  auto* top = new QHBoxLayout;
  top->addWidget(button4Prev_);
  top->addWidget(edit4Arc_, 1);
  top->addStretch();
  top->addWidget(checkBoxIgnore_);
  top->addWidget(button4Exec_);

  auto* check = new QVBoxLayout;
  check->setSpacing(0);
  check->addWidget(label4Check_);
  check->addWidget(button4Check_);
  auto* options = new QHBoxLayout;
  options->addLayout(check);
  options->addSpacing(8);
  options->addWidget(checkBoxForce_);
  options->addWidget(editForce_);
  options->addSpacing(12);
  options->addWidget(checkBoxCopy_);
  options->addWidget(comboBoxCopyPath_, 1);
  options->addWidget(buttonOutPath_);
  options->addSpacing(8);
  options->addWidget(checkBoxDummy_);
  options->addWidget(buttonDummy_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(top);
  layout->addWidget(listView4_, 1);
  layout->addLayout(options);
}

// --- entering the page --------------------------------------------------------

bool TAttributePage::Button2EXECClick(const Source& source) {
  const bool folderMode = source.mode == PlanMode::Folder;
  if (!folderMode || edit_.stageCount() > 0) {
    const NameCheck::Result result = NameCheck::checkEditList(
        edit_, folderMode, progress_, settings_.greet3, source.lzhPaths, &source.archiveEntries,
        OwnFiles::sameFolder(source.folder, RunJournal::folderOf(undoPath_)));
    if (!result.refusal.empty()) {
      interaction_.tell(MessageKind::Error, result.refusal, ExecutionFlow::Caption);
      return false;
    }
    if (!result.passed()) {
      if (host_.editListChanged) host_.editListChanged();
      return false;
    }
    if (host_.editListChanged) host_.editListChanged();
  }

  plan_ = PlanBuilder::build(edit_, source.mode, source.folder, fs_, progress_, settings_.greet4);
  folderEngine_.setListedCount(source.listedCount);
  edit4Arc_->setVisible(!folderMode);
  edit4Arc_->setText(folderMode ? QString() : source.archiveName);
  checkBoxIgnore_->setChecked(false);
  setupColumns();
  RefreshOptionPanel();
  reloadList();
  if (host_.showAttributePage) host_.showAttributePage(QStringLiteral("Ritoma - 属性"));

  // A plan without renaming has no check to ask for: "？" shows no caption.
  if (!plan_.renameMode) button4Check_->setText(QString());
  button4Exec_->setEnabled(plan_.renameMode ? runCheck(true) : true);
  RefreshIgnoreOption();
  return true;
}

void TAttributePage::ButtonUndoClick() {
  UndoFlow flow(fs_, interaction_, undoPath_);
  const std::optional<UndoLog> log = flow.load();
  if (!log) return;
  UndoSelection* selection = host_.openFolder ? host_.openFolder(log->folder) : nullptr;
  if (!selection) return;
  if (host_.showSelectPage) host_.showSelectPage();
  const bool built = flow.buildReversePlan(*log, *selection, edit_, plan_) == UndoFlow::Built::Ok;
  if (host_.selectionChanged) host_.selectionChanged();
  if (host_.editListChanged) host_.editListChanged();
  if (!built) {
    reloadList();
    return;
  }
  folderEngine_.setListedCount(selection->size());
  edit4Arc_->setVisible(false);
  edit4Arc_->clear();
  checkBoxIgnore_->setChecked(false);
  setupColumns();
  RefreshOptionPanel();
  reloadList();
  if (host_.showAttributePage) host_.showAttributePage(QStringLiteral("Ritoma - 属性（UNDO）"));
  button4Exec_->setEnabled(runCheck(true));
  RefreshIgnoreOption();
}

void TAttributePage::setupColumns() {
  const bool renaming = plan_.renameMode;
  model_->forgetRun();
  listView4_->setColumnHidden(PlanListModel::ResultColumn, true);
  for (int c = 1; c <= static_cast<int>(PlanList::ColAttrs); ++c)
    listView4_->setColumnHidden(c, !plan_.columnShown(static_cast<std::size_t>(c)));
  QHeaderView* header = listView4_->header();
  const auto widths = host_.editColumnWidths ? host_.editColumnWidths() : std::pair<int, int>(120, 120);
  header->resizeSection(PlanList::ColOldName, widths.first);
  if (renaming) header->resizeSection(PlanList::ColNewName, widths.second);
  for (int c = PlanList::ColCreated; c <= static_cast<int>(PlanList::ColAccessed); ++c)
    header->resizeSection(c, TimeColumnWidth);
  header->resizeSection(PlanList::ColAttrs, AttrColumnWidth);
  header->setSectionResizeMode(PlanList::ColAttrs, QHeaderView::Fixed);

  label4Check_->setEnabled(renaming);
  button4Check_->setEnabled(renaming);
  button4Check_->setDefault(renaming);
}

void TAttributePage::reloadList() { model_->reload(); }

// --- the collision check ------------------------------------------------------

PlanEngine* TAttributePage::engine() {
  return plan_.mode == PlanMode::Archive ? archiveEngine_ : &folderEngine_;
}

bool TAttributePage::runCheck(bool automatic) {
  PlanEngine* checker = engine();
  if (!checker) {
    button4Check_->setText(Pending);
    return false;
  }
  RunOptions options = currentOptions();
  if (options.force) {
    // A marker the rename check would refuse as a name could move the files
    // out of their folder for the length of the run.
    if (const std::string error = RunOptions::markerError(options.marker); !error.empty()) {
      interaction_.tell(MessageKind::Error, error, ExecutionFlow::Caption);
      button4Check_->setText(Pending);
      return false;
    }
  }
  const CheckResult result = checker->check(plan_, options, automatic);
  applyCheckedOptions(options);
  button4Check_->setText(result.pending ? Pending : QString());
  reloadList();
  return result.passed;
}

void TAttributePage::checkAndRefresh() {
  button4Exec_->setEnabled(runCheck(true));
  RefreshIgnoreOption();
}

void TAttributePage::applyCheckedOptions(const RunOptions& options) {
  // The check may have emptied a copy folder that does not exist and put an
  // existing one at the top of the history.
  if (options.copyHistory != history_) {
    history_ = options.copyHistory;
    const QSignalBlocker block(comboBoxCopyPath_);
    const QString text = comboBoxCopyPath_->currentText();
    comboBoxCopyPath_->clear();
    for (const std::string& entry : history_) comboBoxCopyPath_->addItem(display(entry));
    comboBoxCopyPath_->setEditText(text);
  }
  if (display(options.copyPath) != comboBoxCopyPath_->currentText()) setCopyPathText(display(options.copyPath));
}

void TAttributePage::setCopyPathText(const QString& text) {
  const QSignalBlocker block(comboBoxCopyPath_);
  comboBoxCopyPath_->setEditText(text);
}

RunOptions TAttributePage::currentOptions() const {
  RunOptions options;
  options.force = checkBoxForce_->isEnabled() && checkBoxForce_->isChecked();
  options.marker = internal(editForce_->text());
  options.copy = checkBoxCopy_->isEnabled() && checkBoxCopy_->isChecked();
  options.copyPath = internal(comboBoxCopyPath_->currentText());
  options.copyHistory = history_;
  options.dummy = checkBoxDummy_->isEnabled() && checkBoxDummy_->isChecked();
  options.ignoreErrors = checkBoxIgnore_->isChecked();
  return options;
}

void TAttributePage::Button4CheckClick() {
  button4Exec_->setEnabled(runCheck(false));
  RefreshIgnoreOption();
}

void TAttributePage::Edit4Change() {
  button4Exec_->setEnabled(false);
  button4Check_->setText(Pending);
  // The marks no longer fit the options: they may not be ignored until the
  // next check.
  checkBoxIgnore_->setEnabled(false);
  checkBoxIgnore_->setChecked(false);
}

void TAttributePage::RefreshIgnoreOption() {
  checkBoxIgnore_->setEnabled(checkBoxCopy_->isEnabled() && checkBoxCopy_->isChecked() &&
                              !button4Exec_->isEnabled());
  checkBoxIgnore_->setChecked(false);
}

void TAttributePage::CheckBoxIgnoreClick() { button4Exec_->setEnabled(checkBoxIgnore_->isChecked()); }

// --- options ----------------------------------------------------------------

void TAttributePage::RefreshOptionPanel() {
  const bool archive = plan_.mode == PlanMode::Archive;
  checkBoxForce_->setEnabled(!archive && button4Check_->isEnabled());
  editForce_->setEnabled(checkBoxForce_->isEnabled() && checkBoxForce_->isChecked());
  checkBoxCopy_->setEnabled(checkBoxForce_->isEnabled());
  comboBoxCopyPath_->setEnabled(checkBoxCopy_->isEnabled() && checkBoxCopy_->isChecked());
  buttonOutPath_->setEnabled(comboBoxCopyPath_->isEnabled());
  checkBoxDummy_->setEnabled(buttonOutPath_->isEnabled());
  buttonDummy_->setEnabled(checkBoxDummy_->isEnabled() && checkBoxDummy_->isChecked());
}

void TAttributePage::CheckBoxForceClick() {
  checkBoxCopy_->setChecked(false);
  checkAndRefresh();
}

void TAttributePage::CheckBoxCopyClick() {
  checkBoxForce_->setChecked(false);
  checkAndRefresh();
}

void TAttributePage::CheckBoxDummyClick() { RefreshOptionPanel(); }

void TAttributePage::ButtonOutPathClick() {
  QString start = comboBoxCopyPath_->currentText();
  if (start.isEmpty()) start = display(TextCodec::toInternal(plan_.folder));
  const auto chosen = host_.browseFolder(QString::fromUtf8(FolderBrowserTitle), start);
  if (!chosen) return;
  setCopyPathText(*chosen);
  checkAndRefresh();
}

void TAttributePage::ButtonDummyClick() {
  if (host_.showDummyDialog) host_.showDummyDialog();
}

// --- running ------------------------------------------------------------------

void TAttributePage::Button4EXECClick() {
  RunOptions options = currentOptions();
  PlanEngine* runner = engine();
  if (!runner) return;

  ExecutionFlow flow(interaction_, settings_);
  interaction_.beginRun();
  const RunResult result = flow.run(*runner, plan_, options, edit_.folderCount);
  interaction_.endRun();
  reloadList();
  if (result.cancelled || !result.refusal.empty()) return;
  if (result.clearForce) checkBoxForce_->setChecked(false);
  if (!result.rowNotes.empty())
    interaction_.tell(MessageKind::Warning, ExecutionFlow::notesText(result), ExecutionFlow::Caption);
  // A run that failed or left notes stays on the page with what it made of
  // each row; its plan has run and cannot run again.
  if (result.failed || !result.rowNotes.empty()) {
    model_->showRun(result);
    listView4_->setColumnHidden(PlanListModel::ResultColumn, false);
    listView4_->header()->resizeSection(PlanListModel::ResultColumn, ResultColumnWidth);
    const std::size_t shown = !result.rowErrors.empty() ? result.rowErrors.back().row
                              : !result.rowNotes.empty() ? result.rowNotes.front().row
                                                         : 0;
    listView4_->scrollTo(model_->index(static_cast<int>(shown), PlanListModel::ResultColumn));
    lockAfterRun();
    return;
  }
  finishRun(result);
}

void TAttributePage::finishRun(const RunResult& result) {
  // Each processed name checks the first entry of that name, in list order.
  // Folder runs name the files as the disk does, archive runs as the
  // archive stores them (the plan's own names).
  const bool archive = plan_.mode == PlanMode::Archive;
  std::unordered_map<std::string, int> done;
  for (const std::string& name : result.processedNames) ++done[archive ? name : TextCodec::toInternal(name)];

  UndoSelection* selection = nullptr;
  if (archive) {
    if (host_.reopenArchive) selection = host_.reopenArchive();
  } else if (host_.openFolder) {
    selection = host_.openFolder(result.folder);
  }
  if (host_.showSelectPage) host_.showSelectPage();
  if (selection) {
    for (std::size_t e = 0; e < selection->size(); ++e) {
      auto it = done.find(selection->fullName(e));
      if (it == done.end() || it->second == 0) continue;
      --it->second;
      selection->check(e);
    }
    if (host_.selectionChanged) host_.selectionChanged();
  }
  plan_.clear();
  edit_.clear();
  reloadList();
  button4Exec_->setEnabled(false);
  RefreshIgnoreOption();
  if (host_.editListChanged) host_.editListChanged();
}

void TAttributePage::lockAfterRun() {
  button4Exec_->setEnabled(false);
  checkBoxIgnore_->setEnabled(false);
  label4Check_->setEnabled(false);
  button4Check_->setEnabled(false);
  button4Check_->setDefault(false);
  checkBoxForce_->setEnabled(false);
  editForce_->setEnabled(false);
  checkBoxCopy_->setEnabled(false);
  comboBoxCopyPath_->setEnabled(false);
  buttonOutPath_->setEnabled(false);
  checkBoxDummy_->setEnabled(false);
  buttonDummy_->setEnabled(false);
}

// --- time and attribute editing ---------------------------------------------

std::vector<std::size_t> TAttributePage::selectedRows() const { return SelectedRows::of(listView4_); }

void TAttributePage::ListView4ColumnClick(int column) {
  if (plan_.mode == PlanMode::Archive) return;
  if (column < static_cast<int>(PlanList::ColCreated) || column > static_cast<int>(PlanList::ColAttrs)) return;
  const auto c = static_cast<std::size_t>(column);
  // The list is reloaded below; the rows the user chose stay chosen.
  const std::vector<std::size_t> chosen = selectedRows();
  if (plan_.isChanged(c)) {
    plan_.undoColumn(c);
  } else if (c == PlanList::ColAttrs) {
    TFormAttr dialog(plan_, chosen, window());
    dialog.exec();
  } else {
    TFormDateTime dialog(plan_, c, chosen, window());
    dialog.exec();
  }
  reloadList();
  QItemSelection selection;
  for (std::size_t row : chosen) {
    const QModelIndex index = model_->index(static_cast<int>(row), 0);
    selection.select(index, index);
  }
  listView4_->selectionModel()->select(selection, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TAttributePage::ListView4DblClick() { listView4_->selectAll(); }

bool TAttributePage::eventFilter(QObject* watched, QEvent* event) {
  // A double click anywhere on the list selects every row; the release that
  // follows it leaves the selection alone.
  if (watched == listView4_->viewport()) {
    if (event->type() == QEvent::MouseButtonDblClick) {
      ListView4DblClick();
      swallowRelease_ = true;
      return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && swallowRelease_) {
      swallowRelease_ = false;
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TAttributePage::keyPressEvent(QKeyEvent* event) {
  // Enter on a focused button presses that button; elsewhere "？" is the page's default button in
  // rename mode.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  auto* focused = qobject_cast<QPushButton*>(focusWidget());
  if (enter && focused && isAncestorOf(focused) && focused->isEnabled()) {
    focused->click();
    event->accept();
    return;
  }
  if (enter && button4Check_->isDefault() && button4Check_->isEnabled() && button4Check_->isVisible()) {
    button4Check_->click();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

// --- settings -----------------------------------------------------------------

void TAttributePage::loadSettings(const IniFile& ini) {
  // The boxes are set without their click reactions.
  checkBoxForce_->setChecked(ini.readBool("Rename", "Force", false));
  // A marker the check would refuse falls back to the default.
  std::string marker = ini.readString("Rename", "Header", RunOptions().marker);
  if (!RunOptions::markerError(marker).empty()) marker = RunOptions().marker;
  editForce_->setText(display(marker));
  checkBoxCopy_->setChecked(ini.readBool("Rename", "Copy", false));
  checkBoxDummy_->setChecked(ini.readBool("Rename", "Dummy", false));
  history_.clear();
  const int count = ini.readListCount("Rename", "PathCount");
  for (int i = 0; i < count; ++i) {
    const std::string entry = ini.readString("Rename", IniFile::indexedKey("PATH-", i));
    if (!entry.empty() && static_cast<int>(history_.size()) < RunOptions::MaxHistory) history_.push_back(entry);
  }
  const QSignalBlocker block(comboBoxCopyPath_);
  comboBoxCopyPath_->clear();
  for (const std::string& entry : history_) comboBoxCopyPath_->addItem(display(entry));
  comboBoxCopyPath_->setEditText(display(ini.readString("Rename", "Path")));
  RefreshOptionPanel();
}

void TAttributePage::saveSettings(IniFile& ini) const {
  ini.writeBool("Rename", "Force", checkBoxForce_->isChecked());
  ini.writeString("Rename", "Header", internal(editForce_->text()));
  ini.writeBool("Rename", "Copy", checkBoxCopy_->isChecked());
  ini.writeString("Rename", "Path", internal(comboBoxCopyPath_->currentText()));
  ini.writeBool("Rename", "Dummy", checkBoxDummy_->isChecked());
  // The section is shared with the word separators, so the old history
  // entries are removed one by one, however many an older file held.
  for (const std::string& key : ini.readSectionKeys("Rename"))
    if (isHistoryKey(key)) ini.eraseKey("Rename", key);
  ini.writeInteger("Rename", "PathCount", static_cast<int>(history_.size()));
  for (std::size_t i = 0; i < history_.size(); ++i)
    ini.writeString("Rename", IniFile::indexedKey("Path-", static_cast<int>(i)), history_[i]);
}

}  // namespace ritoma
