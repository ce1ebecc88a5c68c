#include "selection/ui/SelectionPage.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QTreeWidget>
#include <unordered_set>

#include "archive/ArchiveLibraries.h"
#include "selection/ui/SelectionListModel.h"
#include "text/CaseMap.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

QString display(const std::string& cp932) { return QString::fromStdU16String(TextCodec::toDisplay(cp932)); }

}  // namespace

SelectionPage::SelectionPage(FileSystem& fs, ProgressSink& progress, const Controls& controls, QObject* parent)
    : QObject(parent), fs_(fs), progress_(progress), controls_(controls) {
  model_ = new SelectionListModel(list_, controls_.listView);
  controls_.listView->setModel(model_);
  connect(model_, &SelectionListModel::checksChanged, this,
          [this] { controls_.nextButton->setEnabled(list_.anyChecked()); });
  connect(controls_.filterChoice, &QComboBox::activated, this, [this](int index) {
    filters_.select(index);
    if (!tree_.archiveOpen()) openFolder(tree_.currentFolder(), {});
  });
  for (const std::string& point : fs_.mountPoints())
    controls_.driveList->addItem(display(TextCodec::toInternal(point)));
}

void SelectionPage::openFolder(const std::string& folder, const std::string& archiveName) {
  tree_.open(fs_, folder, archiveName, lzhOn_, zipOn_);
  showTree();
  if (tree_.archiveOpen()) {
    std::vector<FileEntry> rows;
    bool ok = false;
    const std::string path = TextCodec::toDisk(tree_.archive().arcPath, &ok);
    if (archives_ && ok)
      archives_->ArcListEntries(static_cast<ArcKind>(tree_.archive().arcKind), path, [&rows](const ArcInfo& entry) {
        rows.push_back(FileEntry::fromArchive(entry.name, entry.size,
                                              (std::uint32_t{entry.date} << 16) | entry.time, true));
      });
    list_.assign(std::move(rows));
  } else {
    FolderSource source;
    source.folder = tree_.currentFolder();
    source.patternText = filters_.selectedPatterns();
    source.attributes = attributes_;
    source.treeNodesFromCurrent = tree_.nodesFromCurrent();
    list_.buildSelectionList(fs_, source, true, progress_, greetThreshold_);
  }
  listChanged();
  emit folderOpened(display(tree_.statusText()));
}

void SelectionPage::checkRowsNamed(const std::vector<std::string>& names) {
  std::unordered_set<std::string> keys;
  for (const auto& name : names) keys.insert(CaseMap::foldKey(name));
  for (std::size_t i = 0; i < list_.size(); ++i)
    list_.setChecked(i, keys.count(CaseMap::foldKey(list_.row(i).fullName())) != 0);
  listChanged();
}

QStringList SelectionPage::checkedNames() const {
  QStringList names;
  for (const FileEntry& entry : list_.rows())
    if (entry.checked) names << display(entry.fullName());
  return names;
}

void SelectionPage::filterChoiceChanged() {
  QComboBox* choice = controls_.filterChoice;
  choice->clear();
  for (const FilterEntry& entry : filters_.entries()) choice->addItem(display(entry.name));
  choice->setCurrentIndex(filters_.selectedIndex());
}

void SelectionPage::showTree() {
  QTreeWidget* view = controls_.folderTree;
  view->clear();
  QTreeWidgetItem* parent = nullptr;
  const QIcon folderIcon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
  for (const std::string& link : tree_.chain()) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(view);
    item->setText(0, display(link));
    item->setIcon(0, folderIcon);
    parent = item;
  }
  for (const TreeNode& node : tree_.children()) {
    auto* item = new QTreeWidgetItem(parent);
    item->setText(0, display(node.text));
    item->setIcon(0, node.image == FolderTree::ImageSubfolder
                         ? folderIcon
                         : QApplication::style()->standardIcon(QStyle::SP_FileIcon));
  }
  view->expandAll();
  if (parent) view->setCurrentItem(parent);
}

void SelectionPage::listChanged() { model_->reload(); }

}  // namespace ritoma
