#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <system_error>

#include "execution/JournalFile.h"
#include "platform/FileSystem.h"

namespace ritoma {

// Writes the crash journal of one in-place run. begin() puts the whole plan
// on the disk before the run's first operation: written under a temporary
// name, synced, renamed into place and the folder synced, so a journal is
// either complete or absent. Each stage's start is appended and synced
// before the stage's first operation. Row progress is appended every
// RecordEvery rows and never synced: recovery does not depend on it (it
// looks at the disk for the names), and on a journaling file system each
// sync would also commit every rename made so far, a wait of milliseconds
// each. finish() removes the journal.
class RunJournal {
public:
  static constexpr std::size_t RecordEvery = 512;

  // The journal's path beside the undo file at `undoPath`.
  static std::string pathBeside(const std::string& undoPath);
  // True when a journal is pending at `path` (a run was interrupted).
  static bool pending(FileSystem& fs, const std::string& path);
  // The folder of a file's path ("." for a bare name).
  static std::string folderOf(const std::string& path);

  RunJournal(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  ~RunJournal();
  RunJournal(const RunJournal&) = delete;
  RunJournal& operator=(const RunJournal&) = delete;

  // Fails with file_exists when another journal is pending, and with
  // invalid_argument when `data` cannot be recorded. Called again (an
  // archive's backup name changed), it replaces this journal's own file.
  std::error_code begin(const JournalData& data);
  // The same with the header already made (JournalFile::encode, or
  // startFolder and addFolderRow), in pieces written one after the other;
  // nullopt stands for a plan that cannot be recorded.
  std::error_code beginEncoded(const std::optional<std::vector<std::string_view>>& header);
  // Records that `stage` begins; its operations may run only on success.
  std::error_code startStage(JournalStage stage);
  // `done` rows of `stage` have run.
  void rowsDone(JournalStage stage, std::size_t done);
  // Removes the journal: the run ended, successfully or rolled back.
  std::error_code finish();
  // Stops writing and leaves the journal for recovery.
  void abandon();

  bool active() const { return active_; }
  const std::string& path() const { return path_; }

private:
  std::error_code append(const std::string& record, bool sync);

  FileSystem& fs_;
  std::string path_;
  std::unique_ptr<OutputFile> file_;
  bool active_ = false;
  std::size_t lastRecorded_ = 0;
};

}  // namespace ritoma
