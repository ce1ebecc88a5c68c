#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "archive/ArcInfo.h"
#include "archive/ArchiveLibraries.h"
#include "cli/CommandLine.h"
#include "cli/PlanTable.h"
#include "cli/TerminalInteraction.h"
#include "cli/TerminalProgress.h"
#include "dummy/DummyFileWriter.h"
#include "execution/ExecutionSettings.h"
#include "execution/NameCheck.h"
#include "execution/PlanEngine.h"
#include "execution/PlanList.h"
#include "execution/RunOptions.h"
#include "platform/FileSystem.h"
#include "plugins/PluginHost.h"
#include "selection/EditList.h"
#include "selection/FileEntry.h"
#include "selection/FolderTree.h"
#include "settings/DummySettings.h"
#include "settings/IniFile.h"

namespace ritoma {

// Carries out one list, plan, run, undo, recover or plugins command on the core: selects and
// orders the files, converts their names stage by stage, checks the plan,
// executes it and records or replays the undo file, exactly as the pages
// do. Rows go to standard output, messages to standard error. run()
// returns the exit status: 0 success, 1 the check found errors or marks
// (nothing changed), 2 usage error or unreadable input, 3 execution failed.
class BatchRunner {
public:
  static constexpr int ExitOk = 0;
  static constexpr int ExitCheckFailed = 1;
  static constexpr int ExitUsage = 2;
  static constexpr int ExitFailed = 3;

  explicit BatchRunner(const CommandLine::Options& options);
  ~BatchRunner();

  int run();

private:
  // The files of the batch and where they are.
  struct Selection {
    std::string folder;         // raw disk path, no trailing "/" except the root
    std::vector<FileEntry> rows;
    std::string archivePath;    // --archive: the archive file (raw disk path)
    std::vector<ArcInfo> archiveEntries;  // --archive: every entry, directories included
  };

  int runList();
  int runBatch(bool execute);
  int runUndo();
  int runUndoList();
  int runRecover();
  int runPlugins();

  void openSettings();
  // The plug-ins of [MacroEx] in service, loaded on first use; entries that
  // do not load are listed in `skipped`.
  PluginHost& plugins(std::vector<SkippedPlugin>* skipped = nullptr);
  RunOptions makeRunOptions();
  // The dummy writers of the --dummy-... options: [Dummy] with the options
  // laid over it.
  DummyWriter& dummyWriter();
  std::string defaultConfigFolder();
  Selection select();
  Selection selectFolder(const std::string& folder);
  Selection selectFiles();
  Selection selectArchive();
  void order(Selection& selection);
  void convert(EditList& list, const Selection& selection, const std::vector<bool>& keys);
  void applyTimeAndAttributeOptions(PlanList& plan);

  int executePlan(PlanEngine& engine, PlanList& plan, RunOptions& runOptions, int folderCount);
  std::string undoPath() const;
  std::string journalPath() const;

  int printCheckErrors(const EditList& list, const NameCheck::Result& check);
  // `runFailed`: the plan ran and failed (or was refused), so no row is
  // "ok".
  void printPlan(const PlanList& plan, bool runFailed = false);
  void explainMarks(const PlanList& plan, const RunOptions& runOptions);
  // Writes the table (or its TSV form) of `rows` rows to standard output.
  void print(std::size_t rows, const PlanTable::RowAt& rowAt);
  void message(const std::string& text);

  const CommandLine::Options& options_;
  std::unique_ptr<FileSystem> fs_;
  TerminalInteraction ui_;
  TerminalProgress progress_;
  std::string configDir_;  // raw disk path
  std::unique_ptr<IniFile> ini_;
  std::unique_ptr<PluginHost> plugins_;
  int greet2_ = 200;   // setting Greet2: progress threshold of a conversion stage
  int arcBackup_ = 1;  // setting ArcBackup: what happens to an archive backup
  std::unique_ptr<ArchiveLibraries> libraries_;
  ArcKind archiveKind_ = ArcNone;
  ArchiveState archiveState_;
  ExecutionSettings execSettings_;
  DummySettings dummySettings_;
  std::unique_ptr<DummyFileWriter> dummyWriter_;
};

}  // namespace ritoma
