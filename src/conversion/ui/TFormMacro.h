#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "conversion/MacroOptions.h"
#include "platform/FileSystem.h"
#include "shell/UserInteraction.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QSpinBox;
class QStackedWidget;

namespace ritoma {

class RadioGroup;

// The macro options dialog: one page per built-in macro (0 /f … 8 /o, the
// order of the template tab's macro list), of which only the chosen one is
// seen. It builds the macro text of that page live and returns it on "OK".
// It also owns the defaults a macro without option block uses, kept in
// section MacroOption: read when the dialog is made, written by
// "初期値保存", and the omission mode written when the dialog goes away.
// One instance lives for the whole run.
class TFormMacro : public QDialog {
  Q_OBJECT
public:
  TFormMacro(FileSystem& fs, std::string settingsPath, UserInteraction& interaction, QWidget* parent = nullptr);
  ~TFormMacro() override;

  // Shows the dialog modally on the page of `page`, captioned `caption`
  // (the macro list's entry). The macro text on "OK" (possibly empty),
  // nothing on "CANCEL".
  std::optional<std::string> ShowMacroDialog(int page, const QString& caption);
  // Makes `page` the displayed page and builds its text (what showing does).
  void showPage(int page, const QString& caption);

  int currentPage() const { return page_; }
  // The result text (code page 932).
  const std::string& resultText() const { return result_; }
  const MacroDefaults& defaults() const { return options_.defaults; }
  QMenu* contextMenu() const { return menu_; }

protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  struct IntBinding {
    int page;
    int MacroDefaults::*value;
    QWidget* control;  // QSpinBox, QComboBox, QCheckBox or RadioGroup
  };

  QWidget* buildThreeValuePage(int page);
  QWidget* buildStampPage(int page);
  QWidget* buildSizePage();
  void bind(int page, int MacroDefaults::*value, QWidget* control);
  void controlChanged(int page);
  void showControls(int page);
  void BuildMacroText();
  void setOmission(bool omit);
  void saveDefaults(bool allPages);

  FileSystem& fs_;
  std::string settingsPath_;
  UserInteraction& interaction_;
  MacroOptions options_;
  int page_ = 0;
  bool loading_ = false;
  std::vector<IntBinding> bindings_;
  std::string result_;
  QStackedWidget* pages_ = nullptr;
  QLabel* panelSample_ = nullptr;
  QLabel* panelD_ = nullptr;
  QLabel* panelT_ = nullptr;
  QLabel* memoS_ = nullptr;
  QMenu* menu_ = nullptr;
  QAction* keepAction_ = nullptr;
  QAction* omitAction_ = nullptr;
};

}  // namespace ritoma
