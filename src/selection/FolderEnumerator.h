#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/FileSystem.h"

namespace ritoma {

// Bits of the attribute filter (settings key Filter/Attr).
enum FilterBit : std::uint32_t {
  FilterReadOnly = 1,
  FilterHidden = 2,
  FilterSystem = 4,
  FilterFolders = 16,   // list the subfolders at the top of the selection list
  FilterArchive = 32,
  FilterNormal = 128,   // every file the search returns
};

constexpr std::uint32_t DefaultFilterAttributes = FilterNormal;

// The folder enumeration: the files of one folder that pass the name
// patterns and the attribute filter.
class FolderEnumerator {
public:
  // Lists `folder` (code page 932) and returns its matching files, pattern
  // by pattern in the order of `patternText`: a file matched by two
  // patterns is returned once for each. Folders are never returned. Fails
  // when the folder cannot be read; `out` is then empty.
  static std::error_code enumerateFolder(FileSystem& fs, std::string_view folder,
                                         std::string_view patternText, std::uint32_t attributes,
                                         std::vector<FileInfo>& out);

  // The same rule applied to a listing already made: indices into
  // `listing`, with repeats for files matched by several patterns.
  static std::vector<std::size_t> select(const std::vector<FileInfo>& listing,
                                         std::string_view patternText, std::uint32_t attributes);

  // Whether a file with DOS attributes `fileAttributes` passes the
  // attribute filter `filter`.
  static bool passesAttributes(std::uint32_t fileAttributes, std::uint32_t filter);

  // The disk form of a folder path in code page 932; empty with `ok` false
  // when it has no disk form.
  static std::string diskPath(std::string_view folder, bool& ok);
};

}  // namespace ritoma
