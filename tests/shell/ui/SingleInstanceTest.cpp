#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>

#include "shell/ui/SingleInstance.h"
#include "support/TempDir.h"

using namespace ritoma;

namespace {

// What the running instance reports through its state file (see main.cpp).
struct State {
  QString caption;
  QString folder;
  int raised = -1;
  QStringList checked;
};

State readState(const QString& file) {
  QFile in(file);
  State state;
  if (!in.open(QIODevice::ReadOnly)) return state;
  const QStringList lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  if (lines.size() < 3) return state;
  state.caption = lines[0];
  state.folder = lines[1];
  state.raised = lines[2].toInt();
  state.checked = lines.mid(3);
  state.checked.sort();
  return state;
}

QStringList sorted(QStringList names) {
  names.sort();
  return names;
}

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT
private slots:
  void laterStartsHandTheirPathsToTheRunningInstance();
};

void SingleInstanceTest::laterStartsHandTheirPathsToTheRunningInstance() {
  if (QLocalSocket probe; (probe.connectToServer(SingleInstance::serverName()), probe.waitForConnected(500)))
    QSKIP("another Ritoma of this user is running");

  // The program runs from its own folder, so its settings stay there.
  TempDir program;
  const QString exe = QString::fromStdString(program / "ritoma");
  QVERIFY(QFile::copy(QStringLiteral(RITOMA_GUI_PATH), exe));
  TempDir work;
  for (const char* name : {"表a.txt", "ソb.TXT", "c.txt", "d.txt"}) work.writeFile(name, "x");
  work.makeFolder("sub");
  const QString workPath = QString::fromStdString(work.path());
  const QString stateFile = QString::fromStdString(program / "state.txt");

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("RITOMA_STATE_FILE"), stateFile);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  const auto start = [&](QProcess& process, const QStringList& args, const QString& cwd) {
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(cwd);
    process.start(exe, args);
  };

  // The first instance opens its own argument when its window shows.
  QProcess first;
  start(first, {workPath + QStringLiteral("/c.txt")}, QString::fromStdString(program.path()));
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(stateFile), 20000);
  State state = readState(stateFile);
  QCOMPARE(state.caption, QStringLiteral("Ritoma - 選択"));
  QCOMPARE(state.folder, workPath);
  QCOMPARE(state.checked, QStringList{QStringLiteral("c.txt")});
  QCOMPARE(state.raised, 0);

  // A later start: one relative path, one absolute in another letter case.
  QProcess second;
  start(second, {QStringLiteral("表a.txt"), workPath + QStringLiteral("/ソB.txt")},
        workPath);
  QVERIFY(second.waitForFinished(20000));
  QCOMPARE(second.exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.exitCode(), 1);
  // The sender ended only after the running instance had opened the paths.
  state = readState(stateFile);
  QCOMPARE(state.raised, 1);
  QCOMPARE(state.folder, workPath);
  QCOMPARE(state.checked, sorted({QStringLiteral("表a.txt"), QStringLiteral("ソb.TXT")}));

  // Without arguments a later start only brings the window to the front.
  QProcess third;
  start(third, {}, QString::fromStdString(program.path()));
  QVERIFY(third.waitForFinished(20000));
  QCOMPARE(third.exitCode(), 1);
  state = readState(stateFile);
  QCOMPARE(state.raised, 2);
  QCOMPARE(state.folder, workPath);
  QCOMPARE(state.checked, sorted({QStringLiteral("表a.txt"), QStringLiteral("ソb.TXT")}));

  QVERIFY(first.state() == QProcess::Running);
  first.kill();
  first.waitForFinished(5000);
  QLocalServer::removeServer(SingleInstance::serverName());
}

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
