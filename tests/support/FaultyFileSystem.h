#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace ritoma {

// A FileSystem that forwards every call to a real one and fails the calls
// it is told to, for tests of error paths:
//
//   PosixFileSystem real;
//   FaultyFileSystem fs(real);
//   fs.failNth(FsOp::Rename, 2, EACCES);      // the 2nd rename fails
//   fs.failMatching(FsOp::OpenWrite, "*/out/*", ENOSPC);
//   ... run the code under test with `fs` ...
//   EXPECT_EQ(fs.calls(FsOp::Rename), 3);
//
// A failed call does nothing and returns the given errno as a generic
// error_code. Calls are counted per FsOp from construction (or reset()),
// failed ones included; InputFile/OutputFile calls count as Read, Write,
// Seek, Close and Sync, and their path is the path the file was opened
// with; syncFolder counts as Sync too.
// Calls with two paths (rename, replace, copyFile) match a pattern when
// either path does. The helpers exists/readWholeFile/replaceFileContent
// go through the counted calls (Stat, OpenRead, Read, OpenWrite, Write,
// Close, Replace, Remove).
//
// It also plays the file systems that refuse what the disk under the test
// keeps: refuseExtendedAttributes() for FAT, exFAT, NFSv3 or ramfs, where
// every extended-attribute call answers "not supported", and
// refuseExplicitTimes() for a file of another owner, on which utimensat
// with explicit times answers EPERM. From the first of these on, the calls
// go to a POSIX file system of the same disk whose system calls answer so,
// in place of the file system given at construction.
//
// In the same way it plays the renames of file systems that cannot be
// mounted here: refuseNoReplaceFlag() for NFS, SMB and FUSE file systems,
// ignoreCase() for the kernel's vfat, keepUpperCaseNames() for FAT
// without long names. These change what the rename calls (rename,
// copyFile's last step and the renames of folder handles) find on the
// disk; look-ups and listings see the disk as it is.
class FaultyFileSystem : public FileSystem {
public:
  explicit FaultyFileSystem(FileSystem& real);
  ~FaultyFileSystem() override;

  // Fails the n-th call (1-based) of `op` with errno `error`.
  void failNth(FsOp op, int n, int error);
  // Fails every call of `op` whose path matches the shell pattern
  // `pattern` (fnmatch without flags: "*" also matches "/"; "*" alone
  // matches every path).
  void failMatching(FsOp op, std::string pattern, int error);
  // Number of calls of `op` so far.
  int calls(FsOp op) const;
  // Forgets every rule, count and reply set below, and the refusals.
  void reset();

  void refuseExtendedAttributes();
  // utimensat with explicit times fails with EPERM on paths matching
  // `pattern`.
  void refuseExplicitTimes(std::string pattern);
  // setTimes on paths matching `pattern` succeeds and changes nothing, as
  // on FUSE file systems that ignore a time.
  void ignoreTimes(std::string pattern);
  // Plays a medium that keeps times to the steps of `steps` (FAT: the last
  // write to 2 s): setTimes rounds each time down to its step (a step of 0
  // leaves that time as it is), and medium() reports the steps.
  void coarseTimes(const MediumTraits& steps);

  // RENAME_NOREPLACE fails with EINVAL.
  void refuseNoReplaceFlag();
  // Folders ignore the case of ASCII letters as vfat's do: a name finds an
  // entry spelled otherwise; RENAME_NOREPLACE to another spelling of the
  // same entry fails with EEXIST, and a plain rename between two spellings
  // of one entry does nothing and succeeds.
  void ignoreCase();
  // As ignoreCase, and a new or renamed entry gets its name in upper case.
  void keepUpperCaseNames();

  // Replies of the calls that are not FsOps, for tests of places and the
  // drive list. Folders matching `pattern` count as not writable.
  void setExecutableFolder(std::string folder);
  void setMountPoints(std::vector<std::string> points);
  void markUnwritable(std::string pattern);

  // Counts this call of `op` and returns the error it is to fail with,
  // or no error when it is to go through. Used by the open files too.
  std::error_code check(FsOp op, const std::string& path, const std::string& path2 = {});

  std::error_code listFolder(const std::string& folder, std::vector<FileInfo>& out) override;
  std::error_code stat(const std::string& path, FileInfo& out) override;
  std::error_code lookUp(const std::string& path, FileInfo& out) override;
  std::error_code rename(const std::string& from, const std::string& to) override;
  std::error_code replace(const std::string& from, const std::string& to) override;
  std::error_code copyFile(const std::string& from, const std::string& to) override;
  std::error_code remove(const std::string& path) override;
  std::error_code makeFolder(const std::string& path) override;
  std::error_code syncFolder(const std::string& folder) override;
  std::error_code setTimes(const std::string& path, std::optional<FileTime> created,
                           std::optional<FileTime> modified,
                           std::optional<FileTime> accessed) override;
  std::error_code getAttributes(const std::string& path, std::uint32_t& attributes) override;
  std::error_code setAttributes(const std::string& path, std::uint32_t attributes) override;
  MediumTraits medium(const std::string& path) override;
  std::error_code openRead(const std::string& path, std::unique_ptr<InputFile>& out) override;
  std::error_code openWrite(const std::string& path, WriteMode mode,
                            std::unique_ptr<OutputFile>& out) override;
  // Counted as OpenWrite.
  std::error_code createLike(const std::string& path, const std::string& model,
                             std::unique_ptr<OutputFile>& out) override;
  std::vector<std::string> mountPoints() override;
  std::string executableFolder() override;
  bool isWritableFolder(const std::string& folder) override;

private:
  static constexpr std::size_t kOpCount = static_cast<std::size_t>(FsOp::Sync) + 1;
  struct PatternRule {
    FsOp op;
    std::string pattern;
    int error;
  };

  class RefusingCalls;
  FileSystem& target();
  RefusingCalls& refusingCalls();

  FileSystem& real_;
  std::unique_ptr<RefusingCalls> refusingCalls_;
  std::unique_ptr<FileSystem> refusing_;  // a PosixFileSystem on refusingCalls_
  std::array<int, kOpCount> counts_{};
  std::map<std::pair<FsOp, int>, int> nthRules_;
  std::vector<PatternRule> patternRules_;
  std::optional<std::string> executableFolder_;
  std::optional<std::vector<std::string>> mountPoints_;
  std::vector<std::string> unwritable_;
  std::vector<std::string> timesIgnored_;
  std::optional<MediumTraits> steps_;
};

}  // namespace ritoma
