#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include "support/TempDir.h"

using namespace ritoma;

namespace {

// An X server of its own (Xvfb) for the program, on a display it picks.
class XServer {
public:
  XServer() {
    process_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                            QStringLiteral("-screen"), QStringLiteral("0"),
                                            QStringLiteral("800x600x24"), QStringLiteral("-nolisten"),
                                            QStringLiteral("tcp")});
    if (!process_.waitForStarted(5000)) return;
    // Xvfb writes its display number once it accepts clients.
    QByteArray out;
    while (!out.contains('\n') && process_.waitForReadyRead(10000)) out += process_.readAllStandardOutput();
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (ok) display_ = QStringLiteral(":%1").arg(number);
  }
  ~XServer() {
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(5000);
  }
  // Empty when no server could be started.
  const QString& display() const { return display_; }

private:
  QProcess process_;
  QString display_;
};

QString run(const QString& program, const QStringList& args) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
  process.setProcessEnvironment(env);
  process.start(program, args);
  process.waitForFinished(10000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The title properties of every top-level window whose name starts with
// "Ritoma - " (the main window; the client leader is named "Ritoma"), as the
// window system holds them.
QStringList ritomaTitles(const QString& display) {
  QStringList titles;
  const QString tree = run(QStringLiteral("xwininfo"),
                           {QStringLiteral("-display"), display, QStringLiteral("-root"), QStringLiteral("-children")});
  static const QRegularExpression window(QStringLiteral("^\\s*(0x[0-9a-f]+) \"Ritoma - "),
                                         QRegularExpression::MultilineOption);
  for (auto it = window.globalMatch(tree); it.hasNext();) {
    const QString id = it.next().captured(1);
    titles << run(QStringLiteral("xprop"), {QStringLiteral("-display"), display, QStringLiteral("-id"), id,
                                            QStringLiteral("_NET_WM_NAME"), QStringLiteral("WM_NAME")})
                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  return titles;
}

}  // namespace

class WindowTitleTest : public QObject {
  Q_OBJECT
private slots:
  void windowSystemShowsTheCaptionAsItStands();
};

// The platform would append the application's display name to every title;
// the window system must hold the caption alone.
void WindowTitleTest::windowSystemShowsTheCaptionAsItStands() {
  for (const char* tool : {"Xvfb", "xwininfo", "xprop"})
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
      QSKIP(qPrintable(QStringLiteral("%1 is not installed: no X server to read titles from").arg(QLatin1String(tool))));
  XServer server;
  if (server.display().isEmpty()) QSKIP("Xvfb could not be started: no X server to read titles from");

  TempDir program;
  TempDir runtime;
  TempDir work;
  work.writeFile("表.txt", "x");
  const QString exe = QString::fromStdString(program / "ritoma");
  QVERIFY(QFile::copy(QStringLiteral(RITOMA_GUI_PATH), exe));
  const QString stateFile = QString::fromStdString(program / "state.txt");
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), server.display());
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.path()));
  env.insert(QStringLiteral("RITOMA_STATE_FILE"), stateFile);
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  QProcess ritoma;
  ritoma.setProcessEnvironment(env);
  ritoma.start(exe, {QString::fromStdString(work / "表.txt")});
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(stateFile), 20000);

  QStringList titles;
  QTRY_VERIFY_WITH_TIMEOUT(!(titles = ritomaTitles(server.display())).isEmpty(), 10000);
  QCOMPARE(titles, (QStringList{QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"Ritoma - 選択\""),
                                QStringLiteral("WM_NAME(COMPOUND_TEXT) = \"Ritoma - 選択\"")}));
  ritoma.kill();
  ritoma.waitForFinished(5000);
}

QTEST_MAIN(WindowTitleTest)
#include "WindowTitleTest.moc"
