#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTest>
#include <functional>
#include <QTabWidget>
#include <QTabBar>
#include <QSet>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>
#include <memory>
#include <stdexcept>

#include "platform/PosixFileSystem.h"
#include "archive/ArchiveLibraries.h"
#include "settings/DummySettings.h"
#include "shell/ui/TFormAbout.h"
#include "plugins/ui/TFormMacroEx.h"
#include "plugins/PluginHost.h"
#include "conversion/MacroDefaults.h"
#include "conversion/ui/TConversionPage.h"
#include "conversion/ui/TFormMacro.h"
#include "conversion/ui/TFormRepR.h"
#include "conversion/ui/TFormMacroR.h"
#include "execution/ui/TFormDateTime.h"
#include "conversion/ui/ConversionListModel.h"
#include "conversion/ui/TFormMacroQ.h"
#include "dummy/ui/TFormDummy.h"
#include "dummy/ui/TRichEditEx.h"
#include "execution/ui/TFormAttr.h"
#include "selection/ui/TFormFilter.h"
#include "execution/ui/PlanListModel.h"
#include "selection/ui/FolderIcons.h"
#include "selection/ui/SelectionPageWidget.h"
#include "shell/ui/EditListModel.h"
#include "shell/HandOff.h"
#include "settings/IniFile.h"
#include "shell/ui/GreetProgress.h"
#include "shell/ui/HelpViewer.h"
#include "shell/ui/RitomaApplication.h"
#include "shell/ui/TFormMain.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/ui/HelpAnchor.h"
#include "support/ui/FormChild.h"
#include "text/TextCodec.h"
#include "text/TextCodec.h"

using namespace ritoma;

namespace {

// A program folder with names whose second byte in code page 932 is "\".
struct Fixture {
  TempDir program;
  TempDir config;
  PosixFileSystem real;
  FaultyFileSystem fs{real};
  std::vector<QtUserInteraction::Prompt> prompts;
  std::vector<Answer> answers;  // given in order; Ok/Yes when exhausted

  Fixture() {
    program.writeFile("表.txt", "x");
    program.writeFile("ソフト.doc", "yy");
    program.writeFile("readme", "");
    fs.setExecutableFolder(program.path());
  }
  std::string settings() const { return config / "Ritoma.ini"; }
  void writeSettings(const std::string& text) const { config.writeFile("Ritoma.ini", text); }

  std::unique_ptr<TFormMain> make() {
    return std::make_unique<TFormMain>(fs, settings(), [this](QtUserInteraction::Prompt& p) {
      prompts.push_back(p);
      if (answers.empty()) return p.question == QuestionKind::YesNo ? Answer::Yes : Answer::Ok;
      const Answer a = answers.front();
      answers.erase(answers.begin());
      return a;
    });
  }
};

std::vector<std::string> stage(const std::vector<std::string>& names) {
  std::vector<std::string> out;
  for (const auto& n : names) out.push_back(TextCodec::fromUtf8(n));
  return out;
}

void fillEditList(TFormMain& form, const std::vector<std::string>& names) {
  EditList& list = form.editList();
  list.clear();
  for (const auto& name : names) {
    EditRow row;
    row.infoText = "2024/01/02 03:04:05 1";
    row.names.push_back(TextCodec::fromUtf8(name));
    list.rows.push_back(row);
  }
  form.editListChanged();
}

QString headerText(QTreeView* view, int column) {
  return view->model()->headerData(column, Qt::Horizontal).toString();
}

}  // namespace

class FormMainTest : public QObject {
  Q_OBJECT
private slots:
  void pluginsOfTheSettingsReachTheMacroDropDownAndTheDialog();
  void firstStartUsesMinimumSizeAtTopLeft();
  void startFolderIsTheStoredOneWhileItExists();
  void pageMovesSetCaptionsAndEscapeGoesBack();
  void keyboardAloneRunsABatch();
  void originalNameHeaderDeletesStagesOnlyOnYes();
  void stageColumnsAreRedoneSavedAndReplaced();
  void toolTabsFitAtTheMinimumSize();
  void folderRowsLookTheSameOnEveryPage();
  void archiveOpenDisablesAttributesUntilAStageIsSaved();
  void openPathsChecksTheNamedRows();
  void typedPathsOpenTheFolderTheyName();
  void droppedFilesAreOpened();
  void closingAsksOnlyWithMsgExit();
  void layoutIsSavedAndRestored();
  void renameSectionIsRewrittenKeepingWhatOthersOwn();
  void unwritableSettingsAreReportedAndLoadingGoesOn();
  void progressWindowFollowsOpenStepClose();
  void menuOffersItsEntriesAndTheAboutBox();
  void helpKeyOpensThePageContext();
  void helpOfEveryPageTabAndDialog();
  void helpStaysUsableBesideAModalDialog();
  void everySectionScrollsToTheTop();
  void handOffDuringAListingWaitsForIt();
  void exceptionInHandlerIsReportedAndLoopGoesOn();
  void dummyButtonOpensTheDialogAndACopyRunWritesDummies();
};

void FormMainTest::firstStartUsesMinimumSizeAtTopLeft() {
  Fixture f;
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  QCOMPARE(form->size(), QSize(540, 410));
  QCOMPARE(form->pos(), QPoint(0, 0));
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 選択"));
  QCOMPARE(child<QStackedWidget>(form.get(), "PageControl1")->currentIndex(), 0);
  QCOMPARE(child<QComboBox>(form.get(), "FilterComboBox")->currentText(), QStringLiteral("全てのﾌｧｲﾙ(*.*)"));
  // The program's folder is listed with its files checked.
  QCOMPARE(form->currentFolderText(), QString::fromStdString(f.program.path()));
  QAbstractItemModel* rows = child<QTreeView>(form.get(), "ListView1")->model();
  QCOMPARE(rows->rowCount(), 3);
  QStringList names;
  for (int r = 0; r < rows->rowCount(); ++r)
    names << rows->index(r, 1).data().toString() + rows->index(r, 2).data().toString();
  names.sort();
  QCOMPARE(names, (QStringList{QStringLiteral("readme"), QStringLiteral("ソフト.doc"), QStringLiteral("表.txt")}));
  QCOMPARE(form->checkedNames().size(), 3);
  QVERIFY(child<QPushButton>(form.get(), "Button1NEXT")->isEnabled());
  QVERIFY(!form->progress().isOpen());
  // Names line up in the fixed-pitch face; labels and buttons use the proportional one.
  const QFont list = child<QTreeView>(form.get(), "ListView1")->font();
  QCOMPARE(list.family(), QStringLiteral("IPAGothic"));
  QCOMPARE(list.pixelSize(), 12);
  QCOMPARE(child<QComboBox>(form.get(), "DriveComboBox")->font().pixelSize(), 13);
  QCOMPARE(child<QPushButton>(form.get(), "Button1NEXT")->font().family(), QStringLiteral("IPAPGothic"));
  QCOMPARE(child<QSplitter>(form.get(), "Splitter1")->sizes().value(0), 200);
  QVERIFY(f.prompts.empty());
  // The undo section is erased even without a settings file; nothing else is written.
  QVERIFY(!f.config.exists("Ritoma.ini") || f.config.readFile("Ritoma.ini").find("Undo") == std::string::npos);
}

void FormMainTest::startFolderIsTheStoredOneWhileItExists() {
  TempDir stored;
  stored.writeFile("ソ.txt");
  struct Case {
    const char* name;
    std::string dir;
    bool storedUsed;
  } const cases[] = {
      {"existing folder", stored.path(), true},
      {"folder gone", stored / "gone", false},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.writeSettings("[Window]\nDir=" + c.dir + "\n");
    auto form = f.make();
    QCOMPARE(form->currentFolderText(), QString::fromStdString(c.storedUsed ? stored.path() : f.program.path()));
    QCOMPARE(form->checkedNames().size(), c.storedUsed ? 1 : 3);
  }
}

void FormMainTest::pageMovesSetCaptionsAndEscapeGoesBack() {
  Fixture f;
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  fillEditList(*form, {"a.txt", "表.txt"});
  auto* pages = child<QStackedWidget>(form.get(), "PageControl1");

  struct Move {
    TFormMain::Page from;
    const char* control;  // nullptr: the Escape key
    int page;
    QString caption;
  } const moves[] = {
      {TFormMain::PageEdit, "Button2PREV", 0, QStringLiteral("Ritoma - 選択")},
      {TFormMain::PageEdit, nullptr, 0, QStringLiteral("Ritoma - 選択")},
      {TFormMain::PageConvert, "Button3CANCEL", 1, QStringLiteral("Ritoma - 編集")},
      {TFormMain::PageConvert, nullptr, 1, QStringLiteral("Ritoma - 編集")},
      {TFormMain::PageAttribute, "Button4PREV", 1, QStringLiteral("Ritoma - 編集")},
      {TFormMain::PageAttribute, nullptr, 1, QStringLiteral("Ritoma - 編集")},
  };
  for (const auto& move : moves) {
    form->showPage(move.from);
    if (move.control) {
      QTest::mouseClick(child<QPushButton>(form.get(), move.control), Qt::LeftButton);
    } else {
      form->activateWindow();
      QTest::keyClick(form.get(), Qt::Key_Escape);
    }
    QCOMPARE(pages->currentIndex(), move.page);
    QCOMPARE(form->windowTitle(), move.caption);
  }
  // Page 選択 has no Escape move.
  form->showPage(TFormMain::PageSelect);
  QTest::keyClick(form.get(), Qt::Key_Escape);
  QCOMPARE(pages->currentIndex(), 0);
}

// The whole road with keys only: Enter on a focused button presses it on
// every page, and each move leaves the keyboard where the next key is
// expected (the stage button, the template, the plan, the listed folder).
void FormMainTest::keyboardAloneRunsABatch() {
  Fixture f;
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowActive(form.get()));
  auto* pages = child<QStackedWidget>(form.get(), "PageControl1");
  const auto enterOn = [&](const char* name, Qt::Key key = Qt::Key_Return) {
    auto* button = child<QPushButton>(form.get(), name);
    button->setFocus();
    QTest::keyClick(QApplication::focusWidget(), key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
  };

  enterOn("Button1NEXT");
  QCOMPARE(pages->currentIndex(), 1);
  QCOMPARE(QApplication::focusWidget(), child<QWidget>(form.get(), "Button2CNV"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 変換1"));
  auto* field = child<QLineEdit>(form.get(), "LabeledEditF");
  QCOMPARE(QApplication::focusWidget(), field);
  field->selectAll();
  QTest::keyClicks(field, "r/n");
  QTest::keyClick(field, Qt::Key_Return);  // "← 確認"
  QTest::keyClick(field, Qt::Key_Return);  // "変換 →"
  enterOn("Button3OK");
  QCOMPARE(pages->currentIndex(), 1);
  QCOMPARE(child<QPushButton>(form.get(), "Button2CNV")->text(), QStringLiteral("変換2"));

  // Back and forth between 編集 and 選択, then on to 属性.
  enterOn("Button2PREV");
  QCOMPARE(pages->currentIndex(), 0);
  enterOn("Button1NEXT", Qt::Key_Enter);
  QCOMPARE(pages->currentIndex(), 1);
  QCOMPARE(form->editList().stageCount(), std::size_t{0});
  enterOn("Button2CNV");
  field->selectAll();
  QTest::keyClicks(field, "r/n");
  QTest::keyClick(field, Qt::Key_Return);
  QTest::keyClick(field, Qt::Key_Return);
  enterOn("Button3OK");
  enterOn("Button2EXEC");
  QCOMPARE(pages->currentIndex(), 3);
  QCOMPARE(QApplication::focusWidget(), child<QWidget>(form.get(), "ListView4"));
  enterOn("Button4PREV");
  QCOMPARE(pages->currentIndex(), 1);
  enterOn("Button2EXEC");
  enterOn("Button4EXEC");
  QCOMPARE(pages->currentIndex(), 0);
  QCOMPARE(QApplication::focusWidget(), child<QWidget>(form.get(), "ListView1"));
  std::vector<std::string> names = f.program.names();
  std::sort(names.begin(), names.end());
  QCOMPARE(names, (std::vector<std::string>{"r001", "r002.doc", "r003.txt"}));
}

void FormMainTest::originalNameHeaderDeletesStagesOnlyOnYes() {
  Fixture f;
  auto form = f.make();
  form->move(30, 40);
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  fillEditList(*form, {"a.txt", "b.txt"});
  auto* list = child<QTreeView>(form.get(), "ListView2");
  auto* stageButton = child<QPushButton>(form.get(), "Button2CNV");
  QCOMPARE(headerText(list, 1), QStringLiteral("元ﾌｧｲﾙ名"));

  // Without stages the header click asks nothing.
  emit list->header()->sectionClicked(1);
  QVERIFY(f.prompts.empty());

  form->editList().appendStage(stage({"a1", "b1"}));
  form->editList().appendStage(stage({"a2", "b2"}));
  form->editListChanged();
  QCOMPARE(stageButton->text(), QStringLiteral("変換3"));
  QCOMPARE(headerText(list, 3), QStringLiteral("→変換2"));
  QCOMPARE(list->model()->index(1, 3).data().toString(), QStringLiteral("b2"));

  f.answers = {Answer::No};
  emit list->header()->sectionClicked(1);
  QCOMPARE(f.prompts.size(), std::size_t{1});
  QCOMPARE(f.prompts[0].text, QStringLiteral("変換データを削除します"));
  QCOMPARE(f.prompts[0].question, QuestionKind::YesNo);
  const QRect frame = form->frameGeometry();
  QCOMPARE(f.prompts[0].position.value(), QPoint(frame.left() + 200, frame.top() + 100));
  QCOMPARE(list->model()->columnCount(), 4);

  f.answers = {Answer::Yes};
  emit list->header()->sectionClicked(1);
  QCOMPARE(list->model()->columnCount(), 2);
  QCOMPARE(stageButton->text(), QStringLiteral("変換1"));
  QVERIFY(child<QPushButton>(form.get(), "Button2EXEC")->isEnabled());

  // The icon column does nothing.
  emit list->header()->sectionClicked(0);
  QCOMPARE(f.prompts.size(), std::size_t{2});
}

namespace {

QStringList column(QAbstractItemModel* model, int col, int role = Qt::DisplayRole) {
  QStringList out;
  for (int r = 0; r < model->rowCount(); ++r) out << model->index(r, col).data(role).toString();
  return out;
}

void setResults(TFormMain& form, const std::vector<std::string>& results) {
  auto& rows = form.conversionList().rows;
  for (std::size_t i = 0; i < rows.size() && i < results.size(); ++i) rows[i].result = TextCodec::fromUtf8(results[i]);
  form.conversionListChanged();
}

}  // namespace

// At the smallest window the three tool tabs of page 変換 are whole, with
// no scroll arrows: each tab lies inside the tab bar.
void FormMainTest::toolTabsFitAtTheMinimumSize() {
  Fixture f;
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  QCOMPARE(form->size(), QSize(540, 410));
  fillEditList(*form, {"表.txt"});
  QTest::mouseClick(child<QPushButton>(form.get(), "Button2CNV"), Qt::LeftButton);
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 変換1"));
  // Typing goes into the template field, not the read-only sample.
  QCOMPARE(QApplication::focusWidget(), child<QWidget>(form.get(), "LabeledEditF"));
  QTabBar* bar = child<QTabWidget>(form.get(), "PageControl3")->tabBar();
  QCOMPARE(bar->count(), 3);
  for (int i = 0; i < bar->count(); ++i)
    QVERIFY2(bar->rect().contains(bar->tabRect(i)), qPrintable(bar->tabText(i)));
  // The conversion list beside them stays whole in the window.
  QCOMPARE(form->size(), QSize(540, 410));
  auto* list = child<QTreeView>(form.get(), "ListView3");
  QVERIFY(list->isVisible());
  QVERIFY(list->mapTo(form.get(), QPoint(list->width(), 0)).x() <= form->width());
}

// A folder row shows the image of page 選択 on 編集, 変換 and 属性 too:
// yellow on disk, grey for a directory entry of an archive.
void FormMainTest::folderRowsLookTheSameOnEveryPage() {
  auto image = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
  EditList edit;
  for (int icon : {1, 2}) {
    EditRow row;
    row.icon = icon;
    row.names = {"表"};
    edit.rows.push_back(row);
  }
  EditListModel editModel(edit);
  PlanList plan;
  PlanListModel planModel(plan);
  for (int icon : {1, 2}) {
    const QImage selection = image(FolderIcons::rowIcon(icon));
    const QModelIndex cell = editModel.index(icon - 1, 0);
    QCOMPARE(image(cell.data(Qt::DecorationRole).value<QIcon>()), selection);
    QCOMPARE(image(planModel.icon(icon, MarkNone)), selection);
    QCOMPARE(image(ConversionListModel::rowIcon(icon, false)), selection);
  }
}

void FormMainTest::stageColumnsAreRedoneSavedAndReplaced() {
  Fixture f;
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  fillEditList(*form, {"a.txt", "表.txt"});
  auto* edit = child<QTreeView>(form.get(), "ListView2");
  auto* conversion = child<QTreeView>(form.get(), "ListView3")->model();
  auto* stageButton = child<QPushButton>(form.get(), "Button2CNV");
  auto* save = child<QPushButton>(form.get(), "Button3OK");

  // Stages 1 and 2 through the stage button; each new stage column is as
  // wide as the one before it, and the others keep their widths.
  edit->header()->resizeSection(1, 150);
  QTest::mouseClick(stageButton, Qt::LeftButton);
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 変換1"));
  QCOMPARE(child<QLineEdit>(form.get(), "EditSAMPLE")->text(), QStringLiteral("a.txt"));
  QCOMPARE(column(conversion, 1), (QStringList{QStringLiteral("a.txt"), QStringLiteral("表.txt")}));
  setResults(*form, {"a1", "表1"});
  QTest::mouseClick(save, Qt::LeftButton);
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 編集"));
  QCOMPARE(stageButton->text(), QStringLiteral("変換2"));
  QCOMPARE(edit->header()->sectionSize(1), 150);
  QCOMPARE(edit->header()->sectionSize(2), 150);
  edit->header()->resizeSection(2, 170);
  QTest::mouseClick(stageButton, Qt::LeftButton);
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 変換2"));
  QCOMPARE(column(conversion, 1), (QStringList{QStringLiteral("a1"), QStringLiteral("表1")}));
  setResults(*form, {"a2", "表2"});
  QTest::mouseClick(save, Qt::LeftButton);
  QCOMPARE(stageButton->text(), QStringLiteral("変換3"));
  QCOMPARE(edit->header()->sectionSize(2), 170);
  QCOMPARE(edit->header()->sectionSize(3), 170);

  // A click on the header of stage 2 builds it again from stage 1's names;
  // a row left without a result keeps its source.
  emit edit->header()->sectionClicked(3);
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 変換2"));
  QCOMPARE(column(conversion, 1), (QStringList{QStringLiteral("a1"), QStringLiteral("表1")}));
  QCOMPARE(column(conversion, 2), (QStringList{QString(), QString()}));
  setResults(*form, {"a2x", ""});
  QTest::mouseClick(save, Qt::LeftButton);
  QCOMPARE(edit->model()->columnCount(), 4);
  QCOMPARE(headerText(edit, 3), QStringLiteral("→変換2"));
  QCOMPARE(column(edit->model(), 3), (QStringList{QStringLiteral("a2x"), QStringLiteral("表1")}));
  QCOMPARE(stageButton->text(), QStringLiteral("変換3"));

  // The rename check's error column: the stage button builds stage 3 for
  // the failing rows only, and saving replaces the error column.
  form->editList().setErrorColumn(TextCodec::fromUtf8("ﾁｪｯｸ … ｴﾗｰ1件"),
                                  {"", TextCodec::fromUtf8("ﾌｧｲﾙ名が重複しています。")});
  form->editListChanged();
  QCOMPARE(headerText(edit, 4), QStringLiteral("ﾁｪｯｸ … ｴﾗｰ1件"));
  QCOMPARE(edit->header()->sectionSize(4), 160);
  QCOMPARE(edit->header()->sectionSize(3), 170);
  QCOMPARE(column(edit->model(), 4), (QStringList{QString(), QStringLiteral("ﾌｧｲﾙ名が重複しています。")}));
  QCOMPARE(stageButton->text(), QStringLiteral("変換3"));
  QTest::mouseClick(stageButton, Qt::LeftButton);
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 変換3"));
  QCOMPARE(column(conversion, 1), (QStringList{QStringLiteral("a2x"), QStringLiteral("表1")}));
  QCOMPARE(conversion->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
  QCOMPARE(conversion->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
  setResults(*form, {"", "表3"});
  QTest::mouseClick(save, Qt::LeftButton);
  QCOMPARE(edit->model()->columnCount(), 5);
  QCOMPARE(headerText(edit, 4), QStringLiteral("→変換3"));
  QCOMPARE(edit->header()->sectionSize(4), 170);
  QCOMPARE(column(edit->model(), 4), (QStringList{QStringLiteral("a2x"), QStringLiteral("表3")}));
  QCOMPARE(stageButton->text(), QStringLiteral("変換4"));

  // "ｷｬﾝｾﾙ" leaves the edit list as it was.
  emit edit->header()->sectionClicked(2);
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 変換1"));
  QTest::mouseClick(child<QPushButton>(form.get(), "Button3CANCEL"), Qt::LeftButton);
  QCOMPARE(edit->model()->columnCount(), 5);
}

void FormMainTest::archiveOpenDisablesAttributesUntilAStageIsSaved() {
  Fixture f;
  QFile fixture(QStringLiteral(RITOMA_FIXTURES "/archive/stored.zip"));
  QVERIFY(fixture.open(QIODevice::ReadOnly));
  f.program.writeFile("pack.zip", fixture.readAll().toStdString());
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  // A single archive path opens the archive and lists its entries.
  form->openPaths({f.program / "pack.zip"});
  QVERIFY(form->archiveOpen());
  auto* arcName = child<QLineEdit>(form.get(), "Edit2Arc");
  QCOMPARE(arcName->text(), QStringLiteral("pack.zip"));
  QCOMPARE(arcName->actions().size(), 1);  // the archive icon
  QVERIFY(!arcName->actions().front()->icon().isNull());
  QVERIFY(arcName->isReadOnly());
  QCOMPARE(arcName->palette().color(QPalette::Base), arcName->palette().color(QPalette::Window));
  QStringList checked = form->checkedNames();
  checked.sort();
  QCOMPARE(checked, (QStringList{QStringLiteral("plain.txt"), QStringLiteral("sub/data.bin"), QStringLiteral("ソ表.txt")}));

  auto* attributes = child<QPushButton>(form.get(), "Button2EXEC");
  QTest::mouseClick(child<QPushButton>(form.get(), "Button1NEXT"), Qt::LeftButton);
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 編集"));
  QCOMPARE(child<QLineEdit>(form.get(), "Edit2Arc")->text(), QStringLiteral("pack.zip"));
  QVERIFY(!child<QLineEdit>(form.get(), "Edit2Arc")->isHidden());
  QCOMPARE(child<QTreeView>(form.get(), "ListView2")->model()->rowCount(), 3);
  QVERIFY(!attributes->isEnabled());
  QTest::mouseClick(child<QPushButton>(form.get(), "Button2CNV"), Qt::LeftButton);
  QTest::mouseClick(child<QPushButton>(form.get(), "Button3OK"), Qt::LeftButton);
  QVERIFY(attributes->isEnabled());
  f.answers = {Answer::Yes};
  emit child<QTreeView>(form.get(), "ListView2")->header()->sectionClicked(1);
  QVERIFY(!attributes->isEnabled());

  // Two paths, or the option off, list the folder instead.
  form->openPaths({f.program / "pack.zip", f.program / "readme"});
  QVERIFY(!form->archiveOpen());
  QVERIFY(arcName->isHidden());
  QCOMPARE(arcName->text(), QString());
  QCOMPARE(form->checkedNames().size(), 2);
  form->options().arcOpen = false;
  form->openPaths({f.program / "pack.zip"});
  QVERIFY(!form->archiveOpen());
  QCOMPARE(form->checkedNames(), QStringList{QStringLiteral("pack.zip")});
}

void FormMainTest::openPathsChecksTheNamedRows() {
  Fixture f;
  TempDir other;
  other.makeFolder("sub");
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  const QString programFolder = QString::fromStdString(f.program.path());

  // Names match without letter case; a path of another folder adds its name.
  form->showPage(TFormMain::PageEdit);
  form->openPaths({f.program / "表.TXT", other / "README"});
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 選択"));
  QStringList checked = form->checkedNames();
  checked.sort();
  QCOMPARE(checked, (QStringList{QStringLiteral("readme"), QStringLiteral("表.txt")}));

  // Nothing happens for an empty list or a folder that does not exist.
  form->openPaths({});
  form->openPaths({other / "gone/x.txt"});
  QCOMPARE(form->currentFolderText(), programFolder);
  QCOMPARE(form->checkedNames().size(), 2);

  // A folder path opens its parent; without the folder filter no row is checked.
  form->openPaths({other / "sub"});
  QCOMPARE(form->currentFolderText(), QString::fromStdString(other.path()));
  QVERIFY(form->checkedNames().isEmpty());
}

// A path from the command line or a hand-off, as typed, made absolute the way
// a start does it, on real folders.
void FormMainTest::typedPathsOpenTheFolderTheyName() {
  Fixture f;
  TempDir work;
  work.makeFolder("sub");
  work.writeFile("sub/表.txt", "x");
  work.writeFile("sub/ソb.TXT", "x");
  work.writeFile("c.txt", "x");
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  const QString top = QString::fromStdString(work.path());
  const QString sub = QString::fromStdString(work / "sub");

  struct Case {
    const char* name;
    std::string typed;
    QString folder;
    QStringList checked;
  } const cases[] = {
      {"folder with a final slash", "sub/", sub, {}},
      {"absolute folder with doubled slashes", work / "sub//", sub, {}},
      {"folder followed by a dot", "sub/.", sub, {}},
      {"the working folder as a dot", ".", top, {}},
      {"parent named by two dots", "sub/..", top, {}},
      {"folder without a final slash is a row of its parent", "sub", top, {}},
      {"file of the folder", "sub/表.txt", sub, {QStringLiteral("表.txt")}},
      {"file named in another letter case", "sub/ソB.txt", sub, {QStringLiteral("ソb.TXT")}},
  };
  for (const Case& c : cases) {
    form->showPage(TFormMain::PageEdit);
    form->openPaths({HandOff::makeAbsolute(c.typed, work.path())});
    QVERIFY2(form->currentFolderText() == c.folder, c.name);
    QVERIFY2(form->checkedNames() == c.checked, c.name);
    QVERIFY2(form->windowTitle() == QStringLiteral("Ritoma - 選択"), c.name);
  }
}

void FormMainTest::droppedFilesAreOpened() {
  Fixture f;
  TempDir other;
  const std::string longName = std::string(200, 'x') + ".txt";
  other.makeFolder(std::string(100, 'd'));
  other.writeFile(std::string(100, 'd') + "/" + longName);
  other.writeFile(std::string(100, 'd') + "/b.txt");
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  form->showPage(TFormMain::PageAttribute);

  // A path longer than 255 bytes arrives whole.
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(other / (std::string(100, 'd') + "/" + longName)))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &drop);
  QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 選択"));
  QCOMPARE(form->currentFolderText(), QString::fromStdString(other / std::string(100, 'd')));
  QCOMPARE(form->checkedNames(), QStringList{QString::fromStdString(longName)});

  // The shell's URIs are decoded byte for byte: a name that is not UTF-8
  // and an escaped "%" arrive as they are on disk; another scheme is left out.
  other.writeFile("\xFF\x95.txt");
  other.writeFile("表%ソ.txt");
  QMimeData raw;
  raw.setData(QStringLiteral("text/uri-list"),
              QByteArray::fromStdString("file://" + other.path() + "/%FF%95.txt\r\nsftp://h/x.txt\r\nfile://" +
                                        other.path() + "/%E8%A1%A8%25%E3%82%BD.txt\r\n"));
  QDragEnterEvent rawEnter(QPoint(10, 10), Qt::CopyAction, &raw, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &rawEnter);
  QVERIFY(rawEnter.isAccepted());
  QDropEvent rawDrop(QPointF(10, 10), Qt::CopyAction, &raw, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &rawDrop);
  QCOMPARE(form->currentFolderText(), QString::fromStdString(other.path()));
  QStringList expected{QString::fromStdU16String(TextCodec::toDisplay(TextCodec::toInternal("\xFF\x95.txt"))),
                       QStringLiteral("表%ソ.txt")};
  QStringList checked = form->checkedNames();
  expected.sort();
  checked.sort();
  QCOMPARE(checked, expected);
}

void FormMainTest::closingAsksOnlyWithMsgExit() {
  struct Case {
    const char* name;
    const char* settings;
    std::vector<Answer> answers;
    std::size_t asked;
    bool closes;
  } const cases[] = {
      {"MsgExit off by default", "", {}, 0, true},
      {"MsgExit on, Cancel", "[Option]\nMsgExit=1\n", {Answer::Cancel}, 1, false},
      {"MsgExit on, OK", "[Option]\nMsgExit=1\n", {Answer::Ok}, 1, true},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.writeSettings(c.settings);
    auto form = f.make();
    form->resize(600, 500);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    f.answers = c.answers;
    const bool closed = form->close();
    QCOMPARE(closed, c.closes);
    QCOMPARE(f.prompts.size(), c.asked);
    if (c.asked) {
      QCOMPARE(f.prompts[0].text, QStringLiteral("終了しますか？"));
      QCOMPARE(f.prompts[0].question, QuestionKind::OkCancel);
      const QRect frame = form->frameGeometry();
      QCOMPARE(f.prompts[0].position.value(),
               QPoint(frame.left() + frame.width() / 2 - 93, frame.top() + frame.height() / 2 - 58));
    }
    // The settings are written on close only.
    IniFile ini(f.fs, f.settings());
    QCOMPARE(ini.valueExists("Window", "Width"), c.closes);
  }
}

void FormMainTest::layoutIsSavedAndRestored() {
  Fixture f;
  f.writeSettings(
      "[Window]\nTop=20\nLeft=30\nHeight=500\nWidth=700\nSplit1=260\n"
      "Colums1-1=111\nColums1-2=44\nColums1-3=77\nColums1-4=140\nColums2-1=150\n"
      "Split3=300\nColums3-1=90\nColums3-2=400\n[Filter]\nCount=2\nC-000=0\nN-000=Zero\nF-000=*.0\n"
      "C-001=1\nN-001=Text\nF-001=*.txt\nExt=1\n[Undo]\nx=1\n");
  {
    auto form = f.make();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(form->pos(), QPoint(30, 20));
    QCOMPARE(form->size(), QSize(700, 500));
    QCOMPARE(child<QSplitter>(form.get(), "Splitter1")->sizes().value(0), 260);
    auto* list1 = child<QTreeView>(form.get(), "ListView1")->header();
    QCOMPARE(list1->sectionSize(1), 111);
    QCOMPARE(list1->sectionSize(4), 140);
    QCOMPARE(child<QTreeView>(form.get(), "ListView2")->header()->sectionSize(1), 150);
    QCOMPARE(child<QTreeView>(form.get(), "ListView3")->header()->sectionSize(1), 90);
    auto* filter = child<QComboBox>(form.get(), "FilterComboBox");
    QCOMPARE(filter->count(), 2);
    QCOMPARE(filter->currentText(), QStringLiteral("Text"));
    QVERIFY(f.config.readFile("Ritoma.ini").find("[Undo]") == std::string::npos);

    form->showPage(TFormMain::PageConvert);
    QCOMPARE(child<QSplitter>(form.get(), "Splitter3")->sizes().value(0), 300);

    form->move(50, 60);
    form->resize(640, 480);
    child<QSplitter>(form.get(), "Splitter1")->setSizes({230, 400});
    list1->resizeSection(2, 55);
    form->close();
  }
  IniFile ini(f.fs, f.settings());
  QCOMPARE(ini.readInteger("Window", "Left", 0), 50);
  QCOMPARE(ini.readInteger("Window", "Top", 0), 60);
  QCOMPARE(ini.readInteger("Window", "Width", 0), 640);
  QCOMPARE(ini.readInteger("Window", "Height", 0), 480);
  QCOMPARE(ini.readInteger("Window", "Split1", 0), 230);
  QCOMPARE(ini.readInteger("Window", "Colums1-2", 0), 55);
  QCOMPARE(ini.readInteger("Window", "Colums1-4", 0), 140);
  QCOMPARE(ini.readInteger("Window", "Split3", 0), 300);
  QCOMPARE(ini.readInteger("Window", "Colums3-1", 0), 90);
  QCOMPARE(ini.readInteger("Filter", "Ext", 0), 1);
  QCOMPARE(ini.readString("Window", "Dir"), TextCodec::toInternal(f.program.path()));

  auto again = f.make();
  again->show();
  QVERIFY(QTest::qWaitForWindowExposed(again.get()));
  QCOMPARE(again->pos(), QPoint(50, 60));
  QCOMPARE(again->size(), QSize(640, 480));
  QCOMPARE(child<QSplitter>(again.get(), "Splitter1")->sizes().value(0), 230);
  QCOMPARE(child<QTreeView>(again.get(), "ListView1")->header()->sectionSize(2), 55);
}

void FormMainTest::renameSectionIsRewrittenKeepingWhatOthersOwn() {
  Fixture f;
  // No Header key; history entries beyond the count, in either letter case,
  // are left from an older file.
  f.writeSettings(
      "[Rename]\nWord=!_表\nForce=0\nCopy=1\nPath=/tmp/表\nDummy=1\nPathCount=2\n"
      "Path-0=/tmp/表\nPath-1=/var\nPath-2=/old\nPATH-25=/older\n"
      "[RepText]\nCountB=1\nB-0=表\nB-7=stale\n[MacroEx]\nCount=1\nDLLName-0=x.so\nCommand-0=X\n");
  {
    auto form = f.make();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(child<QLineEdit>(form.get(), "EditForce")->text(), QStringLiteral("@"));
    QCOMPARE(child<QLineEdit>(form.get(), "LabeledEditChg")->text(), QStringLiteral("!_表"));
    auto* paths = child<QComboBox>(form.get(), "ComboBoxCopyPath");
    QCOMPARE(paths->count(), 2);
    QCOMPARE(paths->itemText(0), QStringLiteral("/tmp/表"));
    QCOMPARE(paths->itemText(1), QStringLiteral("/var"));
    QVERIFY(form->close());
  }
  IniFile ini(f.fs, f.settings());
  QCOMPARE(ini.readString("Rename", "Word"), TextCodec::fromUtf8("!_表"));
  QCOMPARE(ini.readString("Rename", "Header"), std::string("@"));
  QVERIFY(!ini.readBool("Rename", "Force", true));
  QVERIFY(ini.readBool("Rename", "Copy", false));
  QCOMPARE(ini.readString("Rename", "Path"), TextCodec::fromUtf8("/tmp/表"));
  QVERIFY(ini.readBool("Rename", "Dummy", false));
  QCOMPARE(ini.readInteger("Rename", "PathCount", 0), 2);
  QCOMPARE(ini.readString("Rename", "PATH-0"), TextCodec::fromUtf8("/tmp/表"));
  QCOMPARE(ini.readString("Rename", "PATH-1"), std::string("/var"));
  QVERIFY(!ini.valueExists("Rename", "Path-2"));
  QVERIFY(!ini.valueExists("Rename", "Path-25"));
  // The histories are rewritten whole; the extension macros are kept as found.
  QCOMPARE(ini.readString("RepText", "B-0"), TextCodec::fromUtf8("表"));
  QVERIFY(!ini.valueExists("RepText", "B-7"));
  QCOMPARE(ini.readString("MacroEx", "DLLName-0"), std::string("x.so"));
}

// The road of page 属性: the dummy box, "ﾀﾞﾐｰﾌｧｲﾙ" with the dialog made at
// start-up, and a copy run that writes the dialog's text; [Dummy] keeps it.
void FormMainTest::dummyButtonOpensTheDialogAndACopyRunWritesDummies() {
  Fixture f;
  TempDir out;
  f.writeSettings("[Rename]\nCopy=1\nDummy=1\nPath=" + out.path() + "\n[Dummy]\nZeroByte=1\n");
  {
    auto form = f.make();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    auto* dialog = form->findChild<TFormDummy*>();
    QVERIFY(dialog);
    QVERIFY(dialog->isHidden());
    fillEditList(*form, {"表.txt"});
    QTest::mouseClick(child<QPushButton>(form.get(), "Button2CNV"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(form.get(), "Button3OK"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(form.get(), "Button2EXEC"), Qt::LeftButton);
    QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 属性"));
    QVERIFY(child<QCheckBox>(form.get(), "CheckBoxDummy")->isChecked());
    auto* button = child<QPushButton>(form.get(), "ButtonDummy");
    QVERIFY(button->isEnabled());
    bool shown = false;
    QTimer::singleShot(0, dialog, [&] {
      shown = dialog->isVisible() && dialog->isModal();
      child<QCheckBox>(dialog, "CheckBoxZeroByte")->click();
      child<TRichEditEx>(dialog, "RichEditExDummy")->setPlainText(QStringLiteral("ダミー\n"));
      dialog->reject();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(shown);
    QCOMPARE(form->findChild<TFormDummy*>(), dialog);
    QTest::mouseClick(child<QPushButton>(form.get(), "Button4EXEC"), Qt::LeftButton);
    QCOMPARE(out.names(), std::vector<std::string>{"表.txt"});
    QCOMPARE(out.readFile("表.txt"), std::string("ダミー\r\n"));
    QCOMPARE(f.program.readFile("表.txt"), std::string("x"));
    QVERIFY(form->close());
  }
  IniFile ini(f.fs, f.settings());
  QVERIFY(!ini.readBool("Dummy", "ZeroByte", true));
  QCOMPARE(ini.readString("Dummy", "Edit"), TextCodec::fromUtf8("ダミー\\n"));
}

void FormMainTest::unwritableSettingsAreReportedAndLoadingGoesOn() {
  Fixture f;
  f.writeSettings("[Undo]\nCount=1\n[Window]\nWidth=600\n[Option]\nMsgExit=1\n");
  f.fs.failMatching(FsOp::OpenWrite, "*", EACCES);
  f.fs.failMatching(FsOp::Replace, "*", EACCES);
  auto form = f.make();
  QCOMPARE(f.prompts.size(), std::size_t{1});
  QCOMPARE(f.prompts[0].type, QtUserInteraction::PromptType::Message);
  QCOMPARE(f.prompts[0].text, QString::fromStdString(f.settings()) + QStringLiteral(" に書き込めません"));
  // Loading went on after the refused erase.
  QCOMPARE(form->width(), 600);
  QVERIFY(form->options().msgExit);

  // Closing still closes after the save is refused.
  form->show();
  f.answers = {Answer::Ok};
  QVERIFY(form->close());
  QCOMPARE(f.prompts.back().text, QString::fromStdString(f.settings()) + QStringLiteral(" に書き込めません"));
}

void FormMainTest::handOffDuringAListingWaitsForIt() {
  Fixture f;
  f.writeSettings("[Option]\nGreet1=1\n");  // the listing shows progress and lets events run
  f.program.makeFolder("other");
  f.program.writeFile("other/ソ.txt", "s");
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  QStringList opened;
  connect(form.get(), &TFormMain::pathsOpened, [&] { opened << form->currentFolderText(); });
  const QString program = QString::fromStdString(f.program.path());
  const QString other = QString::fromStdString(f.program / "other");
  QTimer::singleShot(0, form.get(), [&] { form->openPaths({f.program / "other/ソ.txt"}); });
  form->openPaths({f.program / "表.txt"});
  QCOMPARE(opened.size(), 2);
  QVERIFY2(opened[0].startsWith(program) && !opened[0].startsWith(other), qPrintable(opened[0]));
  QVERIFY2(opened[1].startsWith(other), qPrintable(opened[1]));
  QCOMPARE(form->checkedNames(), QStringList{QStringLiteral("ソ.txt")});
}

void FormMainTest::progressWindowFollowsOpenStepClose() {
  Fixture f;
  auto form = f.make();
  form->move(100, 100);
  form->resize(600, 450);
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  GreetProgress& progress = form->progress();
  QVERIFY(!progress.isOpen());
  progress.open("ファイル取得中…", 3);
  QVERIFY(progress.isOpen());
  TFormGreet* window = progress.window();
  QCOMPARE(window->windowTitle(), QStringLiteral("ファイル取得中…"));
  QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
  QVERIFY(window->windowFlags() & Qt::Tool);
  QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
  QVERIFY((window->frameGeometry().center() - form->frameGeometry().center()).manhattanLength() <= 3);
  auto* bar = window->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  QCOMPARE(bar->size(), QSize(100, 9));
  QCOMPARE(bar->maximum(), 3);
  for (int i = 0; i < 5; ++i) progress.step();
  QCOMPARE(bar->value(), 3);  // stops at the maximum
  progress.setMaximum(10);
  progress.step();
  QCOMPARE(bar->value(), 4);

  // Ranges beyond int are scaled, the bar still ends full.
  progress.open("変換中…", 5'000'000'000LL);
  bar = progress.window()->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  QVERIFY(bar->maximum() > 0);
  progress.close();
  QVERIFY(!progress.isOpen());
  QVERIFY(!progress.window());
}

void FormMainTest::menuOffersItsEntriesAndTheAboutBox() {
  Fixture f;
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  QTest::mouseClick(child<QPushButton>(form.get(), "ButtonMenu"), Qt::LeftButton);
  QMenu* menu = form->mainMenu();
  QTRY_VERIFY(menu->isVisible());
  const QRect frame = form->frameGeometry();
  QCOMPARE(menu->pos(), QPoint(frame.left() + 90, frame.top() + frame.height() - 49));
  QStringList texts;
  for (QAction* action : menu->actions())
    if (action->isVisible()) texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
  QCOMPARE(texts, (QStringList{QStringLiteral("環境設定"), QStringLiteral("拡張ﾏｸﾛ設定"), QStringLiteral("-"),
                               QStringLiteral("ﾍﾙﾌﾟ"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報")}));
  menu->hide();

  QStringList seen;
  QTimer::singleShot(0, [&] {
    auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!about) return;
    seen << about->objectName() << about->windowTitle();
    for (const char* name : {"LabelTitle", "LabelVersion", "LabelCredit", "LabelHelp", "LabelLicense"})
      seen << about->findChild<QLabel*>(QString::fromLatin1(name))->text();
    // The link opens the program's own help and closes the box.
    QTest::mouseClick(about->findChild<QLabel*>(QStringLiteral("LabelHelp")), Qt::LeftButton);
  });
  menu->findChild<QAction*>(QStringLiteral("MenuAbout"))->trigger();
  QCOMPARE(seen, (QStringList{QStringLiteral("FormAbout"), QStringLiteral("バージョン情報"), QStringLiteral("Ritoma"),
                              QStringLiteral("～ Version 1.51 ～"), QStringLiteral("Ritoma project"),
                              QStringLiteral("Ritoma ﾍﾙﾌﾟ"), QStringLiteral("ライセンス: GPL-3.0-or-later")}));
  QVERIFY(!QApplication::activeModalWidget());
  HelpViewer* help = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* viewer = qobject_cast<HelpViewer*>(w); viewer && viewer->isVisible()) help = viewer;
  QVERIFY(help);
  QCOMPARE(help->browser()->source().fragment(), QString());
  help->close();
}

// The sample plug-in, copied beside the program: in service from [MacroEx],
// offered as "文字数(/xK)", its "+" inserting the whole macro; the dialog
// takes it out of service and "設定" puts it back; the section is written at
// close.
void FormMainTest::pluginsOfTheSettingsReachTheMacroDropDownAndTheDialog() {
  Fixture f;
  QVERIFY(QFile::copy(QStringLiteral(RITOMA_SAMPLE_PLUGIN), QString::fromStdString(f.program / "charcount.so")));
  f.writeSettings("[MacroEx]\nCount=2\nDLLName-0=charcount.so\nCommand-0=K\nDLLName-1=gone.so\nCommand-1=G\n");
  {
    auto form = f.make();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    auto* macros = child<QComboBox>(form.get(), "ComboBoxMacro");
    QCOMPARE(macros->count(), 10);
    QCOMPARE(macros->itemText(9), QStringLiteral("文字数(/xK)"));
    macros->setCurrentIndex(9);
    auto* field = child<QLineEdit>(form.get(), "LabeledEditF");
    field->clear();
    QTest::mouseClick(child<QPushButton>(form.get(), "ButtonMacroEditF2"), Qt::LeftButton);
    QCOMPARE(field->text(), QStringLiteral("/xK<3>"));

    auto* menuMacroEx = form->findChild<QAction*>(QStringLiteral("MenuMacroEx"));
    QVERIFY(menuMacroEx->isEnabled());
    QStringList seen;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      seen << dialog->windowTitle() << QString::number(macros->count());
      auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("ListViewMacroEx"));
      seen << list->topLevelItem(0)->text(1);
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ButtonOk")), Qt::LeftButton);
    });
    menuMacroEx->trigger();
    QCOMPARE(seen, (QStringList{QStringLiteral("拡張ﾏｸﾛ設定"), QStringLiteral("9"), QStringLiteral("文字数(/xK)")}));
    QCOMPARE(macros->count(), 10);
    QVERIFY(form->close());
  }
  IniFile ini(f.fs, f.settings());
  QCOMPARE(ini.readInteger("MacroEx", "Count", 0), 1);
  QCOMPARE(ini.readString("MacroEx", "DLLName-0"), std::string("charcount.so"));
  QCOMPARE(ini.readString("MacroEx", "Command-0"), std::string("K"));
}

void FormMainTest::helpKeyOpensThePageContext() {
  Fixture f;
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  const std::pair<TFormMain::Page, int> pages[] = {{TFormMain::PageSelect, 302},
                                                   {TFormMain::PageEdit, 303},
                                                   {TFormMain::PageConvert, 304},
                                                   {TFormMain::PageAttribute, 305}};
  for (const auto& [page, context] : pages) {
    form->showPage(page);
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_F1);
    auto* browser = QApplication::topLevelWidgets().isEmpty() ? nullptr : [] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = w->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser")); b && w->isVisible()) return b;
      return static_cast<QTextBrowser*>(nullptr);
    }();
    QVERIFY(browser);
    QCOMPARE(browser->source().fragment(), HelpViewer::anchorFor(context));
    // The page has a section with that anchor.
    QVERIFY(browser->toHtml().contains(QStringLiteral("name=\"ctx%1\"").arg(context)));
    browser->window()->close();
  }
}

// Every page, tool tab and dialog opens its own section of the help: the
// pages and tabs through the window's F1 (a click on a tab gives that tab's
// help, the sample box above the tabs the page's), each dialog through its
// own. The helper answers only when the help has a section with the anchor.
void FormMainTest::helpOfEveryPageTabAndDialog() {
  Fixture f;
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowActive(form.get()));
  fillEditList(*form, {"表.txt"});
  QTest::mouseClick(child<QPushButton>(form.get(), "Button2CNV"), Qt::LeftButton);
  auto* tabs = child<QTabWidget>(form.get(), "PageControl3");

  struct Case {
    const char* name;
    std::function<QWidget*()> prepare;  // the widget whose F1 fires
    int context;
  };
  PlanList plan;
  PluginHost plugins(f.fs, {});
  IniFile ini(f.fs, f.settings());
  DummySettings dummy;
  ArchiveLibraries archives(f.fs);
  const auto page = [&](TFormMain::Page p) {
    return [&, p]() -> QWidget* {
      form->showPage(p);
      return form.get();
    };
  };
  const auto tabClick = [&](int index) {
    return [&, index]() -> QWidget* {
      form->showPage(TFormMain::PageConvert);
      QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());
      return form.get();
    };
  };
  const auto focused = [&](const char* control) {
    return [&, control]() -> QWidget* {
      form->showPage(TFormMain::PageConvert);
      auto* widget = child<QWidget>(form.get(), control);
      tabs->setCurrentWidget(tabs->widget(0)->isAncestorOf(widget)   ? tabs->widget(0)
                             : tabs->widget(1)->isAncestorOf(widget) ? tabs->widget(1)
                             : tabs->widget(2)->isAncestorOf(widget) ? tabs->widget(2)
                                                                     : tabs->currentWidget());
      widget->setFocus();
      return form.get();
    };
  };
  std::vector<std::unique_ptr<QWidget>> dialogs;
  const auto dialog = [&](std::function<QWidget*()> make) {
    return [&, make]() -> QWidget* {
      dialogs.emplace_back(make());
      return dialogs.back().get();
    };
  };
  std::vector<Case> cases = {
      {"page 選択", page(TFormMain::PageSelect), 302},
      {"page 編集", page(TFormMain::PageEdit), 303},
      {"page 変換", focused("ListView3"), 304},
      {"page 属性", page(TFormMain::PageAttribute), 305},
      {"tab 文字列置換 clicked", tabClick(1), 502},
      {"tab 文字種別変換 clicked", tabClick(2), 503},
      {"tab ﾌｧｲﾙ名変換 clicked", tabClick(0), 501},
      {"template field", focused("LabeledEditF"), 501},
      {"search text", focused("ComboBoxRep1"), 502},
      {"conversion choice", focused("TreeViewChg"), 503},
      {"sample box", focused("EditSAMPLE"), 304},
      {"filter pop-up", dialog([&] { return new TFormFilter(0, form.get()); }), 302},
      {"attribute dialog", dialog([&] { return new TFormAttr(plan, {}, form.get()); }), 305},
      {"time dialog", dialog([&] { return new TFormDateTime(plan, 3, {}, form.get()); }), 305},
      {"dummy-file dialog", dialog([&] { return new TFormDummy(dummy, archives, form.get()); }), 305},
      {"macro question", dialog([&] { return new TFormMacroQ(QStringLiteral("a"), QStringLiteral("b"), form.get()); }),
       501},
      {"macro register", dialog([&] { return new TFormMacroR(QStringLiteral("登録"), {}, form->interaction(), form.get()); }),
       501},
      {"replacement register",
       dialog([&] { return new TFormRepR(QStringLiteral("登録"), {}, form->interaction(), form.get()); }), 502},
      {"extension macros", dialog([&] { return new TFormMacroEx(plugins, ini, form->interaction(), {}, form.get()); }),
       207},
      {"about box", dialog([&] { return new TFormAbout(form.get()); }), 101},
  };
  for (int macroPage = 0; macroPage < MacroDefaults::PageCount; ++macroPage)
    cases.push_back({"macro options page", [&, macroPage]() -> QWidget* {
                       form->conversionPage().formMacro().showPage(macroPage, QStringLiteral("ﾏｸﾛｵﾌﾟｼｮﾝ"));
                       return &form->conversionPage().formMacro();
                     },
                     601 + macroPage});
  for (const Case& c : cases) {
    QWidget* widget = c.prepare();
    QVERIFY2(helpAnchorOfF1(widget) == HelpViewer::anchorFor(c.context), c.name);
  }
}

// The help window belongs to no other window: a modal dialog opened over
// the main window blocks the main window, never the help.
void FormMainTest::helpStaysUsableBesideAModalDialog() {
  Fixture f;
  auto form = f.make();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  HelpViewer* help = HelpViewer::showContext(303, form.get());
  QVERIFY(QTest::qWaitForWindowExposed(help));
  QVERIFY(!help->parentWidget());

  struct BlockWatch : QObject {
    QSet<QObject*> blocked;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::WindowBlocked) blocked.insert(watched);
      return false;
    }
  } watch;
  form->installEventFilter(&watch);
  help->installEventFilter(&watch);
  bool helpShownDuringDialog = false;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    // F1 inside the dialog reaches the help, which is not blocked.
    helpShownDuringDialog = helpAnchorOfF1(modal) == HelpViewer::anchorFor(305);
    modal->close();
  });
  form->findChild<TFormDummy*>()->exec();
  QVERIFY(helpShownDuringDialog);
  QVERIFY(watch.blocked.contains(form.get()));
  QVERIFY(!watch.blocked.contains(help));
  if (HelpViewer* open = HelpViewer::showContext(0)) open->close();
}

// Every section's heading, the last one's too, stands at the top of the
// help window when its context is opened.
void FormMainTest::everySectionScrollsToTheTop() {
  HelpViewer* help = HelpViewer::showContext(101);
  QVERIFY(QTest::qWaitForWindowExposed(help));
  QTextBrowser* browser = help->browser();
  const auto anchorTop = [&](const QString& name) -> int {
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
      for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().anchorNames().contains(name))
          return int(browser->document()->documentLayout()->blockBoundingRect(block).top());
    return -1;
  };
  for (int context : {101, 303, 503, 603, 609}) {
    HelpViewer::showContext(context);
    const int top = anchorTop(HelpViewer::anchorFor(context));
    QVERIFY2(top >= 0, qPrintable(HelpViewer::anchorFor(context)));
    QVERIFY2(std::abs(browser->verticalScrollBar()->value() - top) <= 2, qPrintable(HelpViewer::anchorFor(context)));
  }
  help->close();
}

void FormMainTest::exceptionInHandlerIsReportedAndLoopGoesOn() {
  auto* app = qobject_cast<RitomaApplication*>(QCoreApplication::instance());
  QVERIFY(app);
  QStringList reported;
  app->setErrorReporter([&](const QString& message) { reported << message; });
  QPushButton button;
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&] {
    if (++clicks == 1) throw std::runtime_error("壊れた操作");
  });
  button.show();
  QVERIFY(QTest::qWaitForWindowExposed(&button));
  QTest::mouseClick(&button, Qt::LeftButton);
  QCOMPARE(reported, QStringList{QStringLiteral("壊れた操作")});
  QTest::mouseClick(&button, Qt::LeftButton);
  QCOMPARE(clicks, 2);
  app->setErrorReporter({});
}

int main(int argc, char** argv) {
  RitomaApplication app(argc, argv);
  FormMainTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "FormMainTest.moc"
