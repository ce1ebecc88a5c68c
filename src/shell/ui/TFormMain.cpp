#include "shell/ui/TFormMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "archive/ArchiveBackend.h"
#include "archive/ArchivePlanEngine.h"
#include "execution/ExecutionFlow.h"
#include "execution/DisplayText.h"
#include "execution/JournalRecovery.h"
#include "execution/RunJournal.h"
#include "conversion/ui/TConversionPage.h"
#include "dummy/ui/TFormDummy.h"
#include "execution/UndoFile.h"
#include "execution/ui/SelectionRows.h"
#include "execution/ui/TAttributePage.h"
#include "selection/EditListBuilder.h"
#include "selection/ui/FolderIcons.h"
#include "selection/ui/SelectionListView.h"
#include "selection/ui/SelectionPageWidget.h"
#include "selection/ui/SelectionTableModel.h"
#include "plugins/PluginFolders.h"
#include "plugins/PluginHost.h"
#include "plugins/ui/TFormMacroEx.h"
#include "settings/IniFile.h"
#include "settings/ShortcutPlaces.h"
#include "settings/ui/TFormSetup.h"
#include "shell/FileUri.h"
#include "shell/ui/EditListModel.h"
#include "shell/ui/Fonts.h"
#include "shell/ui/HelpViewer.h"
#include "shell/ui/TFormAbout.h"
#include "text/CaseMap.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

constexpr int MinimumWidth = 540;
constexpr int MinimumHeight = 410;
constexpr int MinimumPanel = 200;       // both panels of page 選択

const QString Title = QStringLiteral("Ritoma - ");

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

QTreeView* makeListView(const QString& name, QWidget* parent) {
  auto* view = new QTreeView(parent);
  view->setObjectName(name);
  view->setFont(Fonts::fixed());
  view->setRootIsDecorated(false);
  view->setUniformRowHeights(true);
  view->setAllColumnsShowFocus(true);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->header()->setStretchLastSection(false);
  view->header()->setSectionsMovable(false);
  return view;
}

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }

}  // namespace

TFormMain::TFormMain(FileSystem& fs, std::string settingsPath, QtUserInteraction::Script script,
                     QWidget* parent)
    : QMainWindow(parent),
      fs_(fs),
      settingsPath_(std::move(settingsPath)),
      archives_(fs),
      interaction_(this),
      progress_(this) {
  setObjectName(QStringLiteral("FormMain"));
  interaction_.setScript(std::move(script));
  setFont(Fonts::proportional());
  setMinimumSize(MinimumWidth, MinimumHeight);

  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  for (int i = 1; i <= 4; ++i) {
    auto* sheet = new QWidget(pages_);
    sheet->setObjectName(QStringLiteral("TabSheet%1").arg(i));
    pages_->addWidget(sheet);
  }
  setCentralWidget(pages_);

  statusFolder_ = new QLabel(this);
  statusFolder_->setObjectName(QStringLiteral("StatusBar1"));
  statusBar()->setSizeGripEnabled(true);
  statusBar()->addWidget(statusFolder_, 1);

  buildPageSelect();
  buildPageEdit();
  buildPageConvert();
  buildPageAttribute();
  buildMenu();
  // F1 opens the help of the page on show.
  auto* help = new QShortcut(QKeySequence::HelpContents, this);
  connect(help, &QShortcut::activated, this, [this] { HelpViewer::showContext(helpContext(), this); });

  loadSettings();
  // The dummy-file dialog lives as long as the window, on what [Dummy] held.
  formDummy_ = new TFormDummy(dummySettings_, archives_, this);
}

TFormMain::~TFormMain() = default;

void TFormMain::buildPageSelect() {
  QWidget* sheet = page(PageSelect);
  selectionPage_ = new SelectionPageWidget(fs_, progress_, interaction_, sheet);
  selectionPage_->setSettingsPath(settingsPath_);
  splitter1_ = selectionPage_->splitter();
  listView1_ = selectionPage_->listView();
  connect(selectionPage_, &SelectionPageWidget::folderOpened, this, &TFormMain::setStatusFolder);
  connect(selectionPage_, &SelectionPageWidget::folderOpened, this, &TFormMain::showArchiveName);
  connect(selectionPage_, &SelectionPageWidget::editRequested, this, &TFormMain::buildEditList);
  connect(selectionPage_, &SelectionPageWidget::menuRequested, this, &TFormMain::showMainMenu);
  connect(selectionPage_, &SelectionPageWidget::undoRequested, this, [this] {
    applyAttributeSettings();
    attributePage_->ButtonUndoClick();
  });
  selectionRows_ = std::make_unique<SelectionRows>(selectionPage_->list());
  auto* layout = new QVBoxLayout(sheet);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(selectionPage_);
}

void TFormMain::buildPageEdit() {
  QWidget* sheet = page(PageEdit);
  button2Prev_ = makeButton(QStringLiteral("Button2PREV"), QStringLiteral("<< 選択"), sheet);
    connect(button2Prev_, &QPushButton::clicked, this, [this] { showPage(PageSelect); });
  edit2Arc_ = new QLineEdit(sheet);
  edit2Arc_->setObjectName(QStringLiteral("Edit2Arc"));
  edit2Arc_->setReadOnly(true);
  edit2Arc_->setFont(Fonts::fixed());
  edit2Arc_->setVisible(false);
  edit2Arc_->addAction(FolderIcons::icon(FolderIcons::ClosedGrey), QLineEdit::LeadingPosition);
  // Read-only: drawn on the window's colour, not as a field to type in.
  QPalette arcColours = edit2Arc_->palette();
  arcColours.setColor(QPalette::Base, arcColours.color(QPalette::Window));
  edit2Arc_->setPalette(arcColours);
  button2Cnv_ = makeButton(QStringLiteral("Button2CNV"), QStringLiteral("変換1"), sheet);
  connect(button2Cnv_, &QPushButton::clicked, this,
          [this] { startStage(ConversionStage::ForStageButton(editList_)); });
  button2Exec_ = makeButton(QStringLiteral("Button2EXEC"), QStringLiteral("属性 >>"), sheet);
  connect(button2Exec_, &QPushButton::clicked, this, &TFormMain::Button2EXECClick);

  listView2_ = makeListView(QStringLiteral("ListView2"), sheet);
  editModel_ = new EditListModel(editList_, listView2_);
  listView2_->setModel(editModel_);
  listView2_->header()->setSectionsClickable(true);
  listView2_->header()->resizeSection(0, 24);
  connect(listView2_->header(), &QHeaderView::sectionClicked, this, &TFormMain::onEditHeaderClicked);

  auto* top = new QHBoxLayout;
  top->addWidget(button2Prev_);
  top->addWidget(edit2Arc_, 1);
  top->addStretch();
  top->addWidget(button2Cnv_);
  top->addWidget(button2Exec_);
  auto* layout = new QVBoxLayout(sheet);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(top);
  layout->addWidget(listView2_, 1);
}

void TFormMain::buildPageConvert() {
  QWidget* sheet = page(PageConvert);
  conversionPage_ = new TConversionPage(fs_, settingsPath_, editList_, interaction_, progress_, sheet);
  conversionPage_->setFont(Fonts::proportional());
  for (const char* name : {"ListView3", "EditSAMPLE", "LabeledEditF", "EditE", "ComboBoxRep1", "ComboBoxRep2",
                           "LabeledEditDirect", "ListViewMacro", "ListViewRep", "LabeledEditChg"})
    if (auto* control = conversionPage_->findChild<QWidget*>(QString::fromLatin1(name))) control->setFont(Fonts::fixed());
  connect(conversionPage_, &TConversionPage::stageSaved, this, &TFormMain::editListChanged);
  connect(conversionPage_, &TConversionPage::leaveRequested, this, [this] { showPage(PageEdit); });
  auto* layout = new QVBoxLayout(sheet);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(conversionPage_);
}

void TFormMain::buildPageAttribute() {
  QWidget* sheet = page(PageAttribute);
  TAttributePage::Host host;
  // The keyboard lands where the next key is expected: on the plan after
  // the check or an UNDO, on the listed folder after a run.
  host.showAttributePage = [this](const QString& caption) {
    showPage(PageAttribute);
    setWindowTitle(caption);
    if (auto* plan = attributePage_->findChild<QWidget*>(QStringLiteral("ListView4"))) plan->setFocus();
  };
  host.showEditPage = [this] { showPage(PageEdit); };
  host.showSelectPage = [this] {
    showPage(PageSelect);
    listView1_->setFocus();
  };
  host.editListChanged = [this] { editListChanged(); };
  host.showDummyDialog = [this] { formDummy_->exec(); };
  host.openFolder = [this](const std::string& folder) -> UndoSelection* {
    std::string text = TextCodec::toInternal(folder);
    if (text.empty() || text.back() != '/') text += '/';
    selectionPage_->openFolder(text, {}, false);
    return selectionRows_.get();
  };
  host.reopenArchive = [this]() -> UndoSelection* {
    const std::string path = archiveState_.arcPath;
    const std::size_t slash = path.rfind('/');
    selectionPage_->openFolder(path.substr(0, slash + 1), path.substr(slash + 1), false);
    return selectionRows_.get();
  };
  host.selectionChanged = [this] {
    selectionPage_->listModel()->rebuild([] {});
  };
  host.editColumnWidths = [this] {
    const QHeaderView* header = listView2_->header();
    return std::pair<int, int>(header->sectionSize(1), header->sectionSize(header->count() - 1));
  };
  PlacedInteraction::Boxes boxes;
  boxes.ask = [this](QuestionKind kind, const QString& text, const QString& caption, std::optional<QPoint> at,
                     std::optional<MessageKind> look) {
    return interaction_.askAt(kind, text, caption, at, look);
  };
  boxes.tell = [this](MessageKind kind, const QString& text, const QString& caption, std::optional<QPoint> at) {
    interaction_.tellAt(kind, text, caption, at);
  };
  const std::size_t slash = settingsPath_.rfind('/');
  const std::string undoPath =
      (slash == std::string::npos ? std::string() : settingsPath_.substr(0, slash + 1)) + UndoFile::FileName;
  attributePage_ = new TAttributePage(fs_, progress_, boxes, editList_, undoPath, host, sheet);
  archiveEngine_ = std::make_unique<ArchivePlanEngine>(fs_, progress_, attributePage_->settings(), archiveState_);
  archiveEngine_->setJournalPath(RunJournal::pathBeside(undoPath));
  attributePage_->setArchiveEngine(archiveEngine_.get());
  attributePage_->setDummyWriter(&dummyWriter_);
  auto* layout = new QVBoxLayout(sheet);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(attributePage_);
}

void TFormMain::applyAttributeSettings() {
  ExecutionSettings settings;
  settings.greet3 = options_.greet[2];
  settings.greet4 = options_.greet[3];
  settings.greet5 = options_.greet[4];
  settings.chkAuto = options_.chkAuto;
  settings.chkStop = options_.chkStop;
  settings.msgExec = options_.msgExec;
  settings.msgDir = options_.msgDir;
  settings.chkForce = options_.chkForce;
  attributePage_->setSettings(settings);
  archiveEngine_->setBackupMode(options_.arcBackup);
}

void TFormMain::Button2EXECClick() {
  applyAttributeSettings();
  archiveState_ = selectionPage_->tree().archive();

  TAttributePage::Source source;
  source.mode = archiveOpen() ? PlanMode::Archive : PlanMode::Folder;
  source.folder = TextCodec::toDisk(selectionPage_->tree().currentFolder());
  if (source.folder.size() > 1 && source.folder.back() == '/') source.folder.pop_back();
  source.archiveName = edit2Arc_->text();
  source.listedCount = selectionPage_->list().size();
  source.lzhPaths = archiveOpen() && archiveState_.arcKind == ArcLzh;
  // An archive that cannot be listed gives no folders; the run reports it.
  std::string listError;
  if (archiveOpen())
    ArchiveBackend::list(fs_, static_cast<ArcKind>(archiveState_.arcKind),
                         TextCodec::toDisk(archiveState_.arcPath), source.archiveEntries, listError);
  // A failed check leaves "属性 >>" disabled until a stage is saved again.
  if (!attributePage_->Button2EXECClick(source)) button2Exec_->setEnabled(false);
}

void TFormMain::buildMenu() {
  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("PopupMenuMain"));
  auto* setup = menu_->addAction(QStringLiteral("環境設定"));
  setup->setObjectName(QStringLiteral("MenuSetup"));
  connect(setup, &QAction::triggered, this, &TFormMain::showSetup);
  auto* macroEx = menu_->addAction(QStringLiteral("拡張ﾏｸﾛ設定"));
  macroEx->setObjectName(QStringLiteral("MenuMacroEx"));
  connect(macroEx, &QAction::triggered, this, &TFormMain::showMacroEx);
  menu_->addSeparator();
  auto* help = menu_->addAction(QStringLiteral("ﾍﾙﾌﾟ"));
  help->setObjectName(QStringLiteral("MenuHelp"));
  connect(help, &QAction::triggered, this, [this] { HelpViewer::showContext(0, this); });
  auto* about = menu_->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
  about->setObjectName(QStringLiteral("MenuAbout"));
  connect(about, &QAction::triggered, this, &TFormMain::showAbout);

  // While an interrupted run waits (its question was cancelled), the menu
  // puts it back or gives it up; every run and UNDO refuse until then.
  auto* recoverSeparator = menu_->addSeparator();
  auto* recover = menu_->addAction(QStringLiteral("中断された処理を元に戻す"));
  recover->setObjectName(QStringLiteral("MenuRecover"));
  connect(recover, &QAction::triggered, this, [this] { recoverInterruptedRun(); });
  auto* discard = menu_->addAction(QStringLiteral("中断された処理の記録を破棄"));
  discard->setObjectName(QStringLiteral("MenuDiscardJournal"));
  connect(discard, &QAction::triggered, this, &TFormMain::discardInterruptedRun);
  connect(menu_, &QMenu::aboutToShow, this, [this, recoverSeparator, recover, discard] {
    const bool pending = RunJournal::pending(fs_, RunJournal::pathBeside(settingsPath_));
    for (QAction* action : {recoverSeparator, recover, discard}) action->setVisible(pending);
  });
}

QWidget* TFormMain::page(Page page) const { return pages_->widget(static_cast<int>(page) - 1); }

TFormMain::Page TFormMain::currentPage() const { return static_cast<Page>(pages_->currentIndex() + 1); }

void TFormMain::showPage(Page page, const QString& captionSuffix) {
  static const QString names[] = {QStringLiteral("選択"), QStringLiteral("編集"), QStringLiteral("変換"),
                                  QStringLiteral("属性")};
  pages_->setCurrentIndex(static_cast<int>(page) - 1);
  setWindowTitle(Title + names[static_cast<int>(page) - 1] + captionSuffix);
}

int TFormMain::helpContext() const {
  // The nearest control around the focus that names a context of its own
  // (the tool tabs of page 変換) wins over its page.
  for (const QWidget* w = QApplication::focusWidget(); w && w != this; w = w->parentWidget()) {
    const QVariant context = w->property("helpContext");
    if (context.isValid() && w->window() == this) return context.toInt();
  }
  switch (currentPage()) {
    case PageSelect:
      return 302;
    case PageEdit:
      return 303;
    case PageConvert:
      return 304;
    case PageAttribute:
      return 305;
  }
  return HelpViewer::MainWindowContext;
}

QString TFormMain::currentFolderText() const { return statusFolder_->text(); }

void TFormMain::setStatusFolder(const QString& folder) { statusFolder_->setText(folder); }

void TFormMain::showMainMenu() {
  const QRect frame = frameGeometry();
  menu_->popup(QPoint(frame.left() + 90, frame.top() + frame.height() - 49));
}

void TFormMain::showAbout() {
  TFormAbout about(this);
  about.exec();
}

// The reload forgets the section sizes. Columns that were there keep
// theirs; a new stage column is as wide as the column before it, and a new
// error column of the check is 160 wide.
void TFormMain::editListChanged() {
  QHeaderView* header = listView2_->header();
  std::vector<int> widths;
  for (int c = 0; c < header->count(); ++c) widths.push_back(header->sectionSize(c));
  const std::size_t oldStages =
      widths.size() >= 2 + (editErrorShown_ ? 1u : 0u) ? widths.size() - 2 - (editErrorShown_ ? 1 : 0) : 0;
  editModel_->reload();
  const std::size_t stages = editList_.stageCount();
  for (std::size_t c = 0; c < 2 + stages; ++c) {
    const int column = static_cast<int>(c);
    if (c < 2 + oldStages && c < widths.size()) header->resizeSection(column, widths[c]);
    else if (c > 0) header->resizeSection(column, header->sectionSize(column - 1));
  }
  if (editList_.hasErrorColumn()) {
    const int column = static_cast<int>(2 + stages);
    header->resizeSection(column, editErrorShown_ && stages == oldStages ? widths.back() : 160);
  }
  editErrorShown_ = editList_.hasErrorColumn();
  updateStageButtons();
}

void TFormMain::updateStageButtons() {
  const std::size_t columns = editList_.columnCount();
  const bool errorColumn = editList_.hasErrorColumn();
  button2Cnv_->setText(QStringLiteral("変換%1").arg(columns - (errorColumn ? 2 : 1)));
  // Stages exist: "属性 >>" stays enabled even with an archive open.
  button2Exec_->setEnabled(!editList_.hasErrorColumn() && (!archiveOpen() || editList_.stageCount() > 0));
}

ConversionList& TFormMain::conversionList() { return conversionPage_->list(); }

void TFormMain::startStage(const ConversionStage& stage) {
  TemplateContext context;
  const FolderTree& tree = selectionPage_->tree();
  context.folderPath = tree.statusText();
  context.inArchive = tree.archiveOpen();
  context.plugins = plugins_.get();
  if (context.inArchive) {
    const std::string& path = tree.archive().arcPath;
    context.archiveName = path.substr(path.rfind('/') + 1);
  }
  conversionPage_->setProgressThreshold(options_.greet[1]);
  conversionPage_->open(stage, context);
  showPage(PageConvert, QString::number(stage.stageNumber));
  conversionPage_->focusActiveTool();
}

void TFormMain::showSetup() {
  TFormSetup dialog(fs_, settingsPath_,
                    {options_, archives_, *selectionPage_, [this] { archiveBackEndsSwitched(); }},
                    ShortcutPlaces::forThisUser(fs_),
                    QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString(), interaction_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  selectionPage_->setGreetThreshold(options_.greet[0]);
  // The changed filters and back ends take effect in a new listing of the
  // status-bar folder; an open archive is closed.
  selectionPage_->openFolder(selectionPage_->tree().currentFolder(), {});
}

void TFormMain::archiveBackEndsSwitched() {
  selectionPage_->setArchiveBackEnds(archives_.isLoaded(ArcLzh), archives_.isLoaded(ArcZip));
  // Made after the settings are read: it evaluates its boxes itself then.
  if (formDummy_) formDummy_->updateArchiveChoices();
}

void TFormMain::showMacroEx() {
  if (!plugins_) return;
  std::vector<TFormMacroEx::Previous> previous;
  for (int i = 0; i < plugins_->count(); ++i) previous.push_back({plugins_->fileName(i), plugins_->letter(i)});
  plugins_->takeOutOfService();
  conversionPage_->setPluginMacros({}, {});
  conversionPage_->setMacroChoice(-1);
  IniFile ini(fs_, settingsPath_);
  TFormMacroEx form(*plugins_, ini, interaction_, previous, this);
  form.exec();
  pluginsChosen_ = true;
  showPluginMacros();
}

void TFormMain::showPluginMacros() {
  QStringList entries;
  for (int i = 0; i < plugins_->count(); ++i)
    entries << QString::fromStdU16String(TextCodec::toDisplay(plugins_->caption(i)));
  conversionPage_->setPluginMacros(entries, [this](int plugin) {
    const QRect frame = geometry();
    const RitomaPluginWindow window{static_cast<std::int16_t>(frame.left()), static_cast<std::int16_t>(frame.top()),
                                    static_cast<std::int16_t>(frame.width()),
                                    static_cast<std::int16_t>(frame.height())};
    return plugins_->setOption(plugin, window);
  });
}

void TFormMain::conversionListChanged() { conversionPage_->rowsChanged(); }

void TFormMain::onEditHeaderClicked(int column) {
  if (column != 1) {
    if (const auto stage = ConversionStage::ForHeaderClick(editList_, static_cast<std::size_t>(column)))
      startStage(*stage);
    return;
  }
  if (editList_.columnCount() <= 2) return;
  const QRect frame = frameGeometry();
  const Answer answer = interaction_.askAt(QuestionKind::YesNo, QStringLiteral("変換データを削除します"),
                                           QStringLiteral("確認"),
                                           QPoint(frame.left() + 200, frame.top() + 100));
  if (answer != Answer::Yes) return;
  editList_.removeColumnsFrom(2);
  editListChanged();
}

void TFormMain::openPaths(const std::vector<std::string>& paths) {
  // The progress window of a long listing lets events run: a hand-off that arrives then
  // waits until the listing is done instead of opening in the middle of it.
  waitingPaths_.push_back(paths);
  if (openingPaths_) return;
  openingPaths_ = true;
  while (!waitingPaths_.empty()) {
    const std::vector<std::string> next = std::move(waitingPaths_.front());
    waitingPaths_.pop_front();
    openPathsNow(next);
  }
  openingPaths_ = false;
}

void TFormMain::openPathsNow(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  // The folder part of the first path; it must exist.
  const std::string& first = paths.front();
  const std::size_t slash = first.rfind('/');
  if (slash == std::string::npos) return;
  const std::string folder = slash == 0 ? std::string("/") : first.substr(0, slash);
  FileInfo info;
  if (fs_.stat(folder, info) || !info.isFolder) return;

  // A single archive opens itself when its back end is on.
  std::string archiveName;
  if (options_.arcOpen && paths.size() == 1 && !fs_.stat(first, info) && !info.isFolder) {
    const std::string name = TextCodec::toInternal(first.substr(slash + 1));
    const int kind = FolderTree::arcKindFor(name);
    if ((kind == ArcLzh && selectionPage_->lzhOn()) || (kind == ArcZip && selectionPage_->zipOn()))
      archiveName = name;
  }

  std::string folderText = TextCodec::toInternal(folder);
  if (folderText != "/") folderText += '/';
  selectionPage_->openFolder(folderText, archiveName);
  showPage(PageSelect);
  if (archiveName.empty()) {
    std::vector<std::string> names;
    names.reserve(paths.size());
    for (const std::string& path : paths) names.push_back(TextCodec::toInternal(path.substr(path.rfind('/') + 1)));
    selectionPage_->checkRowsNamed(names);
  }
  emit pathsOpened();
}

void TFormMain::buildEditList() {
  EditListBuilder::build(selectionPage_->list().rows(), editList_);
  editListChanged();
  showPage(PageEdit);
  // The next step is the first stage.
  button2Cnv_->setFocus();
}

void TFormMain::showArchiveName() {
  // Follows every opening, an UNDO's included, so page 編集 never names an archive left behind.
  const bool archive = archiveOpen();
  edit2Arc_->setVisible(archive);
  if (!archive) {
    edit2Arc_->clear();
    return;
  }
  const std::string& path = selectionPage_->tree().archive().arcPath;
  edit2Arc_->setText(display(path.substr(path.rfind('/') + 1)));
}

bool TFormMain::archiveOpen() const { return selectionPage_->tree().archiveOpen(); }

QStringList TFormMain::checkedNames() const { return selectionPage_->checkedNames(); }

void TFormMain::receiveHandOff(bool marked, const std::vector<std::string>& paths) {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  if (!marked) return;
  openPaths(paths);
}

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  if (!recoverInterruptedRun()) openPaths(startPaths_);
}

bool TFormMain::recoverInterruptedRun() {
  JournalRecovery recovery(fs_, RunJournal::pathBeside(settingsPath_));
  switch (recovery.load()) {
    case JournalRecovery::Load::None:
      return false;
    case JournalRecovery::Load::Damaged:
      interaction_.tell(MessageKind::Error, recovery.error(), ExecutionFlow::Caption);
      offerDiscard(recovery);
      return false;
    case JournalRecovery::Load::Ok:
      break;
  }
  // Cancel keeps the journal: the menu or a later start offers it again.
  if (interaction_.ask(QuestionKind::OkCancel, recovery.question(), ExecutionFlow::Caption) != Answer::Ok)
    return false;
  if (recovery.recover()) {
    interaction_.tell(MessageKind::Information, recovery.summary(), ExecutionFlow::Caption);
  } else {
    interaction_.tell(MessageKind::Error, recovery.summary() + "\n\n" + recovery.error(),
                      ExecutionFlow::Caption);
    offerDiscard(recovery);
  }
  std::string folder = TextCodec::toInternal(recovery.folder());
  if (folder != "/") folder += '/';
  selectionPage_->openFolder(folder, {});
  showPage(PageSelect);
  return true;
}

void TFormMain::offerDiscard(JournalRecovery& recovery) {
  if (interaction_.askAs(MessageKind::Warning, QuestionKind::YesNo, JournalRecovery::DiscardQuestion,
                         ExecutionFlow::Caption) != Answer::Yes)
    return;
  if (recovery.discard())
    interaction_.tell(MessageKind::Information,
                      "中断された処理の記録を次の名前で残しました\n" +
                          DisplayText::fromDisk(recovery.setAsidePath()),
                      ExecutionFlow::Caption);
  else
    interaction_.tell(MessageKind::Error, recovery.error(), ExecutionFlow::Caption);
}

void TFormMain::discardInterruptedRun() {
  JournalRecovery recovery(fs_, RunJournal::pathBeside(settingsPath_));
  if (recovery.load() == JournalRecovery::Load::None) return;
  offerDiscard(recovery);
}

void TFormMain::closeEvent(QCloseEvent* event) {
  if (options_.msgExit) {
    const QRect frame = frameGeometry();
    const QPoint at(frame.left() + frame.width() / 2 - 93, frame.top() + frame.height() / 2 - 58);
    if (interaction_.askAt(QuestionKind::OkCancel, QStringLiteral("終了しますか？"), QStringLiteral("確認"), at) !=
        Answer::Ok) {
      event->ignore();
      return;
    }
  }
  if (!settingsSaved_) {
    settingsSaved_ = true;
    saveSettings();
  }
  event->accept();
}

void TFormMain::keyPressEvent(QKeyEvent* event) {
  // Enter on a focused button presses it: buttons outside a dialog do not
  // take the key themselves.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
    if (button && isAncestorOf(button) && button->isEnabled()) {
      button->click();
      event->accept();
      return;
    }
  }
  // Escape leaves pages 編集, 変換 and 属性 through their back buttons.
  static const char* const backButtons[] = {nullptr, "Button2PREV", "Button3CANCEL", "Button4PREV"};
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (const char* name = backButtons[pages_->currentIndex()]) {
      auto* button = page(currentPage())->findChild<QPushButton*>(QString::fromLatin1(name));
      if (button && button->isEnabled()) button->click();
      event->accept();
      return;
    }
  }
  QMainWindow::keyPressEvent(event);
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* event) {
  // The URIs as the shell sent them, decoded byte for byte: QUrl would turn
  // the bytes of a name that is not UTF-8 into replacement characters.
  const std::vector<std::string> paths =
      FileUri::listPaths(event->mimeData()->data(QStringLiteral("text/uri-list")).toStdString());
  event->acceptProposedAction();
  activateWindow();
  raise();
  openPaths(paths);
}

// --- settings ---------------------------------------------------------------

void TFormMain::loadSettings() {
  IniFile ini(fs_, settingsPath_);
  // 1. Shell drops.
  setAcceptDrops(true);
  // 2. The undo section holds nothing between runs.
  try {
    ini.eraseSection("Undo");
  } catch (const IniWriteError& error) {
    interaction_.tell(MessageKind::Error, error.what(), "Ritoma");
  }
  // 3. The archive back ends that are switched on.
  loadArchiveBackEnds(ini);
  // 4. Window position and size, the tree panel, the selection list's columns;
  // 6. the edit list's and the conversion page's widths.
  loadWindowLayout(ini);
  // 5. The attribute filter; 7. the filter choice.
  selectionPage_->loadFilterSettings(ini);
  // 8, 9. The last folder, or the program's own. The options are not read
  // yet, so this listing never shows the progress window.
  openStartFolder(ini);
  // 10. Options.
  options_.load(ini);
  // 14. The options of page 属性, and what the dummy files hold.
  attributePage_->loadSettings(ini);
  dummySettings_.load(ini);
  selectionPage_->setGreetThreshold(options_.greet[0]);
  // 11 to 14. The registered macros, the replacement histories, the
  // registered replacements, the word delimiters.
  conversionPage_->loadMacros(ini);
  conversionPage_->loadHistories(ini);
  conversionPage_->loadReplacements(ini);
  conversionPage_->setWordDelimiters(ini.readString("Rename", "Word", CharConverter::DefaultDelimiters()));
  // 15. The extension macros of [MacroEx].
  plugins_ = std::make_unique<PluginHost>(fs_, PluginFolders::forThisProgram(fs_));
  plugins_->setWindow(this);
  plugins_->loadSettings(ini);
  showPluginMacros();
  // 16. The macro choice of page 変換.
  conversionPage_->loadMacroChoice(ini);
  // 18. Page 選択 active, tabs hidden.
  showPage(PageSelect);
}

void TFormMain::loadArchiveBackEnds(IniFile& ini) {
  for (const auto& [kind, key] : {std::pair{ArcLzh, "LZH"}, std::pair{ArcZip, "ZIP"}}) {
    if (!ini.readBool("Arc", key, ArchiveLibraries::kDefaultOn) || archives_.load(kind)) continue;
    try {
      ini.writeBool("Arc", key, false);
    } catch (const IniWriteError& error) {
      interaction_.tell(MessageKind::Error, error.what(), "Ritoma");
    }
  }
  selectionPage_->setArchives(&archives_);
  archiveBackEndsSwitched();
}

void TFormMain::openStartFolder(const IniFile& ini) {
  std::string dir = ini.readString("Window", "Dir");
  bool ok = false;
  const std::string disk = FolderEnumerator::diskPath(dir, ok);
  FileInfo info;
  if (dir.empty() || !ok || fs_.stat(disk, info) || !info.isFolder) dir = TextCodec::toInternal(fs_.executableFolder());
  if (dir.empty() || dir.back() != '/' || !Cp932::isCharBoundary(dir, dir.size() - 1)) dir += '/';
  selectionPage_->openFolder(dir, {});
}

void TFormMain::loadWindowLayout(const IniFile& ini) {
  const int top = ini.readInteger("Window", "Top", 0);
  const int left = ini.readInteger("Window", "Left", 0);
  const int height = std::max(ini.readInteger("Window", "Height", 320), MinimumHeight);
  const int width = std::max(ini.readInteger("Window", "Width", 480), MinimumWidth);
  move(left, top);
  resize(width, height);
  // The right panels stretch, so the left ones keep these widths when the
  // window is laid out.
  splitter1_->setSizes({std::max(ini.readInteger("Window", "Split1", 200), MinimumPanel), width});
  static const int columns1[] = {100, 60, 80, 130};
  for (int i = 0; i < 4; ++i)
    listView1_->header()->resizeSection(
        i + 1, ini.readInteger("Window", IniFile::indexedKey("Colums1-", i + 1), columns1[i]));
  // 6. The edit list, the conversion page.
  listView2_->header()->resizeSection(1, ini.readInteger("Window", "Colums2-1", 100));
  conversionPage_->loadLayout(ini);
}

void TFormMain::saveSettings() {
  try {
    IniFile ini(fs_, settingsPath_);
    IniFile::Batch batch(ini);
    const QPoint at = pos();
    ini.writeInteger("Window", "Top", at.y());
    ini.writeInteger("Window", "Left", at.x());
    ini.writeInteger("Window", "Height", height());
    ini.writeInteger("Window", "Width", width());
    ini.writeInteger("Window", "Split1", splitter1_->sizes().value(0));
    for (int i = 1; i <= 4; ++i)
      ini.writeInteger("Window", IniFile::indexedKey("Colums1-", i), listView1_->header()->sectionSize(i));
    ini.writeString("Window", "Dir", selectionPage_->tree().statusText());
    ini.writeInteger("Window", "Colums2-1", listView2_->header()->sectionSize(1));
    conversionPage_->saveLayout(ini);
    // Rewritten only after the dialog chose the plug-ins: until then it may
    // name plug-ins that did not load this time, which must not be lost.
    if (plugins_ && pluginsChosen_) plugins_->saveSettings(ini);
    ini.writeInteger("Filter", "Ext", selectionPage_->filterChoice().selectedIndex());
    conversionPage_->saveHistories(ini);
    ini.writeString("Rename", "Word", conversionPage_->wordDelimiters());
    attributePage_->saveSettings(ini);
    dummySettings_.save(ini);
    batch.commit();
  } catch (const IniWriteError& error) {
    interaction_.tell(MessageKind::Error, error.what(), "Ritoma");
  }
}

}  // namespace ritoma
