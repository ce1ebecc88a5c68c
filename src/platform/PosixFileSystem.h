#pragma once

#include "platform/FileSystem.h"
#include "platform/MediumProbe.h"
#include "platform/NoReplaceRename.h"
#include "platform/PosixCalls.h"

namespace ritoma {

// The file system of the running Linux system, on raw byte paths.
//
// DOS attributes and the creation time live where the medium keeps them
// (MediumProbe chooses the AttributeStore once per folder listed, or per
// path): NTFS and FAT in their own attributes, every other file system in
// the extended attribute user.DOSATTRIB (DosAttribStore). A file without
// any write bit reads as R, and a name starting with "." as hidden. Times
// and attributes the file already shows are not written again.
//
// The creation time is the one the store keeps, else the birth time the
// kernel reports, else the last-write time.
//
// Listing and look-up follow symbolic links; a link whose target is gone
// is described by the link itself.
//
// Renames, and the last step of a copy, never replace an entry on any
// file system (see NoReplaceRename).
class PosixFileSystem : public FileSystem {
public:
  // `calls` answers the extended-attribute, explicit-time, rename and
  // file-system calls.
  explicit PosixFileSystem(PosixCalls& calls = PosixCalls::system())
      : calls_(calls), probe_(calls), renames_(calls) {}

  std::error_code listFolder(const std::string& folder, std::vector<FileInfo>& out) override;
  std::error_code listNames(const std::string& folder, std::vector<std::string>& out) override;
  std::error_code stat(const std::string& path, FileInfo& out) override;
  std::error_code lookUp(const std::string& path, FileInfo& out) override;
  std::error_code rename(const std::string& from, const std::string& to) override;
  // Holds the folder open by a descriptor.
  std::error_code openFolderHandle(const std::string& folder,
                                   std::unique_ptr<FolderHandle>& out) override;
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
  std::error_code createLike(const std::string& path, const std::string& model,
                             std::unique_ptr<OutputFile>& out) override;
  std::vector<std::string> mountPoints() override;
  std::string executableFolder() override;
  bool isWritableFolder(const std::string& folder) override;

  // The lines of a mounts table (/proc/self/mounts format) reduced to the
  // drive list: "/" first, then each mount point of a source under /dev/
  // (package images of type squashfs excepted) or of a network share (cifs,
  // smb3, nfs, nfs4, fuse.sshfs), once, in table order. Octal escapes
  // (\040) in the table are decoded.
  static std::vector<std::string> parseMountPoints(const std::string& table);

private:
  PosixCalls& calls_;
  MediumProbe probe_;
  NoReplaceRename renames_;
};

}  // namespace ritoma
