// Start-up: hand the command line to a running instance, or become the
// instance and run the main window.
//
// Test hook: when the environment variable RITOMA_STATE_FILE names a file,
// the instance writes its state there once it listens and after every
// hand-off it handled (before the sender is answered): the page caption,
// the status-bar folder, the number of times it was brought to the front
// and the full names of the checked rows of the selection list, one per
// line. Nothing else reads the environment.

#include <QFile>
#include <QMessageBox>
#include <QSaveFile>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/PosixFileSystem.h"
#include "settings/Places.h"
#include "shell/HandOff.h"
#include "shell/License.h"
#include "shell/ui/RitomaApplication.h"
#include "shell/ui/SingleInstance.h"
#include "shell/ui/TFormMain.h"

namespace {

void writeState(const QString& file, ritoma::TFormMain& form, int raised) {
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) return;
  QByteArray text;
  text += form.windowTitle().toUtf8() + '\n';
  text += form.currentFolderText().toUtf8() + '\n';
  text += QByteArray::number(raised) + '\n';
  for (const QString& name : form.checkedNames()) text += name.toUtf8() + '\n';
  out.write(text);
  out.commit();
}

// "--help" and "--version" as the only argument answer on standard output
// without a display; a file of that name is passed as "./--help".
bool answeredOption(int argc, char* argv[]) {
  if (argc != 2) return false;
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("ritoma " RITOMA_VERSION "\n%s\n", ritoma::LicenseLine);
    return true;
  }
  if (std::strcmp(argv[1], "--help") == 0) {
    std::fputs(
        "Usage: ritoma [PATH...]\n"
        "       ritoma --help | --version\n"
        "\n"
        "Opens the batch file renamer on the folder holding the PATHs, with them\n"
        "checked; without a path, on the folder of the last session. When Ritoma is\n"
        "already running, the paths are handed to its window instead. A PATH may be\n"
        "a file:// URI; other URIs are refused.\n"
        "\n"
        "  --help     show this page\n"
        "  --version  show the version\n",
        stdout);
    return true;
  }
  return false;
}

// URIs of places that are no local folder (a network share, the trash)
// cannot be renamed here: said on standard error and in a message box,
// since a file manager that started the program shows no terminal.
void reportRefused(const std::vector<std::string>& uris) {
  QString list;
  for (const std::string& uri : uris) {
    std::fprintf(stderr, "ritoma: not a local file, left out: %s\n", uri.c_str());
    list += QLatin1Char('\n') + QString::fromUtf8(uri);
  }
  QMessageBox::warning(nullptr, QStringLiteral("Ritoma"), QStringLiteral("ローカルのファイルではないため開けません:") + list);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (answeredOption(argc, argv)) return 0;
  std::string workingFolder;
  {
    std::error_code error;
    workingFolder = std::filesystem::current_path(error).native();
  }
  // Qt takes its own options out of argv; the rest are paths.
  ritoma::RitomaApplication app(argc, argv);
  std::vector<std::string> refused;
  std::vector<std::string> paths =
      ritoma::HandOff::argumentPaths(std::vector<std::string>(argv + 1, argv + argc), workingFolder, refused);
  if (!refused.empty()) reportRefused(refused);
  if (ritoma::SingleInstance::handOff(paths)) return 1;
  // Published before the window lists its first folder, which may take long:
  // a start meanwhile waits for this instance instead of becoming another.
  // Losing the race to a start that listened first means handing over too.
  ritoma::SingleInstance instance;
  if (!instance.listen() && ritoma::SingleInstance::handOff(paths)) return 1;

  ritoma::PosixFileSystem fs;
  ritoma::TFormMain form(fs, ritoma::Places::forThisProgram(fs).settingsFile());

  const QString stateFile = qEnvironmentVariable("RITOMA_STATE_FILE");
  int raised = 0;
  instance.serve([&](bool marked, const std::vector<std::string>& received) {
    ++raised;
    form.receiveHandOff(marked, received);
    if (!stateFile.isEmpty()) writeState(stateFile, form, raised);
  });

  form.setStartPaths(std::move(paths));
  form.show();
  if (!stateFile.isEmpty()) writeState(stateFile, form, raised);
  return app.exec();
}
