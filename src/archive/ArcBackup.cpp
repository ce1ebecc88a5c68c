#include "archive/ArcBackup.h"

#include <utility>

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
  for (unsigned n = 0;; ++n) {
    const std::string candidate = backupName(archivePath, n);
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

namespace {

// The archive's path without and with its extension ("" when it has none).
std::pair<std::string, std::string> splitExtension(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {path, {}};
  return {path.substr(0, dot), path.substr(dot)};
}

}  // namespace

std::string ArcBackup::backupName(const std::string& archivePath, unsigned n) {
  const auto [base, ext] = splitExtension(archivePath);
  return base + (n == 0 ? "_BAK" : "_BK" + std::to_string(n)) + ext;
}

bool ArcBackup::isBackupOf(const std::string& archivePath, const std::string& backupPath) {
  if (backupPath == backupName(archivePath, 0)) return true;
  const auto [base, ext] = splitExtension(archivePath);
  const std::string prefix = base + "_BK";
  if (backupPath.size() <= prefix.size() + ext.size() || backupPath.compare(0, prefix.size(), prefix) != 0 ||
      backupPath.compare(backupPath.size() - ext.size(), ext.size(), ext) != 0)
    return false;
  const std::string digits =
      backupPath.substr(prefix.size(), backupPath.size() - prefix.size() - ext.size());
  if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
  const unsigned long n = std::stoul(digits);
  return n > 0 && backupName(archivePath, static_cast<unsigned>(n)) == backupPath;
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
