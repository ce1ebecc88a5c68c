#include "cli/BatchRunner.h"

#include <malloc.h>
#include <unicode/ustring.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <unordered_set>

#include "cli/UsageError.h"
#ifdef RITOMA_KILL_SWITCH
#include "cli/KillSwitchFileSystem.h"
#endif
#include "conversion/CharConverter.h"
#include "conversion/NotIntegerError.h"
#include "conversion/StringReplacer.h"
#include "conversion/TemplateEngine.h"
#include "cli/HistoryTable.h"
#include "cli/ListTable.h"
#include "cli/ListedEntries.h"
#include "archive/ArchivePlanEngine.h"
#include "archive/ArchiveSelection.h"
#include "execution/AttributeText.h"
#include "execution/ExecutionFlow.h"
#include "execution/JournalRecovery.h"
#include "execution/FolderPlanEngine.h"
#include "execution/UndoFile.h"
#include "execution/OwnFiles.h"
#include "execution/UndoFlow.h"
#include "execution/UndoHistory.h"
#include "execution/NameCheck.h"
#include "execution/PlanBuilder.h"
#include "execution/RunJournal.h"
#include "execution/RowStatus.h"
#include "execution/RunOptions.h"
#include "platform/LocalTimes.h"
#include "platform/ParallelRange.h"
#include "platform/PosixFileSystem.h"
#include "platform/Prefault.h"
#include "platform/TimeConvert.h"
#include "selection/EditListBuilder.h"
#include "selection/FolderEnumerator.h"
#include "selection/SelectionList.h"
#include "plugins/PluginFolders.h"
#include "settings/Places.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

using Cli = CommandLine;

constexpr const char* kSettingsName = "Ritoma.ini";

[[noreturn]] void refuse(const std::string& message) { throw UsageError(message); }

std::string utf8FromUtf16(std::u16string_view text) {
  std::string out(text.size() * 3 + 1, '\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                     reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                     0xFFFD, nullptr, &status);
  out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
  return out;
}

// A code-page-932 name as the output shows it: its bytes on disk, or, for a
// name that has no disk form (a cut double-byte character), its display.
std::string shownName(const std::string& cp932) {
  bool ok = false;
  std::string disk = TextCodec::toDisk(cp932, &ok);
  return ok ? disk : utf8FromUtf16(TextCodec::toDisplay(cp932));
}

// The status of a row; after a failed run, what the run left of it (the
// reasons go to standard error).
std::string statusText(const PlanRow& row, bool runFailed) {
  switch (row.mark) {
    case MarkNone: break;
    case MarkBlocked: return "blocked";
    case MarkExists: return "exists";
    case MarkTempExists: return "temp-exists";
    case MarkTempTooLong: return "temp-too-long";
    case MarkHeaderTooLong: return "header-too-long";
    case MarkFailed:
      switch (row.outcome) {
        case RowOutcome::NotRun: return "failed";
        case RowOutcome::RolledBack: return "failed, rolled back";
        case RowOutcome::NotRolledBack: return "failed, not rolled back";
        case RowOutcome::CopyLeft: return "failed, copy left";
      }
      return "failed";
  }
  if (!runFailed) return "ok";
  switch (row.outcome) {
    case RowOutcome::NotRun: return "not run";
    case RowOutcome::RolledBack: return "rolled back";
    case RowOutcome::NotRolledBack: return "not rolled back";
    case RowOutcome::CopyLeft: return "copied";
  }
  return "not run";
}

std::string kindText(const FileEntry& entry) {
  if (entry.icon == FileEntry::IconArchiveFolder) return "folder";
  switch (entry.kind) {
    case EntryKind::File: return "file";
    case EntryKind::Folder: return "folder";
    case EntryKind::Link: return "link";
    case EntryKind::MissingLink: return "link→missing";
    case EntryKind::Other: return "other";
  }
  return "file";
}

// What the listing found for each checked row, in row order: the edit
// list's rows.
std::vector<FileInfo> foundFiles(const std::vector<FileEntry>& rows) {
  std::vector<FileInfo> found;
  found.reserve(rows.size());
  for (const FileEntry& entry : rows) {
    if (!entry.checked) continue;
    FileInfo& info = found.emplace_back();
    info.isFolder = entry.icon == FileEntry::IconFolder;
    info.size = entry.size;
    info.created = entry.created;
    info.modified = entry.modified;
    info.accessed = entry.accessed;
    info.attributes = entry.attributes;
  }
  return found;
}

std::string absolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char buffer[PATH_MAX];
  if (!getcwd(buffer, sizeof buffer)) refuse("cannot determine the working folder");
  std::string cwd = buffer;
  return cwd == "/" ? "/" + path : cwd + "/" + path;
}

// The folder with links and "." / ".." resolved, as the file system names it.
std::string canonicalFolder(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) refuse("cannot open folder '" + path + "'");
  std::string folder = resolved;
  std::free(resolved);
  return folder;
}

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

ClassState toClassState(Cli::ClassState state) {
  switch (state) {
    case Cli::ClassState::On: return ClassState::Checked;
    case Cli::ClassState::Grayed: return ClassState::Grayed;
    case Cli::ClassState::Off: break;
  }
  return ClassState::Unchecked;
}

NamePart toNamePart(Cli::Target target) {
  switch (target) {
    case Cli::Target::Ext: return NamePart::Extension;
    case Cli::Target::Both: return NamePart::Both;
    case Cli::Target::Name: break;
  }
  return NamePart::Name;
}

#ifdef RITOMA_KILL_SWITCH
// Test hook of the crash tests' build: RITOMA_CLI_KILL_AT ("KIND:N", see
// KillSwitchFileSystem) stops the program at a given operation as a crash
// would. The installed program has no such hook.
std::unique_ptr<FileSystem> makeFileSystem() {
  auto real = std::make_unique<PosixFileSystem>();
  const char* killAt = std::getenv("RITOMA_CLI_KILL_AT");
  const auto point = killAt ? KillSwitchFileSystem::parse(killAt) : std::nullopt;
  if (!point) return real;
  return std::make_unique<KillSwitchFileSystem>(std::move(real), point->first, point->second);
}
#else
std::unique_ptr<FileSystem> makeFileSystem() { return std::make_unique<PosixFileSystem>(); }
#endif

}  // namespace

BatchRunner::BatchRunner(const CommandLine::Options& options)
    : options_(options), fs_(makeFileSystem()), ui_(options.yes) {}

BatchRunner::~BatchRunner() = default;

int BatchRunner::run() {
  try {
    openSettings();
    if (options_.command != Cli::Command::Recover && RunJournal::pending(*fs_, journalPath())) {
      message("ritoma-cli: an interrupted run is pending (" + journalPath() +
              "); run 'ritoma-cli recover' first, or 'ritoma-cli recover --discard' to give it up");
      return ExitUsage;
    }
    switch (options_.command) {
      case Cli::Command::List: return runList();
      case Cli::Command::Plan: return runBatch(false);
      case Cli::Command::Run: return runBatch(true);
      case Cli::Command::Undo: return runUndo();
      case Cli::Command::Recover: return runRecover();
      case Cli::Command::Plugins: return runPlugins();
      default: return ExitUsage;
    }
  } catch (const UsageError& e) {
    message(std::string("ritoma-cli: ") + e.what());
  } catch (const NotIntegerError& e) {
    message(e.what());
  } catch (const std::exception& e) {
    message(std::string("ritoma-cli: ") + e.what());
  }
  progress_.close();
  return ExitUsage;
}

void BatchRunner::openSettings() {
  if (options_.configDir) {
    configDir_ = withoutTrailingSlashes(absolutePath(*options_.configDir));
    FileInfo info;
    if (fs_->stat(configDir_, info) || !info.isFolder) {
      refuse("the settings folder '" + *options_.configDir + "' does not exist");
    }
  } else {
    configDir_ = defaultConfigFolder();
  }
  ini_ = std::make_unique<IniFile>(*fs_, configDir_ + "/" + kSettingsName);
  if (ini_->tooLarge())
    refuse("the settings file '" + ini_->path() + "' is larger than " +
           std::to_string(IniFile::MaxSize >> 20) + " MiB; it is left as it is");
  // Section Option: the thresholds and switches the check and the run read.
  constexpr const char* section = "Option";
  const ExecutionSettings defaults;
  greet2_ = ini_->readInteger(section, "Greet2", 200);
  execSettings_.greet3 = ini_->readInteger(section, "Greet3", defaults.greet3);
  execSettings_.greet4 = ini_->readInteger(section, "Greet4", defaults.greet4);
  execSettings_.greet5 = ini_->readInteger(section, "Greet5", defaults.greet5);
  execSettings_.chkAuto = ini_->readBool(section, "ChkAuto", defaults.chkAuto);
  execSettings_.chkStop = ini_->readBool(section, "ChkStop", defaults.chkStop);
  execSettings_.msgExec = ini_->readBool(section, "MsgExec", defaults.msgExec);
  execSettings_.msgDir = ini_->readBool(section, "MsgDir", defaults.msgDir);
  execSettings_.chkForce = ini_->readBool(section, "ChkForce", defaults.chkForce);
  arcBackup_ = ini_->readInteger(section, "ArcBackup", 1);
}

BatchRunner::Selection BatchRunner::select() {
  if (options_.archive) return selectArchive();
  if (options_.paths.size() == 1) {
    std::string path = absolutePath(options_.paths[0]);
    FileInfo info;
    if (fs_->stat(path, info) == std::error_code() && info.isFolder) {
      return selectFolder(canonicalFolder(path));
    }
  }
  return selectFiles();
}

// The files of one folder under the default filter: every file that is
// neither hidden nor system.
BatchRunner::Selection BatchRunner::selectFolder(const std::string& folder) {
  Selection selection;
  selection.folder = folder;
  std::vector<FileInfo> infos;
  std::string folderText = TextCodec::toInternal(folder);
  if (auto ec = FolderEnumerator::enumerateFolder(*fs_, folderText, "*.*",
                                                  DefaultFilterAttributes, infos)) {
    refuse("cannot read folder '" + folder + "': " + ec.message());
  }
  Prefault::resize(selection.rows, infos.size());
  ParallelRange::forRows(infos.size(), [&](std::size_t begin, std::size_t end) {
    LocalTimes zone;
    for (std::size_t i = begin; i < end; ++i) selection.rows[i] = FileEntry::fromDisk(infos[i], true, zone);
  });
  return selection;
}

// Named files (or folders) of one folder, as named: the filter does not
// apply to what the user names explicitly.
// The files stored in one .lzh or .zip archive; its directory entries only
// with --folders.
BatchRunner::Selection BatchRunner::selectArchive() {
  Selection selection;
  std::string path = withoutTrailingSlashes(absolutePath(options_.paths[0]));
  std::size_t slash = path.rfind('/');
  selection.folder = canonicalFolder(slash == 0 ? "/" : path.substr(0, slash));
  selection.archivePath = FileSystem::joinPath(selection.folder, path.substr(slash + 1));
  archiveKind_ = ArchiveLibraries::kindOfPath(selection.archivePath);
  if (archiveKind_ == ArcNone) refuse("'" + options_.paths[0] + "' is no .lzh or .zip file");

  libraries_ = std::make_unique<ArchiveLibraries>(*fs_);
  if (ini_->readBool("Arc", archiveKind_ == ArcLzh ? "LZH" : "ZIP",
                     ArchiveLibraries::kDefaultOn)) {
    libraries_->load(archiveKind_);
  }
  std::string error;
  bool listed = libraries_->ArcListEntries(
      archiveKind_, selection.archivePath,
      [&](const ArcInfo& entry) {
        FileEntry row = ArchiveSelection::entryOf(entry, true);
        if (row.icon == FileEntry::IconFile || options_.folders) selection.rows.push_back(std::move(row));
        selection.archiveEntries.push_back(entry);
      },
      &error);
  if (!listed) refuse("cannot read archive '" + options_.paths[0] + "': " + error);
  return selection;
}

BatchRunner::Selection BatchRunner::selectFiles() {
  Selection selection;
  std::set<std::string> seen;
  for (const std::string& argument : options_.paths) {
    std::string path = withoutTrailingSlashes(absolutePath(argument));
    std::size_t slash = path.rfind('/');
    std::string name = path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
      refuse("'" + argument + "' names no file of a folder");
    }
    std::string folder = canonicalFolder(slash == 0 ? "/" : path.substr(0, slash));
    if (selection.folder.empty()) {
      selection.folder = folder;
    } else if (folder != selection.folder) {
      refuse("the paths lie in several folders ('" + selection.folder + "' and '" + folder +
             "'); a batch takes the files of one folder");
    }
    if (!seen.insert(name).second) continue;
    FileInfo info;
    if (auto ec = fs_->lookUp(FileSystem::joinPath(folder, name), info)) {
      refuse("cannot read '" + argument + "': " + ec.message());
    }
    info.name = name;
    FileEntry entry = FileEntry::fromDisk(info, true);
    entry.checked = true;
    selection.rows.push_back(std::move(entry));
  }
  return selection;
}

void BatchRunner::order(Selection& selection) {
  if (options_.keepOrder) return;
  SelectionList list;
  list.assign(std::move(selection.rows), &progress_);
  int column = static_cast<int>(options_.sortKey);
  // assign() leaves the list sorted by name ascending; a header click on the
  // sorted column turns it to descending.
  if (column != SelectionList::ColumnName) list.sortByColumn(column, &progress_);
  if (options_.sortDescending) list.sortByColumn(column, &progress_);
  selection.rows = list.takeRows();
}

void BatchRunner::convert(EditList& list, const Selection& selection,
                          const std::vector<bool>& keys) {
  const std::size_t rows = list.rows.size();
  const bool showProgress = greet2_ > 0 && rows >= static_cast<std::size_t>(greet2_);
  for (const Cli::Stage& stage : options_.stages) {
    if (showProgress) progress_.open("変換中…", static_cast<std::int64_t>(rows));
    std::vector<std::string> names(rows);
    switch (stage.kind) {
      case Cli::StageKind::Template: {
        TemplateEngine engine;
        engine.context.defaults.load(*ini_);
        engine.context.plugins = &plugins();
        if (selection.archivePath.empty()) {
          engine.context.folderPath = TextCodec::toInternal(selection.folder);
        } else {
          std::size_t slash = selection.archivePath.rfind('/');
          engine.context.folderPath = TextCodec::toInternal(selection.folder);
          engine.context.archiveName =
              TextCodec::toInternal(selection.archivePath.substr(slash + 1));
          engine.context.inArchive = true;
        }
        engine.context.sizeWidth = list.sizeWidth;
        engine.ClearTemplates();
        engine.CompileTemplate(TextCodec::fromUtf8(stage.text), engine.nameTemplate);
        engine.CompileTemplate(stage.extTemplate ? TextCodec::fromUtf8(*stage.extTemplate)
                                                 : std::string("/e<0,0,0>"),
                               engine.extTemplate);
        engine.ResetCounters(false);
        for (std::size_t i = 0; i < rows; ++i) {
          TemplateRow row;
          row.source = list.lastName(i);
          row.key = keys[i];
          row.infoText = list.rows[i].infoText;
          row.listedName = list.rows[i].names[0];
          names[i] = engine.ExpandEntry(row);
          if (showProgress) progress_.step();
        }
        engine.ClearTemplates();
        break;
      }
      case Cli::StageKind::Replace: {
        StringReplacer replacer;
        replacer.search = TextCodec::fromUtf8(stage.text);
        replacer.replacement = TextCodec::fromUtf8(stage.replacement);
        replacer.target = toNamePart(stage.target);
        replacer.leftToRight = !stage.fromRight;
        replacer.caseSensitive = !stage.ignoreCase;
        replacer.skipCount = stage.skip;
        replacer.replaceCount = stage.count;
        for (std::size_t i = 0; i < rows; ++i) {
          names[i] = replacer.ReplaceAll(list.lastName(i));
          if (showProgress) progress_.step();
        }
        break;
      }
      case Cli::StageKind::Chars: {
        CharConverter converter;
        converter.position = stage.charOperation;
        converter.target = toNamePart(stage.target);
        converter.delimiters =
            stage.delimiters ? TextCodec::fromUtf8(*stage.delimiters)
                             : ini_->readString("Rename", "Word", CharConverter::DefaultDelimiters());
        converter.letters = stage.letters;
        converter.digits = stage.digits;
        converter.kana = toClassState(stage.kana);
        converter.other = toClassState(stage.other);
        for (std::size_t i = 0; i < rows; ++i) {
          names[i] = converter.ConvertChars(list.lastName(i));
          if (showProgress) progress_.step();
        }
        break;
      }
    }
    if (showProgress) progress_.close();
    list.appendStage(std::move(names));
  }
}

void BatchRunner::applyTimeAndAttributeOptions(PlanList& plan) {
  const std::optional<std::string>* times[3] = {&options_.created, &options_.modified,
                                                &options_.accessed};
  static const char* const kNames[3] = {"--created", "--modified", "--accessed"};
  for (std::size_t k = 0; k < 3; ++k) {
    if (!*times[k]) continue;
    TimeChange change;
    change.source = TimeSource::Direct;
    change.text = TextCodec::fromUtf8(**times[k]);
    change.target[k] = true;
    change.all[k] = true;
    if (!plan.applyTimeChange(change, {})) {
      refuse(std::string(kNames[k]) + " takes a time \"yyyy/mm/dd hh:mm:ss\" that exists, not '" +
             **times[k] + "'");
    }
  }
  if (options_.attributes) plan.applyAttributeChange(*options_.attributes, true, {});
}

// Prints the rows a batch would take, in its order, each as the listing
// found it: a link with its own size, time and attributes.
int BatchRunner::runList() {
  Selection selection = select();
  order(selection);
  ListTable table;
  for (const FileEntry& entry : selection.rows) {
    table.add({kindText(entry), FileEntry::formatSize(entry.size),
               TimeConvert::toText(entry.modified), AttributeText::fromBits(entry.attributes),
               shownName(entry.fullName())});
  }
  const std::string text = options_.tsv ? table.renderTsv() : table.renderTable();
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  return ExitOk;
}

int BatchRunner::runBatch(bool execute) {
  RunOptions runOptions = makeRunOptions();
  Selection selection = select();
  order(selection);
  for (FileEntry& entry : selection.rows) entry.checked = true;
  if (selection.rows.empty()) refuse("no file to work on");

  std::vector<bool> keys(selection.rows.size(), false);
  for (int row : options_.keyRows) {
    if (static_cast<std::size_t>(row) > keys.size()) {
      refuse("--key " + std::to_string(row) + ": the batch has only " +
             std::to_string(keys.size()) + " rows");
    }
    keys[static_cast<std::size_t>(row) - 1] = true;
  }

  EditList list;
  EditListBuilder::build(selection.rows, list);
  const bool folderMode = selection.archivePath.empty();
  // The listing looked every file up a moment ago; the plan takes the
  // times and attributes it found instead of looking the files up again.
  // A plan that is only shown, without time or attribute options, shows
  // names and marks alone: its rows are built without the texts.
  const bool timesUsed = execute || options_.created || options_.modified || options_.accessed ||
                         options_.attributes;
  std::vector<FileInfo> found;
  if (folderMode && timesUsed) found = foundFiles(selection.rows);
  const std::size_t listed = selection.rows.size();
  selection.rows = std::vector<FileEntry>();
  convert(list, selection, keys);

  if (list.stageCount() > 0) {
    NameCheck::Result check =
        NameCheck::checkEditList(list, folderMode, progress_, execSettings_.greet3,
                                 !folderMode && archiveKind_ == ArcLzh,
                                 folderMode ? nullptr : &selection.archiveEntries,
                                 OwnFiles::sameFolder(selection.folder, configDir_));
    if (!check.refusal.empty()) {
      message(check.refusal);
      return ExitCheckFailed;
    }
    if (!check.passed()) return printCheckErrors(list, check);
  }

  const int folderCount = list.folderCount;
  // The conversion and the check leave many small freed blocks behind; the
  // pages they free entirely go back before the plan rows are made.
  malloc_trim(0);
  PlanList plan = folderMode ? PlanBuilder::build(std::move(list), selection.folder, found,
                                                  progress_, execSettings_.greet4)
                             : PlanBuilder::build(list, PlanMode::Archive, selection.folder, *fs_,
                                                  progress_, execSettings_.greet4);
  found = std::vector<FileInfo>();
  applyTimeAndAttributeOptions(plan);

  std::unique_ptr<PlanEngine> engine;
  if (folderMode) {
    auto folderEngine =
        std::make_unique<FolderPlanEngine>(*fs_, progress_, execSettings_, undoPath(), nullptr);
    folderEngine->setListedCount(listed);
    if (runOptions.dummy) folderEngine->setDummyWriter(&dummyWriter());
    engine = std::move(folderEngine);
  } else {
    archiveState_.arcKind = archiveKind_;
    archiveState_.arcPath = TextCodec::toInternal(selection.archivePath);
    auto archiveEngine =
        std::make_unique<ArchivePlanEngine>(*fs_, progress_, execSettings_, archiveState_);
    archiveEngine->setBackupMode(arcBackup_);
    archiveEngine->setJournalPath(journalPath());
    engine = std::move(archiveEngine);
  }
  bool clean = true;
  if (plan.renameMode) clean = engine->check(plan, runOptions, false).passed;
  if (!execute || !(clean || (runOptions.copy && runOptions.ignoreErrors))) {
    printPlan(plan);
    if (!clean) explainMarks(plan, runOptions);
    return clean ? ExitOk : ExitCheckFailed;
  }
  return executePlan(*engine, plan, runOptions, folderCount);
}

// Runs a checked plan as "実行" does, without its questions: the command
// itself is the confirmation, and the folder warning is only shown.
int BatchRunner::executePlan(PlanEngine& engine, PlanList& plan, RunOptions& runOptions,
                             int folderCount) {
  if (ExecutionFlow::needsFolderWarning(plan, runOptions, folderCount, execSettings_)) {
    message(ExecutionFlow::FolderWarningText);
  }
  // Renaming through temporary names puts the marker in front of every old
  // name of the plan; the rows are shown with the names they had.
  std::vector<std::string> oldNames;
  if (runOptions.force) {
    oldNames.reserve(plan.rows.size());
    for (const PlanRow& row : plan.rows) oldNames.push_back(row.oldName);
  }
  ExecutionSettings unasked = execSettings_;
  unasked.msgExec = false;
  unasked.msgDir = false;
  ExecutionFlow flow(ui_, unasked);
  flow.setRecoveryHint("「ritoma-cli recover」で元に戻せます");
  RunResult result = flow.run(engine, plan, runOptions, folderCount);
  for (std::size_t i = 0; i < plan.rows.size() && i < oldNames.size(); ++i) {
    plan.rows[i].oldName = oldNames[i];
  }
  printPlan(plan, result.failed || !result.refusal.empty());
  // A dummy with the fallback content is done: the run's status stays, and
  // each such row is named on standard error.
  for (const RunResult::RowError& note : result.rowNotes) {
    const PlanRow& row = plan.rows[note.row];
    message("ritoma-cli: warning: " + shownName(row.oldName) + " -> " + shownName(row.newName) + ": " +
            RowStatus::FellBack + ": " + note.text);
  }
  if (!result.refusal.empty()) return ExitCheckFailed;
  return result.failed ? ExitFailed : ExitOk;
}

RunOptions BatchRunner::makeRunOptions() {
  RunOptions runOptions;
  if (options_.forceMarker) {
    runOptions.force = true;
    runOptions.marker = TextCodec::fromUtf8(*options_.forceMarker);
  }
  if (options_.copyTo) {
    // The pages fall back to the current folder when the copy folder does
    // not exist; a script that names a folder wants that folder or nothing.
    std::string target = absolutePath(*options_.copyTo);
    FileInfo info;
    if (fs_->stat(target, info) || !info.isFolder) {
      refuse("the copy folder '" + *options_.copyTo + "' does not exist");
    }
    runOptions.copy = true;
    runOptions.copyPath = TextCodec::toInternal(canonicalFolder(target));
  }
  runOptions.ignoreErrors = options_.ignoreErrors;
  runOptions.dummy = options_.dummy.any();
  return runOptions;
}

DummyWriter& BatchRunner::dummyWriter() {
  if (dummyWriter_) return *dummyWriter_;
  const CommandLine::Dummy& d = options_.dummy;
  dummySettings_.load(*ini_);
  DummySettings& s = dummySettings_;
  if (d.text) {
    s.page = 0;
    s.zeroByte = d.text->empty();
    s.edit = TextCodec::fromUtf8(*d.text);
  } else if (d.bytesFirst) {
    s.page = 1;
    s.binary = true;
    s.bin1 = *d.bytesFirst;
    s.bin2 = d.bytesCount;
  } else if (d.linesFirst) {
    s.page = 1;
    s.binary = false;
    s.txt1 = *d.linesFirst;
    s.txt2 = d.linesCount;
    s.txtMax = d.linesMaxBytes.has_value();
    if (d.linesMaxBytes) s.txtMaxBytes = *d.linesMaxBytes;
  }
  if (d.archiveNo) {
    // Sources that are no archive get the content given with the option,
    // else the one [Dummy] chose for them.
    if (d.fallbackExcerpt)
      s.notArcExcerpt = *d.fallbackExcerpt;
    else if (d.text || d.bytesFirst || d.linesFirst)
      s.notArcExcerpt = !d.text;
    s.page = 2;
    s.arcNo = *d.archiveNo;
    s.arcExt = d.archiveExt;
    s.arcLzh = s.arcZip = true;
    if (!libraries_) libraries_ = std::make_unique<ArchiveLibraries>(*fs_);
    for (const auto& [kind, key] : {std::pair{ArcLzh, "LZH"}, std::pair{ArcZip, "ZIP"}})
      if (ini_->readBool("Arc", key, ArchiveLibraries::kDefaultOn)) libraries_->load(kind);
  }
  if (!libraries_) libraries_ = std::make_unique<ArchiveLibraries>(*fs_);
  dummyWriter_ = std::make_unique<DummyFileWriter>(*fs_, *libraries_, dummySettings_);
  return *dummyWriter_;
}

// Each kept batch, the latest first, and whether its files are where undo
// will look for them: under the names it gave, once the later batches of
// the list are undone. Nothing is changed on disk.
int BatchRunner::runUndoList() {
  UndoHistory history(*fs_, undoPath());
  const std::vector<UndoHistory::Entry> entries = history.entries();
  if (entries.empty()) {
    message("ritoma-cli: " + std::string(UndoFlow::NoInfoText));
    return ExitUsage;
  }
  // The names of each folder as they will be when the batches listed so
  // far are undone; nullopt for a folder that cannot be read.
  std::map<std::string, std::optional<std::unordered_set<std::string>>> folders;
  HistoryTable table;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    HistoryTable::Row row;
    row.number = std::to_string(i + 1);
    row.written = TimeConvert::toText(entries[i].written);
    std::string bytes;
    UndoLog log;
    if (entries[i].size > UndoFlow::MaxSize) {
      row.state = "too large";
    } else if (fs_->readWholeFile(entries[i].path, bytes) ||
               UndoFile::decode(bytes, log) != UndoFile::Status::Ok) {
      row.state = "damaged";
    }
    bytes = std::string();
    if (!row.state.empty()) {
      table.add(std::move(row));
      continue;
    }
    row.rows = std::to_string(log.records.size());
    row.folder = log.folder.size() > 1 ? log.folder.substr(0, log.folder.size() - 1) : log.folder;
    auto [it, fresh] = folders.try_emplace(log.folder);
    if (fresh) {
      std::vector<std::string> names;
      if (!fs_->listNames(row.folder, names)) it->second.emplace(names.begin(), names.end());
    }
    if (!it->second) {
      row.state = "folder missing";
      table.add(std::move(row));
      continue;
    }
    std::unordered_set<std::string>& names = *it->second;
    const bool whole = std::all_of(log.records.begin(), log.records.end(),
                                   [&](const UndoRecord& r) { return names.count(r.newName) > 0; });
    row.state = whole ? "ok" : "changed";
    // Undone, the files found take their old names: all leave their new
    // names before any takes an old one, as a swap does.
    std::vector<const std::string*> back;
    for (const UndoRecord& r : log.records)
      if (names.erase(r.newName)) back.push_back(&r.oldName);
    for (const std::string* name : back) names.insert(*name);
    table.add(std::move(row));
  }
  const std::string text = options_.tsv ? table.renderTsv() : table.renderTable();
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  return ExitOk;
}

int BatchRunner::runUndo() {
  if (options_.list) return runUndoList();
  UndoFlow flow(*fs_, ui_, undoPath());
  std::optional<UndoLog> log = flow.load();
  if (!log) return ExitUsage;

  std::vector<FileInfo> infos;
  if (auto ec = fs_->listFolder(log->folder, infos)) {
    refuse("cannot read folder '" + log->folder + "': " + ec.message());
  }
  std::vector<FileEntry> entries;
  entries.reserve(infos.size());
  for (const FileInfo& info : infos) entries.push_back(FileEntry::fromDisk(info, false));
  ListedEntries listed(std::move(entries));

  EditList edit;
  PlanList plan;
  switch (flow.buildReversePlan(*log, listed, edit, plan)) {
    case UndoFlow::Built::Ok: break;
    case UndoFlow::Built::Declined: return ExitCheckFailed;
    case UndoFlow::Built::NamesRefused: return printCheckErrors(edit, flow.nameCheck());
    case UndoFlow::Built::NoneFound: {
      // The record stays: the files may come back (a medium plugged in again).
      const std::vector<std::string>& missing = flow.missing();
      print(missing.size(), [&](std::size_t i) -> PlanTable::Row {
        return {shownName(missing[i]), "", "not found"};
      });
      return ExitFailed;
    }
  }

  RunOptions runOptions = makeRunOptions();
  FolderPlanEngine engine(*fs_, progress_, execSettings_, undoPath(), nullptr);
  engine.setListedCount(listed.size());
  if (!engine.check(plan, runOptions, false).passed) {
    printPlan(plan);
    explainMarks(plan, runOptions);
    return ExitCheckFailed;
  }
  return executePlan(engine, plan, runOptions, edit.folderCount);
}

std::string BatchRunner::defaultConfigFolder() { return Places::forThisProgram(*fs_).folder(); }

std::string BatchRunner::undoPath() const { return configDir_ + "/" + UndoFile::FileName; }

std::string BatchRunner::journalPath() const { return RunJournal::pathBeside(undoPath()); }

// The start-up question of the window, then the recovery; the rows as the
// reverse plan of undo prints them: the name the run gave, the old name.
// With --discard the journal is set aside unread, damaged or not.
int BatchRunner::runRecover() {
  JournalRecovery recovery(*fs_, journalPath());
  const JournalRecovery::Load loaded = recovery.load();
  if (loaded == JournalRecovery::Load::None) {
    recovery.removeLeftovers();
    message("ritoma-cli: no interrupted run to recover");
    return ExitUsage;
  }
  if (options_.discard) {
    if (!recovery.discard()) {
      message("ritoma-cli: " + recovery.error());
      return ExitFailed;
    }
    message("ritoma-cli: the record of the interrupted run was set aside as " +
            recovery.setAsidePath() + "; nothing was put back");
    return ExitOk;
  }
  if (loaded == JournalRecovery::Load::Damaged) {
    message("ritoma-cli: " + recovery.error() +
            "\nritoma-cli: nothing was changed; 'ritoma-cli recover --discard' sets it aside");
    return ExitUsage;
  }
  if (ui_.ask(QuestionKind::OkCancel, recovery.question(), ExecutionFlow::Caption) != Answer::Ok)
    return ExitCheckFailed;
  const bool done = recovery.recover();
  const JournalData& data = recovery.data();
  const std::vector<bool>& back = recovery.rowsBack();
  print(data.rows.size(), [&](std::size_t i) -> PlanTable::Row {
    return {data.rows[i].newName, data.rows[i].oldName, back[i] ? "ok" : "failed"};
  });
  message("ritoma-cli: " + recovery.summary());
  if (done) return ExitOk;
  message("ritoma-cli: " + recovery.error() +
          "\nritoma-cli: 'ritoma-cli recover' tries again; 'ritoma-cli recover --discard' gives up");
  return ExitFailed;
}

int BatchRunner::printCheckErrors(const EditList& list, const NameCheck::Result& check) {
  print(list.rows.size(), [&](std::size_t i) -> PlanTable::Row {
    const std::string& error = check.errors[i];
    return {shownName(list.rows[i].names[0]), shownName(list.lastName(i)),
            error.empty() ? "ok" : TextCodec::toUtf8(error)};
  });
  message(TextCodec::toUtf8(check.caption()));
  return ExitCheckFailed;
}

void BatchRunner::explainMarks(const PlanList& plan, const RunOptions& runOptions) {
  std::size_t marked = 0;
  bool seen[MarkHeaderTooLong + 1] = {};
  for (const PlanRow& row : plan.rows) {
    if (row.mark == MarkNone) continue;
    ++marked;
    seen[row.mark] = true;
  }
  message("ritoma-cli: " + std::to_string(marked) + " of " + std::to_string(plan.rows.size()) +
          " rows cannot run; nothing was changed");
  if (seen[MarkBlocked] && !runOptions.force) {
    message("ritoma-cli: a new name is still held by a later row; --force-temp renames through "
            "temporary names");
  }
  if (seen[MarkTempTooLong]) {
    message("ritoma-cli: a temporary name (the marker and the old name) would be longer than "
            "255 bytes; such a file can only be renamed without --force-temp");
  }
  if (seen[MarkHeaderTooLong]) {
    message("ritoma-cli: a new name would make its entry's LZH header larger than 64 KiB");
  }
}

void BatchRunner::printPlan(const PlanList& plan, bool runFailed) {
  print(plan.rows.size(), [&](std::size_t i) -> PlanTable::Row {
    const PlanRow& row = plan.rows[i];
    return {shownName(row.oldName), shownName(row.newName), statusText(row, runFailed)};
  });
}

PluginHost& BatchRunner::plugins(std::vector<SkippedPlugin>* skipped) {
  if (!plugins_) {
    plugins_ = std::make_unique<PluginHost>(*fs_, PluginFolders::forThisProgram(*fs_));
    plugins_->loadSettings(*ini_, skipped);
  }
  return *plugins_;
}

// The plug-ins in service (letter, name, file, information), then on
// standard error each [MacroEx] entry and each plug-in file of the folders
// that does not load, and why.
int BatchRunner::runPlugins() {
  std::vector<SkippedPlugin> skipped;
  PluginHost& host = plugins(&skipped);
  std::vector<std::vector<std::string>> rows;
  if (!options_.tsv) rows.push_back({"LETTER", "NAME", "FILE", "INFORMATION"});
  for (int i = 0; i < host.count(); ++i) {
    rows.push_back({std::string(1, host.letter(i)), TextCodec::toUtf8(host.library(i).name()),
                    TextCodec::toUtf8(host.fileName(i)),
                    TextCodec::toUtf8(host.library(i).information())});
  }
  std::vector<std::size_t> widths(4, 0);
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c)
      widths[c] = std::max(widths[c], PlanTable::displayWidth(row[c]));
  }
  std::string text;
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      text += row[c];
      if (c + 1 == row.size()) break;
      if (options_.tsv) {
        text += '\t';
      } else {
        text.append(widths[c] - PlanTable::displayWidth(row[c]) + 2, ' ');
      }
    }
    text += '\n';
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  // A failed [MacroEx] entry whose file is in a folder fails there again.
  std::vector<SkippedPlugin> files;
  host.candidates(&files);
  for (SkippedPlugin& f : files) {
    const bool listed = std::any_of(skipped.begin(), skipped.end(),
                                    [&](const SkippedPlugin& s) { return s.fileName == f.fileName; });
    if (!listed) skipped.push_back(std::move(f));
  }
  for (const SkippedPlugin& s : skipped) {
    message("ritoma-cli: skipped plug-in " + TextCodec::toUtf8(s.fileName) + ": " + s.reason);
  }
  return ExitOk;
}

void BatchRunner::print(std::size_t rows, const PlanTable::RowAt& rowAt) {
  if (options_.tsv)
    PlanTable::writeTsv(stdout, rows, rowAt);
  else
    PlanTable::writeTable(stdout, rows, rowAt);
  std::fflush(stdout);
}

void BatchRunner::message(const std::string& text) {
  progress_.close();
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace ritoma
