#include <QApplication>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <memory>
#include <stdexcept>

#include "execution/ExecutionFlow.h"
#include "execution/UndoFlow.h"
#include "execution/ui/TFormDateTime.h"
#include "platform/PosixFileSystem.h"
#include "platform/TimeConvert.h"
#include "selection/ui/SelectionListView.h"
#include "selection/ui/SelectionPageWidget.h"
#include "shell/ui/TFormMain.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

using namespace ritoma;

namespace {

std::string u8(const char* text) { return text; }
QString q(const std::string& utf8) { return QString::fromStdString(utf8); }

// The main window on a folder of its own, driven with the mouse and the
// keyboard; message boxes are answered by a script that records them.
class Road {
public:
  Road() : fs(real) {
    fs.setExecutableFolder(program.path());
    config.writeFile("Ritoma.ini", "[Window]\nWidth=900\nHeight=600\n");
  }

  // `sections` are further lines of the settings file.
  void open(const std::string& folder, const std::string& sections = {}) {
    config.writeFile("Ritoma.ini", "[Window]\nWidth=900\nHeight=600\nDir=" + folder + "\n" + sections);
    form = std::make_unique<TFormMain>(fs, config / "Ritoma.ini", [this](QtUserInteraction::Prompt& p) {
      prompts.push_back(p);
      if (answers.empty()) return p.question == QuestionKind::YesNo ? Answer::Yes : Answer::Ok;
      const Answer a = answers.front();
      answers.erase(answers.begin());
      return a;
    });
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  }

  template <class T>
  T* find(const char* name) const {
    T* found = form->findChild<T*>(QString::fromLatin1(name));
    if (!found) throw std::runtime_error(std::string("no control ") + name);
    return found;
  }
  void click(const char* button) const {
    QPushButton* b = find<QPushButton>(button);
    QVERIFY2(b->isVisible() && b->isEnabled(), button);
    QTest::mouseClick(b, Qt::LeftButton);
  }

  // Page 選択: exactly the rows of these full names (UTF-8) checked, by
  // clicks on the check images.
  void checkRows(std::initializer_list<const char*> names) const {
    auto* view = find<SelectionListView>("ListView1");
    SelectionList& list = form->selectionPage().list();
    int found = 0;
    for (std::size_t row = 0; row < list.size(); ++row) {
      const std::string name = TextCodec::toUtf8(list.row(row).fullName());
      const bool wanted = std::find_if(names.begin(), names.end(), [&](const char* n) { return name == n; }) != names.end();
      found += wanted;
      if (list.row(row).checked != wanted)
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->checkRect(static_cast<int>(row)).center());
      QCOMPARE(list.row(row).checked, wanted);
    }
    QCOMPARE(found, static_cast<int>(names.size()));
  }

  // Pages 編集 and 変換: one stage with a template, applied to every row.
  void templateStage(const char* text) const {
    click("Button1NEXT");
    QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 編集"));
    click("Button2CNV");
    QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 変換1"));
    auto* list3 = find<QTreeView>("ListView3");
    QTest::mouseClick(list3->viewport(), Qt::LeftButton, {}, list3->visualRect(list3->model()->index(0, 0)).center());
    auto* edit = find<QLineEdit>("LabeledEditF");
    QTest::mouseClick(edit, Qt::LeftButton);
    // The template of an earlier stage is typed over.
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, QString::fromUtf8(text));
    QCOMPARE(find<QPushButton>("Button3CNV")->text(), QStringLiteral("← 確認"));
    click("Button3CNV");
    QCOMPARE(find<QPushButton>("Button3CNV")->text(), QStringLiteral("変換 →"));
    click("Button3CNV");
    click("Button3OK");
    QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 編集"));
  }

  void toAttributePage() const {
    click("Button2EXEC");
    QCOMPARE(form->windowTitle(), QStringLiteral("Ritoma - 属性"));
  }

  QTreeView* list4() const { return find<QTreeView>("ListView4"); }
  int mark(int row) const { return list4()->model()->index(row, 0).data(Qt::UserRole).toInt(); }
  void clickHeader(int column) const {
    QHeaderView* h = list4()->header();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2));
  }
  void selectRows(std::initializer_list<int> rows) const {
    for (int r : rows)
      QTest::mouseClick(list4()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                        list4()->visualRect(list4()->model()->index(r, 1)).center());
  }
  // "実行" with the confirmation answered OK.
  void execute() {
    answers = {Answer::Ok};
    prompts.clear();
    click("Button4EXEC");
  }
  QStringList checked() const { return form->selectionPage().checkedNames(); }
  std::string created(const std::string& path) {
    FileInfo info;
    if (real.stat(path, info)) return "missing";
    return TimeConvert::toText(info.created);
  }

  TempDir program;
  TempDir config;
  TempDir data;
  PosixFileSystem real;
  FaultyFileSystem fs;
  std::unique_ptr<TFormMain> form;
  std::vector<QtUserInteraction::Prompt> prompts;
  std::vector<Answer> answers;
};

std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

}  // namespace

class WholeRoadTest : public QObject {
  Q_OBJECT

private slots:
  void renameWithTimesThenUndoWalksBack();
  void swapIsBlockedThenForced();
  void copyIgnoringTheMarkedRow();
  void copyWithChkStopNeverReplaces();
  void archiveRenameKeepsItsBackup();
  void archiveFileTakenForAFolderIsRefused();
  void failedRenameIsRolledBack();
};

void WholeRoadTest::renameWithTimesThenUndoWalksBack() {
  Road r;
  const std::string so = TextCodec::toUtf8(TextCodec::fromUtf8("ソ.txt"));
  r.data.writeFile("a.txt", "A");
  r.data.writeFile("b.txt", "B");
  r.data.writeFile(so, "S");
  r.data.writeFile("表.doc", "H");
  r.open(r.data.path());
  const std::string listedA = r.created(r.data / "a.txt");
  const std::string listedSo = r.created(r.data / so);

  r.checkRows({"a.txt", "ソ.txt"});
  r.templateStage("/f-1");
  r.toAttributePage();
  QCOMPARE(r.list4()->model()->index(1, 2).data().toString(), QStringLiteral("ソ-1.txt"));

  // The creation time of both rows, set in the time dialog.
  r.selectRows({0, 1});
  QTimer::singleShot(0, [] {
    auto* d = qobject_cast<TFormDateTime*>(QApplication::activeModalWidget());
    QVERIFY(d);
    d->findChild<QDateEdit*>("DateTimePickerD")->setDate(QDate(2005, 6, 7));
    auto* time = d->findChild<QTimeEdit*>("DateTimePickerT");
    time->setFocus();
    time->setTime(QTime(8, 9, 10));
    QTest::mouseClick(d->findChild<QPushButton*>("ButtonOk"), Qt::LeftButton);
  });
  r.clickHeader(3);
  QCOMPARE(r.list4()->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("!ﾌｧｲﾙ作成日時"));

  r.execute();
  QCOMPARE(r.prompts.size(), std::size_t(1));
  QVERIFY(r.prompts[0].text.contains(QStringLiteral("日付変更あり")));
  const std::string so1 = TextCodec::toUtf8(TextCodec::fromUtf8("ソ-1.txt"));
  QCOMPARE(r.data.names(), sorted({"a-1.txt", "b.txt", so1, "表.doc"}));
  QCOMPARE(r.created(r.data / "a-1.txt"), u8("2005/06/07 08:09:10"));
  QCOMPARE(r.created(r.data / so1), u8("2005/06/07 08:09:10"));
  QCOMPARE(r.form->windowTitle(), QStringLiteral("Ritoma - 選択"));
  QCOMPARE(r.checked(), (QStringList{QStringLiteral("a-1.txt"), QStringLiteral("ソ-1.txt")}));

  // A second batch on the files the first one left checked.
  r.templateStage("x/f");
  r.toAttributePage();
  r.execute();
  const std::string xso1 = TextCodec::toUtf8(TextCodec::fromUtf8("xソ-1.txt"));
  QCOMPARE(r.data.names(), sorted({"xa-1.txt", "b.txt", xso1, "表.doc"}));

  // Each UNDO offers the batch before the one it undid, with its plan.
  auto expectUndoPlan = [&](const QStringList& from, const QStringList& to) {
    r.click("ButtonUndo");
    QCOMPARE(r.form->windowTitle(), QStringLiteral("Ritoma - 属性（UNDO）"));
    QAbstractItemModel* plan = r.list4()->model();
    QCOMPARE(plan->rowCount(), static_cast<int>(from.size()));
    for (int row = 0; row < plan->rowCount(); ++row) {
      QCOMPARE(plan->index(row, 1).data().toString(), from[row]);
      QCOMPARE(plan->index(row, 2).data().toString(), to[row]);
    }
    QVERIFY(r.find<QPushButton>("Button4EXEC")->isEnabled());
    r.execute();
    QCOMPARE(r.form->windowTitle(), QStringLiteral("Ritoma - 選択"));
  };
  expectUndoPlan({QStringLiteral("xa-1.txt"), QStringLiteral("xソ-1.txt")},
                 {QStringLiteral("a-1.txt"), QStringLiteral("ソ-1.txt")});
  QCOMPARE(r.data.names(), sorted({"a-1.txt", "b.txt", so1, "表.doc"}));
  QCOMPARE(r.created(r.data / "a-1.txt"), u8("2005/06/07 08:09:10"));
  expectUndoPlan({QStringLiteral("a-1.txt"), QStringLiteral("ソ-1.txt")},
                 {QStringLiteral("a.txt"), QStringLiteral("ソ.txt")});
  QCOMPARE(r.data.names(), sorted({"a.txt", "b.txt", so, "表.doc"}));
  QCOMPARE(r.created(r.data / "a.txt"), listedA);
  QCOMPARE(r.created(r.data / so), listedSo);

  // Nothing is left to undo.
  r.prompts.clear();
  r.click("ButtonUndo");
  QCOMPARE(r.prompts.size(), std::size_t(1));
  QCOMPARE(r.prompts[0].text, QString::fromUtf8(UndoFlow::NoInfoText));
  QCOMPARE(r.form->windowTitle(), QStringLiteral("Ritoma - 選択"));
}

void WholeRoadTest::swapIsBlockedThenForced() {
  Road r;
  r.data.writeFile("1.txt", "one");
  r.data.writeFile("2.txt", "two");
  r.open(r.data.path());
  // Name order descending: 2.txt, then 1.txt; serial numbers then swap them.
  auto* view = r.find<SelectionListView>("ListView1");
  QHeaderView* h = view->header();
  for (int i = 0; i < 2 && r.form->selectionPage().list().row(0).fullName() != "2.txt"; ++i)
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(1) + 5, h->height() / 2));
  QCOMPARE(q(r.form->selectionPage().list().row(0).fullName()), QStringLiteral("2.txt"));
  r.checkRows({"2.txt", "1.txt"});
  r.templateStage("/n<1,1>");
  r.toAttributePage();
  QCOMPARE(r.mark(0), int(MarkBlocked));
  QVERIFY(!r.find<QPushButton>("Button4EXEC")->isEnabled());

  QTest::mouseClick(r.find<QWidget>("CheckBoxForce"), Qt::LeftButton);
  QCOMPARE(r.mark(0), int(MarkNone));
  r.execute();
  QVERIFY(r.prompts[0].text.contains(QStringLiteral("（強制変更）")));
  QCOMPARE(r.data.readFile("1.txt"), u8("two"));
  QCOMPARE(r.data.readFile("2.txt"), u8("one"));
  QCOMPARE(r.data.names(), sorted({"1.txt", "2.txt"}));
}

void WholeRoadTest::copyIgnoringTheMarkedRow() {
  Road r;
  r.data.makeFolder("src");
  r.data.makeFolder("out");
  r.data.writeFile("src/a.txt", "A");
  r.data.writeFile("src/b.txt", "B");
  r.data.writeFile("out/2.txt", "kept");
  r.open(r.data / "src");
  r.checkRows({"a.txt", "b.txt"});
  r.templateStage("/n<1,1>");
  r.toAttributePage();
  QTest::mouseClick(r.find<QWidget>("CheckBoxCopy"), Qt::LeftButton);
  auto* path = r.find<QWidget>("ComboBoxCopyPath")->findChild<QLineEdit*>();
  QTest::mouseClick(path, Qt::LeftButton);
  QTest::keyClicks(path, q(r.data / "out"));
  QCOMPARE(r.find<QPushButton>("Button4Check")->text(), QStringLiteral("？"));
  QVERIFY(!r.find<QPushButton>("Button4EXEC")->isEnabled());
  r.click("Button4Check");
  QCOMPARE(r.mark(0), int(MarkNone));
  QCOMPARE(r.mark(1), int(MarkExists));
  QVERIFY(!r.find<QPushButton>("Button4EXEC")->isEnabled());
  QTest::mouseClick(r.find<QWidget>("CheckBoxIgnore"), Qt::LeftButton);
  r.execute();
  QVERIFY(r.prompts[0].text.contains(QStringLiteral("（コピー）")));
  QCOMPARE(r.data.names("out"), sorted({"1.txt", "2.txt"}));
  QCOMPARE(r.data.readFile("out/1.txt"), u8("A"));
  QCOMPARE(r.data.readFile("out/2.txt"), u8("kept"));
  QCOMPARE(r.data.names("src"), sorted({"a.txt", "b.txt"}));
  QCOMPARE(r.checked(), QStringList{QStringLiteral("1.txt")});
  QVERIFY(!r.fs.exists(r.config / "Ritoma.und"));
}

// ChkStop ends no copy check early: "ｴﾗｰ無視" copies only free names, and
// a name taken after the check is skipped and reported, never replaced.
void WholeRoadTest::copyWithChkStopNeverReplaces() {
  Road r;
  r.data.makeFolder("src");
  r.data.makeFolder("out");
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) r.data.writeFile(std::string("src/") + name, name);
  r.data.writeFile("out/1.txt", "precious 1");
  r.data.writeFile("out/3.txt", "precious 3");
  r.open(r.data / "src", "[Option]\nChkStop=1\n");
  r.checkRows({"a.txt", "b.txt", "c.txt", "d.txt"});
  r.templateStage("/n<1,1>");
  r.toAttributePage();
  QTest::mouseClick(r.find<QWidget>("CheckBoxCopy"), Qt::LeftButton);
  auto* path = r.find<QWidget>("ComboBoxCopyPath")->findChild<QLineEdit*>();
  QTest::mouseClick(path, Qt::LeftButton);
  QTest::keyClicks(path, q(r.data / "out"));
  r.click("Button4Check");
  QCOMPARE(r.mark(0), int(MarkExists));
  QCOMPARE(r.mark(1), int(MarkNone));
  QCOMPARE(r.mark(2), int(MarkExists));
  QCOMPARE(r.mark(3), int(MarkNone));
  QTest::mouseClick(r.find<QWidget>("CheckBoxIgnore"), Qt::LeftButton);
  r.data.writeFile("out/2.txt", "late");
  r.execute();
  QCOMPARE(r.data.names("out"), sorted({"1.txt", "2.txt", "3.txt", "4.txt"}));
  QCOMPARE(r.data.readFile("out/1.txt"), u8("precious 1"));
  QCOMPARE(r.data.readFile("out/2.txt"), u8("late"));
  QCOMPARE(r.data.readFile("out/3.txt"), u8("precious 3"));
  QCOMPARE(r.data.readFile("out/4.txt"), u8("d.txt"));
  QCOMPARE(r.prompts.size(), std::size_t(2));
  QVERIFY(r.prompts[1].text.contains(QStringLiteral("\n2.txt")));
  QCOMPARE(r.prompts[1].message, MessageKind::Warning);
  QCOMPARE(r.checked(), QStringList{QStringLiteral("4.txt")});
}

void WholeRoadTest::archiveRenameKeepsItsBackup() {
  Road r;
  const std::string fixture = std::string(RITOMA_FIXTURES) + "/archive/stored.zip";
  std::string bytes;
  QVERIFY(!r.real.readWholeFile(fixture, bytes));
  r.data.writeFile("pack.zip", bytes);
  r.open(r.data.path());
  r.form->openPaths({r.data / "pack.zip"});
  QVERIFY(r.find<QWidget>("Edit2Arc")->isVisible() || r.form->archiveOpen());
  r.checkRows({"plain.txt", "ソ表.txt"});
  r.templateStage("/f-2");
  r.toAttributePage();
  QVERIFY(r.find<QWidget>("Edit4Arc")->isVisible());
  QVERIFY(!r.find<QWidget>("CheckBoxForce")->isEnabled());
  QVERIFY(r.list4()->isColumnHidden(3));
  QCOMPARE(r.list4()->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("格納ﾌｧｲﾙ日時"));
  r.execute();
  QCOMPARE(r.form->windowTitle(), QStringLiteral("Ritoma - 選択"));
  QCOMPARE(r.checked(), (QStringList{QStringLiteral("plain-2.txt"), QStringLiteral("ソ表-2.txt")}));
  const std::vector<std::string> names = r.data.names();
  QCOMPARE(names.size(), std::size_t(2));
  QVERIFY(std::count(names.begin(), names.end(), "pack.zip") == 1);
  std::string backup;
  QVERIFY(!r.real.readWholeFile(r.data / (names[0] == "pack.zip" ? names[1] : names[0]), backup));
  QCOMPARE(backup, bytes);
}

// The window lists the archive for the check: a stored file moved into
// "sub/data.bin" (typed with "\"), a stored file outside the batch, as if it
// were a folder stays on page 編集 with the row's reason; the archive is
// untouched.
void WholeRoadTest::archiveFileTakenForAFolderIsRefused() {
  Road r;
  std::string bytes;
  QVERIFY(!r.real.readWholeFile(std::string(RITOMA_FIXTURES) + "/archive/stored.zip", bytes));
  r.data.writeFile("pack.zip", bytes);
  r.open(r.data.path());
  r.form->openPaths({r.data / "pack.zip"});
  QVERIFY(r.form->archiveOpen());
  r.checkRows({"ソ表.txt"});
  r.templateStage("SUB\\Data.bin\\x");
  r.click("Button2EXEC");
  QCOMPARE(r.form->windowTitle(), QStringLiteral("Ritoma - 編集"));
  const EditList& edit = r.form->editList();
  QCOMPARE(TextCodec::toUtf8(edit.lastName(0)), std::string("SUB\\Data.bin\\x.txt"));
  QCOMPARE(TextCodec::toUtf8(edit.errorCaption()), std::string("ﾁｪｯｸ … ｴﾗｰ1件"));
  QCOMPARE(TextCodec::toUtf8(edit.rows.at(0).error), std::string("ﾌｫﾙﾀﾞ名が書庫内のﾌｧｲﾙと同じ名前です。"));
  QVERIFY(!r.find<QPushButton>("Button2EXEC")->isEnabled());
  std::string after;
  QVERIFY(!r.real.readWholeFile(r.data / "pack.zip", after));
  QVERIFY(after == bytes);
  QCOMPARE(r.data.names(), std::vector<std::string>{"pack.zip"});
}

void WholeRoadTest::failedRenameIsRolledBack() {
  Road r;
  r.data.writeFile("a.txt", "A");
  r.data.writeFile("b.txt", "B");
  r.data.writeFile("c.txt", "C");
  r.open(r.data.path());
  r.checkRows({"a.txt", "b.txt", "c.txt"});
  r.templateStage("/f_x");
  r.toAttributePage();
  r.fs.failMatching(FsOp::Rename, "*/c_x.txt", EACCES);
  r.execute();
  QCOMPARE(r.prompts.size(), std::size_t(2));
  QCOMPARE(r.prompts[1].text,
           QString::fromUtf8(ExecutionFlow::RollBackText) + QStringLiteral("\n\nc.txt: アクセス権がありません"));
  QVERIFY(r.prompts[1].position.has_value());
  QCOMPARE(r.data.names(), sorted({"a.txt", "b.txt", "c.txt"}));
  QCOMPARE(r.mark(2), int(MarkFailed));
  QVERIFY(!r.find<QPushButton>("Button4EXEC")->isEnabled());
  QCOMPARE(r.form->windowTitle(), QStringLiteral("Ritoma - 属性"));
  QVERIFY(!r.fs.exists(r.config / "Ritoma.und"));
}

QTEST_MAIN(WholeRoadTest)
#include "WholeRoadTest.moc"
