#pragma once

#include <functional>
#include <string>

#include "platform/FileSystem.h"

namespace ritoma {

// What happens to the backup after a successful rewrite ([Option] ArcBackup).
enum ArcBackupMode : int {
  ArcBackupDelete = 0,     // deleted
  ArcBackupKeepAll = 1,    // every backup stays (default)
  ArcBackupKeepFirst = 2,  // only a "_BAK" backup stays
};

// The backup around a rewrite: the archive is moved aside, the new archive
// is written under its name, gets the backup's times and attributes, and
// the backup is kept or deleted. Paths are disk paths.
class ArcBackup {
public:
  explicit ArcBackup(FileSystem& fs) : fs_(fs) {}

  // Notes the archive's times and attributes, for ArcCopyTimes: reading
  // the archive may change its access time, so this comes before any read.
  bool noteTimes(const std::string& archivePath);
  // Moves the archive to base + "_BAK" + ext, or, when that exists, to
  // base + "_BK" + n + ext with the smallest free n from 1 (ext spelled as
  // in the path). Never replaces a file. Notes the archive's times and
  // attributes first unless noteTimes did for this archive. `announce`, when
  // given, is told each backup name before the archive is moved there; its
  // false ends the attempt with nothing moved.
  bool ArcMakeBackup(const std::string& archivePath,
                     const std::function<bool(const std::string&)>& announce = {});
  // Gives the archive the creation, access and write times and the
  // attributes the backup had when it was made, as far as its file system
  // holds them (a creation time or S, H and A only carry over).
  bool ArcCopyTimes(const std::string& archivePath);
  // The n-th backup name of `archivePath`: "_BAK" for 0, "_BK" + n after.
  static std::string backupName(const std::string& archivePath, unsigned n);
  // Whether `backupPath` is one of the backup names of `archivePath`.
  static bool isBackupOf(const std::string& archivePath, const std::string& backupPath);
  bool ArcDropBackup(int mode);

  const std::string& backupPath() const { return backupPath_; }
  // The system's reason of the last step that failed.
  std::error_code error() const { return error_; }
  bool isFirstBackup() const { return firstBackup_; }

private:
  FileSystem& fs_;
  std::string backupPath_;
  bool firstBackup_ = false;
  FileInfo original_;
  std::string notedPath_;  // whose times original_ holds
  std::error_code error_;
};

}  // namespace ritoma
