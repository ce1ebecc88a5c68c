#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "archive/ArcInfo.h"
#include "execution/ExecutionSettings.h"
#include "execution/FolderPlanEngine.h"
#include "execution/PlanList.h"
#include "execution/RunOptions.h"
#include "execution/RunResult.h"
#include "execution/UndoSelection.h"
#include "execution/ui/PlacedInteraction.h"
#include "platform/FileSystem.h"
#include "selection/EditList.h"
#include "shell/ProgressSink.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace ritoma {

class IniFile;
class PlanListModel;

// Page 属性 of the main window: the plan list ListView4 over the core's
// plan, the collision check ("？"), the options of a run (force change,
// copy, copy folder, dummy files), "実行" and the UNDO flow. The main window
// embeds it on its page and connects "属性 >>" and "UNDO" to it; what the
// page needs from the rest of the window comes through Host.
class TAttributePage : public QWidget {
  Q_OBJECT
public:
  struct Host {
    // Shows page 属性 with the given window caption.
    std::function<void(const QString& caption)> showAttributePage;
    // Shows page 編集 ("<< 編集") and page 選択.
    std::function<void()> showEditPage;
    std::function<void()> showSelectPage;
    // Redraws the edit list after the page changed it.
    std::function<void()> editListChanged;
    // Opens a folder (disk bytes) on page 選択 with every entry unchecked
    // and returns its selection list.
    std::function<UndoSelection*(const std::string& folder)> openFolder;
    // Lists the open archive again, every entry unchecked.
    std::function<UndoSelection*()> reopenArchive;
    // Redraws the selection list after the page checked entries.
    std::function<void()> selectionChanged;
    // Widths of the edit list's column 1 and of its last column.
    std::function<std::pair<int, int>()> editColumnWidths;
    // The folder browser: a folder chosen under `title`, starting at `start`.
    std::function<std::optional<QString>(const QString& title, const QString& start)> browseFolder;
    // "ﾀﾞﾐｰﾌｧｲﾙ": the dummy-file dialog, modal.
    std::function<void()> showDummyDialog;
  };

  // Where the batch of "属性 >>" comes from.
  struct Source {
    PlanMode mode = PlanMode::Folder;
    std::string folder;       // the current folder, disk bytes
    QString archiveName;      // shown in archive mode
    std::size_t listedCount = 0;  // entries of the selection list
    bool lzhPaths = false;        // an LZH archive: "\" and "/" separate alike
    std::vector<ArcInfo> archiveEntries;  // archive mode: the archive's entries as listed
  };

  static constexpr const char* FolderBrowserTitle = "出力先ディレクトリの指定";

  TAttributePage(FileSystem& fs, ProgressSink& progress, PlacedInteraction::Boxes boxes, EditList& edit,
                 std::string undoPath, Host host, QWidget* parent = nullptr);
  ~TAttributePage() override;

  // The options of section Option that the check and the run read.
  void setSettings(const ExecutionSettings& settings) { settings_ = settings; }
  const ExecutionSettings& settings() const { return settings_; }
  // The check and run procedures of archive mode.
  void setArchiveEngine(PlanEngine* engine) { archiveEngine_ = engine; }
  // The writers of a copy run with dummy files.
  void setDummyWriter(DummyWriter* writer) { folderEngine_.setDummyWriter(writer); }

  // "属性 >>": the rename check, then the plan and its collision check.
  // False when the check found errors: the edit list has its error column
  // and the window stays on page 編集.
  bool Button2EXECClick(const Source& source);
  // "UNDO": the reverse plan of the last batch on page 属性.
  void ButtonUndoClick();

  // Section Rename of the settings file: the option controls and the copy
  // folder history. Saving writes the keys; the caller erases the section
  // before.
  void loadSettings(const IniFile& ini);
  void saveSettings(IniFile& ini) const;

  const PlanList& plan() const { return plan_; }
  PlanList& plan() { return plan_; }
  // The options as the controls show them.
  RunOptions currentOptions() const;
  PlacedInteraction& interaction() { return interaction_; }
  QTreeView* listView() const { return listView4_; }

protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void buildControls();
  void setupColumns();
  void reloadList();
  PlanEngine* engine();
  bool runCheck(bool automatic);
  void checkAndRefresh();
  void applyCheckedOptions(const RunOptions& options);
  void setCopyPathText(const QString& text);
  std::vector<std::size_t> selectedRows() const;
  void finishRun(const RunResult& result);
  void lockAfterRun();

  void RefreshOptionPanel();
  void RefreshIgnoreOption();
  void Button4EXECClick();
  void Button4CheckClick();
  void Edit4Change();
  void CheckBoxForceClick();
  void CheckBoxCopyClick();
  void CheckBoxDummyClick();
  void CheckBoxIgnoreClick();
  void ButtonOutPathClick();
  void ButtonDummyClick();
  void ListView4ColumnClick(int column);
  void ListView4DblClick();

  FileSystem& fs_;
  ProgressSink& progress_;
  PlacedInteraction interaction_;
  EditList& edit_;
  std::string undoPath_;
  Host host_;
  ExecutionSettings settings_;
  PlanList plan_;
  std::vector<std::string> history_;  // copy folder history, code page 932
  FolderPlanEngine folderEngine_;
  PlanEngine* archiveEngine_ = nullptr;
  bool swallowRelease_ = false;

  QPushButton* button4Prev_ = nullptr;
  QLineEdit* edit4Arc_ = nullptr;
  QCheckBox* checkBoxIgnore_ = nullptr;
  QPushButton* button4Exec_ = nullptr;
  QTreeView* listView4_ = nullptr;
  PlanListModel* model_ = nullptr;
  QLabel* label4Check_ = nullptr;
  QPushButton* button4Check_ = nullptr;
  QCheckBox* checkBoxForce_ = nullptr;
  QLineEdit* editForce_ = nullptr;
  QCheckBox* checkBoxCopy_ = nullptr;
  QComboBox* comboBoxCopyPath_ = nullptr;
  QPushButton* buttonOutPath_ = nullptr;
  QCheckBox* checkBoxDummy_ = nullptr;
  QPushButton* buttonDummy_ = nullptr;
};

}  // namespace ritoma
