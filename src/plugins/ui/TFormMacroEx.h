#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "plugins/PluginHost.h"
#include "settings/IniFile.h"
#include "shell/UserInteraction.h"

class QComboBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ritoma {

// "拡張ﾏｸﾛ設定": lists the plug-in files of the plug-in folders, lets the
// user tick them and give each a command letter, and on "設定" puts the
// ticked ones into service in row order. The host must hold no plug-in in
// service when the dialog is made. "設定" is the only way out.
class TFormMacroEx : public QDialog {
  Q_OBJECT
public:
  // A plug-in that was in service before: shown ticked with its letter.
  struct Previous {
    std::string fileName;
    char letter;
  };

  TFormMacroEx(PluginHost& host, IniFile& settings, UserInteraction& interaction,
               const std::vector<Previous>& previous, QWidget* parent = nullptr);

  void reject() override;

private:
  struct Row {
    PluginCandidate candidate;
    char letter = 0;
  };

  void showRow(int row);
  void onItemChanged(QTreeWidgetItem* item, int column);
  void onDoubleClicked(QTreeWidgetItem* item);
  void beginLetterSelection(int row);
  void endLetterSelection();
  void ButtonCmdSetClick();
  void ButtonCmdCancelClick();
  void ButtonOkClick();
  bool ticked(int row) const;

  PluginHost& host_;
  IniFile& settings_;
  UserInteraction& interaction_;
  std::vector<Row> rows_;
  int selecting_ = -1;      // the row in letter selection, or -1
  bool updating_ = false;   // item changes made by the dialog itself

  QTreeWidget* listViewMacroEx_ = nullptr;
  QComboBox* comboBoxCmd_ = nullptr;
  QPushButton* buttonCmdSet_ = nullptr;
  QPushButton* buttonCmdCancel_ = nullptr;
  QPushButton* buttonOk_ = nullptr;
};

}  // namespace ritoma
