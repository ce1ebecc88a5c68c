#include <QTest>
#include <memory>

#include "execution/JournalFile.h"
#include "execution/RunJournal.h"
#include "platform/PosixFileSystem.h"
#include "selection/ui/SelectionPageWidget.h"
#include "shell/ui/RitomaApplication.h"
#include "shell/ui/TFormMain.h"
#include "support/TempDir.h"

using namespace ritoma;

namespace {

// A run that was killed after renaming 表.txt to x_表.txt (and before ソ):
// its journal sits beside the settings file.
struct Fixture {
  TempDir config;
  TempDir work;
  PosixFileSystem fs;
  std::vector<QtUserInteraction::Prompt> prompts;
  Answer answer = Answer::Ok;

  Fixture() {
    work.writeFile("x_表.txt", "a");
    work.writeFile("ソ.txt", "b");
    config.writeFile("Ritoma.ini", "[Window]\nDir=" + config.path() + "/\n");
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
      return p.type == QtUserInteraction::PromptType::Question ? answer : Answer::Ok;
    });
  }
};

}  // namespace

class StartupRecoveryTest : public QObject {
  Q_OBJECT
private slots:
  // OK puts the interrupted run back and shows its folder; the journal goes.
  void okRecoversAndShowsTheFolder() {
    Fixture f;
    auto form = f.make();
    form->show();
    QCOMPARE(f.prompts.size(), std::size_t{1});
    QCOMPARE(f.prompts[0].question, QuestionKind::OkCancel);
    QCOMPARE(f.prompts[0].text, QStringLiteral("前回の処理が中断されています\n元に戻しますか？"));
    QCOMPARE(f.work.names(), (std::vector<std::string>{"ソ.txt", "表.txt"}));
    QVERIFY(!f.config.exists(JournalFile::FileName));
    QCOMPARE(form->currentFolderText(), QString::fromStdString(f.work.path()));
    QCOMPARE(form->currentPage(), TFormMain::PageSelect);
  }

  // Cancel changes nothing and keeps the journal, so the next start asks again.
  void cancelKeepsTheJournalForTheNextStart() {
    Fixture f;
    f.answer = Answer::Cancel;
    {
      auto form = f.make();
      form->show();
      QCOMPARE(f.prompts.size(), std::size_t{1});
      QCOMPARE(f.work.names(), (std::vector<std::string>{"x_表.txt", "ソ.txt"}));
      QVERIFY(f.config.exists(JournalFile::FileName));
      QCOMPARE(form->currentFolderText(), QString::fromStdString(f.config.path()));
    }
    f.answer = Answer::Ok;
    auto again = f.make();
    again->show();
    QCOMPARE(f.prompts.size(), std::size_t{2});
    QCOMPARE(f.work.names(), (std::vector<std::string>{"ソ.txt", "表.txt"}));
  }

  // A damaged journal is reported and left alone; the window starts as usual.
  void damagedJournalIsReportedAndKept() {
    Fixture f;
    f.config.writeFile(JournalFile::FileName, "RitomaJ1 damaged");
    auto form = f.make();
    form->show();
    QCOMPARE(f.prompts.size(), std::size_t{1});
    QCOMPARE(f.prompts[0].type, QtUserInteraction::PromptType::Message);
    QVERIFY(f.prompts[0].text.contains(QStringLiteral("壊れています")));
    QCOMPARE(f.config.readFile(JournalFile::FileName), std::string("RitomaJ1 damaged"));
    QCOMPARE(f.work.names(), (std::vector<std::string>{"x_表.txt", "ソ.txt"}));
  }
};

int main(int argc, char** argv) {
  RitomaApplication app(argc, argv);
  StartupRecoveryTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "StartupRecoveryTest.moc"
