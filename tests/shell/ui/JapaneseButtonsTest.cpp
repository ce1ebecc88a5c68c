#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include "execution/ui/FolderChooser.h"
#include "shell/ui/RitomaApplication.h"

using namespace ritoma;

namespace {

QString shown(const QAbstractButton* button) { return button ? button->text().remove(QLatin1Char('&')) : QString(); }

}  // namespace

// Qt's own boxes and the folder chooser speak Japanese in the program, as
// the rest of the window does.
class JapaneseButtonsTest : public QObject {
  Q_OBJECT

private slots:
  void messageBoxButtons() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), QStringLiteral("終了しますか？"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    const QStringList texts{shown(box.button(QMessageBox::Yes)), shown(box.button(QMessageBox::No)),
                            shown(box.button(QMessageBox::Ok)), shown(box.button(QMessageBox::Cancel))};
    QCOMPARE(texts, QStringList({QStringLiteral("はい(Y)"), QStringLiteral("いいえ(N)"), QStringLiteral("OK"),
                                 QStringLiteral("キャンセル")}));
  }

  void folderChooser() {
    FolderChooser chooser(nullptr, QStringLiteral("出力先ディレクトリの指定"), QString());
    const auto* buttons = chooser.findChild<QDialogButtonBox*>();
    QVERIFY(buttons);
    QCOMPARE(shown(buttons->button(QDialogButtonBox::Cancel)), QStringLiteral("キャンセル"));
    const auto* lookIn = chooser.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    QVERIFY(lookIn);
    QVERIFY2(!lookIn->text().contains(QStringLiteral("Look in")), qPrintable(lookIn->text()));
  }
};

int main(int argc, char** argv) {
  RitomaApplication app(argc, argv);
  // Qt's folder chooser keeps its history in the user's settings; the test keeps its own apart.
  QStandardPaths::setTestModeEnabled(true);
  JapaneseButtonsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "JapaneseButtonsTest.moc"
