#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <deque>
#include <string>

#include "platform/PosixFileSystem.h"
#include "plugins/PluginHost.h"
#include "plugins/ui/TFormMacroEx.h"
#include "settings/IniFile.h"
#include "shell/UserInteraction.h"
#include "support/TempDir.h"
#include "support/ui/FormChild.h"
#include "support/ui/HelpAnchor.h"
#include "shell/ui/HelpViewer.h"

namespace ritoma {
namespace {

// Answers questions from a script and records what was asked.
class ScriptedInteraction : public UserInteraction {
public:
  std::deque<Answer> answers;
  std::vector<std::string> asked;
  Answer ask(QuestionKind, std::string_view text, std::string_view) override {
    asked.emplace_back(text);
    Answer a = answers.empty() ? Answer::Cancel : answers.front();
    if (!answers.empty()) answers.pop_front();
    return a;
  }
  void tell(MessageKind, std::string_view, std::string_view) override {}
  bool input(std::string_view, std::string_view, std::string&) override { return false; }
};

}  // namespace

class MacroExDialogTest : public QObject {
  Q_OBJECT
private slots:
  void lettersWithdrawalAndSet();
  void reopeningAndSettingWithoutChangesKeepsThePlugin();
  void keyboardAloneTicksAndNamesARow();
};

// Candidates in file-name order: decorated, mixed, nonul, nulls, plain, second.
void MacroExDialogTest::lettersWithdrawalAndSet() {
  TempDir dir;
  PosixFileSystem fs;
  dir.writeFile("Ritoma.ini", "[MacroExP]\nWidth=3\n[MacroExD]\nOwn=1\n");
  IniFile settings(fs, dir / "Ritoma.ini");
  PluginHost host(fs, {RITOMA_TEST_PLUGINS});
  ScriptedInteraction ui;
  TFormMacroEx form(host, settings, ui, {{"plain.so", 'P'}, {"mixed.so", 'M'}});
  auto* list = child<QTreeWidget>(form, "ListViewMacroEx");
  auto* letters = child<QComboBox>(form, "ComboBoxCmd");
  auto* set = child<QPushButton>(form, "ButtonCmdSet");
  auto* cancel = child<QPushButton>(form, "ButtonCmdCancel");
  auto* ok = child<QPushButton>(form, "ButtonOk");
  QCOMPARE(list->topLevelItemCount(), 6);
  QCOMPARE(list->topLevelItem(4)->checkState(0), Qt::Checked);
  QCOMPARE(list->topLevelItem(4)->text(1), QStringLiteral("Plain(/xP)"));
  QCOMPARE(list->topLevelItem(4)->text(2), QStringLiteral("plain.so"));
  QCOMPARE(list->topLevelItem(4)->text(3), QStringLiteral("Plain info"));
  QCOMPARE(list->topLevelItem(5)->checkState(0), Qt::Unchecked);
  QVERIFY(!letters->isEnabled() && !set->isEnabled() && !cancel->isEnabled());

  // Ticking "Second", which proposes the P of a ticked row: letter selection
  // without P and without M, nothing chosen yet.
  list->topLevelItem(5)->setCheckState(0, Qt::Checked);
  QVERIFY(letters->isEnabled() && cancel->isEnabled());
  QVERIFY(!list->isEnabled() && !ok->isEnabled() && !set->isEnabled());
  QCOMPARE(letters->count(), 24);
  QCOMPARE(letters->findText(QStringLiteral("P")), -1);
  QCOMPARE(letters->findText(QStringLiteral("M")), -1);
  letters->setCurrentIndex(letters->findText(QStringLiteral("Q")));
  QVERIFY(set->isEnabled());
  QTest::mouseClick(set, Qt::LeftButton);
  QCOMPARE(list->topLevelItem(5)->text(1), QStringLiteral("Second(/xQ)"));
  QCOMPARE(list->topLevelItem(5)->text(0), QStringLiteral("Q"));
  QVERIFY(list->isEnabled() && ok->isEnabled() && !letters->isEnabled());

  // Ticking "Decorated" preselects its proposed D; 中止 leaves it unticked.
  list->topLevelItem(0)->setCheckState(0, Qt::Checked);
  QCOMPARE(letters->currentText(), QStringLiteral("D"));
  QTest::mouseClick(cancel, Qt::LeftButton);
  QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Unchecked);

  // Withdrawing "Plain": Cancel keeps it ticked and its section; OK erases both.
  ui.answers = {Answer::Cancel, Answer::Ok};
  list->topLevelItem(4)->setCheckState(0, Qt::Unchecked);
  QCOMPARE(list->topLevelItem(4)->checkState(0), Qt::Checked);
  QVERIFY(IniFile(fs, dir / "Ritoma.ini").sectionExists("MacroExP"));
  list->topLevelItem(4)->setCheckState(0, Qt::Unchecked);
  QCOMPARE(ui.asked.size(), std::size_t(2));
  QCOMPARE(QString::fromStdString(ui.asked[0]),
           QStringLiteral("拡張マクロの選択を解除すると\n初期設定値も消去されます\n解除しますか？"));
  QCOMPARE(list->topLevelItem(4)->checkState(0), Qt::Unchecked);
  QCOMPARE(list->topLevelItem(4)->text(1), QStringLiteral("Plain"));
  QVERIFY(!IniFile(fs, dir / "Ritoma.ini").sectionExists("MacroExP"));
  QVERIFY(IniFile(fs, dir / "Ritoma.ini").sectionExists("MacroExD"));

  // Double-clicking the ticked "Mixed" re-enters selection with its M.
  emit list->itemDoubleClicked(list->topLevelItem(1), 1);
  QCOMPARE(letters->currentText(), QStringLiteral("M"));
  letters->setCurrentIndex(letters->findText(QStringLiteral("A")));
  QTest::mouseClick(set, Qt::LeftButton);
  QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("Mixed(/xA)"));

  // Escape does not leave; 設定 puts the ticked rows into service in row order.
  form.reject();
  QTest::mouseClick(ok, Qt::LeftButton);
  QCOMPARE(form.result(), int(QDialog::Accepted));
  QCOMPARE(host.count(), 2);
  QCOMPARE(QString::fromStdString(host.fileName(0)), QStringLiteral("mixed.so"));
  QCOMPARE(host.pluginForLetter('A'), 0);
  QCOMPARE(host.pluginForLetter('Q'), 1);
  QCOMPARE(host.pluginForLetter('M'), -1);
}

void MacroExDialogTest::reopeningAndSettingWithoutChangesKeepsThePlugin() {
  TempDir dir;
  PosixFileSystem fs;
  IniFile settings(fs, dir / "Ritoma.ini");
  PluginHost host(fs, {RITOMA_TEST_PLUGINS});
  ScriptedInteraction ui;
  for (int round = 0; round < 2; ++round) {
    std::vector<TFormMacroEx::Previous> previous;
    for (int i = 0; i < host.count(); ++i) previous.push_back({host.fileName(i), host.letter(i)});
    host.takeOutOfService();
    TFormMacroEx form(host, settings, ui, round == 0 ? std::vector<TFormMacroEx::Previous>{{"nulls.so", 'N'}}
                                                     : previous);
    QTest::mouseClick(child<QPushButton>(form, "ButtonOk"), Qt::LeftButton);
    QCOMPARE(host.count(), 1);
    QCOMPARE(host.caption(0), std::string("Nulls(/xN)"));
  }
  QVERIFY(ui.asked.empty());
}

// Space ticks the current row and hands the keyboard to the letters; Down
// picks one and Enter assigns it; the list has the keyboard again, so the
// arrows and F1 work without a Tab.
void MacroExDialogTest::keyboardAloneTicksAndNamesARow() {
  TempDir dir;
  PosixFileSystem fs;
  IniFile settings(fs, dir / "Ritoma.ini");
  PluginHost host(fs, {RITOMA_TEST_PLUGINS});
  ScriptedInteraction ui;
  TFormMacroEx form(host, settings, ui, {{"plain.so", 'P'}});
  form.show();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  auto* list = child<QTreeWidget>(form, "ListViewMacroEx");
  auto* letters = child<QComboBox>(form, "ComboBoxCmd");
  QCOMPARE(QApplication::focusWidget(), list);

  // "Second" (last row) proposes the P that "Plain" holds: nothing is chosen.
  QTest::keyClick(list, Qt::Key_End);
  QCOMPARE(list->currentItem(), list->topLevelItem(5));
  QTest::keyClick(list, Qt::Key_Space);
  QCOMPARE(list->topLevelItem(5)->checkState(0), Qt::Checked);
  QCOMPARE(QApplication::focusWidget(), letters);
  QCOMPARE(letters->currentIndex(), -1);
  QTest::keyClick(letters, Qt::Key_Down);
  QCOMPARE(letters->currentText(), QStringLiteral("A"));
  QTest::keyClick(letters, Qt::Key_Return);
  QCOMPARE(list->topLevelItem(5)->text(1), QStringLiteral("Second(/xA)"));
  QVERIFY(form.isVisible());
  QCOMPARE(QApplication::focusWidget(), list);
  QTest::keyClick(list, Qt::Key_Up);
  QCOMPARE(list->currentItem(), list->topLevelItem(4));
  QCOMPARE(helpAnchorOfF1(&form), HelpViewer::anchorFor(207));

  // Enter now presses "設定" again.
  QTest::keyClick(list, Qt::Key_Return);
  QCOMPARE(form.result(), int(QDialog::Accepted));
  QCOMPARE(host.pluginForLetter('A'), 1);
}

}  // namespace ritoma

QTEST_MAIN(ritoma::MacroExDialogTest)
#include "MacroExDialogTest.moc"
