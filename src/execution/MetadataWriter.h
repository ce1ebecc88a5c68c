#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "platform/FileSystem.h"

namespace ritoma {

// Writes times and attributes to the files of one folder and reads them
// back: a value the medium kept to its step (FAT: the last write to 2 s)
// counts as set, one it ignored fails with not_supported. Values the files
// already show, to the same step, are not written.
//
// A value that only carries over (to a copy, back to a file by undo,
// recovery or roll-back) is left out where the medium cannot hold it: a
// creation time, S, H and A without somewhere to keep them, R where the
// medium has no read-only attribute, the last access through fusefat. A
// new one there is refused before the run (FolderPlanRun).
class MetadataWriter {
public:
  // `medium` describes the file system of the folder (FileSystem::medium).
  MetadataWriter(FileSystem& fs, const MediumTraits& medium) : fs_(fs), medium_(medium) {}

  // Writes the times that differ from what the file shows, R cleared for
  // the moment so that a read-only file takes them. A failure leaves the
  // file as it was.
  std::error_code writeTimes(const std::string& path, std::optional<FileTime> created,
                  std::optional<FileTime> modified, std::optional<FileTime> accessed,
                  bool createdCarried);
  // The same from the plan's time texts; invalid_argument when a text is
  // no time.
  std::error_code writeTimeTexts(const std::string& path, const std::string& created,
                      const std::string& modified, const std::string& accessed, bool createdCarried);
  // Gives the file exactly R, H, S and A of `attributes` (only those the
  // medium holds when `carried`). When they cannot be read back as
  // written, the file gets `previous` again, the attributes it showed.
  std::error_code writeAttributes(const std::string& path, std::uint32_t attributes, bool carried,
                                  std::uint32_t previous);

  const MediumTraits& medium() const { return medium_; }

private:
  // writeTimes on the file as `now` shows it.
  std::error_code write(const std::string& path, const FileInfo& now, std::optional<FileTime> created,
             std::optional<FileTime> modified, std::optional<FileTime> accessed, bool createdCarried);

  FileSystem& fs_;
  MediumTraits medium_;
};

}  // namespace ritoma
