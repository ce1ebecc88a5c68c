// Saves a picture of each page of the main window, of the macro, time and
// dummy-file dialogs, of the confirmation before a run, of the folder
// chooser and of two pages of the settings dialog, on a sample folder made
// for the purpose:
//   ritoma-screenshots OUTPUT-FOLDER
// Run it under a display server (scripts/screenshots uses Xvfb).

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "dummy/ui/TFormDummy.h"
#include "execution/ExecutionFlow.h"
#include "platform/PosixFileSystem.h"
#include "shell/ui/RitomaApplication.h"
#include "shell/ui/TFormMain.h"

namespace {

QString output;

void settle() {
  for (int i = 0; i < 10; ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(20);
  }
}

bool save(QWidget* widget, const char* name) {
  settle();
  const QString path = output + QLatin1Char('/') + QLatin1String(name);
  if (widget->window()->grab().save(path)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

template <class T>
T* child(QWidget& form, const char* name) {
  return form.findChild<T*>(QString::fromLatin1(name));
}

// Saves the modal dialog that `open` shows, after `prepare` (if any) has
// set it up, then closes it. The flag outlives this call, in case `open`
// shows nothing and the timer fires later.
bool saveDialog(const std::function<void()>& open, const char* name,
                const std::function<void(QWidget*)>& prepare = {}) {
  auto saved = std::make_shared<bool>(false);
  QTimer::singleShot(200, [saved, name, prepare] {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
      if (prepare) prepare(dialog);
      *saved = save(dialog, name);
      dialog->close();
    }
  });
  open();
  return *saved;
}

void makeSample(const QString& folder) {
  QDir dir(folder);
  dir.mkpath(QStringLiteral("資料"));
  for (const char* name : {"表紙.txt", "ソース一覧.csv", "memo.txt", "photo_0012.jpg", "photo_0013.jpg",
                           "photo_0014.jpg", "旅行記録.doc"}) {
    QFile file(dir.filePath(QString::fromUtf8(name)));
    if (file.open(QIODevice::WriteOnly)) file.write("sample\n");
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  ritoma::RitomaApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: ritoma-screenshots OUTPUT-FOLDER\n");
    return 2;
  }
  output = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(output);
  QTemporaryDir work;
  const QString sample = work.filePath(QStringLiteral("sample"));
  makeSample(sample);
  const QString settings = work.filePath(QStringLiteral("Ritoma.ini"));
  {
    QFile ini(settings);
    if (!ini.open(QIODevice::WriteOnly)) return 1;
    ini.write(("[Window]\nLeft=0\nTop=0\nWidth=760\nHeight=480\nDir=" + sample.toUtf8() + "\n").data());
    ini.write("[Dummy]\nZeroByte=0\nEdit=ダミーファイルの内容\\n\\t全角　と半角 の空白\\n\nBinTxt=0\nTxt1=1\nTxt2=20\n"
              "ArcLzh=1\nArcZip=1\nArcExt=1\n");
    ini.write(QStringLiteral("[Filter]\nCount=3\nN-000=写真\nF-000=*.jpg;*.jpeg\nN-001=文書\nF-001=*.txt;*.doc\n"
                             "C-002=0\nN-002=表計算\nF-002=*.csv\n").toUtf8());
  }

  ritoma::PosixFileSystem fs;
  ritoma::TFormMain form(fs, settings.toStdString(),
                         [](ritoma::QtUserInteraction::Prompt&) { return ritoma::Answer::Ok; });
  form.show();
  bool ok = save(&form, "page1-select.png");

  child<QPushButton>(form, "Button1NEXT")->click();
  ok = save(&form, "page2-edit.png") && ok;

  child<QPushButton>(form, "Button2CNV")->click();
  auto* list3 = child<QTreeView>(form, "ListView3");
  list3->selectionModel()->select(list3->model()->index(0, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  child<QLineEdit>(form, "LabeledEditF")->setText(QStringLiteral("/f_/n<1,1>"));
  child<QPushButton>(form, "Button3CNV")->click();
  child<QPushButton>(form, "Button3CNV")->click();
  ok = save(&form, "page3-convert.png") && ok;

  child<QComboBox>(form, "ComboBoxMacro")->setCurrentIndex(2);
  ok = saveDialog([&] { child<QPushButton>(form, "ButtonMacroEditF2")->click(); }, "dialog-macro.png") && ok;

  child<QPushButton>(form, "Button3OK")->click();
  child<QPushButton>(form, "Button2EXEC")->click();
  auto* list4 = child<QTreeView>(form, "ListView4");
  list4->selectionModel()->select(list4->model()->index(1, 1),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ok = save(&form, "page4-attribute.png") && ok;

  ok = saveDialog([&] { emit list4->header()->sectionClicked(3); }, "dialog-time.png") && ok;

  // The form's own boxes answer from a script here; these are real ones.
  ritoma::QtUserInteraction boxes(&form);
  ok = saveDialog(
           [&] {
             boxes.askAs(ritoma::MessageKind::Information, ritoma::QuestionKind::OkCancel,
                         "\n以下の処理を実行します\n\n・ リネームあり\n\n・ 日付変更なし\n\n・ 属性変更なし\n",
                         ritoma::ExecutionFlow::Caption);
           },
           "box-confirm.png") &&
       ok;
  child<QAbstractButton>(form, "CheckBoxCopy")->click();
  ok = saveDialog([&] { child<QPushButton>(form, "ButtonOutPath")->click(); }, "dialog-folder.png") && ok;
  child<QAbstractButton>(form, "CheckBoxDummy")->click();
  auto* dummyPages = form.findChild<ritoma::TFormDummy*>()->findChild<QTabWidget*>(QStringLiteral("PageControl"));
  for (int page = 0; page < 3; ++page) {
    dummyPages->setCurrentIndex(page);
    const std::string name = "dialog-dummy" + std::to_string(page + 1) + ".png";
    ok = saveDialog([&] { child<QPushButton>(form, "ButtonDummy")->click(); }, name.c_str()) && ok;
  }

  QAction* setup = form.findChild<QAction*>(QStringLiteral("MenuSetup"));
  const auto onPage = [](int page, bool selectRow) {
    return [page, selectRow](QWidget* dialog) {
      dialog->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(page);
      if (selectRow) {
        auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("ListViewFilter"));
        list->setCurrentItem(list->topLevelItem(0));
      }
    };
  };
  ok = saveDialog([&] { setup->trigger(); }, "dialog-setup-filter.png", onPage(1, true)) && ok;
  ok = saveDialog([&] { setup->trigger(); }, "dialog-setup-archive.png", onPage(5, false)) && ok;
  return ok ? 0 : 1;
}
