#pragma once

#include <QWidget>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "conversion/CharConverter.h"
#include "conversion/ConversionList.h"
#include "conversion/ConversionStage.h"
#include "conversion/QuestionMacro.h"
#include "conversion/RegisteredMacroList.h"
#include "conversion/RegisteredReplaceList.h"
#include "conversion/ReplaceHistory.h"
#include "conversion/StringReplacer.h"
#include "conversion/TemplateEngine.h"
#include "platform/FileSystem.h"
#include "selection/EditList.h"
#include "settings/IniFile.h"
#include "shell/ProgressSink.h"
#include "shell/ui/QtUserInteraction.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QSplitter;
class QTabWidget;
class QTreeWidget;

namespace ritoma {

class ConversionListModel;
class ConversionListView;
class RadioGroup;
class RegisteredListView;
class TFormMacro;

// Page 変換 of the main window: the conversion list ListView3 with its
// sources and results, the sample box, the two-state convert button
// ("← 確認" previews the active tool on the selected row, "変換 →" applies
// it to the checked rows), the three tool tabs (template, replacement,
// character types) with the registered macros and replacements, direct
// edit of one result, and "保存" / "ｷｬﾝｾﾙ".
//
// The page works on the main window's edit list; the main window opens it
// for a stage (open) and moves to page 編集 when it asks (leaveRequested).
class TConversionPage : public QWidget {
  Q_OBJECT
public:
  enum Tool { ToolTemplate = 0, ToolReplace = 1, ToolChars = 2 };
  static constexpr int BuiltInMacroCount = 9;

  // The "+" of a plug-in macro: the plug-in's option dialog for plug-in
  // `plugin`; the text to insert, or nothing.
  using PluginOption = std::function<std::optional<std::string>(int plugin)>;

  // `settingsPath` names the settings file, read and written per sequence.
  TConversionPage(FileSystem& fs, std::string settingsPath, EditList& edit, QtUserInteraction& interaction,
                  ProgressSink& progress, QWidget* parent = nullptr);
  ~TConversionPage() override;

  // Fills the conversion list for `stage`, selects the first row, shows its
  // name in the sample box and the caption "← 確認". `context` gives the
  // folder, archive and plug-ins the templates of this stage see.
  void open(const ConversionStage& stage, const TemplateContext& context);
  // Puts the keyboard focus into the shown tool's first input field, so that
  // typing goes into the template, the search text or the conversion
  // choice, never into the read-only sample. For a page just shown.
  void focusActiveTool();
  int stageNumber() const { return list_.stageNumber; }
  // Shows the conversion list again after its rows were changed directly.
  void rowsChanged();

  // Threshold of the progress window of a pass (Option/Greet2).
  void setProgressThreshold(int rows) { progressThreshold_ = rows; }
  // Who answers the "/?" questions of registered macros (by default the
  // question dialog).
  void setQuestionAnswerer(QuestionMacro::Ask ask) { answerer_ = std::move(ask); }
  // Appends one macro-list entry per plug-in macro ("name(/xA)").
  void setPluginMacros(const QStringList& entries, PluginOption option);

  // Settings kept by the main window. Window: Split3, Colums3-1, Colums3-2,
  // ColumsM-0 … ColumsM-2 (loadLayout), Macro3 (loadMacroChoice; read
  // after the plug-ins are known); saveLayout writes them all in the order
  // Split3, Macro3, Colums3-1, Colums3-2, ColumsM-0 … ColumsM-2.
  void loadLayout(const IniFile& ini);
  void loadMacroChoice(const IniFile& ini);
  void saveLayout(IniFile& ini) const;
  // Sections Macro, RepText, Replace as read at start; RepText is rewritten
  // when the main window closes (saveHistories).
  void loadMacros(const IniFile& ini);
  void loadHistories(const IniFile& ini);
  void loadReplacements(const IniFile& ini);
  void saveHistories(IniFile& ini) const;
  // The word delimiters of the character tab (Rename/Word).
  std::string wordDelimiters() const;
  void setWordDelimiters(const std::string& text);
  int macroChoice() const;
  void setMacroChoice(int index);

  // The page's operations.
  void PreviewSample();
  void ApplyToRows();
  void ResetSample();
  void UpdateConvertButton();
  void InsertMacroText(QLineEdit* target, const QString& text);
  void BeginDirectEdit(std::size_t row);
  void EndDirectEdit();
  void SaveStage();
  void LeaveConversionPage();

  ConversionList& list() { return list_; }
  TemplateEngine& engine() { return engine_; }
  TFormMacro& formMacro() { return *formMacro_; }
  const RegisteredMacroList& macros() const { return macros_; }
  const RegisteredReplaceList& replacements() const { return replacements_; }
  const ReplaceHistory& history() const { return history_; }
  bool inDirectEdit() const { return directRow_.has_value(); }

signals:
  // "保存" stored the stage; `nextStage` is the number of the next one.
  void stageSaved(int nextStage);
  // "保存" or "ｷｬﾝｾﾙ": show page 編集.
  void leaveRequested();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  QWidget* buildTemplateTab();
  QWidget* buildReplaceTab();
  QWidget* buildCharTab();
  void buildTree();

  Tool activeTool() const;
  std::optional<std::size_t> selectedRow() const;
  void setSample(const std::string& text);
  StringReplacer replacer() const;
  CharConverter converter() const;
  int treePosition() const;
  void charNodeChanged();
  void updateMacroButtons();
  void focusEntered(QWidget* old, QWidget* now);
  void addToHistory(QComboBox* combo, TextHistory& history);
  void fillHistory(QComboBox* combo, const TextHistory& history);
  void sampleDoubleClicked();
  void tell(const std::exception& error);

  void Button3CNVClick();
  void ButtonDirectOKClick();
  void insertChosenMacro(QLineEdit* target, bool withOptions);

  void fillMacroList();
  void fillReplaceList();
  void ButtonMacroRClick();
  void ButtonRepRClick();
  void ListViewMacroDblClick();
  void ListViewRepDblClick();
  void ListViewMacroDragDrop(int selected, int target);
  void ListViewRepDragDrop(int selected, int target);
  void saveMacroSection();
  void saveReplaceSection();
  std::optional<std::string> askQuestion(std::string_view before, std::string_view after);

  FileSystem& fs_;
  std::string settingsPath_;
  EditList& edit_;
  QtUserInteraction& interaction_;
  ProgressSink& progress_;
  int progressThreshold_ = 200;
  QuestionMacro::Ask answerer_;
  PluginOption pluginOption_;

  ConversionList list_;
  TemplateEngine engine_;
  TemplateContext context_;
  RegisteredMacroList macros_;
  RegisteredReplaceList replacements_;
  ReplaceHistory history_;
  std::string sample_;  // the sample box's text (code page 932)
  std::optional<std::size_t> directRow_;
  std::string directOriginal_;  // the direct edit field's starting text
  int split3_ = 250;
  QLineEdit* keptField_ = nullptr;  // the template field whose selection the focus took away
  int keptStart_ = 0;
  int keptLength_ = 0;

  std::unique_ptr<TFormMacro> formMacro_;
  ConversionListModel* model_ = nullptr;
  ConversionListView* listView3_ = nullptr;
  QSplitter* splitter3_ = nullptr;
  QLabel* labelSample_ = nullptr;
  QLineEdit* editSample_ = nullptr;
  QPushButton* button3Cnv_ = nullptr;
  QPushButton* button3Ok_ = nullptr;
  QPushButton* button3Cancel_ = nullptr;
  QTabWidget* pageControl3_ = nullptr;
  QLabel* labelDirect_ = nullptr;
  QLineEdit* labeledEditDirect_ = nullptr;
  QPushButton* buttonDirectOk_ = nullptr;
  QPushButton* buttonDirectCancel_ = nullptr;
  // template tab
  QWidget* tabSheetF_ = nullptr;
  QLineEdit* labeledEditF_ = nullptr;
  QCheckBox* checkBoxE_ = nullptr;
  QLineEdit* editE_ = nullptr;
  QComboBox* comboBoxMacro_ = nullptr;
  QPushButton* buttonMacroEditF1_ = nullptr;
  QPushButton* buttonMacroEditF2_ = nullptr;
  QPushButton* buttonMacroEditE1_ = nullptr;
  QPushButton* buttonMacroEditE2_ = nullptr;
  QPushButton* buttonMacroR_ = nullptr;
  RegisteredListView* listViewMacro_ = nullptr;
  // replacement tab
  QWidget* tabSheetRep_ = nullptr;
  QComboBox* comboBoxRep1_ = nullptr;
  QComboBox* comboBoxRep2_ = nullptr;
  RadioGroup* radioGroupRep_ = nullptr;
  RadioGroup* radioGroupRepLR_ = nullptr;
  QCheckBox* checkBoxRepUL_ = nullptr;
  QSpinBox* upDownSkip_ = nullptr;
  QSpinBox* upDownRep_ = nullptr;
  QPushButton* buttonRepR_ = nullptr;
  RegisteredListView* listViewRep_ = nullptr;
  // character tab
  QWidget* tabSheetChg_ = nullptr;
  QTreeWidget* treeViewChg_ = nullptr;
  QRadioButton* radioButtonChg_[3] = {};
  QLineEdit* labeledEditChg_ = nullptr;
  QCheckBox* checkBoxChg_[4] = {};
};

}  // namespace ritoma
