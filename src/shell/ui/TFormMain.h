#pragma once

#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "archive/ArchiveLibraries.h"
#include "conversion/ConversionList.h"
#include "conversion/ConversionStage.h"
#include "dummy/DummyFileWriter.h"
#include "platform/FileSystem.h"
#include "selection/EditList.h"
#include "selection/FolderTree.h"
#include "settings/DummySettings.h"
#include "settings/Options.h"
#include "shell/ui/GreetProgress.h"
#include "shell/ui/QtUserInteraction.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTreeView;

namespace ritoma {

class ArchivePlanEngine;
class JournalRecovery;
class TConversionPage;
class TFormDummy;
class EditListModel;
class SelectionRows;
class TAttributePage;
class IniFile;
class PluginHost;
class SelectionPageWidget;

// The main window: a four-page wizard (選択, 編集, 変換, 属性) with hidden
// tabs. It owns the working state of a batch; each page's contents live in
// the page's container widget (page(n)), into which the page classes put
// their controls.
class TFormMain : public QMainWindow {
  Q_OBJECT
public:
  enum Page { PageSelect = 1, PageEdit = 2, PageConvert = 3, PageAttribute = 4 };

  // Reads the settings file at `settingsPath` (disk bytes) before it returns.
  // `script` answers the message boxes instead of the user (tests).
  TFormMain(FileSystem& fs, std::string settingsPath, QtUserInteraction::Script script = {},
            QWidget* parent = nullptr);
  ~TFormMain() override;

  // Paths to open when the window is shown for the first time.
  void setStartPaths(std::vector<std::string> paths) { startPaths_ = std::move(paths); }
  // Opens the folder of the first path on page 選択 and checks the rows named
  // by the paths (disk bytes).
  void openPaths(const std::vector<std::string>& paths);
  // A hand-off from a later start: comes to the front, then opens the paths.
  void receiveHandOff(bool marked, const std::vector<std::string>& paths);

  void showPage(Page page, const QString& captionSuffix = {});
  Page currentPage() const;
  QWidget* page(Page page) const;

  FileSystem& fileSystem() { return fs_; }
  const std::string& settingsPath() const { return settingsPath_; }
  const Options& options() const { return options_; }
  Options& options() { return options_; }
  EditList& editList() { return editList_; }
  ConversionList& conversionList();
  TConversionPage& conversionPage() { return *conversionPage_; }
  // Opens page 変換 for a stage of the edit list.
  void startStage(const ConversionStage& stage);
  // Shows the conversion list again after its rows changed.
  void conversionListChanged();
  QtUserInteraction& interaction() { return interaction_; }
  GreetProgress& progress() { return progress_; }
  QMenu* mainMenu() const { return menu_; }

  // The status-bar folder (display text).
  QString currentFolderText() const;
  // Full names of the checked rows of the selection list (display text).
  QStringList checkedNames() const;
  SelectionPageWidget& selectionPage() { return *selectionPage_; }

  // Redraws ListView2 and the buttons of page 編集 after the edit list changed.
  void editListChanged();
  // Whether an archive is open (its name shows on pages 編集 and 属性).
  bool archiveOpen() const;

  // Help context of the current page.
  int helpContext() const;

signals:
  void pathsOpened();

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void buildPageSelect();
  void buildPageEdit();
  void buildPageConvert();
  void buildPageAttribute();
  void buildMenu();
  // "属性 >>": the rename check and the plan of page 属性.
  void Button2EXECClick();
  // The options of section Option as the check and the run read them.
  void applyAttributeSettings();

  // At the first show and from the menu: a run that was interrupted left
  // its journal; asks whether to put it back (naming its folder and file
  // count) and, on OK, recovers, says what was put back and shows its
  // folder. A journal that is damaged or could not be finished is offered
  // to be set aside. True when the folder was shown.
  bool recoverInterruptedRun();
  // Asks, and sets the journal aside under a dated name, naming it.
  void offerDiscard(JournalRecovery& recovery);
  // The menu's discard item.
  void discardInterruptedRun();
  void loadSettings();
  void saveSettings();
  void loadWindowLayout(const IniFile& ini);
  void loadArchiveBackEnds(IniFile& ini);
  void openStartFolder(const IniFile& ini);
  void buildEditList();
  void showArchiveName();
  void openPathsNow(const std::vector<std::string>& paths);
  void saveStage();

  void showMainMenu();
  void showAbout();
  // "環境設定": on OK, lists the status-bar folder again under the new
  // settings.
  void showSetup();
  // The folder tree and the dummy-file dialog's "lzh" and "zip" learn
  // which archive back ends are on.
  void archiveBackEndsSwitched();
  // "拡張ﾏｸﾛ設定": takes every plug-in out of service, then puts the chosen
  // ones back.
  void showMacroEx();
  void onEditHeaderClicked(int column);
  void updateStageButtons();
  // The drop-down items "name(/xL)" of the plug-ins in service.
  void showPluginMacros();
  void setStatusFolder(const QString& folder);

  FileSystem& fs_;
  std::string settingsPath_;
  Options options_;
  ArchiveLibraries archives_;
  // What the dummy-file dialog sets up ([Dummy]), and the writers of a copy
  // run with dummy files that read it.
  DummySettings dummySettings_;
  DummyFileWriter dummyWriter_{fs_, archives_, dummySettings_};
  EditList editList_;
  QtUserInteraction interaction_;
  GreetProgress progress_;
  std::vector<std::string> startPaths_;
  bool shown_ = false;
  bool settingsSaved_ = false;

  bool openingPaths_ = false;
  std::deque<std::vector<std::string>> waitingPaths_;  // hand-offs that came during an opening
  QStackedWidget* pages_ = nullptr;
  QLabel* statusFolder_ = nullptr;
  QMenu* menu_ = nullptr;
  // page 選択
  QSplitter* splitter1_ = nullptr;
  QTreeView* listView1_ = nullptr;
  SelectionPageWidget* selectionPage_ = nullptr;
  // page 編集
  QPushButton* button2Prev_ = nullptr;
  QLineEdit* edit2Arc_ = nullptr;
  QPushButton* button2Cnv_ = nullptr;
  QPushButton* button2Exec_ = nullptr;
  QTreeView* listView2_ = nullptr;
  // Whether the edit list's last column is the check's error column, as
  // last shown; tells editListChanged() which columns are new.
  bool editErrorShown_ = false;
  EditListModel* editModel_ = nullptr;
  // page 変換
  TConversionPage* conversionPage_ = nullptr;
  // page 属性
  TAttributePage* attributePage_ = nullptr;
  // "ﾀﾞﾐｰﾌｧｲﾙ設定", made at start-up.
  TFormDummy* formDummy_ = nullptr;
  std::unique_ptr<SelectionRows> selectionRows_;
  ArchiveState archiveState_;  // the open archive as the plan of page 属性 runs it
  std::unique_ptr<ArchivePlanEngine> archiveEngine_;
  // Declared last, destroyed first: EndDLL runs while the window still exists.
  std::unique_ptr<PluginHost> plugins_;
  bool pluginsChosen_ = false;  // the dialog 拡張ﾏｸﾛ設定 was used
};

}  // namespace ritoma
