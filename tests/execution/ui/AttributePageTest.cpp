#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTimeEdit>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <QVBoxLayout>
#include <QtTest>
#include <deque>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <memory>
#include <sys/stat.h>

#include "archive/ArchiveLibraries.h"
#include "dummy/DummyFileWriter.h"
#include "execution/ExecutionFlow.h"
#include "execution/UndoFile.h"
#include "execution/UndoFlow.h"
#include "execution/ui/FolderChooserModel.h"
#include "execution/ui/PlanListModel.h"
#include "execution/ui/TAttributePage.h"
#include "execution/ui/TFormAttr.h"
#include "execution/ui/TFormDateTime.h"
#include "shell/ui/SelectedRows.h"
#include "platform/PosixFileSystem.h"
#include "platform/TimeConvert.h"
#include "settings/DummySettings.h"
#include "settings/IniFile.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

using namespace ritoma;

namespace {

std::string cp(const char* utf8) { return TextCodec::fromUtf8(utf8); }

// The selection list of page 選択 as the page sees it: the entries of a
// folder in name order, every one unchecked.
class FolderSelection : public UndoSelection {
public:
  FolderSelection(FileSystem& fs, const std::string& folder) {
    std::vector<FileInfo> entries;
    fs.listFolder(folder, entries);
    for (const FileInfo& e : entries) {
      if (e.name == "." || e.name == "..") continue;
      entries_.push_back({TextCodec::toInternal(e.name), e.isFolder, false});
    }
    std::sort(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  }
  std::size_t size() const override { return entries_.size(); }
  std::string fullName(std::size_t e) const override { return entries_[e].name; }
  bool isChecked(std::size_t e) const override { return entries_[e].checked; }
  void check(std::size_t e) override { entries_[e].checked = true; }
  int icon(std::size_t e) const override { return entries_[e].folder ? 1 : 0; }
  std::string infoText(std::size_t) const override { return "2024/01/02 03:04:05 1"; }
  std::vector<std::string> checkedNames() const {
    std::vector<std::string> out;
    for (const auto& e : entries_)
      if (e.checked) out.push_back(e.name);
    return out;
  }

private:
  struct Entry {
    std::string name;
    bool folder;
    bool checked;
  };
  std::vector<Entry> entries_;
};

struct Prompt {
  QString text;
  std::optional<QPoint> at;
  std::optional<MessageKind> look;  // the icon; none for a plain question
};

// One page in a window of its own, with scripted message boxes and a host
// that records what the page asked of the main window.
class Harness {
public:
  // `ownBrowser`: ".." opens the page's own folder chooser instead of
  // answering with `browseAnswer`.
  explicit Harness(FileSystem& fs, const std::string& undoPath, bool ownBrowser = false) : fs_(fs) {
    window.resize(800, 500);
    window.move(100, 50);
    PlacedInteraction::Boxes boxes;
    boxes.ask = [this](QuestionKind, const QString& text, const QString&, std::optional<QPoint> at,
                       std::optional<MessageKind> look) {
      questions.push_back({text, at, look});
      if (answers.empty()) {
        qWarning("unexpected question: %s", qPrintable(text));
        return Answer::Cancel;
      }
      const Answer a = answers.front();
      answers.pop_front();
      return a;
    };
    boxes.tell = [this](MessageKind kind, const QString& text, const QString&, std::optional<QPoint> at) {
      messages.push_back({text, at, kind});
    };
    TAttributePage::Host host;
    host.showAttributePage = [this](const QString& caption) { captions.push_back(caption); };
    host.showEditPage = [this] { captions.push_back(QStringLiteral("Ritoma - 編集")); };
    host.showSelectPage = [this] { captions.push_back(QStringLiteral("Ritoma - 選択")); };
    host.editListChanged = [this] { ++editRedraws; };
    host.openFolder = [this](const std::string& folder) {
      selection = std::make_unique<FolderSelection>(fs_, folder);
      return selection.get();
    };
    host.selectionChanged = [] {};
    if (!ownBrowser) {
      host.browseFolder = [this](const QString& title, const QString& start) {
        browsed.push_back(title + QLatin1Char('|') + start);
        return browseAnswer;
      };
    }
    page = new TAttributePage(fs, progress, boxes, edit, undoPath, host, &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(page);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
  }

  template <class T>
  T* find(const char* name) const {
    return page->findChild<T*>(QString::fromLatin1(name));
  }
  QPushButton* exec() const { return find<QPushButton>("Button4EXEC"); }
  QPushButton* check() const { return find<QPushButton>("Button4Check"); }
  QTreeView* list() const { return find<QTreeView>("ListView4"); }
  int mark(int row) const {
    return list()->model()->index(row, 0).data(Qt::UserRole).toInt();
  }
  QString header(int column) const { return list()->model()->headerData(column, Qt::Horizontal).toString(); }
  void clickHeader(int column) {
    QHeaderView* h = list()->header();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2));
  }
  void selectRows(std::initializer_list<int> rows) {
    list()->clearSelection();
    for (int r : rows) {
      const QRect rect = list()->visualRect(list()->model()->index(r, 1));
      QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier, rect.center());
    }
  }
  bool enter(const std::string& folder, PlanMode mode = PlanMode::Folder) {
    TAttributePage::Source source;
    source.mode = mode;
    source.folder = folder;
    return page->Button2EXECClick(source);
  }
  QPoint centre() const {
    const QRect f = window.frameGeometry();
    return QPoint(f.left() + f.width() / 2, f.top() + f.height() / 2);
  }

  QWidget window;
  NullProgress progress;
  EditList edit;
  TAttributePage* page = nullptr;
  std::deque<Answer> answers;
  std::vector<Prompt> questions;
  std::vector<Prompt> messages;
  std::vector<QString> captions;
  std::vector<QString> browsed;
  std::optional<QString> browseAnswer;
  std::unique_ptr<FolderSelection> selection;
  int editRedraws = 0;

private:
  FileSystem& fs_;
};

// An edit list with one stage from (old, new) pairs of UTF-8 names, or
// without a stage when every new name is empty.
void fillEdit(EditList& edit, const std::vector<std::pair<const char*, const char*>>& pairs,
              const std::vector<std::string>& folders = {}) {
  edit.clear();
  std::vector<std::string> stage;
  bool renaming = false;
  for (const auto& [from, to] : pairs) {
    EditRow row;
    row.isFolder = std::find(folders.begin(), folders.end(), from) != folders.end();
    row.icon = row.isFolder ? 1 : 0;
    if (row.isFolder) ++edit.folderCount;
    row.infoText = "2024/01/02 03:04:05 1";
    row.names.push_back(cp(from));
    edit.rows.push_back(row);
    stage.push_back(cp(to));
    renaming = renaming || *to;
  }
  if (renaming) edit.appendStage(stage);
}

std::vector<std::string> utf8(const std::vector<std::string>& cp932) {
  std::vector<std::string> out;
  for (const auto& s : cp932) out.push_back(TextCodec::toUtf8(s));
  return out;
}

// Runs `body` on the next modal dialog of type D once it is shown.
template <class D>
void onDialog(std::function<void(D&)> body) {
  QTimer::singleShot(0, [body] {
    auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
    QVERIFY2(dialog, "the dialog did not open");
    body(*dialog);
  });
}

template <class T>
T* child(QWidget& dialog, const char* name) {
  return dialog.findChild<T*>(QString::fromLatin1(name));
}

}  // namespace

class AttributePageTest : public QObject {
  Q_OBJECT

private slots:
  // Qt's folder chooser keeps its history and header in the user's
  // settings; the tests keep theirs apart.
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void renameRunUndoAndRunAgain();
  void swapIsBlockedUntilForceChange();
  void longTemporaryNameHasAMarkOfItsOwn();
  void copyIgnoresMarkedRowsAndTypingMakesTheCheckPending();
  void failedRenameIsRolledBackWithItsBoxes();
  void planWithoutRenamingSkipsTheCheck();
  void withoutAutomaticCheckEnterRunsIt();
  void nameCheckErrorsStayOnTheEditPage();
  void timeDialogChangesSelectedRowsAndHeaderUndoes();
  void timeDialogColumnSourceDisablesItsOwnTarget();
  void attributeDialogStartsFromFirstSelectedRow();
  void dummyRunWritesDummies();
  void dummyFromALinkIsDoneWithANote();
  void copyFolderBrowserRunsTheCheck();
  void folderChooserSpeaksTheWindowsLanguage();
  void settingsRoundTrip();
  void forceMarkerIsRefusedAsTheCommandLineRefusesIt();
  void doubleClickSelectsAllRows();
};

void AttributePageTest::renameRunUndoAndRunAgain() {
  TempDir dir;
  dir.writeFile("a.txt", "A");
  dir.writeFile("\x95\x5c.txt", "H");  // 表.txt in code page 932 is no valid UTF-8 here: raw bytes
  dir.writeFile(TextCodec::toUtf8(cp("ソ.txt")), "S");
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"a.txt", "b.txt"}, {"ソ.txt", "ソ2.txt"}});

  QVERIFY(h.enter(dir.path()));
  QCOMPARE(h.captions.back(), QStringLiteral("Ritoma - 属性"));
  QCOMPARE(h.header(1), QStringLiteral("変換前ﾌｧｲﾙ名"));
  QCOMPARE(h.header(2), QStringLiteral("変換後ﾌｧｲﾙ名"));
  QCOMPARE(h.header(4), QStringLiteral("最終更新日時"));
  for (int c = 7; c <= 10; ++c) QVERIFY(h.list()->isColumnHidden(c));
  QVERIFY(!h.list()->isColumnHidden(3));
  QVERIFY(h.check()->isEnabled());
  QVERIFY(h.check()->isDefault());
  QCOMPARE(h.check()->text(), QString());
  QVERIFY(h.exec()->isEnabled());
  QCOMPARE(h.list()->model()->index(1, 6).data().toString().size(), 4);

  h.answers = {Answer::Ok};
  QTest::mouseClick(h.exec(), Qt::LeftButton);
  QCOMPARE(h.questions.size(), std::size_t(1));
  QCOMPARE(h.questions[0].text, QStringLiteral("\n以下の処理を実行します\n\n・ リネームあり\n\n・ 日付変更なし\n\n・ 属性変更なし\n"));
  QCOMPARE(h.questions[0].at, std::optional<QPoint>(h.centre() + QPoint(-98, -100)));
  QCOMPARE(h.questions[0].look, std::optional<MessageKind>(MessageKind::Information));
  const std::vector<std::string> renamed{"b.txt", "\x95\x5c.txt", TextCodec::toUtf8(cp("ソ2.txt"))};
  auto sorted = [](std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  };
  QCOMPARE(dir.names(), sorted({"Ritoma.und", renamed[0], renamed[1], renamed[2]}));
  QCOMPARE(h.captions.back(), QStringLiteral("Ritoma - 選択"));
  QCOMPARE(utf8(h.selection->checkedNames()), sorted({"b.txt", TextCodec::toUtf8(cp("ソ2.txt"))}));
  QVERIFY(h.page->plan().rows.empty());
  QVERIFY(h.edit.rows.empty());
  QVERIFY(!h.exec()->isEnabled());

  // UNDO builds the reverse plan with every time and attribute column marked.
  h.page->ButtonUndoClick();
  QCOMPARE(h.captions.back(), QStringLiteral("Ritoma - 属性（UNDO）"));
  QCOMPARE(h.header(3), QStringLiteral("!ﾌｧｲﾙ作成日時"));
  QCOMPARE(h.header(6), QStringLiteral("!属性"));
  QCOMPARE(h.edit.stageCount(), std::size_t(1));
  QVERIFY(h.exec()->isEnabled());
  h.answers = {Answer::Ok};
  QTest::mouseClick(h.exec(), Qt::LeftButton);
  QVERIFY(h.questions.back().text.contains(QStringLiteral("日付変更あり")));
  // The reverse run took its record out and recorded none.
  QCOMPARE(dir.names(), sorted({"a.txt", "\x95\x5c.txt", TextCodec::toUtf8(cp("ソ.txt"))}));
  QVERIFY(h.messages.empty());
  h.page->ButtonUndoClick();
  QCOMPARE(h.messages.size(), std::size_t(1));
  QCOMPARE(h.messages[0].text, QString::fromUtf8(UndoFlow::NoInfoText));
  QCOMPARE(dir.names(), sorted({"a.txt", "\x95\x5c.txt", TextCodec::toUtf8(cp("ソ.txt"))}));
}

void AttributePageTest::swapIsBlockedUntilForceChange() {
  TempDir dir;
  dir.writeFile("a", "A");
  dir.writeFile("b", "B");
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"a", "b"}, {"b", "a"}});
  QVERIFY(h.enter(dir.path()));
  QCOMPARE(h.mark(0), int(MarkBlocked));
  QCOMPARE(h.mark(1), int(MarkNone));
  QVERIFY(!h.exec()->isEnabled());
  QVERIFY(!h.find<QCheckBox>("CheckBoxIgnore")->isEnabled());
  QVERIFY(!h.find<QLineEdit>("EditForce")->isEnabled());

  // Force change is exclusive with copy and runs the check again.
  h.find<QCheckBox>("CheckBoxCopy")->click();
  QVERIFY(h.find<QComboBox>("ComboBoxCopyPath")->isEnabled());
  h.find<QCheckBox>("CheckBoxForce")->click();
  QVERIFY(!h.find<QCheckBox>("CheckBoxCopy")->isChecked());
  QVERIFY(!h.find<QComboBox>("ComboBoxCopyPath")->isEnabled());
  QVERIFY(h.find<QLineEdit>("EditForce")->isEnabled());
  QCOMPARE(h.mark(0), int(MarkNone));
  QVERIFY(h.exec()->isEnabled());

  h.answers = {Answer::Ok};
  QTest::mouseClick(h.exec(), Qt::LeftButton);
  QVERIFY(h.questions.back().text.contains(QStringLiteral("　（強制変更）\n")));
  QCOMPARE(dir.readFile("a"), std::string("B"));
  QCOMPARE(dir.readFile("b"), std::string("A"));
  // ChkForce (on by default) clears the box after the run.
  QVERIFY(!h.find<QCheckBox>("CheckBoxForce")->isChecked());
}

// A temporary name longer than a name on disk may be (255 bytes; 表 and ソ
// take three there) gets a mark of its own, which tells its reason, and
// keeps "実行" disabled.
void AttributePageTest::longTemporaryNameHasAMarkOfItsOwn() {
  TempDir dir;
  std::string longName;
  for (int i = 0; i < 42; ++i) longName += "表ソ";
  longName += "abc";
  dir.writeFile("a", "A");
  dir.writeFile("@a", "taken");
  dir.writeFile("c", "C");
  dir.writeFile(longName, "L");
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"a", "x"}, {longName.c_str(), "y"}, {"c", "z"}});
  QVERIFY(h.enter(dir.path()));
  QCOMPARE(h.mark(1), int(MarkNone));
  QVERIFY(h.exec()->isEnabled());

  h.find<QCheckBox>("CheckBoxForce")->click();
  QCOMPARE(h.mark(0), int(MarkTempExists));
  QCOMPARE(h.mark(1), int(MarkTempTooLong));
  QCOMPARE(h.mark(2), int(MarkNone));
  QVERIFY(!h.exec()->isEnabled());
  QAbstractItemModel* model = h.list()->model();
  QCOMPARE(model->index(1, 0).data(Qt::ToolTipRole).toString(),
           QStringLiteral("一時ﾌｧｲﾙ名（ﾏｰｶｰ＋元のﾌｧｲﾙ名）が255ﾊﾞｲﾄを超えます。"));
  QVERIFY(!model->index(2, 0).data(Qt::ToolTipRole).isValid());
  auto image = [&](int row) {
    return model->index(row, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage();
  };
  QVERIFY(image(1) != image(0));
  QVERIFY(image(1) != image(2));
  QCOMPARE(dir.readFile(longName), std::string("L"));
}

void AttributePageTest::copyIgnoresMarkedRowsAndTypingMakesTheCheckPending() {
  TempDir dir;
  dir.makeFolder("src");
  dir.makeFolder("out");
  dir.writeFile("src/a", "A");
  dir.writeFile("src/b", "B");
  dir.writeFile("out/b2", "old");
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"a", "a2"}, {"b", "b2"}});
  QVERIFY(h.enter(dir / "src"));
  h.find<QComboBox>("ComboBoxCopyPath")->setEditText(QString::fromStdString(dir / "out"));
  QCOMPARE(h.check()->text(), QStringLiteral("？"));
  h.find<QCheckBox>("CheckBoxCopy")->click();
  QCOMPARE(h.check()->text(), QString());
  QCOMPARE(h.mark(1), int(MarkExists));
  QVERIFY(!h.exec()->isEnabled());
  auto* ignore = h.find<QCheckBox>("CheckBoxIgnore");
  QVERIFY(ignore->isEnabled());
  QVERIFY(!ignore->isChecked());

  // Typing into the copy folder makes the marks stale: nothing runs until
  // the next check.
  ignore->click();
  QVERIFY(h.exec()->isEnabled());
  QTest::keyClick(h.find<QComboBox>("ComboBoxCopyPath")->lineEdit(), Qt::Key_Backspace);
  QVERIFY(!h.exec()->isEnabled());
  QVERIFY(!ignore->isEnabled());
  QCOMPARE(h.check()->text(), QStringLiteral("？"));
  QTest::keyClick(h.find<QComboBox>("ComboBoxCopyPath")->lineEdit(), Qt::Key_T);
  QTest::mouseClick(h.check(), Qt::LeftButton);
  QCOMPARE(h.mark(1), int(MarkExists));
  QCOMPARE(h.find<QComboBox>("ComboBoxCopyPath")->itemText(0), QString::fromStdString(dir / "out"));

  ignore->click();
  h.answers = {Answer::Ok};
  QTest::mouseClick(h.exec(), Qt::LeftButton);
  QVERIFY(h.questions.back().text.contains(QStringLiteral("　（コピー）\n")));
  QCOMPARE(dir.names("out"), (std::vector<std::string>{"a2", "b2"}));
  QCOMPARE(dir.readFile("out/b2"), std::string("old"));
  QCOMPARE(dir.names("src"), (std::vector<std::string>{"a", "b"}));
  QCOMPARE(utf8(h.selection->checkedNames()), (std::vector<std::string>{"a2"}));
  QVERIFY(!dir.exists("Ritoma.und"));
}

void AttributePageTest::failedRenameIsRolledBackWithItsBoxes() {
  TempDir dir;
  dir.writeFile("a", "A");
  dir.writeFile("b", "B");
  dir.writeFile("c", "C");
  PosixFileSystem real;
  FaultyFileSystem fs(real);
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"a", "a1"}, {"b", "b1"}, {"c", "c1"}});
  QVERIFY(h.enter(dir.path()));
  fs.failNth(FsOp::Rename, 3, EACCES);
  h.answers = {Answer::Ok};
  QTest::mouseClick(h.exec(), Qt::LeftButton);
  QCOMPARE(h.messages.size(), std::size_t(1));
  QCOMPARE(h.messages[0].text,
           QString::fromUtf8(ExecutionFlow::RollBackText) + QStringLiteral("\n\nc: アクセス権がありません"));
  QCOMPARE(h.messages[0].at, std::optional<QPoint>(h.centre() + QPoint(-117, -58)));
  QCOMPARE(h.messages[0].look, std::optional<MessageKind>(MessageKind::Error));
  QCOMPARE(dir.names(), (std::vector<std::string>{"a", "b", "c"}));
  QCOMPARE(h.mark(2), int(MarkFailed));
  // The result column tells what the run left of each row.
  QTreeView* list = h.list();
  QVERIFY(!list->isColumnHidden(PlanListModel::ResultColumn));
  QCOMPARE(h.header(PlanListModel::ResultColumn), QStringLiteral("実行結果"));
  QCOMPARE(list->model()->index(0, PlanListModel::ResultColumn).data().toString(), QStringLiteral("元に戻しました"));
  QCOMPARE(list->model()->index(1, PlanListModel::ResultColumn).data().toString(), QStringLiteral("元に戻しました"));
  QCOMPARE(list->model()->index(2, PlanListModel::ResultColumn).data().toString(),
           QStringLiteral("失敗: アクセス権がありません"));
  for (const char* name : {"Button4EXEC", "Button4Check", "CheckBoxForce", "CheckBoxCopy", "ButtonOutPath",
                           "CheckBoxDummy", "ButtonDummy", "CheckBoxIgnore"})
    QVERIFY2(!h.find<QWidget>(name)->isEnabled(), name);
  QVERIFY(!h.find<QLabel>("Label4Check")->isEnabled());
  QVERIFY(!h.check()->isDefault());
  QCOMPARE(h.captions.back(), QStringLiteral("Ritoma - 属性"));
}

void AttributePageTest::planWithoutRenamingSkipsTheCheck() {
  TempDir dir;
  dir.writeFile("a", "A");
  dir.makeFolder("d");
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und");
  h.page->setSettings([] {
    ExecutionSettings s;
    s.chkAuto = false;  // would leave "実行" disabled if a check ran
    return s;
  }());
  QCOMPARE(h.check()->text(), QString());  // the caption a new page starts with
  // A rename plan left pending, then a plan without renaming: no caption.
  fillEdit(h.edit, {{"a", "b"}});
  QVERIFY(h.enter(dir.path()));
  QCOMPARE(h.check()->text(), QStringLiteral("？"));
  fillEdit(h.edit, {{"a", ""}, {"d", ""}}, {"d"});
  QVERIFY(h.enter(dir.path()));
  QCOMPARE(h.check()->text(), QString());
  QCOMPARE(h.header(1), QStringLiteral("ﾌｧｲﾙ名"));
  QVERIFY(h.list()->isColumnHidden(2));
  QVERIFY(!h.check()->isEnabled());
  QVERIFY(!h.find<QLabel>("Label4Check")->isEnabled());
  QVERIFY(h.exec()->isEnabled());
  for (const char* name : {"CheckBoxForce", "CheckBoxCopy", "CheckBoxDummy"})
    QVERIFY2(!h.find<QWidget>(name)->isEnabled(), name);
  QCOMPARE(h.list()->model()->index(1, 3).data().toString(), QString());

  // Changing attributes of a batch with a folder asks twice: confirmation,
  // then the folder warning at its own place; Cancel there changes nothing.
  h.selectRows({0});
  onDialog<TFormAttr>([](TFormAttr& d) {
    child<QCheckBox>(d, "CheckBoxR")->setChecked(true);
    child<QPushButton>(d, "ButtonOk")->click();
  });
  h.clickHeader(6);
  QCOMPARE(h.header(6), QStringLiteral("!属性"));
  h.answers = {Answer::Ok, Answer::Cancel};
  QTest::mouseClick(h.exec(), Qt::LeftButton);
  QCOMPARE(h.questions.size(), std::size_t(2));
  QCOMPARE(h.questions[1].text, QString::fromUtf8(ExecutionFlow::FolderWarningText));
  QCOMPARE(h.questions[1].at, std::optional<QPoint>(h.centre() + QPoint(-138, -58)));
  QCOMPARE(h.questions[1].look, std::optional<MessageKind>(MessageKind::Warning));
  std::uint32_t attrs = 0;
  fs.getAttributes(dir / "a", attrs);
  QCOMPARE(attrs & AttrReadOnly, 0u);
  h.answers = {Answer::Ok, Answer::Ok};
  QTest::mouseClick(h.exec(), Qt::LeftButton);
  fs.getAttributes(dir / "a", attrs);
  QCOMPARE(attrs & AttrReadOnly, std::uint32_t(AttrReadOnly));
  // Only renaming in place records an undo.
  QVERIFY(!dir.exists("Ritoma.und"));
}

void AttributePageTest::withoutAutomaticCheckEnterRunsIt() {
  TempDir dir;
  dir.writeFile("a", "A");
  dir.writeFile("b", "B");
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und");
  ExecutionSettings settings;
  settings.chkAuto = false;
  h.page->setSettings(settings);
  fillEdit(h.edit, {{"a", "b"}, {"b", "c"}});
  QVERIFY(h.enter(dir.path()));
  QCOMPARE(h.check()->text(), QStringLiteral("？"));
  QVERIFY(!h.exec()->isEnabled());
  QCOMPARE(h.mark(0), int(MarkNone));
  // Enter on a focused button presses that button, not "？".
  auto* back = h.find<QPushButton>("Button4PREV");
  back->setFocus();
  QTest::keyClick(back, Qt::Key_Return);
  QCOMPARE(h.captions.back(), QStringLiteral("Ritoma - 編集"));
  QCOMPARE(h.check()->text(), QStringLiteral("？"));
  // "？" is the default button: Enter on the list runs the check.
  h.list()->setFocus();
  QTest::keyClick(h.list(), Qt::Key_Return);
  QCOMPARE(h.check()->text(), QString());
  QCOMPARE(h.mark(0), int(MarkBlocked));
  QVERIFY(!h.exec()->isEnabled());
}

void AttributePageTest::nameCheckErrorsStayOnTheEditPage() {
  TempDir dir;
  dir.writeFile("a", "A");
  dir.writeFile("b", "B");
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"a", "X"}, {"b", "x"}});
  QVERIFY(!h.enter(dir.path()));
  QVERIFY(h.edit.hasErrorColumn());
  QCOMPARE(h.edit.errorCaption(), cp("ﾁｪｯｸ … ｴﾗｰ2件"));
  QVERIFY(h.captions.empty());
  QCOMPARE(h.editRedraws, 1);
}

void AttributePageTest::timeDialogChangesSelectedRowsAndHeaderUndoes() {
  TempDir dir;
  for (const char* n : {"r0", "r1", "r2", "r3", "r4", "r5"}) dir.writeFile(n, n);
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"r0", ""}, {"r1", ""}, {"r2", ""}, {"r3", ""}, {"r4", ""}, {"r5", ""}});
  QVERIFY(h.enter(dir.path()));
  const QString listed = h.list()->model()->index(0, 3).data().toString();
  h.selectRows({1, 4});
  onDialog<TFormDateTime>([](TFormDateTime& d) {
    QCOMPARE(d.windowTitle(), QStringLiteral("ﾌｧｲﾙ日時設定"));
    QVERIFY(child<QCheckBox>(d, "CheckBoxDT1")->isChecked());
    QVERIFY(child<QCheckBox>(d, "CheckBoxDT1ALL")->isEnabled());
    QVERIFY(!child<QCheckBox>(d, "CheckBoxDT1ALL")->isChecked());
    QVERIFY(!child<QCheckBox>(d, "CheckBoxDT2ALL")->isEnabled());
    child<QDateEdit>(d, "DateTimePickerD")->setDate(QDate(2001, 2, 3));
    child<QTimeEdit>(d, "DateTimePickerT")->setTime(QTime(4, 5, 6));
    QTest::mouseClick(child<QPushButton>(d, "ButtonOk"), Qt::LeftButton);
  });
  h.clickHeader(3);
  QCOMPARE(h.header(3), QStringLiteral("!ﾌｧｲﾙ作成日時"));
  for (int r = 0; r < 6; ++r) {
    const QString expected = r == 1 || r == 4 ? QStringLiteral("2001/02/03 04:05:06")
                                              : h.list()->model()->index(r, 7).data().toString();
    QCOMPARE(h.list()->model()->index(r, 3).data().toString(), expected);
  }

  // The rows stay chosen after the dialog: the next one targets them, not every file.
  QCOMPARE(SelectedRows::of(h.list()), (std::vector<std::size_t>{1, 4}));
  // The attribute column changed too; undoing the creation column leaves it.
  onDialog<TFormAttr>([](TFormAttr& d) {
    QVERIFY(!child<QCheckBox>(d, "CheckBoxALL")->isChecked());
    child<QCheckBox>(d, "CheckBoxH")->setChecked(true);
    child<QPushButton>(d, "ButtonOk")->click();
  });
  h.clickHeader(6);
  h.clickHeader(3);
  QCOMPARE(h.header(3), QStringLiteral("ﾌｧｲﾙ作成日時"));
  QCOMPARE(h.list()->model()->index(1, 3).data().toString(), h.list()->model()->index(1, 7).data().toString());
  QCOMPARE(h.header(6), QStringLiteral("!属性"));

  // CANCEL changes nothing; header clicks on name columns do nothing.
  onDialog<TFormDateTime>([](TFormDateTime& d) { child<QPushButton>(d, "ButtonCancel")->click(); });
  h.clickHeader(4);
  QCOMPARE(h.header(4), QStringLiteral("最終更新日時"));
  h.clickHeader(1);
  QVERIFY(QApplication::activeModalWidget() == nullptr);
  QCOMPARE(h.list()->model()->index(0, 3).data().toString(), listed);
  QCOMPARE(SelectedRows::of(h.list()), (std::vector<std::size_t>{1, 4}));
}

void AttributePageTest::timeDialogColumnSourceDisablesItsOwnTarget() {
  TempDir dir;
  dir.writeFile("a", "A");
  dir.makeFolder("d");
  PosixFileSystem fs;
  fs.setTimes(dir / "a", TimeConvert::fromText("2010/01/01 00:00:00"), TimeConvert::fromText("2012/03/04 05:06:07"),
              std::nullopt);
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"a", ""}, {"d", ""}}, {"d"});
  QVERIFY(h.enter(dir.path()));
  onDialog<TFormDateTime>([](TFormDateTime& d) {
    // No row selected: "全て変更" starts checked.
    QVERIFY(child<QCheckBox>(d, "CheckBoxDT1ALL")->isChecked());
    child<QRadioButton>(d, "RadioButtonDT2")->click();
    QVERIFY(!child<QCheckBox>(d, "CheckBoxDT2")->isEnabled());
    QVERIFY(!child<QDateEdit>(d, "DateTimePickerD")->isEnabled());
    QVERIFY(!child<QPushButton>(d, "ButtonnDTNow")->isEnabled());
    child<QCheckBox>(d, "CheckBoxDT1")->click();
    QVERIFY(!child<QCheckBox>(d, "CheckBoxDT1ALL")->isEnabled());
    child<QCheckBox>(d, "CheckBoxDT1")->click();
    QVERIFY(child<QCheckBox>(d, "CheckBoxDT1ALL")->isEnabled());
    child<QPushButton>(d, "ButtonOk")->click();
  });
  h.clickHeader(3);
  QCOMPARE(h.list()->model()->index(0, 3).data().toString(), QStringLiteral("2012/03/04 05:06:07"));
  QCOMPARE(h.list()->model()->index(1, 3).data().toString(), QString());
}

void AttributePageTest::attributeDialogStartsFromFirstSelectedRow() {
  TempDir dir;
  dir.makeFolder("d");
  dir.writeFile("a", "A");
  PosixFileSystem fs;
  fs.setAttributes(dir / "a", AttrReadOnly | AttrArchive);
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"d", ""}, {"a", ""}}, {"d"});
  QVERIFY(h.enter(dir.path()));
  QCOMPARE(h.list()->model()->index(1, 6).data().toString(), QStringLiteral("--RA"));
  struct Case {
    std::initializer_list<int> rows;
    bool r, a, all;
  };
  for (const Case& c : {Case{{0, 1}, false, false, true}, Case{{1}, true, true, false}}) {
    h.selectRows(c.rows);
    onDialog<TFormAttr>([c](TFormAttr& d) {
      QCOMPARE(d.windowTitle(), QStringLiteral("ﾌｧｲﾙ属性設定"));
      QVERIFY(!child<QCheckBox>(d, "CheckBoxS")->isChecked());
      QCOMPARE(child<QCheckBox>(d, "CheckBoxR")->isChecked(), c.r);
      QCOMPARE(child<QCheckBox>(d, "CheckBoxA")->isChecked(), c.a);
      QCOMPARE(child<QCheckBox>(d, "CheckBoxALL")->isChecked(), c.all);
      child<QPushButton>(d, "ButtonCancel")->click();
    });
    h.clickHeader(6);
  }
  QCOMPARE(h.header(6), QStringLiteral("属性"));
}

void AttributePageTest::dummyRunWritesDummies() {
  TempDir dir;
  dir.writeFile("a", "A");
  PosixFileSystem fs;
  ArchiveLibraries archives(fs);
  DummySettings settings;
  settings.zeroByte = false;
  settings.edit = "dummy";
  DummyFileWriter writer(fs, archives, settings);
  Harness h(fs, dir / "Ritoma.und");
  h.page->setDummyWriter(&writer);
  fillEdit(h.edit, {{"a", "b"}});
  QVERIFY(h.enter(dir.path()));
  auto* dummy = h.find<QCheckBox>("CheckBoxDummy");
  QVERIFY(!dummy->isEnabled());
  h.find<QCheckBox>("CheckBoxCopy")->click();
  QVERIFY(dummy->isEnabled());
  QVERIFY(!h.find<QPushButton>("ButtonDummy")->isEnabled());
  dummy->click();
  QVERIFY(h.find<QPushButton>("ButtonDummy")->isEnabled());
  // Copying "a" as "b" into the current folder, as a dummy.
  QVERIFY(h.exec()->isEnabled());
  h.answers = {Answer::Ok};
  QTest::mouseClick(h.exec(), Qt::LeftButton);
  QCOMPARE(h.questions.size(), std::size_t(1));
  QVERIFY(h.questions[0].text.contains(QStringLiteral("コピー/ダミー")));
  QVERIFY(h.messages.empty());
  QCOMPARE(dir.names(), (std::vector<std::string>{"a", "b"}));
  QCOMPARE(dir.readFile("b"), std::string("dummy"));
  QCOMPARE(dir.readFile("a"), std::string("A"));
}

// The fallback for an archive that cannot give its stored file: the run is
// done, and the page stays with the row's note in the result column.
void AttributePageTest::dummyFromALinkIsDoneWithANote() {
  TempDir dir;
  dir.writeFile("a", "A");
  std::ifstream link(std::string(RITOMA_FIXTURES) + "/archive/link.zip", std::ios::binary);
  dir.writeFile("ソlink.zip", std::string(std::istreambuf_iterator<char>(link), {}));
  PosixFileSystem fs;
  ArchiveLibraries archives(fs);
  archives.load(ArcZip);
  DummySettings settings;
  settings.page = 2;
  settings.arcZip = true;
  settings.zeroByte = false;
  settings.edit = "fb";
  DummyFileWriter writer(fs, archives, settings);
  Harness h(fs, dir / "Ritoma.und");
  h.page->setDummyWriter(&writer);
  fillEdit(h.edit, {{"a", "b"}, {"ソlink.zip", "l.zip"}});
  QVERIFY(h.enter(dir.path()));
  h.find<QCheckBox>("CheckBoxCopy")->click();
  h.find<QCheckBox>("CheckBoxDummy")->click();
  h.answers = {Answer::Ok};
  QTest::mouseClick(h.exec(), Qt::LeftButton);

  const QString why = QStringLiteral("書庫内の「ソlink.txt」はリンクのため展開できません");
  QCOMPARE(h.messages.size(), std::size_t(1));
  QCOMPARE(h.messages[0].look, std::optional<MessageKind>(MessageKind::Warning));
  QCOMPARE(h.messages[0].text,
           QString::fromUtf8(ExecutionFlow::FellBackText) + QStringLiteral("\n\nソlink.zip: ") + why);
  QCOMPARE(dir.readFile("l.zip"), std::string("fb"));
  QCOMPARE(dir.readFile("b"), std::string("fb"));
  QTreeView* list = h.list();
  QVERIFY(!list->isColumnHidden(PlanListModel::ResultColumn));
  QCOMPARE(list->model()->index(0, PlanListModel::ResultColumn).data().toString(), QStringLiteral("コピー済"));
  QCOMPARE(list->model()->index(1, PlanListModel::ResultColumn).data().toString(),
           QStringLiteral("代わりの内容で作成: ") + why);
  QCOMPARE(h.mark(1), int(MarkNone));
  QVERIFY(!h.exec()->isEnabled());
  QCOMPARE(h.captions.back(), QStringLiteral("Ritoma - 属性"));
}

void AttributePageTest::copyFolderBrowserRunsTheCheck() {
  TempDir dir;
  dir.makeFolder("out");
  dir.writeFile("a", "A");
  dir.writeFile("out/b", "");
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"a", "b"}});
  QVERIFY(h.enter(dir.path()));
  h.find<QCheckBox>("CheckBoxCopy")->click();
  QVERIFY(h.exec()->isEnabled());
  h.browseAnswer = QString::fromStdString(dir / "out");
  QTest::mouseClick(h.find<QPushButton>("ButtonOutPath"), Qt::LeftButton);
  QCOMPARE(h.browsed.back(), QStringLiteral("出力先ディレクトリの指定|") + QString::fromStdString(dir.path()));
  QCOMPARE(h.find<QComboBox>("ComboBoxCopyPath")->currentText(), QString::fromStdString(dir / "out"));
  QCOMPARE(h.mark(0), int(MarkExists));
  QVERIFY(!h.exec()->isEnabled());
  QVERIFY(h.find<QCheckBox>("CheckBoxIgnore")->isEnabled());

  // A copy folder that does not exist is emptied by the check: names are
  // compared with the current folder then.
  h.browseAnswer = QString::fromStdString(dir / "gone");
  QTest::mouseClick(h.find<QPushButton>("ButtonOutPath"), Qt::LeftButton);
  QCOMPARE(h.browsed.back(), QStringLiteral("出力先ディレクトリの指定|") + QString::fromStdString(dir / "out"));
  QCOMPARE(h.find<QComboBox>("ComboBoxCopyPath")->currentText(), QString());
  QCOMPARE(h.mark(0), int(MarkNone));
}

void AttributePageTest::folderChooserSpeaksTheWindowsLanguage() {
  TempDir dir;
  dir.writeFile("a", "A");
  dir.makeFolder("表out");
  dir.makeFolder("ソ");
  dir.writeFile("写真.JPG", "");
  // 2021/03/04 05:06:07 in Tokyo, the tests' time zone.
  const timespec times[2] = {{1614801967, 0}, {1614801967, 0}};
  for (const char* name : {"表out", "ソ"})
    QCOMPARE(::utimensat(AT_FDCWD, (dir / name).c_str(), times, 0), 0);
  // Qt's Japanese texts, as the program loads them: the short header "更新日"
  // leaves the time column narrower than the English one.
  QTranslator qtTexts;
  if (qtTexts.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(&qtTexts);
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und", true);
  fillEdit(h.edit, {{"a", "b"}});
  QVERIFY(h.enter(dir.path()));
  h.find<QCheckBox>("CheckBoxCopy")->click();

  // What the chooser showed, read while it is open; it is always closed,
  // so that a failed look cannot hang the test.
  QString title, start;
  QStringList rows;
  bool timeFits = false;
  auto look = [&](int folders, bool choose) {
    QTimer::singleShot(0, [&, folders, choose] {
      auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!chooser) return;
      title = chooser->windowTitle();
      start = chooser->directory().absolutePath();
      auto* view = chooser->findChild<QTreeView*>(QStringLiteral("treeView"));
      if (view) {
        const QAbstractItemModel* model = view->model();
        // The file system model lists the folder in a thread of its own.
        if (!QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) == folders; }, 5000))
          qWarning("the chooser listed %d folders", model->rowCount(view->rootIndex()));
        for (int r = 0; r < model->rowCount(view->rootIndex()); ++r) {
          QStringList texts;
          for (int c = 0; c < model->columnCount(view->rootIndex()); ++c)
            texts << model->index(r, c, view->rootIndex()).data().toString();
          rows << texts.join(QLatin1Char('|'));
          QStyleOptionViewItem option;
          option.initFrom(view->viewport());
          const QModelIndex time = model->index(r, FolderChooserModel::ColumnTime, view->rootIndex());
          timeFits = view->header()->sectionSize(FolderChooserModel::ColumnTime) >=
                     view->itemDelegateForIndex(time)->sizeHint(option, time).width();
        }
      }
      auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (choose && name) {
        name->setFocus();
        name->setText(QStringLiteral("表out"));  // QTest types ASCII only
        QTest::keyClick(name, Qt::Key_Return);
      }
      if (chooser->isVisible()) chooser->reject();
    });
    QTest::mouseClick(h.find<QPushButton>("ButtonOutPath"), Qt::LeftButton);
  };

  look(2, true);
  QCOMPARE(title, QStringLiteral("出力先ディレクトリの指定"));
  QCOMPARE(start, QString::fromStdString(dir.path()));
  // Folders only, whatever the desktop's regional settings say.
  rows.sort();
  QCOMPARE(rows, QStringList({QStringLiteral("ソ||フォルダ|2021/03/04 05:06"),
                              QStringLiteral("表out||フォルダ|2021/03/04 05:06")}));
  QVERIFY(timeFits);
  const QString chosen = QString::fromStdString(dir / "表out");
  QCOMPARE(h.find<QComboBox>("ComboBoxCopyPath")->currentText(), chosen);

  // Cancel keeps the copy folder.
  rows.clear();
  look(0, false);
  QCOMPARE(start, chosen);
  QCOMPARE(h.find<QComboBox>("ComboBoxCopyPath")->currentText(), chosen);
}

void AttributePageTest::settingsRoundTrip() {
  TempDir dir;
  PosixFileSystem fs;
  const std::string ini = dir / "Ritoma.ini";
  dir.writeFile("Ritoma.ini",
                TextCodec::toUtf8(cp("[Rename]\nForce=1\nCopy=0\nPath=/tmp/表\nDummy=1\nPathCount=2\n"
                                     "Path-0=/tmp/表\nPath-1=/var\n")));
  Harness h(fs, dir / "Ritoma.und");
  {
    IniFile file(fs, ini);
    h.page->loadSettings(file);
  }
  QVERIFY(h.find<QCheckBox>("CheckBoxForce")->isChecked());
  QCOMPARE(h.find<QLineEdit>("EditForce")->text(), QStringLiteral("@"));
  QVERIFY(h.find<QCheckBox>("CheckBoxDummy")->isChecked());
  auto* combo = h.find<QComboBox>("ComboBoxCopyPath");
  QCOMPARE(combo->count(), 2);
  QCOMPARE(combo->itemText(1), QStringLiteral("/var"));
  QCOMPARE(combo->currentText(), QStringLiteral("/tmp/表"));
  // Loading runs no check: nothing is pending that was not before.
  QVERIFY(h.captions.empty());

  h.find<QLineEdit>("EditForce")->setText(QStringLiteral("＠"));
  {
    IniFile file(fs, ini);
    file.eraseSection("Rename");
    h.page->saveSettings(file);
  }
  IniFile back(fs, ini);
  QCOMPARE(back.readString("Rename", "Header"), cp("＠"));
  QCOMPARE(back.readInteger("Rename", "PathCount", 0), 2);
  QCOMPARE(back.readString("Rename", "PATH-0"), cp("/tmp/表"));
  QVERIFY(back.readBool("Rename", "Force", false));
  QVERIFY(!back.readBool("Rename", "Copy", true));
}

void AttributePageTest::forceMarkerIsRefusedAsTheCommandLineRefusesIt() {
  TempDir dir;
  dir.makeFolder("work");
  dir.writeFile("work/a", "A");
  dir.writeFile("work/ソ", "S");
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"a", "ソ"}, {"ソ", "a"}});
  QVERIFY(h.enter(dir / "work"));
  h.find<QCheckBox>("CheckBoxForce")->click();
  QVERIFY(h.exec()->isEnabled());
  auto* edit = h.find<QLineEdit>("EditForce");

  const struct {
    const char* name;
    QString marker;
    QString reason;
  } refused[] = {
      {"into the parent folder", QStringLiteral("../"), QStringLiteral("/ は使用禁止文字です。")},
      {"two dots", QStringLiteral(".."), QStringLiteral("ﾌｧｲﾙ名として使用できません。")},
      {"empty", QString(), QStringLiteral("ﾌｧｲﾙ名が空です。")},
      {"NUL", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), QStringLiteral("ﾌｧｲﾙ名に使用できない文字があります。")},
      {"forbidden character", QStringLiteral("@*"), QStringLiteral("* は使用禁止文字です。")},
  };
  for (const auto& c : refused) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    if (c.marker.contains(QChar(0)))
      edit->setText(c.marker);
    else
      QTest::keyClicks(edit, c.marker);
    QVERIFY2(!h.exec()->isEnabled(), c.name);
    h.messages.clear();
    QTest::mouseClick(h.check(), Qt::LeftButton);
    QVERIFY2(h.messages.size() == 1, c.name);
    QVERIFY2(h.messages[0].text.startsWith(QStringLiteral("強制変更のマーカー「")), c.name);
    QVERIFY2(h.messages[0].text.endsWith(c.reason), c.name);
    QVERIFY2(!h.exec()->isEnabled(), c.name);
    QVERIFY2(h.check()->text() == QStringLiteral("？"), c.name);
  }
  QCOMPARE(dir.names(), (std::vector<std::string>{"work"}));

  // A marker the check accepts runs the swap through temporary names.
  edit->setText(QStringLiteral("表"));
  h.messages.clear();
  QTest::mouseClick(h.check(), Qt::LeftButton);
  QVERIFY(h.messages.empty());
  QVERIFY(h.exec()->isEnabled());
  h.answers = {Answer::Ok};
  QTest::mouseClick(h.exec(), Qt::LeftButton);
  QCOMPARE(dir.readFile("work/a"), std::string("S"));
  QCOMPARE(dir.readFile("work/ソ"), std::string("A"));
  QCOMPARE(dir.names("work"), (std::vector<std::string>{"a", "ソ"}));

  // From the settings file a refused marker gives way to the default.
  const std::string ini = dir / "Ritoma.ini";
  for (const auto& [stored, shown] : {std::pair{"../", "@"}, {"..", "@"}, {"a/b", "@"}, {"表@", "表@"}}) {
    dir.writeFile("Ritoma.ini", std::string("[Rename]\nHeader=") + stored + "\n");
    IniFile file(fs, ini);
    h.page->loadSettings(file);
    QVERIFY2(edit->text() == QString::fromUtf8(shown), stored);
  }
}

void AttributePageTest::doubleClickSelectsAllRows() {
  TempDir dir;
  for (const char* n : {"a", "b", "c"}) dir.writeFile(n, n);
  PosixFileSystem fs;
  Harness h(fs, dir / "Ritoma.und");
  fillEdit(h.edit, {{"a", ""}, {"b", ""}, {"c", ""}});
  QVERIFY(h.enter(dir.path()));
  const QRect rect = h.list()->visualRect(h.list()->model()->index(1, 1));
  // A real double click: press, release, double click, release.
  QTest::mouseClick(h.list()->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(h.list()->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseRelease(h.list()->viewport(), Qt::LeftButton, {}, rect.center());
  QCOMPARE(h.list()->selectionModel()->selectedRows().size(), 3);
}

QTEST_MAIN(AttributePageTest)
#include "AttributePageTest.moc"
