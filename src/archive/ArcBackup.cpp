#include "archive/ArcBackup.h"

namespace ritoma {

bool ArcBackup::noteTimes(const std::string& archivePath) {
  notedPath_.clear();
  if ((error_ = fs_.stat(archivePath, original_))) return false;
  notedPath_ = archivePath;
  return true;
}

bool ArcBackup::ArcMakeBackup(const std::string& archivePath,
                              const std::function<bool(const std::string&)>& announce) {
  backupPath_.clear();
  firstBackup_ = false;
  if (notedPath_ != archivePath && !noteTimes(archivePath)) return false;
  const std::size_t slash = archivePath.rfind('/');
  const std::size_t dot = archivePath.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string base = hasExtension ? archivePath.substr(0, dot) : archivePath;
  const std::string ext = hasExtension ? archivePath.substr(dot) : std::string();

  for (unsigned n = 0;; ++n) {
    const std::string candidate = base + (n == 0 ? "_BAK" : "_BK" + std::to_string(n)) + ext;
    if (fs_.exists(candidate)) continue;
    if (announce && !announce(candidate)) return false;
    error_ = fs_.rename(archivePath, candidate);
    if (error_ == std::errc::file_exists) continue;  // taken in the meantime
    if (error_) return false;
    backupPath_ = candidate;
    firstBackup_ = n == 0;
    return true;
  }
}

bool ArcBackup::ArcCopyTimes(const std::string& archivePath) {
  const FileInfo& info = original_;
  if ((error_ = fs_.carryTimes(archivePath, info.created, info.modified, info.accessed))) return false;
  return !(error_ = fs_.carryAttributes(archivePath, info.attributes & ~std::uint32_t{AttrFolder}));
}

bool ArcBackup::ArcDropBackup(int mode) {
  if (mode == ArcBackupKeepAll) return true;
  if (mode == ArcBackupKeepFirst && firstBackup_) return true;
  return !(error_ = fs_.remove(backupPath_));
}

}  // namespace ritoma
