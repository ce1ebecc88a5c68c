#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cerrno>
#include <functional>
#include <memory>
#include <stdexcept>

#include "conversion/ui/RegisteredListView.h"
#include "dummy/ui/TFormDummy.h"
#include "platform/PosixFileSystem.h"
#include "selection/ui/SelectionPageWidget.h"
#include "settings/IniFile.h"
#include "settings/FilesScript.h"
#include "settings/ShortcutPlaces.h"
#include "settings/ui/TFormSetup.h"
#include "shell/ui/HelpViewer.h"
#include "shell/ui/RitomaApplication.h"
#include "shell/ui/TFormMain.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/ui/HelpAnchor.h"
#include "support/ui/FormChild.h"
#include "text/TextCodec.h"

using namespace ritoma;

namespace {

// The home folder of every test: HOME, XDG_DESKTOP_DIR and the other XDG
// folders point into it (set in main).
TempDir* home = nullptr;

std::string desktopFolder() { return *home / "デスクトップ表"; }
std::string desktopFile() { return desktopFolder() + "/Ritoma.desktop"; }
std::string sendToFile() { return *home / ".local/share/applications/Ritoma.desktop"; }
std::string filesScript() { return *home / ".local/share/nautilus/scripts/Ritomaで名前を一括変更"; }
bool exists(const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); }

// Back ends of which ZIP never loads.
class ZipRefused : public ArchiveLibraries {
public:
  using ArchiveLibraries::ArchiveLibraries;
  bool load(ArcKind kind) override { return kind != ArcZip && ArchiveLibraries::load(kind); }
};

// A program folder with names whose second byte in code page 932 is "\".
struct Fixture {
  TempDir program;
  TempDir config;
  PosixFileSystem real;
  FaultyFileSystem fs{real};
  std::vector<QtUserInteraction::Prompt> prompts;
  std::unique_ptr<TFormMain> form;

  explicit Fixture(const std::string& settings = {}) {
    program.writeFile("表.txt", "x");
    program.writeFile("ソフト.doc", "yy");
    fs.setExecutableFolder(program.path());
    if (!settings.empty()) config.writeFile("Ritoma.ini", settings);
    form = std::make_unique<TFormMain>(fs, config / "Ritoma.ini", [this](QtUserInteraction::Prompt& p) {
      prompts.push_back(p);
      return Answer::Ok;
    });
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) throw std::runtime_error("the window does not show");
  }
  std::string settingsText() const { return config.readFile("Ritoma.ini"); }

  // A dialog on the window's values, with `archives` as its back ends.
  std::unique_ptr<TFormSetup> dialog(ArchiveLibraries& archives, std::function<void()> switched = {}) {
    auto dialog = std::make_unique<TFormSetup>(
        fs, config / "Ritoma.ini",
        TFormSetup::Target{form->options(), archives, form->selectionPage(), std::move(switched)},
        ShortcutPlaces::forThisUser(fs), "/opt/表 ソ/ritoma", form->interaction(), form.get());
    dialog->show();
    return dialog;
  }
};

QCheckBox* box(QWidget* dialog, const char* name) { return child<QCheckBox>(dialog, name); }
QPushButton* button(QWidget* dialog, const char* name) { return child<QPushButton>(dialog, name); }

void ok(QWidget* dialog) { QTest::mouseClick(button(dialog, "ButtonOk"), Qt::LeftButton); }

// Rows of the filter list: check, name, pattern text.
QStringList rows(QWidget* dialog) {
  QStringList out;
  auto* list = child<QTreeWidget>(dialog, "ListViewFilter");
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = list->topLevelItem(i);
    out << (item->checkState(0) == Qt::Checked ? QStringLiteral("1|") : QStringLiteral("0|")) + item->text(1) +
               QLatin1Char('|') + item->text(2);
  }
  return out;
}

QStringList choice(TFormMain& form) {
  QStringList out;
  auto* combo = child<QComboBox>(&form, "FilterComboBox");
  for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
  return out;
}

void clickRow(QTreeWidget* list, int row) {
  const QRect rect = list->visualItemRect(list->topLevelItem(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(rect.center().x() + 40, rect.center().y()));
}

const char* const ThreeFilters =
    "[Filter]\nAttr=144\nCount=3\n"
    "C-000=1\nN-000=テキスト表\nF-000=*.txt\n"
    "C-001=0\nN-001=文書\nF-001=*.doc\n"
    "C-002=1\nN-002=ソフト\nF-002=*.doc;*.DOC\n"
    "Ext=2\n";

}  // namespace

class FormSetupTest : public QObject {
  Q_OBJECT
private slots:
  void okWithoutChangesRebuildsTheChoiceAndRewritesTheFile();
  void shortcutBoxesCreateAndDeleteTheFiles();
  void sendToBoxAlsoWritesTheFilesScript();
  void backupBoxesGiveArcBackup();
  void filterListIsEditedAndReordered();
  void backEndThatCannotLoadStaysOff();
  void switchedBackEndsReachTheTreeAndTheDummyDialog();
  void countFieldsTakeDigitsUpTo1000();
  void cancelAndEscapeChangeNothing();
  void unwritableSettingsFileIsReported();
  void pagesCarryTheirCaptionsAndHelp();
};

// Through the menu: OK without changes selects the first filter entry,
// writes exactly the sections Filter, Option and Arc, and lists the folder
// again (a file made meanwhile shows up).
void FormSetupTest::okWithoutChangesRebuildsTheChoiceAndRewritesTheFile() {
  Fixture f(ThreeFilters);
  QCOMPARE(child<QComboBox>(f.form.get(), "FilterComboBox")->currentIndex(), 2);
  f.program.writeFile("新しい表.txt", "");
  QAction* menuSetup = f.form->findChild<QAction*>(QStringLiteral("MenuSetup"));
  QVERIFY(menuSetup->isEnabled());
  QStringList seen;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    seen << dialog->objectName() << dialog->windowTitle() << rows(dialog);
    ok(dialog);
  });
  menuSetup->trigger();
  QCOMPARE(seen, (QStringList{"FormSetup", "環境設定", "1|テキスト表|*.txt", "0|文書|*.doc", "1|ソフト|*.doc;*.DOC"}));
  QCOMPARE(choice(*f.form), (QStringList{"全てのﾌｧｲﾙ(*.*)", "テキスト表", "ソフト"}));
  QCOMPARE(child<QComboBox>(f.form.get(), "FilterComboBox")->currentIndex(), 0);
  QVERIFY(f.form->checkedNames().contains(QStringLiteral("新しい表.txt")));
  QCOMPARE(f.settingsText(),
           std::string("[Filter]\nAttr=144\nCount=3\n"
                       "C-000=1\nN-000=テキスト表\nF-000=*.txt\n"
                       "C-001=0\nN-001=文書\nF-001=*.doc\n"
                       "C-002=1\nN-002=ソフト\nF-002=*.doc;*.DOC\n"
                       "\n[Option]\nArcOpen=1\nGreet1=500\nGreet2=200\nGreet3=100\nGreet4=300\nGreet5=100\n"
                       "ChkAuto=1\nChkStop=0\nChkForce=1\nMsgExec=1\nMsgDir=1\nMsgExit=0\nArcBackup=1\n"
                       "\n[Arc]\nLZH=1\nZIP=1\n"));
  QVERIFY(f.prompts.empty());
}

// In a temporary home with XDG_DESKTOP_DIR set: each box creates or deletes
// its file; a missing desktop folder is skipped without a word.
void FormSetupTest::shortcutBoxesCreateAndDeleteTheFiles() {
  Fixture f;
  ArchiveLibraries archives(f.fs);
  home->makeFolder("デスクトップ表");
  {
    auto dialog = f.dialog(archives);
    QVERIFY(!box(dialog.get(), "CheckBoxDesktop")->isChecked());
    QVERIFY(!box(dialog.get(), "CheckBoxSendTo")->isChecked());
    box(dialog.get(), "CheckBoxDesktop")->setChecked(true);
    box(dialog.get(), "CheckBoxSendTo")->setChecked(true);
    ok(dialog.get());
  }
  QVERIFY(exists(desktopFile()));
  QVERIFY(exists(sendToFile()));
  QVERIFY(QFileInfo(QString::fromStdString(desktopFile())).isExecutable());
  const std::string sendTo = home->readFile(".local/share/applications/Ritoma.desktop");
  QVERIFY(sendTo.find("\nExec=\"/opt/表 ソ/ritoma\" %F\n") != std::string::npos);
  QVERIFY(sendTo.find("\nMimeType=inode/directory;application/zip;") != std::string::npos);
  const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
  if (!validate.isEmpty()) {
    for (const std::string& file : {desktopFile(), sendToFile()}) {
      QProcess process;
      process.start(validate, {QString::fromStdString(file)});
      QVERIFY(process.waitForFinished());
      QVERIFY2(process.exitCode() == 0, process.readAllStandardOutput().constData());
    }
  }
  {
    auto dialog = f.dialog(archives);
    QVERIFY(box(dialog.get(), "CheckBoxDesktop")->isChecked());
    QVERIFY(box(dialog.get(), "CheckBoxSendTo")->isChecked());
    box(dialog.get(), "CheckBoxDesktop")->setChecked(false);
    ok(dialog.get());
  }
  QVERIFY(!exists(desktopFile()));
  QVERIFY(exists(sendToFile()));

  qputenv("XDG_DESKTOP_DIR", QByteArray::fromStdString(*home / "無い"));
  {
    auto dialog = f.dialog(archives);
    QVERIFY(!box(dialog.get(), "CheckBoxDesktop")->isChecked());
    box(dialog.get(), "CheckBoxDesktop")->setChecked(true);
    ok(dialog.get());
  }
  QVERIFY(!exists(*home / "無い"));
  QVERIFY(f.prompts.empty());
  qputenv("XDG_DESKTOP_DIR", QByteArray::fromStdString(desktopFolder()));
  QFile::remove(QString::fromStdString(sendToFile()));
  QFile::remove(QString::fromStdString(filesScript()));
}

// The Send To box writes the Files script with the "Open With" entry and
// removes it again; a script of that name that the user wrote stays as it is.
void FormSetupTest::sendToBoxAlsoWritesTheFilesScript() {
  Fixture f;
  ArchiveLibraries archives(f.fs);
  const auto setSendTo = [&](bool on) {
    auto dialog = f.dialog(archives);
    box(dialog.get(), "CheckBoxSendTo")->setChecked(on);
    ok(dialog.get());
  };
  setSendTo(true);
  QVERIFY(exists(sendToFile()));
  const std::string script = home->readFile(".local/share/nautilus/scripts/Ritomaで名前を一括変更");
  QCOMPARE(script, FilesScript::text("/opt/表 ソ/ritoma"));
  QVERIFY(QFileInfo(QString::fromStdString(filesScript())).isExecutable());
  // Offered under "Open With" only: the default application of no type.
  QVERIFY(!exists(*home / ".config/mimeapps.list"));
  QVERIFY(!exists(*home / ".local/share/applications/mimeapps.list"));
  setSendTo(false);
  QVERIFY(!exists(sendToFile()));
  QVERIFY(!exists(filesScript()));

  const std::string own = "#!/bin/sh\nexec ritoma \"$@\"\n";
  home->writeFile(".local/share/nautilus/scripts/Ritomaで名前を一括変更", own);
  setSendTo(true);
  QCOMPARE(home->readFile(".local/share/nautilus/scripts/Ritomaで名前を一括変更"), own);
  setSendTo(false);
  QCOMPARE(home->readFile(".local/share/nautilus/scripts/Ritomaで名前を一括変更"), own);
  QVERIFY(!exists(sendToFile()));
  QFile::remove(QString::fromStdString(filesScript()));
  QVERIFY(f.prompts.empty());
}

// Backup unchecked gives ArcBackup 0 and disables keep-first whatever its
// state; keep-first is read from and written as 2.
void FormSetupTest::backupBoxesGiveArcBackup() {
  Fixture f("[Option]\nArcBackup=2\n");
  ArchiveLibraries archives(f.fs);
  QCOMPARE(f.form->options().arcBackup, 2);
  {
    auto dialog = f.dialog(archives);
    QCheckBox* backup = box(dialog.get(), "CheckBoxArcBackup");
    QCheckBox* first = box(dialog.get(), "CheckBoxArcBackupFirst");
    QVERIFY(backup->isChecked() && first->isChecked() && first->isEnabled());
    QTest::mouseClick(backup, Qt::LeftButton);
    QVERIFY(!first->isEnabled());
    QVERIFY(first->isChecked());
    ok(dialog.get());
  }
  QCOMPARE(f.form->options().arcBackup, 0);
  QCOMPARE(IniFile(f.fs, f.config / "Ritoma.ini").readInteger("Option", "ArcBackup", -1), 0);
  {
    auto dialog = f.dialog(archives);
    QVERIFY(!box(dialog.get(), "CheckBoxArcBackup")->isChecked());
    QVERIFY(!box(dialog.get(), "CheckBoxArcBackupFirst")->isEnabled());
    QTest::mouseClick(box(dialog.get(), "CheckBoxArcBackup"), Qt::LeftButton);
    QVERIFY(box(dialog.get(), "CheckBoxArcBackupFirst")->isEnabled());
    QVERIFY(!box(dialog.get(), "CheckBoxArcBackupFirst")->isChecked());
    ok(dialog.get());
  }
  QCOMPARE(f.form->options().arcBackup, 1);
}

void FormSetupTest::filterListIsEditedAndReordered() {
  Fixture f(ThreeFilters);
  ArchiveLibraries archives(f.fs);
  auto dialog = f.dialog(archives);
  auto* list = child<RegisteredListView>(dialog.get(), "ListViewFilter");
  auto* name = child<QLineEdit>(dialog.get(), "EditFilterName");
  auto* mask = child<QLineEdit>(dialog.get(), "EditFilterMask");
  QPushButton* add = button(dialog.get(), "ButtonAdd");
  QPushButton* update = button(dialog.get(), "ButtonUpdate");
  QPushButton* remove = button(dialog.get(), "ButtonDelete");
  const auto enabled = [&] { return QList<bool>{add->isEnabled(), update->isEnabled(), remove->isEnabled()}; };
  QCOMPARE(enabled(), (QList<bool>{false, false, false}));

  QTest::keyClicks(name, QStringLiteral("abc"));
  QCOMPARE(enabled(), (QList<bool>{false, false, false}));
  QTest::keyClicks(mask, QStringLiteral("*.x"));
  QCOMPARE(enabled(), (QList<bool>{true, false, false}));
  QTest::mouseClick(add, Qt::LeftButton);
  QCOMPARE(rows(dialog.get()).last(), QStringLiteral("1|abc|*.x"));
  QCOMPARE(list->selectedIndex(), 3);
  QCOMPARE(dialog->focusWidget(), list);
  QCOMPARE(enabled(), (QList<bool>{true, true, true}));

  // A click on a row shows its texts; other texts leave "削除" off until
  // they equal the row's again.
  clickRow(list, 1);
  QCOMPARE(list->selectedIndex(), 1);
  QCOMPARE(name->text(), QStringLiteral("文書"));
  QCOMPARE(mask->text(), QStringLiteral("*.doc"));
  QCOMPARE(enabled(), (QList<bool>{true, true, true}));
  clickRow(list, 3);
  name->setText(QStringLiteral("abd"));
  QCOMPARE(enabled(), (QList<bool>{true, true, false}));
  name->setText(QStringLiteral("abc"));
  QCOMPARE(enabled(), (QList<bool>{true, true, true}));
  // A click below the rows leaves none selected.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(60, list->viewport()->height() - 4));
  QCOMPARE(list->selectedIndex(), -1);
  QCOMPARE(enabled(), (QList<bool>{true, false, false}));
  mask->clear();
  QCOMPARE(enabled(), (QList<bool>{false, false, false}));

  // "更新" replaces the selected row's texts.
  clickRow(list, 0);
  name->setText(QStringLiteral("表ソ"));
  QTest::mouseClick(update, Qt::LeftButton);
  QCOMPARE(rows(dialog.get()).first(), QStringLiteral("1|表ソ|*.txt"));
  // Space toggles the check of the selected row.
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Space);
  QCOMPARE(rows(dialog.get()).first(), QStringLiteral("0|表ソ|*.txt"));

  // Dragging the selected row onto another moves it there, selected.
  emit list->entryDropped(0, 2);
  QCOMPARE(rows(dialog.get()), (QStringList{"0|文書|*.doc", "1|ソフト|*.doc;*.DOC", "0|表ソ|*.txt", "1|abc|*.x"}));
  QCOMPARE(list->selectedIndex(), 2);

  // "削除" removes the row and empties the fields.
  QTest::mouseClick(remove, Qt::LeftButton);
  QCOMPARE(rows(dialog.get()), (QStringList{"0|文書|*.doc", "1|ソフト|*.doc;*.DOC", "1|abc|*.x"}));
  QVERIFY(name->text().isEmpty() && mask->text().isEmpty());
  QCOMPARE(enabled(), (QList<bool>{false, false, false}));

  ok(dialog.get());
  QCOMPARE(choice(*f.form), (QStringList{"全てのﾌｧｲﾙ(*.*)", "ソフト", "abc"}));
  const IniFile ini(f.fs, f.config / "Ritoma.ini");
  QCOMPARE(ini.readInteger("Filter", "Count", 0), 3);
  QCOMPARE(ini.readInteger("Filter", "C-000", 1), 0);
  QCOMPARE(ini.readString("Filter", "N-002"), std::string("abc"));
  QCOMPARE(ini.readString("Filter", "F-002"), std::string("*.x"));
}

// A back end that cannot be loaded leaves its box unchecked and Arc/<type>
// 0, also at the next opening; an unchecked one is unloaded.
void FormSetupTest::backEndThatCannotLoadStaysOff() {
  Fixture f;
  ZipRefused archives(f.fs);
  QVERIFY(archives.load(ArcLzh));
  int switched = 0;
  {
    auto dialog = f.dialog(archives, [&] { ++switched; });
    QVERIFY(box(dialog.get(), "CheckBoxArcLzh")->isChecked());
    QVERIFY(!box(dialog.get(), "CheckBoxArcZip")->isChecked());
    box(dialog.get(), "CheckBoxArcZip")->setChecked(true);
    box(dialog.get(), "CheckBoxArcLzh")->setChecked(false);
    ok(dialog.get());
    QVERIFY(!box(dialog.get(), "CheckBoxArcZip")->isChecked());
  }
  QCOMPARE(switched, 1);
  QVERIFY(!archives.isLoaded(ArcLzh));
  QVERIFY(!archives.isLoaded(ArcZip));
  const IniFile ini(f.fs, f.config / "Ritoma.ini");
  QCOMPARE(ini.readInteger("Arc", "LZH", -1), 0);
  QCOMPARE(ini.readInteger("Arc", "ZIP", -1), 0);
  auto dialog = f.dialog(archives);
  QVERIFY(!box(dialog.get(), "CheckBoxArcZip")->isChecked());
}

// Through the menu: a back end switched off leaves the folder tree and the
// dummy-file dialog's choices, and comes back when switched on again.
void FormSetupTest::switchedBackEndsReachTheTreeAndTheDummyDialog() {
  Fixture f;
  auto* dummy = f.form->findChild<TFormDummy*>();
  QVERIFY(dummy);
  QVERIFY(box(dummy, "CheckBoxArcZip")->isEnabled());
  QAction* menuSetup = f.form->findChild<QAction*>(QStringLiteral("MenuSetup"));
  for (const bool on : {false, true}) {
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      box(dialog, "CheckBoxArcZip")->setChecked(on);
      ok(dialog);
    });
    menuSetup->trigger();
    QCOMPARE(f.form->selectionPage().zipOn(), on);
    QVERIFY(f.form->selectionPage().lzhOn());
    QCOMPARE(box(dummy, "CheckBoxArcZip")->isEnabled(), on);
    QVERIFY(box(dummy, "CheckBoxArcLzh")->isEnabled());
  }
}

// Digits only, four at most; a typed number above 1000 counts as 1000; the
// spinner moves in tens.
void FormSetupTest::countFieldsTakeDigitsUpTo1000() {
  Fixture f;
  ArchiveLibraries archives(f.fs);
  auto dialog = f.dialog(archives);
  child<QTabWidget>(dialog.get(), "PageControl1")->setCurrentIndex(2);
  auto* greet1 = child<QSpinBox>(dialog.get(), "UpDownGreet1");
  auto* edit1 = child<QLineEdit>(dialog.get(), "EditGreet1");
  QCOMPARE(greet1->value(), 500);
  edit1->selectAll();
  QTest::keyClicks(edit1, QStringLiteral("x1a2-"));
  QCOMPARE(edit1->text(), QStringLiteral("12"));
  QCOMPARE(greet1->value(), 12);
  edit1->selectAll();
  QTest::keyClicks(edit1, QStringLiteral("15000"));
  QCOMPARE(edit1->text(), QStringLiteral("1500"));
  QCOMPARE(greet1->value(), 1000);
  QTest::keyClick(edit1, Qt::Key_Backspace);
  QCOMPARE(greet1->value(), 150);
  auto* greet5 = child<QSpinBox>(dialog.get(), "UpDownGreet5");
  greet5->stepUp();
  QCOMPARE(greet5->value(), 110);
  greet5->setValue(995);
  greet5->stepUp();
  QCOMPARE(greet5->value(), 1000);
  ok(dialog.get());
  QCOMPARE(f.form->options().greet, (std::array<int, 5>{150, 200, 100, 300, 1000}));
}

// Whatever was changed, CANCEL and Escape leave the window, the back ends,
// the shortcuts and the file as they were.
void FormSetupTest::cancelAndEscapeChangeNothing() {
  for (const bool escape : {false, true}) {
    Fixture f(ThreeFilters);
    ArchiveLibraries archives(f.fs);
    archives.load(ArcZip);
    const std::string before = f.settingsText();
    const Options options = f.form->options();
    int switched = 0;
    auto dialog = f.dialog(archives, [&] { ++switched; });
    for (const char* name : {"CheckBoxDesktop", "CheckBoxSendTo", "CheckBoxArcOpen", "CheckBoxChkStop",
                             "CheckBoxChkAuto", "CheckBoxMsgExit", "CheckBoxArcZip", "CheckBoxArcBackup"})
      box(dialog.get(), name)->toggle();
    child<QSpinBox>(dialog.get(), "UpDownGreet2")->setValue(0);
    child<QLineEdit>(dialog.get(), "EditFilterName")->setText(QStringLiteral("abc"));
    child<QLineEdit>(dialog.get(), "EditFilterMask")->setText(QStringLiteral("*.x"));
    QTest::mouseClick(button(dialog.get(), "ButtonAdd"), Qt::LeftButton);
    if (escape)
      QTest::keyClick(dialog.get(), Qt::Key_Escape);
    else
      QTest::mouseClick(button(dialog.get(), "ButtonCancel"), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(f.settingsText(), before);
    const Options after = f.form->options();
    QVERIFY(after.arcOpen == options.arcOpen && after.greet == options.greet && after.chkStop == options.chkStop &&
            after.chkAuto == options.chkAuto && after.msgExit == options.msgExit && after.arcBackup == options.arcBackup);
    QVERIFY(archives.isLoaded(ArcZip));
    QCOMPARE(switched, 0);
    QCOMPARE(choice(*f.form), (QStringList{"全てのﾌｧｲﾙ(*.*)", "テキスト表", "ソフト"}));
    QCOMPARE(child<QComboBox>(f.form.get(), "FilterComboBox")->currentIndex(), 2);
    QVERIFY(!exists(desktopFile()) && !exists(sendToFile()));
  }
}

// A settings file that cannot be written is reported; the window keeps the
// new values for this run and the file stays as it was.
void FormSetupTest::unwritableSettingsFileIsReported() {
  Fixture f(ThreeFilters);
  ArchiveLibraries archives(f.fs);
  const std::string before = f.settingsText();
  f.fs.failMatching(FsOp::OpenWrite, "*", EACCES);
  auto dialog = f.dialog(archives);
  box(dialog.get(), "CheckBoxMsgExit")->setChecked(true);
  ok(dialog.get());
  QCOMPARE(dialog->result(), int(QDialog::Accepted));
  QCOMPARE(f.prompts.size(), std::size_t(1));
  QVERIFY(f.prompts[0].text.endsWith(QStringLiteral(" に書き込めません")));
  QVERIFY(f.form->options().msgExit);
  QCOMPARE(f.settingsText(), before);
}

void FormSetupTest::pagesCarryTheirCaptionsAndHelp() {
  Fixture f;
  ArchiveLibraries archives(f.fs);
  auto dialog = f.dialog(archives);
  auto* pages = child<QTabWidget>(dialog.get(), "PageControl1");
  const QStringList captions{"起動", "ﾌｨﾙﾀ", "経過", "ﾁｪｯｸ", "確認", "書庫"};
  QCOMPARE(pages->count(), captions.size());
  for (int i = 0; i < pages->count(); ++i) {
    pages->setCurrentIndex(i);
    QCOMPARE(pages->tabText(i), captions[i]);
    QCOMPARE(helpAnchorOfF1(dialog.get()), HelpViewer::anchorFor(201 + i));
  }
  QCOMPARE(box(dialog.get(), "CheckBoxSendTo")->text(), QStringLiteral("「送る」 ﾒﾆｭｰに追加"));
  QCOMPARE(child<QLabel>(dialog.get(), "LabelGreet")->text(), QStringLiteral("※0件の場合は表示なし"));
  QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
}

int main(int argc, char** argv) {
  TempDir folder;
  home = &folder;
  qputenv("HOME", QByteArray::fromStdString(folder.path()));
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder / ".config"));
  qunsetenv("XDG_DATA_HOME");
  qputenv("XDG_DESKTOP_DIR", QByteArray::fromStdString(desktopFolder()));
  RitomaApplication app(argc, argv);
  FormSetupTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "FormSetupTest.moc"
