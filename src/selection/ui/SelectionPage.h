#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "selection/FilterChoice.h"
#include "selection/FolderEnumerator.h"
#include "selection/FolderTree.h"
#include "selection/SelectionList.h"
#include "shell/ProgressSink.h"

class QComboBox;
class QPushButton;
class QTreeView;
class QTreeWidget;

namespace ritoma {

class ArchiveLibraries;
class SelectionListModel;

// Page 選択: the drive list, the folder tree, the filter choice and the
// selection list ListView1, over the core's folder tree, filter choice and
// selection list. The main window lays the controls out and hands them in.
class SelectionPage : public QObject {
  Q_OBJECT
public:
  struct Controls {
    QComboBox* driveList;
    QTreeWidget* folderTree;
    QComboBox* filterChoice;
    QTreeView* listView;
    QPushButton* nextButton;  // "編集 >>"
  };

  SelectionPage(FileSystem& fs, ProgressSink& progress, const Controls& controls, QObject* parent = nullptr);

  // Opens `folder` (code page 932, ending with "/"), or the archive of that
  // name in it, and lists it.
  void openFolder(const std::string& folder, const std::string& archiveName);
  // The Greet1 option: listings of at least this many files show the
  // progress window; 0 never does.
  void setGreetThreshold(int threshold) { greetThreshold_ = threshold; }

  // Checks exactly the rows whose full name equals one of `names`, letter
  // case ignored (code page 932).
  void checkRowsNamed(const std::vector<std::string>& names);
  // Full names of the checked rows, in list order (display text).
  QStringList checkedNames() const;

  FilterChoice& filterChoice() { return filters_; }
  // Shows the entries of filterChoice() and selects its selected entry.
  void filterChoiceChanged();
  std::uint32_t attributeFilter() const { return attributes_; }
  void setAttributeFilter(std::uint32_t attributes) { attributes_ = attributes; }
  void setArchiveBackEnds(bool lzh, bool zip) {
    lzhOn_ = lzh;
    zipOn_ = zip;
  }
  // The back ends that list an open archive.
  void setArchives(ArchiveLibraries* archives) { archives_ = archives; }
  bool lzhOn() const { return lzhOn_; }
  bool zipOn() const { return zipOn_; }

  SelectionList& list() { return list_; }
  const FolderTree& tree() const { return tree_; }

signals:
  // The status-bar text of the folder just opened.
  void folderOpened(const QString& statusText);

private:
  void showTree();
  void listChanged();

  FileSystem& fs_;
  ProgressSink& progress_;
  Controls controls_;
  SelectionList list_;
  FolderTree tree_;
  FilterChoice filters_;
  std::uint32_t attributes_ = DefaultFilterAttributes;
  bool lzhOn_ = false;
  bool zipOn_ = false;
  int greetThreshold_ = 0;
  ArchiveLibraries* archives_ = nullptr;
  SelectionListModel* model_;
};

}  // namespace ritoma
