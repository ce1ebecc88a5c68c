#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/LocalTimes.h"

namespace ritoma {

// One row of the selection list. Texts are code page 932; `diskName` keeps
// the name exactly as the file system stores it, so a name that is not valid
// UTF-8 is found again byte for byte.
struct FileEntry {
  static constexpr int IconFile = 0;
  static constexpr int IconFolder = 1;         // a disk folder
  static constexpr int IconArchiveFolder = 2;  // a directory entry of an archive

  std::string kindCode;      // "11" file, "02" folder
  bool checked = false;
  int icon = IconFile;
  std::string baseName;
  std::string extension;     // from the list's last ".", dot included; empty for disk folders
  std::string sizeText;      // "1,234,567", or "<DIR>" for disk folders
  std::string modifiedText;  // "yyyy/mm/dd hh:mm:ss", local time, even seconds

  std::string diskName;      // raw name on disk (or as stored in the archive)
  std::uint64_t size = 0;
  FileTime created = 0;
  FileTime modified = 0;
  FileTime accessed = 0;
  std::uint32_t attributes = 0;
  // An archive entry whose header stores its name as code page 932 (every
  // LZH entry, a ZIP entry not read as UTF-8): a new name needs a code page
  // 932 code for each of its characters.
  bool storedAsCodePage = false;
  // An archive entry's position in the archive's own order (ArcInfo::index):
  // a rename inside the archive goes to that entry, whatever its name. -1
  // for disk files and folders.
  std::int64_t archiveIndex = -1;
  // What the entry is on disk; a link is listed with its own size and
  // times. Archive entries are files and folders.
  EntryKind kind = EntryKind::File;

  bool isLink() const { return kind == EntryKind::Link || kind == EntryKind::MissingLink; }

  std::string fullName() const { return baseName + extension; }

  // A disk file or folder as the listing found it.
  static FileEntry fromDisk(const FileInfo& info, bool checked);
  // The same for the many entries of a listing, one `zone` per thread.
  static FileEntry fromDisk(const FileInfo& info, bool checked, LocalTimes& zone);
  // Splits a code-page-932 name at the list's extension rule (the last "."
  // after the last "\" or ":"; "/" is an ordinary character there).
  static void splitName(std::string_view name, std::string& baseName, std::string& extension);
  // Decimal with "," between groups of three digits.
  static std::string formatSize(std::uint64_t size);
  // "yyyy/mm/dd hh:mm:ss" in local time, seconds rounded down to even as the
  // packed date-time of a directory search has them.
  static std::string formatModified(FileTime time);
  static std::string formatModified(FileTime time, LocalTimes& zone);
};

}  // namespace ritoma
