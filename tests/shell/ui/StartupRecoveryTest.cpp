#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <memory>

#include "execution/JournalFile.h"
#include "execution/JournalRecovery.h"
#include "execution/UndoFile.h"
#include "execution/UndoFlow.h"
#include "execution/RunJournal.h"
#include "platform/PosixFileSystem.h"
#include "selection/ui/SelectionPageWidget.h"
#include "shell/ui/RitomaApplication.h"
#include "shell/ui/TFormMain.h"
#include "support/TempDir.h"
#include "support/ui/FormChild.h"

using namespace ritoma;

namespace {

// A run that was killed after renaming 表.txt to x_表.txt (and before ソ):
// its journal sits beside the settings file. Questions take the scripted
// answers in turn, then OK.
struct Fixture {
  TempDir config;
  TempDir work;
  PosixFileSystem fs;
  std::vector<QtUserInteraction::Prompt> prompts;
  std::deque<Answer> answers;

  explicit Fixture(bool journal = true) {
    work.writeFile("x_表.txt", "a");
    work.writeFile("ソ.txt", "b");
    config.writeFile("Ritoma.ini", "[Window]\nDir=" + config.path() + "/\n");
    if (!journal) return;
    JournalData data;
    data.folder = work.path() + "/";
    for (const char* name : {"表.txt", "ソ.txt"}) {
      JournalRow& row = data.rows.emplace_back();
      row.oldName = name;
      row.newName = std::string("x_") + name;
      row.created = row.modified = row.accessed = "2020/01/02 03:04:05";
      row.attributes = AttrArchive;
    }
    std::string bytes = *JournalFile::encode(data) + JournalFile::stageRecord(JournalStage::Renames);
    config.writeFile(JournalFile::FileName, bytes);
  }

  std::unique_ptr<TFormMain> make() {
    return std::make_unique<TFormMain>(fs, config / "Ritoma.ini", [this](QtUserInteraction::Prompt& p) {
      prompts.push_back(p);
      if (p.type != QtUserInteraction::PromptType::Question) return Answer::Ok;
      if (answers.empty()) return Answer::Ok;
      const Answer a = answers.front();
      answers.pop_front();
      return a;
    });
  }

  QString question() const {
    return QString::fromStdString("前回の処理が中断されています\n\nフォルダ: " + work.path() +
                                  "\nファイル数: 2\n\n元に戻しますか？");
  }
  QString summary() const { return QString::fromStdString(work.path() + "\n2個のファイルを元に戻しました"); }
};

// Opens the main menu by keyboard and chooses the item `name` with Return.
void chooseFromMenu(TFormMain& form, const char* name) {
  auto* button = child<QPushButton>(&form, "ButtonMenu");
  button->setFocus();
  QTest::keyClick(button, Qt::Key_Space);
  QMenu* menu = form.mainMenu();
  QTRY_VERIFY(menu->isVisible());
  QAction* action = menu->findChild<QAction*>(QString::fromLatin1(name));
  QVERIFY(action && action->isVisible());
  menu->setActiveAction(action);
  QTest::keyClick(menu, Qt::Key_Return);
  QTRY_VERIFY(!menu->isVisible());
}

bool menuOffers(TFormMain& form, const char* name) {
  QMenu* menu = form.mainMenu();
  emit menu->aboutToShow();
  return menu->findChild<QAction*>(QString::fromLatin1(name))->isVisible();
}

}  // namespace

class StartupRecoveryTest : public QObject {
  Q_OBJECT
private slots:
  // OK puts the interrupted run back, says so and shows its folder; the
  // question names the folder and the count; the journal goes.
  void okRecoversAndShowsTheFolder() {
    Fixture f;
    auto form = f.make();
    form->show();
    QCOMPARE(f.prompts.size(), std::size_t{2});
    QCOMPARE(f.prompts[0].question, QuestionKind::OkCancel);
    QCOMPARE(f.prompts[0].text, f.question());
    QCOMPARE(f.prompts[1].type, QtUserInteraction::PromptType::Message);
    QCOMPARE(f.prompts[1].text, f.summary());
    QCOMPARE(f.work.names(), (std::vector<std::string>{"ソ.txt", "表.txt"}));
    QVERIFY(!f.config.exists(JournalFile::FileName));
    QCOMPARE(form->currentFolderText(), QString::fromStdString(f.work.path()));
    QCOMPARE(form->currentPage(), TFormMain::PageSelect);
    QVERIFY(!menuOffers(*form, "MenuRecover"));
  }

  // Cancel changes nothing and keeps the journal: UNDO refuses, and the
  // menu's item (chosen by keyboard) puts the run back.
  void cancelLeavesTheMenuItemToRecover() {
    Fixture f;
    f.answers = {Answer::Cancel};
    auto form = f.make();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(f.prompts.size(), std::size_t{1});
    QCOMPARE(f.work.names(), (std::vector<std::string>{"x_表.txt", "ソ.txt"}));
    QVERIFY(f.config.exists(JournalFile::FileName));
    QCOMPARE(form->currentFolderText(), QString::fromStdString(f.config.path()));

    auto* undo = child<QPushButton>(form.get(), "ButtonUndo");
    undo->setFocus();
    QTest::keyClick(undo, Qt::Key_Space);
    QCOMPARE(f.prompts.size(), std::size_t{2});
    QCOMPARE(f.prompts[1].text, QString::fromUtf8(UndoFlow::JournalPendingText));
    QCOMPARE(form->currentPage(), TFormMain::PageSelect);

    chooseFromMenu(*form, "MenuRecover");
    QCOMPARE(f.prompts.size(), std::size_t{4});
    QCOMPARE(f.prompts[2].text, f.question());
    QCOMPARE(f.prompts[3].text, f.summary());
    QCOMPARE(f.work.names(), (std::vector<std::string>{"ソ.txt", "表.txt"}));
    QVERIFY(!f.config.exists(JournalFile::FileName));
    QCOMPARE(form->currentFolderText(), QString::fromStdString(f.work.path()));
    QVERIFY(!menuOffers(*form, "MenuRecover"));
    QVERIFY(!menuOffers(*form, "MenuDiscardJournal"));
  }

  // The menu's discard item sets the journal aside under a dated name,
  // named in a message; the files stay as they are.
  void discardFromTheMenuSetsTheJournalAside() {
    Fixture f;
    f.answers = {Answer::Cancel, Answer::Yes};
    auto form = f.make();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    chooseFromMenu(*form, "MenuDiscardJournal");
    QCOMPARE(f.prompts.size(), std::size_t{3});
    QCOMPARE(f.prompts[1].text, QString::fromUtf8(JournalRecovery::DiscardQuestion));
    const std::vector<std::string> names = f.config.names();
    QCOMPARE(names.size(), std::size_t{2});
    QVERIFY(QString::fromStdString(names[1]).startsWith(QStringLiteral("Ritoma.jnl.20")));
    QVERIFY(f.prompts[2].text.endsWith(QString::fromStdString(f.config / names[1])));
    QCOMPARE(f.work.names(), (std::vector<std::string>{"x_表.txt", "ソ.txt"}));
    QVERIFY(!menuOffers(*form, "MenuDiscardJournal"));
  }

  // A damaged journal is reported and offered to be set aside; No keeps it.
  void damagedJournalIsReportedAndKept() {
    Fixture f;
    f.answers = {Answer::No};
    f.config.writeFile(JournalFile::FileName, "RitomaJ1 damaged");
    auto form = f.make();
    form->show();
    QCOMPARE(f.prompts.size(), std::size_t{2});
    QCOMPARE(f.prompts[0].type, QtUserInteraction::PromptType::Message);
    QVERIFY(f.prompts[0].text.contains(QStringLiteral("壊れています")));
    QCOMPARE(f.prompts[1].text, QString::fromUtf8(JournalRecovery::DiscardQuestion));
    QCOMPARE(f.config.readFile(JournalFile::FileName), std::string("RitomaJ1 damaged"));
    QCOMPARE(f.work.names(), (std::vector<std::string>{"x_表.txt", "ソ.txt"}));
  }

  // UNDO asks once about all the files it cannot find, naming the count.
  void undoAsksOnceAboutMissingFiles() {
    Fixture f(false);
    UndoLog log;
    log.folder = f.work.path() + "/";
    for (const char* name : {"x_表.txt", "gone1", "gone2", "gone3"})
      log.records.push_back({name, std::string("o_") + name, false, "", "", "", ""});
    f.config.writeFile(UndoFile::FileName, *UndoFile::encode(log));
    f.answers = {Answer::No};
    auto form = f.make();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    auto* undo = child<QPushButton>(form.get(), "ButtonUndo");
    undo->setFocus();
    QTest::keyClick(undo, Qt::Key_Space);
    QCOMPARE(f.prompts.size(), std::size_t{1});
    QCOMPARE(f.prompts[0].text, QStringLiteral("gone1 ほか2個\nファイルが見つかりません\n続行しますか？"));
    QCOMPARE(f.work.names(), (std::vector<std::string>{"x_表.txt", "ソ.txt"}));
  }
};

int main(int argc, char** argv) {
  RitomaApplication app(argc, argv);
  StartupRecoveryTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "StartupRecoveryTest.moc"
