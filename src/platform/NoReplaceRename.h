#pragma once

#include <string>
#include <system_error>

#include "platform/PosixCalls.h"

namespace ritoma {

// Renames that never replace an existing entry, on every file system.
//
// Where the file system offers RENAME_NOREPLACE, a rename is that one call.
// Where it refuses the flag (NFS, SMB, and FUSE file systems such as exFAT,
// FAT, NTFS through ntfs-3g or sshfs), the new name is claimed first, by an
// empty file that did not exist (mknod, or where the file system makes no
// nodes an open with O_EXCL), or an empty folder for a folder, and the entry
// is renamed over that claim. A claim is removed again only while it is
// still an empty entry of its kind. Hard links are not needed.
//
// A case-only rename ("IMG.JPG" to "img.jpg") in a folder that ignores case
// finds its own entry under the new name. It goes through a fresh temporary
// name in two such renames, never through one plain rename (vfat finds the
// same entry there, does nothing and reports success), and the folder is
// then read back: where it still shows another spelling, the rename fails
// with spellingKept(). Two hard links of one file are never taken for one
// entry: the second step finds the other link and the entry goes back.
class NoReplaceRename {
public:
  explicit NoReplaceRename(PosixCalls& calls) : calls_(calls) {}

  // What renames in one folder have learnt of its file system. A caller
  // that renames many entries there keeps one and passes it to each rename:
  // once the flag was refused, the later renames claim the new name at
  // once instead of asking again (on FUSE and NFS every refused attempt
  // still looks both names up on the server first).
  struct Learnt {
    bool flagRefused = false;
  };

  // Renames `from`, relative to the folder `fromDir` (or AT_FDCWD), to `to`,
  // relative to `toDir`. Fails with file_exists when `to` names another
  // entry.
  std::error_code rename(int fromDir, const char* from, int toDir, const char* to) const;
  // The same for a rename within the folder that `learnt` belongs to.
  std::error_code rename(int fromDir, const char* from, int toDir, const char* to, Learnt& learnt) const;

  // The failure of a case-only rename after which the folder still shows
  // the name in another spelling: "the file system kept the old spelling
  // of the name". It compares equal to std::errc::operation_not_supported.
  static std::error_code spellingKept();

private:
  std::error_code renameOnce(int fromDir, const char* from, int toDir, const char* to, Learnt& learnt) const;
  std::error_code renameOverClaim(int fromDir, const char* from, int toDir, const char* to) const;
  std::error_code claimFile(int dir, const char* name) const;
  bool removeClaim(int dir, const char* name, bool folder) const;
  std::error_code renameCaseOnly(int dir, const std::string& from, const std::string& to, Learnt& learnt) const;
  std::error_code readBack(int dir, const std::string& folder, const std::string& name) const;

  PosixCalls& calls_;
};

}  // namespace ritoma
