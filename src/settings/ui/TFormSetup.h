#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "archive/ArchiveLibraries.h"
#include "platform/FileSystem.h"
#include "settings/Options.h"
#include "settings/SetupValues.h"
#include "settings/ShortcutPlaces.h"
#include "shell/UserInteraction.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace ritoma {

class CountField;
class RegisteredListView;
class SelectionPageWidget;

// "環境設定": the options of section Option, the user's filter list, the
// archive back-end switches and backups, and the two shortcuts to the
// program (desktop, and "Open With" together with the script of Files). It
// reads the options from the main window's current values and the filter
// list from the settings file.
// Nothing changes before OK; OK updates the main window, switches the back
// ends, writes the sections Filter, Option and Arc, and closes. CANCEL and
// Escape change nothing.
class TFormSetup : public QDialog {
  Q_OBJECT
public:
  // The main window's values that the dialog shows and, on OK, changes.
  struct Target {
    Options& options;
    ArchiveLibraries& archives;
    // Its filter choice is rebuilt; its attribute filter is written with the list.
    SelectionPageWidget& selection;
    // Called after the back ends were switched: whatever follows them (the
    // folder tree, the dummy-file dialog's "lzh"/"zip") is evaluated again.
    std::function<void()> backEndsSwitched;
  };

  // `settingsPath`: the settings file (disk bytes); `executable`: the
  // program the shortcuts start (absolute disk path).
  TFormSetup(FileSystem& fs, std::string settingsPath, Target target, ShortcutPlaces places,
             std::string executable, UserInteraction& interaction, QWidget* parent = nullptr);

  // The rows of the filter list as they stand.
  std::vector<FilterRow> filterRows() const;

protected:
  // Space in the filter list toggles the selected row's check, whichever
  // column holds the current cell; a click below the rows selects none.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* buildStartPage();
  QWidget* buildFilterPage();
  QWidget* buildGreetPage();
  QWidget* buildCheckPage();
  QWidget* buildMessagePage();
  QWidget* buildArchivePage();
  QCheckBox* makeCheckBox(const QString& name, const QString& caption, QWidget* parent);
  void showValues();
  void addFilterRow(const FilterRow& row);
  int selectedRow() const;
  void selectRow(int row);

  void ListViewFilterSelect();
  void EditFilterChange();
  void ButtonAddClick();
  void ButtonUpdateClick();
  void ButtonDeleteClick();
  void ListViewFilterDrop(int selected, int target);
  void ButtonOkClick();
  // Loads or unloads the back end of `kind` as its box says; a failed load
  // unchecks the box.
  void switchBackEnd(ArcKind kind, QCheckBox* box);

  FileSystem& fs_;
  std::string settingsPath_;
  Target target_;
  ShortcutPlaces places_;
  std::string executable_;
  UserInteraction& interaction_;

  QTabWidget* pages_ = nullptr;
  // 起動
  QCheckBox* checkBoxSendTo_ = nullptr;
  QCheckBox* checkBoxDesktop_ = nullptr;
  QCheckBox* checkBoxArcOpen_ = nullptr;
  // ﾌｨﾙﾀ
  RegisteredListView* listViewFilter_ = nullptr;
  QLineEdit* editFilterName_ = nullptr;
  QLineEdit* editFilterMask_ = nullptr;
  QPushButton* buttonAdd_ = nullptr;
  QPushButton* buttonUpdate_ = nullptr;
  QPushButton* buttonDelete_ = nullptr;
  // 経過
  std::vector<CountField*> greet_;
  // ﾁｪｯｸ
  QCheckBox* checkBoxChkStop_ = nullptr;
  QCheckBox* checkBoxChkAuto_ = nullptr;
  QCheckBox* checkBoxChkForce_ = nullptr;
  // 確認
  QCheckBox* checkBoxMsgExec_ = nullptr;
  QCheckBox* checkBoxMsgExit_ = nullptr;
  QCheckBox* checkBoxMsgDir_ = nullptr;
  // 書庫
  QCheckBox* checkBoxArcLzh_ = nullptr;
  QCheckBox* checkBoxArcZip_ = nullptr;
  QCheckBox* checkBoxArcBackup_ = nullptr;
  QCheckBox* checkBoxArcBackupFirst_ = nullptr;
};

}  // namespace ritoma
