#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/ui/RuntimeFolder.h"
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

int modeOf(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

QString q(const std::string& text) { return QString::fromStdString(text); }

// True while process `pid` has `folder` open, as a listing does while it
// walks the folder.
bool holdsOpen(qint64 pid, const std::string& folder) {
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  DIR* dir = ::opendir(fds.c_str());
  if (!dir) return false;
  bool found = false;
  while (const dirent* entry = ::readdir(dir)) {
    char target[4096];
    const ssize_t length = ::readlink((fds + "/" + entry->d_name).c_str(), target, sizeof target);
    if (length > 0 && std::string(target, static_cast<std::size_t>(length)) == folder) found = true;
  }
  ::closedir(dir);
  return found;
}

// The program copied into a folder of its own (its settings stay there) and
// started with an environment of temporary stand-ins: $TMPDIR, a private
// $XDG_RUNTIME_DIR, $XDG_CACHE_HOME and $HOME, display ":7".
struct Program {
  TempDir folder;
  TempDir places;
  QString exe = q(folder / "ritoma");
  QString stateFile = q(folder / "state.txt");
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

  Program() {
    QFile::copy(QStringLiteral(RITOMA_GUI_PATH), exe);
    for (const char* name : {"tmp", "runtime", "cache", "home"}) places.makeFolder(name);
    ::chmod((places / "runtime").c_str(), 0700);
    env.insert(QStringLiteral("RITOMA_STATE_FILE"), stateFile);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TMPDIR"), q(places / "tmp"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), q(places / "runtime"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), q(places / "cache"));
    env.insert(QStringLiteral("HOME"), q(places / "home"));
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":7.0"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  }
  ~Program() {
    for (QProcess* process : started) {
      process->kill();
      process->waitForFinished(5000);
      delete process;
    }
  }
  QProcess& start(const QStringList& args, const QString& cwd) {
    auto* process = new QProcess;
    started.push_back(process);
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(cwd);
    process->start(exe, args);
    return *process;
  }
  State state() const { return readState(stateFile); }

  std::vector<QProcess*> started;
};

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT
private slots:
  void socketFolderIsPrivateToTheUser();
  void socketIsNamedPerDisplay();
  void laterStartsHandTheirPathsToTheRunningInstance();
  void plantedSocketsDoNotCaptureTheStart();
  void startDuringTheFirstListingHandsOver();
};

void SingleInstanceTest::socketFolderIsPrivateToTheUser() {
  TempDir base;
  const auto folder = [&](const char* name, mode_t mode) {
    base.makeFolder(name);
    ::chmod((base / name).c_str(), mode);
    return base / name;
  };
  const std::string privateRuntime = folder("runtime", 0700);
  const std::string openRuntime = folder("open", 0755);
  ::symlink(privateRuntime.c_str(), (base / "link").c_str());
  const std::string cache = folder("cache", 0755);
  const std::string fallback = cache + "/ritoma";
  folder("loose", 0755);
  folder("loose/ritoma", 0711);
  const std::string home = folder("home", 0755);

  struct Case {
    const char* name;
    std::string runtime;
    std::string cacheHome;
    std::string home;
    std::string expected;
  } cases[] = {
      {"private runtime folder", privateRuntime, cache, home, privateRuntime},
      {"runtime folder open to others", openRuntime, cache, home, fallback},
      {"runtime folder given as a link", base / "link", cache, home, fallback},
      {"runtime folder missing", base / "gone", cache, home, fallback},
      {"runtime folder not absolute", "runtime", cache, home, fallback},
      {"no runtime folder", "", cache, home, fallback},
      {"no cache folder: under home", "", "", home, home + "/.cache/ritoma"},
      {"relative cache folder: under home", "", "cache", home, home + "/.cache/ritoma"},
      {"own fallback folder open to others", "", base / "loose", home, ""},
      {"nothing absolute", "", "", "", ""},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  if (::geteuid() == 0) {
    // Another user's folders, even with the right mode, are not used.
    const std::string foreign = folder("foreign", 0700);
    folder("foreignCache", 0755);
    const std::string foreignFallback = folder("foreignCache/ritoma", 0700);
    QCOMPARE(::chown(foreign.c_str(), 65534, 65534), 0);
    QCOMPARE(::chown(foreignFallback.c_str(), 65534, 65534), 0);
    all.push_back({"runtime folder of another user", foreign, cache, home, fallback});
    all.push_back({"fallback folder of another user", "", base / "foreignCache", home, ""});
  }
  for (const Case& c : all) {
    QVERIFY2(RuntimeFolder::locate(c.runtime, c.cacheHome, c.home) == c.expected, c.name);
    if (!c.expected.empty()) QVERIFY2(modeOf(c.expected) == 0700, c.name);
  }
  QCOMPARE(modeOf(home + "/.cache"), 0700);
}

void SingleInstanceTest::socketIsNamedPerDisplay() {
  struct Case {
    const char* name;
    std::string folder, wayland, x11;
    QString expected;
  } const cases[] = {
      {"X display", "/run/user/5", "", ":0", QStringLiteral("/run/user/5/RitomaMutex-:0")},
      {"screen number left out", "/run/user/5", "", ":0.1", QStringLiteral("/run/user/5/RitomaMutex-:0")},
      {"remote X display", "/r/", "", "host.example:10.0", QStringLiteral("/r/RitomaMutex-host.example:10")},
      {"Wayland display wins", "/r", "wayland-1", ":0", QStringLiteral("/r/RitomaMutex-wayland-1")},
      {"Wayland socket path", "/r", "/run/w/wayland-0", "", QStringLiteral("/r/RitomaMutex-_run_w_wayland-0")},
      {"no display", "/r", "", "", QStringLiteral("/r/RitomaMutex")},
      {"no private folder", "", "", ":0", QString()},
  };
  for (const Case& c : cases)
    QVERIFY2(SingleInstance::serverName(c.folder, c.wayland, c.x11) == c.expected, c.name);
}

void SingleInstanceTest::laterStartsHandTheirPathsToTheRunningInstance() {
  Program program;
  TempDir work;
  for (const char* name : {"表a.txt", "ソb.TXT", "c.txt", "d.txt"}) work.writeFile(name, "x");
  work.makeFolder("sub");
  work.writeFile("sub/e.txt", "x");
  const QString workPath = q(work.path());
  const QString home = q(program.folder.path());

  // The first instance opens its own argument when its window shows.
  program.start({workPath + QStringLiteral("/c.txt")}, home);
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(program.stateFile), 20000);
  State state = program.state();
  QCOMPARE(state.caption, QStringLiteral("Ritoma - 選択"));
  QCOMPARE(state.folder, workPath);
  QCOMPARE(state.checked, QStringList{QStringLiteral("c.txt")});
  QCOMPARE(state.raised, 0);
  // Its socket is in the runtime folder, named for the display.
  QVERIFY(QFileInfo(q(program.places / "runtime/RitomaMutex-:7")).exists());

  // A later start: one relative path, one absolute in another letter case.
  QProcess& second = program.start({QStringLiteral("表a.txt"), workPath + QStringLiteral("/ソB.txt")}, workPath);
  QVERIFY(second.waitForFinished(20000));
  QCOMPARE(second.exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.exitCode(), 1);
  // The sender ended only after the running instance had opened the paths.
  state = program.state();
  QCOMPARE(state.raised, 1);
  QCOMPARE(state.folder, workPath);
  QCOMPARE(state.checked, sorted({QStringLiteral("表a.txt"), QStringLiteral("ソb.TXT")}));

  // Without arguments a later start only brings the window to the front.
  QProcess& third = program.start({}, home);
  QVERIFY(third.waitForFinished(20000));
  QCOMPARE(third.exitCode(), 1);
  state = program.state();
  QCOMPARE(state.raised, 2);
  QCOMPARE(state.folder, workPath);
  QCOMPARE(state.checked, sorted({QStringLiteral("表a.txt"), QStringLiteral("ソb.TXT")}));

  // A folder typed with a final "/" (as shell completion gives it) is opened.
  QProcess& fourth = program.start({QStringLiteral("sub/")}, workPath);
  QVERIFY(fourth.waitForFinished(20000));
  QCOMPARE(fourth.exitCode(), 1);
  state = program.state();
  QCOMPARE(state.raised, 3);
  QCOMPARE(state.folder, workPath + QStringLiteral("/sub"));
  QVERIFY(state.checked.isEmpty());

  // File managers hand over "file:" URIs, escaped or not.
  QProcess& fifth = program.start({QStringLiteral("file://") + workPath + QStringLiteral("/%E8%A1%A8a.txt"),
                                   QStringLiteral("file://localhost") + workPath + QStringLiteral("/c%2Etxt")},
                                  home);
  QVERIFY(fifth.waitForFinished(20000));
  QCOMPARE(fifth.exitCode(), 1);
  state = program.state();
  QCOMPARE(state.raised, 4);
  QCOMPARE(state.folder, workPath);
  QCOMPARE(state.checked, sorted({QStringLiteral("表a.txt"), QStringLiteral("c.txt")}));

  QVERIFY(program.started.front()->state() == QProcess::Running);
}

// Another user could create a socket under a name it can predict, in a place
// it can write. A start must neither hand its paths to such a socket nor be
// kept from running by it.
void SingleInstanceTest::plantedSocketsDoNotCaptureTheStart() {
  struct Case {
    const char* name;
    bool openRuntime;        // $XDG_RUNTIME_DIR grants access to others
    bool noRuntime;          // $XDG_RUNTIME_DIR is unset
    const char* plantedIn;   // folder of `places` holding the planted socket
    const char* plantedName;  // "%uid" stands for the user id
    const char* socketIn;    // where the instance's own socket must be
  } const cases[] = {
      {"old name in the temporary folder", false, false, "tmp", "RitomaMutex-%uid", "runtime"},
      {"old name, no runtime folder", false, true, "tmp", "RitomaMutex-%uid", "cache/ritoma"},
      {"new name in a runtime folder open to others", true, false, "runtime", "RitomaMutex-:7", "cache/ritoma"},
  };
  for (const Case& c : cases) {
    Program program;
    if (c.openRuntime) ::chmod((program.places / "runtime").c_str(), 0777);
    if (c.noRuntime) program.env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    QLocalServer planted;
    QString plantedName = QString::fromLatin1(c.plantedName);
    plantedName.replace(QStringLiteral("%uid"), QString::number(::getuid()));
    const QString plantedPath = q(program.places / c.plantedIn) + QLatin1Char('/') + plantedName;
    QVERIFY2(planted.listen(plantedPath), c.name);

    TempDir work;
    work.writeFile("表.txt", "x");
    QProcess& first = program.start({q(work / "表.txt")}, q(program.folder.path()));
    QTRY_VERIFY2_WITH_TIMEOUT(QFile::exists(program.stateFile), c.name, 20000);
    const State state = program.state();
    QVERIFY2(state.folder == q(work.path()), c.name);
    QVERIFY2(state.checked == QStringList{QStringLiteral("表.txt")}, c.name);
    QVERIFY2(first.state() == QProcess::Running, c.name);
    QVERIFY2(!planted.hasPendingConnections(), c.name);
    const std::string own = program.places / (std::string(c.socketIn) + "/RitomaMutex-:7");
    QVERIFY2(QFileInfo(q(own)).exists(), c.name);
    QVERIFY2(modeOf(program.places / c.socketIn) == 0700, c.name);
  }
}

// The first start lists the large folder stored in its settings; a second
// start meanwhile hands its paths over instead of running another instance,
// and they are opened once the first start is done.
void SingleInstanceTest::startDuringTheFirstListingHandsOver() {
  Program program;
  TempDir large;
  for (int i = 0; i < 20000; ++i) large.writeFile("表" + std::to_string(i) + ".txt");
  TempDir work;
  work.writeFile("ソ.txt", "x");
  program.folder.writeFile("Ritoma.ini", "[Window]\nDir=" + large.path() + "/\n");

  QProcess& first = program.start({}, q(program.folder.path()));
  QVERIFY(first.waitForStarted(10000));
  // Caught while it walks the folder, the first start is already reachable.
  QElapsedTimer waited;
  waited.start();
  bool listing = false;
  while (!listing && waited.elapsed() < 20000) listing = holdsOpen(first.processId(), large.path());
  QVERIFY2(listing, "the first start was not seen listing");
  QVERIFY(QFileInfo(q(program.places / "runtime/RitomaMutex-:7")).exists());
  QVERIFY(!QFile::exists(program.stateFile));
  QProcess& second = program.start({q(work / "ソ.txt")}, q(work.path()));

  QVERIFY(second.waitForFinished(60000));
  QCOMPARE(second.exitCode(), 1);
  const State state = program.state();
  QCOMPARE(state.raised, 1);
  QCOMPARE(state.folder, q(work.path()));
  QCOMPARE(state.checked, QStringList{QStringLiteral("ソ.txt")});
  QVERIFY(first.state() == QProcess::Running);
}

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
