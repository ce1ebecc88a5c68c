#pragma once

#include <functional>
#include <string>
#include <vector>

#include "archive/ArcInfo.h"
#include "archive/ArcRenameTable.h"
#include "archive/ArchiveInput.h"
#include "archive/ArchiveOutput.h"
#include "archive/PlannedEntries.h"
#include "platform/FileSystem.h"
#include "shell/ProgressSink.h"

namespace ritoma {

// Renames entries by writing a new archive: reads the backup, writes a new
// file at the archive's path (which must not exist; it is made like the
// backup, createLike), always showing the progress window "リネーム処理中…".
// On failure the incomplete new file is removed and error() says why; the
// backup is never touched.
class ArchiveRewrite {
public:
  ArchiveRewrite(FileSystem& fs, ProgressSink& progress) : fs_(fs), progress_(progress) {}

  // Reads the headers (LZH) or the directory (ZIP) of the archive with the
  // checks the rewrite makes before it copies anything: false, with error(),
  // for damage found there, so that a run can refuse before the backup.
  bool check(ArcKind kind, const std::string& archivePath);

  bool ArcRenameLzh(const std::string& backupPath, const std::string& archivePath,
                    const std::vector<ArcRenameRow>& rows);
  bool ArcRenameZip(const std::string& backupPath, const std::string& archivePath,
                    const std::vector<ArcRenameRow>& rows);
  bool rename(ArcKind kind, const std::string& backupPath, const std::string& archivePath,
              const std::vector<ArcRenameRow>& rows);

  // Reads the rewritten archive's headers again: it must hold as many
  // entries as the backup, in the same order, each with its planned name and
  // with the data (CRC and sizes) the backup's entry at its position had.
  bool verify(ArcKind kind, const std::string& archivePath);

  // Called once the new file exists under the archive's name, before
  // anything is written into it.
  void setOnCreated(std::function<void()> onCreated) { onCreated_ = std::move(onCreated); }

  const std::string& error() const { return error_; }
  // After a failed rewrite: its incomplete file could not be removed.
  bool outputRemains() const { return outputRemains_; }

private:
  using Body = std::function<void(ArchiveInput&, ArchiveOutput&)>;
  bool run(const std::string& backupPath, const std::string& archivePath, const Body& body);

  FileSystem& fs_;
  ProgressSink& progress_;
  PlannedEntries planned_;  // every entry as it must be listed after the rewrite
  std::string error_;
  bool outputRemains_ = false;
  std::function<void()> onCreated_;
};

}  // namespace ritoma
