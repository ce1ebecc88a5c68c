#pragma once

#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "selection/FilterChoice.h"
#include "selection/FolderEnumerator.h"
#include "selection/FolderTree.h"
#include "selection/SelectionList.h"
#include "shell/ProgressSink.h"
#include "shell/UserInteraction.h"

class QComboBox;
class QPushButton;
class QSplitter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ritoma {

class ArchiveLibraries;
class FolderTreeWidget;
class IniFile;
class SelectionListView;
class SelectionTableModel;

// Page 選択: on the left the drive list, the folder tree
// DirectoryTreeView and the buttons " メニュー" and "UNDO"; a splitter; on
// the right the filter button, the filter choice FilterComboBox,
// "編集 >>" (Button1NEXT) and the selection list ListView1. The page owns
// the folder tree, the selection list and the filters; the main window
// embeds it, reacts to its signals and reads its state.
class SelectionPageWidget : public QWidget {
  Q_OBJECT
public:
  static constexpr int MinimumPanelWidth = 200;

  SelectionPageWidget(FileSystem& fs, ProgressSink& progress, UserInteraction& interaction,
                      QWidget* parent = nullptr);
  ~SelectionPageWidget() override;

  // Opens `folder` (code page 932, ending with "/"), or the archive named
  // `archiveName` in it: rebuilds the tree, the status-bar folder and the
  // selection list. New files start checked when `checkNewFiles`.
  void openFolder(const std::string& folder, const std::string& archiveName, bool checkNewFiles = true);
  // Lists the current folder (or archive) again.
  void refresh(bool checkNewFiles = true);

  // The settings the page reads and writes: section Filter (Attr, Count,
  // C-/N-/F-nnn, Ext). Loading rebuilds the filter choice; it lists nothing.
  void loadFilterSettings(const IniFile& ini);
  // The settings file that the attribute pop-up writes Filter/Attr to
  // (disk path); empty writes nothing.
  void setSettingsPath(std::string path) { settingsPath_ = std::move(path); }

  // Greet1: listings of at least this many files show the progress window.
  void setGreetThreshold(int threshold) { greetThreshold_ = threshold; }
  // Archive files show in the tree only while their back end is on.
  void setArchiveBackEnds(bool lzh, bool zip);
  bool lzhOn() const { return lzhOn_; }
  bool zipOn() const { return zipOn_; }
  // The back ends that list an open archive.
  void setArchives(ArchiveLibraries* archives) { archives_ = archives; }

  FilterChoice& filterChoice() { return filters_; }
  // Shows the entries of filterChoice() with its selected entry.
  void showFilterChoice();
  std::uint32_t attributeFilter() const { return attributes_; }
  void setAttributeFilter(std::uint32_t attributes) { attributes_ = attributes; }
  // The filter button: the attribute pop-up, then Filter/Attr written and
  // the folder listed again.
  void editAttributeFilter();

  SelectionList& list() { return list_; }
  const FolderTree& tree() const { return tree_; }
  QString statusText() const;

  // Checks exactly the rows whose full name equals one of `names` (code
  // page 932), letter case ignored.
  void checkRowsNamed(const std::vector<std::string>& names);
  // Full names of the checked rows, in list order (display text).
  QStringList checkedNames() const;

  QSplitter* splitter() const { return splitter_; }
  SelectionListView* listView() const { return listView_; }
  SelectionTableModel* listModel() const { return model_; }

signals:
  // The status-bar text of the folder just opened.
  void folderOpened(const QString& statusText);
  void editRequested();  // "編集 >>"
  void menuRequested();  // " メニュー"
  void undoRequested();  // "UNDO"

private:
  void buildControls();
  void showTree();
  int currentDrive() const;
  void driveChosen(int index);
  void nodeDoubleClicked(QTreeWidgetItem* item);
  void filterChosen(int index);
  FolderSource folderSource() const;
  void listArchive(bool checkNewFiles);
  void updateNextButton();

  FileSystem& fs_;
  ProgressSink& progress_;
  UserInteraction& interaction_;
  std::string settingsPath_;
  SelectionList list_;
  FolderTree tree_;
  FilterChoice filters_;
  std::uint32_t attributes_ = DefaultFilterAttributes;
  bool lzhOn_ = false;
  bool zipOn_ = false;
  int greetThreshold_ = 0;
  ArchiveLibraries* archives_ = nullptr;
  std::vector<std::string> mountPoints_;  // code page 932

  QSplitter* splitter_ = nullptr;
  QWidget* rightPanel_ = nullptr;
  QComboBox* driveList_ = nullptr;
  FolderTreeWidget* folderTree_ = nullptr;
  QToolButton* filterButton_ = nullptr;
  QComboBox* filterCombo_ = nullptr;
  QPushButton* nextButton_ = nullptr;
  SelectionListView* listView_ = nullptr;
  SelectionTableModel* model_ = nullptr;
};

}  // namespace ritoma
