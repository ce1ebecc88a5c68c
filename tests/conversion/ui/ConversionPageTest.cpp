#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <stdexcept>

#include "conversion/ui/ConversionListModel.h"
#include "conversion/ui/ConversionListView.h"
#include "conversion/ui/RadioGroup.h"
#include "conversion/ui/TConversionPage.h"
#include "conversion/ui/TFormMacro.h"
#include "platform/PosixFileSystem.h"
#include "settings/IniFile.h"
#include "shell/ui/Fonts.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

using namespace ritoma;

namespace {

std::string J(const char* utf8) { return TextCodec::fromUtf8(utf8); }

// Records what the page tells and asks, and where a question box would sit;
// answers every question with `answer` and cancels every input.
class RecordingInteraction : public QtUserInteraction {
public:
  std::vector<std::string> told;
  std::vector<std::string> asked;
  std::vector<std::optional<QPoint>> askedAt;
  Answer answer = Answer::Yes;

  RecordingInteraction() {
    setScript([this](Prompt& p) {
      switch (p.type) {
        case PromptType::Message: told.push_back(p.text.toStdString()); return Answer::Ok;
        case PromptType::Question:
          asked.push_back(p.text.toStdString());
          askedAt.push_back(p.position);
          return answer;
        case PromptType::Input: break;
      }
      return Answer::Cancel;
    });
  }
};

// Edit rows whose names hold 表 and ソ (trail byte 0x5C).
struct Fixture {
  TempDir dir;
  PosixFileSystem fs;
  EditList edit;
  RecordingInteraction interaction;
  NullProgress progress;
  std::unique_ptr<TConversionPage> page;

  explicit Fixture(std::vector<std::string> names = {J("表.txt"), "b.txt", J("ソ.dat"), "d.txt"},
                   const std::string& settings = {}) {
    if (!settings.empty()) dir.writeFile("Ritoma.ini", settings);
    for (const std::string& name : names) {
      EditRow row;
      row.infoText = "2003/04/05 06:07:08 1,234";
      row.names = {name};
      edit.rows.push_back(row);
    }
    edit.sizeWidth = 5;
    page = std::make_unique<TConversionPage>(fs, iniPath(), edit, interaction, progress);
    const IniFile ini(fs, iniPath());
    page->loadLayout(ini);
    page->loadMacros(ini);
    page->loadHistories(ini);
    page->loadReplacements(ini);
    page->resize(800, 600);
    page->open(ConversionStage::ForStageButton(edit), TemplateContext{});
  }
  std::string iniPath() const { return dir / "Ritoma.ini"; }

  template <typename T>
  T* child(const char* name) const {
    T* found = page->findChild<T*>(QString::fromLatin1(name));
    if (!found) throw std::runtime_error(std::string("no control ") + name);
    return found;
  }
  QPushButton* cnv() const { return child<QPushButton>("Button3CNV"); }
  ConversionListView* list() const { return child<ConversionListView>("ListView3"); }
  void tab(int index) const { child<QTabWidget>("PageControl3")->setCurrentIndex(index); }
  void select(std::vector<int> rows) const {
    QAbstractItemView* view = list();
    view->clearSelection();
    for (int r : rows)
      view->selectionModel()->select(view->model()->index(r, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  void trigger(const char* action) const { child<QAction>(action)->trigger(); }
  std::vector<std::string> results() const {
    std::vector<std::string> out;
    for (const ConversionRow& r : page->list().rows) out.push_back(r.result);
    return out;
  }
  void showActive() const {
    page->show();
    page->activateWindow();
    if (!QTest::qWaitForWindowActive(page.get())) throw std::runtime_error("page not active");
  }
  void clickRow(int row) const {
    QTreeView* view = list();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(row, 1)).center());
  }
  QString sample() const { return child<QLineEdit>("EditSAMPLE")->text(); }
};

QPoint rowCentre(QAbstractItemView* view, int row, int column) {
  return view->visualRect(view->model()->index(row, column)).center();
}

}  // namespace

class ConversionPageTest : public QObject {
  Q_OBJECT

private slots:
  void templateAppliesToCheckedRowsOnly() {
    Fixture f;
    f.select({0, 2});
    f.trigger("MenuUncheck3");
    f.select({0});
    f.child<QLineEdit>("LabeledEditF")->setText("/n<1,1>");
    QCOMPARE(f.cnv()->text(), QStringLiteral("← 確認"));
    f.cnv()->click();
    QCOMPARE(f.sample(), QStringLiteral("1.txt"));
    QCOMPARE(f.cnv()->text(), QStringLiteral("変換 →"));
    f.cnv()->click();
    QCOMPARE(f.results(), (std::vector<std::string>{"", "1.txt", "", "2.txt"}));
    QCOMPARE(f.cnv()->text(), QStringLiteral("← 確認"));
    QCOMPARE(f.sample(), QStringLiteral("表.txt"));
  }

  // The composition follows the kana group in the tree. It changes the
  // whole name, which the target buttons show while it is chosen, and
  // composes the checked rows; its heading converts nothing.
  void composeNodeComposesWholeNames() {
    Fixture f({J("か\u3099表.テ\u3099ータ"), J("ソ.txt")});
    f.tab(2);
    f.select({0});
    auto* tree = f.child<QTreeWidget>("TreeViewChg");
    QTreeWidgetItem* heading = tree->topLevelItem(tree->topLevelItemCount() - 1);
    QCOMPARE(heading->text(0), QStringLiteral("[濁点/結合文字]"));
    QCOMPARE(heading->childCount(), 1);
    tree->setCurrentItem(heading);
    QVERIFY(!f.cnv()->isEnabled());
    tree->setCurrentItem(heading->child(0));
    QCOMPARE(heading->child(0)->text(0), QStringLiteral("分離 ⇒ 合成 (NFC)"));
    QVERIFY(f.cnv()->isEnabled());
    QVERIFY(f.child<QRadioButton>("RadioButtonChg3")->isChecked());
    for (const char* name : {"RadioButtonChg1", "RadioButtonChg2", "RadioButtonChg3"})
      QVERIFY2(!f.child<QRadioButton>(name)->isEnabled(), name);
    f.cnv()->click();
    QCOMPARE(f.sample(), QStringLiteral("が表.データ"));
    f.cnv()->click();
    QCOMPARE(f.results(), (std::vector<std::string>{J("が表.データ"), J("ソ.txt")}));
    // A case operation offers the target again.
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    for (const char* name : {"RadioButtonChg1", "RadioButtonChg2", "RadioButtonChg3"})
      QVERIFY2(f.child<QRadioButton>(name)->isEnabled(), name);
  }

  void replacementRecomputesFromSourceAndChainsAfterSave() {
    Fixture f;
    f.showActive();
    f.child<QLineEdit>("LabeledEditF")->setText("/fb");
    f.cnv()->click();
    f.cnv()->click();
    QCOMPARE(f.page->list().rows[1].result, std::string("bb.txt"));

    f.tab(TConversionPage::ToolReplace);
    f.child<QComboBox>("ComboBoxRep1")->setEditText("b");
    f.child<QComboBox>("ComboBoxRep2")->setEditText("X");
    f.clickRow(1);
    QCOMPARE(f.sample(), QStringLiteral("b.txt"));
    f.cnv()->click();
    QCOMPARE(f.sample(), QStringLiteral("X.txt"));
    f.cnv()->click();
    QCOMPARE(f.results(), (std::vector<std::string>{J("表.txt"), "X.txt", J("ソ.dat"), "d.txt"}));
    QCOMPARE(f.page->history().search.entries, std::vector<std::string>{"b"});
    QCOMPARE(f.page->history().replacement.entries, std::vector<std::string>{"X"});

    int next = 0;
    int left = 0;
    QObject::connect(f.page.get(), &TConversionPage::stageSaved, [&](int n) { next = n; });
    QObject::connect(f.page.get(), &TConversionPage::leaveRequested, [&] { ++left; });
    f.child<QPushButton>("Button3OK")->click();
    QCOMPARE(next, 2);
    QCOMPARE(left, 1);
    QCOMPARE(f.edit.caption(2), J("→変換1"));

    // The next stage starts from the saved names.
    f.page->open(ConversionStage::ForStageButton(f.edit), TemplateContext{});
    f.child<QComboBox>("ComboBoxRep1")->setEditText("X");
    f.child<QComboBox>("ComboBoxRep2")->setEditText("Y");
    f.clickRow(1);
    f.cnv()->click();
    f.cnv()->click();
    QCOMPARE(f.page->list().rows[1].result, std::string("Y.txt"));
  }

  void enterOnFocusedButtonPressesThatButton() {
    Fixture f;
    f.showActive();
    f.child<QLineEdit>("LabeledEditF")->setText("/n<1,1>");
    int saved = 0;
    int left = 0;
    QObject::connect(f.page.get(), &TConversionPage::stageSaved, [&](int) { ++saved; });
    QObject::connect(f.page.get(), &TConversionPage::leaveRequested, [&] { ++left; });
    auto* cancel = f.child<QPushButton>("Button3CANCEL");
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    QCOMPARE(left, 1);
    QCOMPARE(f.cnv()->text(), QStringLiteral("← 確認"));
    QCOMPARE(f.sample(), QStringLiteral("表.txt"));
    auto* ok = f.child<QPushButton>("Button3OK");
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Enter);
    QCOMPARE(saved, 1);
    QCOMPARE(f.cnv()->text(), QStringLiteral("← 確認"));
    // Elsewhere Enter still previews.
    f.child<QLineEdit>("LabeledEditF")->setFocus();
    QTest::keyClick(f.child<QLineEdit>("LabeledEditF"), Qt::Key_Return);
    QCOMPARE(f.cnv()->text(), QStringLiteral("変換 →"));
  }

  void checkImageTogglesOncePerPressAndOnlyWithASelection() {
    Fixture f;
    f.showActive();
    auto checked = [&](int row) { return f.page->list().rows[row].checked; };
    f.list()->clearSelection();
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.list()->checkRect(1).center());
    QVERIFY(checked(1));  // no row was selected: the press only selects
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.list()->checkRect(1).center());
    QVERIFY(!checked(1));
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.list()->checkRect(2).center());
    QVERIFY(!checked(2));
    QTest::mouseClick(f.list()->viewport(), Qt::LeftButton, {}, f.list()->checkRect(2).center());
    QVERIFY(checked(2));
  }

  void saveWithoutConversionCopiesSources() {
    Fixture f;
    f.child<QPushButton>("Button3OK")->click();
    QCOMPARE(f.edit.columnCount(), std::size_t(3));
    for (std::size_t i = 0; i < f.edit.rows.size(); ++i) QCOMPARE(f.edit.nameAt(i, 2), f.edit.nameAt(i, 1));
  }

  void directEditOfUncheckedRow() {
    Fixture f;
    f.select({2});
    f.trigger("MenuUncheck3");
    QTest::mouseDClick(f.list()->viewport(), Qt::LeftButton, {}, rowCentre(f.list(), 2, 1));
    QVERIFY(f.page->inDirectEdit());
    auto* field = f.child<QLineEdit>("LabeledEditDirect");
    QCOMPARE(field->text(), QStringLiteral("ソ.dat"));
    QVERIFY(!f.list()->isEnabled());
    QVERIFY(f.child<QTabWidget>("PageControl3")->isHidden());
    QVERIFY(f.cnv()->isHidden());
    field->setText(QStringLiteral("表ソ.dat"));
    f.child<QPushButton>("ButtonDirectOK")->click();
    QVERIFY(!f.page->inDirectEdit());
    QVERIFY(f.list()->isEnabled());
    QVERIFY(!f.cnv()->isHidden());
    QVERIFY(!f.page->list().rows[2].checked);
    f.child<QPushButton>("Button3OK")->click();
    QCOMPARE(f.edit.nameAt(2, 2), J("表ソ.dat"));
  }

  void skipAndCountChangedAfterPreviewAreUsed_data() {
    QTest::addColumn<int>("skip");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("result");
    QTest::newRow("skip 1") << 1 << 0 << QStringLiteral("abcaXc表.txt");
    QTest::newRow("count 1") << 0 << 1 << QStringLiteral("aXcabc表.txt");
  }
  void skipAndCountChangedAfterPreviewAreUsed() {
    QFETCH(int, skip);
    QFETCH(int, count);
    QFETCH(QString, result);
    Fixture f({J("abcabc表.txt")});
    f.showActive();
    f.tab(TConversionPage::ToolReplace);
    f.child<QComboBox>("ComboBoxRep1")->setEditText("b");
    f.child<QComboBox>("ComboBoxRep2")->setEditText("X");
    f.cnv()->click();
    QCOMPARE(f.sample(), QStringLiteral("aXcaXc表.txt"));
    // Entering the skip and count fields does not ask for a new preview.
    f.child<QLineEdit>("EditSkip")->setFocus();
    f.child<QSpinBox>("UpDownSkip")->setValue(skip);
    f.child<QLineEdit>("EditRep")->setFocus();
    f.child<QSpinBox>("UpDownRep")->setValue(count);
    QCOMPARE(f.cnv()->text(), QStringLiteral("変換 →"));
    f.cnv()->click();
    QCOMPARE(QString::fromStdU16String(TextCodec::toDisplay(f.page->list().rows[0].result)), result);
  }

  void focusOnToolControlAsksForNewPreview() {
    Fixture f;
    f.showActive();
    f.child<QLineEdit>("LabeledEditF")->setText("/f");
    f.cnv()->click();
    QCOMPARE(f.cnv()->text(), QStringLiteral("変換 →"));
    f.child<QLineEdit>("EditE")->setEnabled(true);
    f.child<QCheckBox>("CheckBoxE")->setFocus();
    QCOMPARE(f.cnv()->text(), QStringLiteral("← 確認"));
  }

  void windowComingBackKeepsAFinishedPreview() {
    Fixture f;
    f.showActive();
    auto* field = f.child<QLineEdit>("LabeledEditF");
    field->setFocus();
    QTest::keyClicks(field, "/f");
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(f.cnv()->text(), QStringLiteral("変換 →"));
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    f.showActive();
    QCOMPARE(QApplication::focusWidget(), field);
    QCOMPARE(f.cnv()->text(), QStringLiteral("変換 →"));
    QTest::keyClick(field, Qt::Key_Tab);
    QCOMPARE(f.cnv()->text(), QStringLiteral("← 確認"));
  }

  void macroInsertionReplacesSelectionAndLeavesClipboard() {
    Fixture f;
    auto* clip = new QMimeData;
    clip->setText("keep");
    clip->setData("application/x-ritoma-test", "other format");
    QApplication::clipboard()->setMimeData(clip);

    auto* edit = f.child<QLineEdit>("LabeledEditF");
    edit->setText(QStringLiteral("ab表def"));
    edit->setSelection(2, 2);
    f.child<QComboBox>("ComboBoxMacro")->setCurrentIndex(2);
    f.child<QPushButton>("ButtonMacroEditF1")->click();
    QCOMPARE(edit->text(), QStringLiteral("ab/nef"));
    QCOMPARE(edit->cursorPosition(), 4);

    const QMimeData* after = QApplication::clipboard()->mimeData();
    QCOMPARE(after->text(), QStringLiteral("keep"));
    QCOMPARE(after->data("application/x-ritoma-test"), QByteArray("other format"));
  }

  void macroButtonPressReplacesTheSelectedText() {
    Fixture f;
    f.showActive();
    f.child<QComboBox>("ComboBoxMacro")->setCurrentIndex(2);
    auto* field = f.child<QLineEdit>("LabeledEditF");
    field->setFocus();
    QTest::keyClicks(field, "AB_/f");
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(field, Qt::Key_Right, Qt::ShiftModifier);
    auto* insert = f.child<QPushButton>("ButtonMacroEditF1");
    QTest::mouseClick(insert, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), insert);  // the press took the focus and the selection
    QCOMPARE(field->text(), QStringLiteral("/n_/f"));
    // The kept selection is used once: the next press inserts at the caret.
    QTest::mouseClick(f.child<QPushButton>("ButtonMacroEditF1"), Qt::LeftButton);
    QCOMPARE(field->text(), QStringLiteral("/n/n_/f"));
  }

  void macroButtonWithOptionsInsertsDialogText() {
    Fixture f;
    f.child<QComboBox>("ComboBoxMacro")->setCurrentIndex(3);
    QTimer::singleShot(0, [&] { f.page->formMacro().findChild<QPushButton*>("ButtonOK")->click(); });
    f.child<QPushButton>("ButtonMacroEditF2")->click();
    QCOMPARE(f.child<QLineEdit>("LabeledEditF")->text(), QStringLiteral("/K<0,-1,1>"));
    QCOMPARE(f.page->formMacro().windowTitle(), QStringLiteral("親ｷｰ連番(/K)"));
  }

  void extensionButtonsFollowCheckBox() {
    Fixture f;
    auto* e1 = f.child<QPushButton>("ButtonMacroEditE1");
    auto* e2 = f.child<QPushButton>("ButtonMacroEditE2");
    auto* f1 = f.child<QPushButton>("ButtonMacroEditF1");
    auto* box = f.child<QCheckBox>("CheckBoxE");
    QVERIFY(!f1->isEnabled());
    f.child<QComboBox>("ComboBoxMacro")->setCurrentIndex(0);
    QVERIFY(f1->isEnabled());
    QVERIFY(!e1->isEnabled() && !e2->isEnabled());
    QVERIFY(!f.child<QLineEdit>("EditE")->isEnabled());
    box->setChecked(true);
    QVERIFY(e1->isEnabled() && e2->isEnabled());
    box->setChecked(false);
    QVERIFY(!e1->isEnabled() && !e2->isEnabled());
  }

  void tabChangeKeepsPreviewedState() {
    Fixture f;
    f.child<QLineEdit>("LabeledEditF")->setText("/n");
    f.cnv()->click();
    f.tab(TConversionPage::ToolReplace);
    QCOMPARE(f.cnv()->text(), QStringLiteral("変換 →"));
    f.child<QComboBox>("ComboBoxRep1")->setEditText("b");
    f.child<QComboBox>("ComboBoxRep2")->setEditText("X");
    f.cnv()->click();
    QCOMPARE(f.results(), (std::vector<std::string>{J("表.txt"), "X.txt", J("ソ.dat"), "d.txt"}));

    // After a template pass no templates are compiled: "変換 →" reached on
    // another tab gives every checked row an empty result on this one.
    f.tab(TConversionPage::ToolTemplate);
    f.cnv()->click();
    f.cnv()->click();
    QCOMPARE(f.results()[1], std::string("002.txt"));
    f.tab(TConversionPage::ToolReplace);
    f.cnv()->click();
    f.tab(TConversionPage::ToolTemplate);
    f.cnv()->click();
    QCOMPARE(f.results(), (std::vector<std::string>{"", "", "", ""}));
  }

  void templateErrorLeavesPageIdle() {
    Fixture f;
    f.child<QLineEdit>("LabeledEditF")->setText("/n<a>");
    f.cnv()->click();
    QCOMPARE(f.cnv()->text(), QStringLiteral("← 確認"));
    QCOMPARE(f.sample(), QStringLiteral("表.txt"));
    QCOMPARE(f.interaction.told.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(f.interaction.told[0]), QStringLiteral("'a' は整数ではありません"));
  }

  void listClicksChecksKeysAndHeaders() {
    Fixture f;
    f.showActive();
    ConversionListView* view = f.list();
    f.select({1, 2});
    f.trigger("MenuKeySet3");
    QVERIFY(f.page->list().rows[1].key && f.page->list().rows[2].key);
    QVERIFY(view->model()->index(1, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey() !=
            ConversionListModel::rowIcon(0, false).cacheKey());
    // The icon with its key mark shows whole beside the check image.
    QVERIFY(view->visualRect(view->model()->index(1, ConversionListModel::ColumnCheck)).contains(view->iconRect(1)));
    // An icon press toggles the keys of the selected rows: cleared, since
    // the first selected row has one; on an unselected row it selects that
    // row first.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->iconRect(1).center());
    QVERIFY(!f.page->list().rows[1].key && !f.page->list().rows[2].key);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->iconRect(0).center());
    QCOMPARE(view->selectedRows(), std::vector<std::size_t>{0});
    QVERIFY(f.page->list().rows[0].key);

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->checkRect(3).center());
    QVERIFY(!f.page->list().rows[3].checked);

    QHeaderView* header = view->header();
    emit header->sectionClicked(ConversionListModel::ColumnCheck);
    for (const ConversionRow& r : f.page->list().rows) QVERIFY(!r.checked);
    emit header->sectionClicked(ConversionListModel::ColumnCheck);
    for (const ConversionRow& r : f.page->list().rows) QVERIFY(r.checked);
    emit header->sectionClicked(ConversionListModel::ColumnSource);
    for (const ConversionRow& r : f.page->list().rows) QVERIFY(!r.key);
  }

  void questionsAnsweredThenCancelled() {
    Fixture f({J("表.txt")}, "[Macro]\nCount=1\nC-000=q\nF-000=abc/?def/?\nE-000=\n");
    std::vector<std::pair<std::string, std::string>> asked;
    std::vector<std::optional<std::string>> answers = {std::string("x"), std::nullopt};
    f.page->setQuestionAnswerer([&](std::string_view before, std::string_view after) {
      asked.emplace_back(before, after);
      return answers[asked.size() - 1];
    });
    f.child<QCheckBox>("CheckBoxE")->setChecked(true);
    f.child<QLineEdit>("EditE")->setText("old");
    auto* macros = f.child<QTreeWidget>("ListViewMacro");
    f.tab(TConversionPage::ToolTemplate);
    f.showActive();
    macros->setCurrentItem(macros->topLevelItem(0));
    QTest::mouseDClick(macros->viewport(), Qt::LeftButton, {},
                       macros->visualItemRect(macros->topLevelItem(0)).center());
    QCOMPARE(f.child<QLineEdit>("LabeledEditF")->text(), QStringLiteral("abcxdef"));
    QCOMPARE(asked.size(), std::size_t(2));
    QCOMPARE(asked[1].first, std::string("abcxdef"));
    QVERIFY(!f.child<QCheckBox>("CheckBoxE")->isChecked());
    QCOMPARE(f.child<QLineEdit>("EditE")->text(), QString());
  }

  void dragFirstOfThreeOntoThird() {
    Fixture f({J("表.txt")},
              "[Macro]\nCount=3\nC-000=one\nF-000=/f\nE-000=\nC-001=two\nF-001=\xe3\x82\xbd\nE-001=e\n"
              "C-002=three\nF-002=/n\nE-002=\n");
    f.showActive();
    auto* macros = f.child<QTreeWidget>("ListViewMacro");
    macros->setCurrentItem(macros->topLevelItem(0));
    QMimeData* data = macros->model()->mimeData(macros->selectionModel()->selectedIndexes());
    const QPoint target = macros->visualItemRect(macros->topLevelItem(2)).center();
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(target, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(macros->viewport(), &enter);
    QDragMoveEvent move(target, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(macros->viewport(), &move);
    QDropEvent drop(target, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(macros->viewport(), &drop);
    delete data;

    QStringList names;
    for (int i = 0; i < macros->topLevelItemCount(); ++i) names << macros->topLevelItem(i)->text(0);
    QCOMPARE(names, (QStringList{"two", "three", "one"}));
    QCOMPARE(macros->currentItem(), macros->topLevelItem(2));
    QVERIFY(macros->topLevelItem(2)->isSelected());
    const IniFile ini(f.fs, f.iniPath());
    QCOMPARE(ini.readString("Macro", "C-000"), std::string("two"));
    QCOMPARE(ini.readString("Macro", "F-000"), J("ソ"));
    QCOMPARE(ini.readString("Macro", "C-002"), std::string("one"));
    QCOMPARE(ini.readInteger("Macro", "Count", 0), 3);
  }

  void registerDialogWritesSectionAtOnce() {
    Fixture f({J("表.txt")}, "[Macro]\nCount=1\nC-000=one\nF-000=/f\nE-000=\n");
    f.showActive();
    auto* button = f.child<QPushButton>("ButtonMacroR");
    auto* macros = f.child<QTreeWidget>("ListViewMacro");
    // Runs `act` on the register dialog once it is shown.
    auto onDialog = [](std::function<void(QWidget*)> act) {
      QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
    };
    auto count = [&] { return IniFile(f.fs, f.iniPath()).readInteger("Macro", "Count", -1); };

    // All three boxes empty: nothing registered, the section still written.
    f.dir.writeFile("Ritoma.ini", "[Macro]\nCount=1\nC-000=one\nF-000=/f\nE-000=\nC-001=stale\n");
    f.child<QLineEdit>("LabeledEditF")->setFocus();
    QCOMPARE(button->text(), QStringLiteral("登録"));
    onDialog([](QWidget* d) { d->findChild<QPushButton*>("ButtonUpdate")->click(); });
    button->click();
    QCOMPARE(macros->topLevelItemCount(), 1);
    QVERIFY(!IniFile(f.fs, f.iniPath()).valueExists("Macro", "C-001"));

    f.child<QLineEdit>("LabeledEditF")->setText(QStringLiteral("表/n"));
    f.showActive();
    onDialog([](QWidget* d) {
      QCOMPARE(d->windowTitle(), QStringLiteral("ﾏｸﾛ登録"));
      QCOMPARE(d->findChild<QLineEdit*>("LabeledEditF")->text(), QStringLiteral("表/n"));
      d->findChild<QLineEdit*>("LabeledEditR")->setText(QStringLiteral("ソ"));
      d->findChild<QPushButton*>("ButtonUpdate")->click();
    });
    button->click();
    QCOMPARE(count(), 2);
    QCOMPARE(IniFile(f.fs, f.iniPath()).readString("Macro", "C-001"), J("ソ"));

    // On the list the button edits the selected entry; deleting answered
    // No closes the dialog and keeps it.
    f.showActive();
    macros->setFocus();
    QCOMPARE(button->text(), QStringLiteral("更新"));
    QVERIFY(!button->isEnabled());
    macros->setCurrentItem(macros->topLevelItem(0));
    QVERIFY(button->isEnabled());
    // The question sits at the dialog's own position; the template boxes
    // use the lists' fixed-pitch face.
    f.interaction.answer = Answer::No;
    QPoint dialogAt;
    QStringList families;
    onDialog([&](QWidget* d) {
      dialogAt = d->frameGeometry().topLeft();
      for (const char* name : {"LabeledEditF", "LabeledEditE"}) families << d->findChild<QLineEdit*>(name)->font().family();
      d->findChild<QPushButton*>("ButtonDelete")->click();
    });
    button->click();
    QCOMPARE(f.interaction.asked, std::vector<std::string>{"ﾏｸﾛを削除します"});
    QCOMPARE(f.interaction.askedAt, std::vector<std::optional<QPoint>>{dialogAt});
    QCOMPARE(families, QStringList({Fonts::fixed().family(), Fonts::fixed().family()}));
    QCOMPARE(count(), 2);
    f.interaction.answer = Answer::Yes;
    macros->setCurrentItem(macros->topLevelItem(0));
    onDialog([](QWidget* d) { d->findChild<QPushButton*>("ButtonDelete")->click(); });
    button->click();
    QCOMPARE(count(), 1);
    QCOMPARE(macros->topLevelItem(0)->text(0), QStringLiteral("ソ"));
  }

  void macroDialogFactoryTexts() {
    Fixture f;
    TFormMacro& dialog = f.page->formMacro();
    const char* keep[9] = {"/f<0,0,0>", "/e<0,0,0>", "/n<1,3,1>", "/K<0,-1,1>", "/k<1,2,1>",
                           "/D<y2m3d3>", "/T<h2m3s3>", "/s<0,1>", "/o<0,0,0>"};
    const char* omit[9] = {"/f", "/e", "/n", "/K", "/k", "/D", "/T", "/s", "/o"};
    auto* panel = dialog.findChild<QLabel*>("PanelSample");
    for (int page = 0; page < 9; ++page) {
      dialog.showPage(page, "x");
      QCOMPARE(panel->text(), QString::fromLatin1(keep[page]));
    }
    dialog.findChild<QAction*>("MenuOmit")->trigger();
    for (int page = 0; page < 9; ++page) {
      dialog.showPage(page, "x");
      QCOMPARE(dialog.resultText(), std::string(omit[page]));
    }
    dialog.showPage(5, "x");
    QCOMPARE(dialog.findChild<QLabel*>("PanelD")->text(), QStringLiteral("20030405"));
    dialog.findChild<QCheckBox*>("CheckBox_Dyy")->setChecked(false);
    dialog.findChild<QCheckBox*>("CheckBox_Ddd")->setChecked(false);
    QCOMPARE(dialog.resultText(), std::string("/D<m3>"));
    QVERIFY(!dialog.findChild<QWidget*>("RadioGroup_Dy")->isEnabled());
    dialog.showPage(3, "x");
    dialog.findChild<QSpinBox*>("UpDown_K11")->setValue(12);
    dialog.findChild<QSpinBox*>("UpDown_K12")->setValue(-1);
    QCOMPARE(dialog.findChild<QSpinBox*>("UpDown_K11")->value(), 0);
  }

  void macroDialogInsertsWhatItShowsFromAHandEditedFile() {
    Fixture f({"a.txt"}, "[MacroOption]\nDm2=5\nn1=-5\nn2=40000\n");
    TFormMacro& dialog = f.page->formMacro();
    dialog.showPage(5, "x");
    QCOMPARE(dialog.findChild<RadioGroup*>("RadioGroup_Dm")->itemIndex(), 2);
    QCOMPARE(dialog.resultText(), std::string("/D<y2m3d3>"));
    dialog.showPage(2, "x");
    QCOMPARE(dialog.findChild<QSpinBox*>("UpDown_n1")->value(), 0);
    QCOMPARE(dialog.resultText(), std::string("/n<0,32767,1>"));
  }

  void savedDefaultChangesPlainSerial() {
    Fixture f;
    TFormMacro& dialog = f.page->formMacro();
    dialog.showPage(2, "連番(/n)");
    dialog.findChild<QSpinBox*>("UpDown_n1")->setValue(5);
    dialog.findChild<QAction*>("MenuSaveShown")->trigger();
    QCOMPARE(IniFile(f.fs, f.iniPath()).readInteger("MacroOption", "n1", 0), 5);
    dialog.findChild<QAction*>("MenuOmit")->trigger();
    QCOMPARE(dialog.resultText(), std::string("/n"));

    f.child<QLineEdit>("LabeledEditF")->setText("/n");
    f.cnv()->click();
    QCOMPARE(f.sample(), QStringLiteral("005.txt"));
    f.cnv()->click();
    QCOMPARE(f.page->list().rows[3].result, std::string("008.txt"));
  }
};

QTEST_MAIN(ConversionPageTest)
#include "ConversionPageTest.moc"
