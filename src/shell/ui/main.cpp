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
#include <QSaveFile>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/PosixFileSystem.h"
#include "settings/Places.h"
#include "shell/HandOff.h"
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
    std::fputs("ritoma " RITOMA_VERSION "\n", stdout);
    return true;
  }
  if (std::strcmp(argv[1], "--help") == 0) {
    std::fputs(
        "Usage: ritoma [PATH...]\n"
        "       ritoma --help | --version\n"
        "\n"
        "Opens the batch file renamer on the folder holding the PATHs, with them\n"
        "checked; without a path, on the folder of the last session. When Ritoma is\n"
        "already running, the paths are handed to its window instead.\n"
        "\n"
        "  --help     show this page\n"
        "  --version  show the version\n",
        stdout);
    return true;
  }
  return false;
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
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) paths.push_back(ritoma::HandOff::makeAbsolute(argv[i], workingFolder));
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
