#include "selection/ui/SelectionPageWidget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <unordered_set>

#include "archive/ArchiveSelection.h"
#include "selection/ui/FolderIcons.h"
#include "selection/ui/FolderTreeWidget.h"
#include "selection/ui/SelectionListView.h"
#include "selection/ui/SelectionTableModel.h"
#include "selection/ui/TFormFilter.h"
#include "settings/IniFile.h"
#include "settings/SetupValues.h"
#include "shell/ui/Fonts.h"
#include "text/CaseMap.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

// Tree items remember what they stand for: a chain level (0 = root) or,
// below the current node, the index of a child.
constexpr int NodeRole = Qt::UserRole;
constexpr int ChildBase = 1 << 20;

constexpr int ColumnWidths[] = {35, 100, 60, 80, 130};

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }

// A mount point as a folder path, ending with "/".
std::string rootOf(std::string point) {
  if (point.empty() || point.back() != '/') point += '/';
  return point;
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

SelectionPageWidget::SelectionPageWidget(FileSystem& fs, ProgressSink& progress, UserInteraction& interaction,
                                         QWidget* parent)
    : QWidget(parent), fs_(fs), progress_(progress), interaction_(interaction) {
  setObjectName(QStringLiteral("SelectionPage"));
  buildControls();
  showFilterChoice();
}

SelectionPageWidget::~SelectionPageWidget() {
  // The controls read the lists of this object: they go first.
  delete splitter_;
}

void SelectionPageWidget::buildControls() {
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("Splitter1"));
  splitter_->setChildrenCollapsible(false);

  auto* left = new QWidget(splitter_);
  left->setObjectName(QStringLiteral("Panel1Left"));
  left->setMinimumWidth(MinimumPanelWidth);
  driveList_ = new QComboBox(left);
  driveList_->setObjectName(QStringLiteral("DriveComboBox"));
  driveList_->setFont(Fonts::fixed(Fonts::DriveListPixels));
  for (const std::string& point : fs_.mountPoints()) {
    mountPoints_.push_back(TextCodec::toInternal(point));
    driveList_->addItem(display(mountPoints_.back()));
  }
  // `activated` comes only from the user, so openFolder can set the drive
  // without running this reaction.
  connect(driveList_, &QComboBox::activated, this, &SelectionPageWidget::driveChosen);

  folderTree_ = new FolderTreeWidget(left);
  folderTree_->setObjectName(QStringLiteral("DirectoryTreeView"));
  folderTree_->setFont(Fonts::fixed());
  folderTree_->setHeaderHidden(true);
  folderTree_->setRootIsDecorated(false);
  folderTree_->setItemsExpandable(false);
  folderTree_->setExpandsOnDoubleClick(false);
  folderTree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  folderTree_->setIndentation(12);
  connect(folderTree_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { nodeDoubleClicked(item); });
  connect(folderTree_, &FolderTreeWidget::nodeChosen, this, [this](QTreeWidgetItem* item) { nodeDoubleClicked(item); });

  auto* menuButton = makeButton(QStringLiteral("ButtonMenu"), QStringLiteral(" メニュー"), left);
  connect(menuButton, &QPushButton::clicked, this, &SelectionPageWidget::menuRequested);
  auto* undoButton = makeButton(QStringLiteral("ButtonUndo"), QStringLiteral("UNDO"), left);
  connect(undoButton, &QPushButton::clicked, this, &SelectionPageWidget::undoRequested);

  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->addWidget(driveList_);
  leftLayout->addWidget(folderTree_, 1);
  auto* leftButtons = new QHBoxLayout;
  leftButtons->addWidget(menuButton);
  leftButtons->addWidget(undoButton);
  leftLayout->addLayout(leftButtons);

  rightPanel_ = new QWidget(splitter_);
  rightPanel_->setObjectName(QStringLiteral("Panel1Right"));
  rightPanel_->setMinimumWidth(MinimumPanelWidth);
  filterButton_ = new QToolButton(rightPanel_);
  filterButton_->setObjectName(QStringLiteral("ButtonFilter"));
  filterButton_->setArrowType(Qt::DownArrow);
  filterButton_->setToolTip(QStringLiteral("属性フィルタ"));
  connect(filterButton_, &QToolButton::clicked, this, &SelectionPageWidget::editAttributeFilter);
  filterCombo_ = new QComboBox(rightPanel_);
  filterCombo_->setObjectName(QStringLiteral("FilterComboBox"));
  filterCombo_->setFont(Fonts::fixed());
  connect(filterCombo_, &QComboBox::activated, this, &SelectionPageWidget::filterChosen);
  nextButton_ = makeButton(QStringLiteral("Button1NEXT"), QStringLiteral("編集 >>"), rightPanel_);
  nextButton_->setEnabled(false);
  connect(nextButton_, &QPushButton::clicked, this, &SelectionPageWidget::editRequested);

  listView_ = new SelectionListView(rightPanel_);
  listView_->setFont(Fonts::fixed());
  model_ = new SelectionTableModel(list_, listView_);
  listView_->setListModel(model_);
  for (int column = 0; column < SelectionTableModel::ColumnCount; ++column)
    listView_->header()->resizeSection(column, ColumnWidths[column]);
  connect(model_, &SelectionTableModel::checksChanged, this, &SelectionPageWidget::updateNextButton);

  auto* rightTop = new QHBoxLayout;
  rightTop->addWidget(filterButton_);
  rightTop->addWidget(filterCombo_, 1);
  rightTop->addWidget(nextButton_);
  auto* rightLayout = new QVBoxLayout(rightPanel_);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  rightLayout->addLayout(rightTop);
  rightLayout->addWidget(listView_, 1);

  splitter_->addWidget(left);
  splitter_->addWidget(rightPanel_);
  splitter_->setStretchFactor(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter_);
}

void SelectionPageWidget::setArchiveBackEnds(bool lzh, bool zip) {
  lzhOn_ = lzh;
  zipOn_ = zip;
}

void SelectionPageWidget::openFolder(const std::string& folder, const std::string& archiveName,
                                     bool checkNewFiles) {
  // One read of the folder serves the tree and the list. A folder that
  // cannot be read still gets its chain; its list is empty.
  std::vector<FileInfo> listing;
  const std::error_code readError = tree_.open(fs_, folder, archiveName, lzhOn_, zipOn_, listing);
  driveList_->setCurrentIndex(currentDrive());
  folderTree_->setUpdatesEnabled(false);
  showTree();
  folderTree_->setUpdatesEnabled(true);
  const bool archive = tree_.archiveOpen();
  filterButton_->setEnabled(!archive);
  filterCombo_->setEnabled(!archive);
  if (archive)
    listArchive(checkNewFiles);
  else if (readError)
    model_->rebuild([this] { list_.clear(); });
  else
    model_->rebuild([&] {
      list_.buildSelectionList(folderSource(), std::move(listing), checkNewFiles, progress_, greetThreshold_);
    });
  emit folderOpened(statusText());
}

void SelectionPageWidget::refresh(bool checkNewFiles) {
  if (tree_.archiveOpen()) {
    listArchive(checkNewFiles);
    return;
  }
  model_->rebuild([&] { list_.buildSelectionList(fs_, folderSource(), checkNewFiles, progress_, greetThreshold_); });
}

FolderSource SelectionPageWidget::folderSource() const {
  FolderSource source;
  source.folder = tree_.currentFolder();
  source.patternText = filters_.selectedPatterns();
  source.attributes = attributes_;
  source.treeNodesFromCurrent = tree_.nodesFromCurrent();
  return source;
}

void SelectionPageWidget::listArchive(bool checkNewFiles) {
  const ArchiveState& arc = tree_.archive();
  bool ok = false;
  const std::string path = TextCodec::toDisk(arc.arcPath, &ok);
  model_->rebuild([&] {
    // An archive that cannot be read (or whose back end is off) lists
    // nothing, like a folder that cannot be entered.
    if (!archives_ || !ok ||
        !ArchiveSelection::buildSelectionList(*archives_, static_cast<ArcKind>(arc.arcKind), path, checkNewFiles,
                                              list_, progress_, greetThreshold_))
      list_.clear();
  });
}

QString SelectionPageWidget::statusText() const { return display(tree_.statusText()); }

void SelectionPageWidget::showTree() {
  folderTree_->clear();
  QTreeWidgetItem* parent = nullptr;
  const std::vector<std::string>& chain = tree_.chain();
  for (std::size_t level = 0; level < chain.size(); ++level) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(folderTree_);
    item->setText(0, display(chain[level]));
    item->setIcon(0, FolderIcons::treeImage(FolderTree::ImageChain));
    item->setData(0, NodeRole, static_cast<int>(level));
    parent = item;
  }
  QTreeWidgetItem* current = parent;
  const std::vector<TreeNode>& children = tree_.children();
  for (std::size_t i = 0; i < children.size(); ++i) {
    auto* item = new QTreeWidgetItem(parent);
    item->setText(0, display(children[i].text));
    item->setIcon(0, FolderIcons::treeImage(children[i].image));
    item->setData(0, NodeRole, ChildBase + static_cast<int>(i));
    if (children[i].image == FolderTree::ImageOpenArchive) current = item;
  }
  folderTree_->expandAll();
  if (current) {
    folderTree_->setCurrentItem(current);
    folderTree_->scrollToItem(current);
  }
}

int SelectionPageWidget::currentDrive() const {
  // The mount point holding the current folder: the longest one that is a
  // leading part of it.
  const std::string& folder = tree_.currentFolder();
  int best = -1;
  std::size_t bestLength = 0;
  for (std::size_t i = 0; i < mountPoints_.size(); ++i) {
    const std::string point = rootOf(mountPoints_[i]);
    if (folder.compare(0, point.size(), point) == 0 && (best < 0 || point.size() > bestLength)) {
      best = static_cast<int>(i);
      bestLength = point.size();
    }
  }
  return best;
}

void SelectionPageWidget::driveChosen(int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < mountPoints_.size() && index != currentDrive())
    openFolder(rootOf(mountPoints_[static_cast<std::size_t>(index)]), {});
  folderTree_->setFocus();
}

void SelectionPageWidget::nodeDoubleClicked(QTreeWidgetItem* item) {
  if (!item) return;
  const int node = item->data(0, NodeRole).toInt();
  const FolderTree::Target target = node >= ChildBase
                                        ? tree_.targetOfChild(static_cast<std::size_t>(node - ChildBase))
                                        : tree_.targetOfChainNode(static_cast<std::size_t>(node));
  openFolder(target.folder, target.archiveName);
}

void SelectionPageWidget::loadFilterSettings(const IniFile& ini) {
  attributes_ = static_cast<std::uint32_t>(ini.readInteger("Filter", "Attr", static_cast<int>(DefaultFilterAttributes)));
  SetupValues setup;
  setup.filters = SetupValues::readFilterRows(ini);
  filters_.setUserEntries(setup.choiceEntries());
  filters_.select(ini.readInteger("Filter", "Ext", 0));
  showFilterChoice();
}

void SelectionPageWidget::showFilterChoice() {
  filterCombo_->clear();
  for (const FilterEntry& entry : filters_.entries()) filterCombo_->addItem(display(entry.name));
  filterCombo_->setCurrentIndex(filters_.selectedIndex());
}

void SelectionPageWidget::filterChosen(int index) {
  filterCombo_->setCurrentIndex(filters_.select(index));
  refresh();
}

void SelectionPageWidget::editAttributeFilter() {
  TFormFilter popup(attributes_, this);
  popup.adjustSize();
  // Under the filter button, over the top of the selection list.
  const QPoint panel = rightPanel_->mapToGlobal(QPoint(0, 0));
  const QPoint button = filterButton_->mapToGlobal(QPoint(0, filterButton_->height()));
  popup.move(panel.x() + 9, button.y());
  popup.exec();
  attributes_ = popup.attributes();
  if (!settingsPath_.empty()) {
    try {
      IniFile ini(fs_, settingsPath_);
      ini.writeInteger("Filter", "Attr", static_cast<int>(attributes_));
    } catch (const IniWriteError& error) {
      interaction_.tell(MessageKind::Error, error.what(), "Ritoma");
    }
  }
  repaint();
  refresh();
}

void SelectionPageWidget::checkRowsNamed(const std::vector<std::string>& names) {
  std::unordered_set<std::string> keys;
  for (const std::string& name : names) keys.insert(CaseMap::foldKey(name));
  std::vector<std::size_t> on, off;
  for (std::size_t i = 0; i < list_.size(); ++i)
    (keys.count(CaseMap::foldKey(list_.row(i).fullName())) ? on : off).push_back(i);
  model_->setRowsChecked(on, true);
  model_->setRowsChecked(off, false);
}

QStringList SelectionPageWidget::checkedNames() const {
  QStringList names;
  for (const FileEntry& entry : list_.rows())
    if (entry.checked) names << display(entry.fullName());
  return names;
}

void SelectionPageWidget::updateNextButton() { nextButton_->setEnabled(list_.anyChecked()); }

}  // namespace ritoma
