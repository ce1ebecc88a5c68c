#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace ritoma {

// What the extended attribute user.DOSATTRIB says about a file.
struct DosAttribInfo {
  std::uint32_t attributes = 0;        // R, H, S, A as stored (other bits dropped)
  std::optional<FileTime> created;     // present when the value marks it valid
};

// The value of user.DOSATTRIB as Samba and the kernel SMB server keep it:
// an NDR-encoded record. The record starts with a NUL-terminated hex string
// of the attributes ("0x20"), followed by a version and a version-specific
// body. Fields are little-endian and aligned to their size (u16 on 2, u32
// and the 64-bit times on 4), counting from the start of the value.
//
// Version 4, as written here (32 bytes):
//
//   offset  0        2        4              8              12
//          +--------+--------+--------------+--------------+--------------+
//          | "" NUL | u16  4 | u32 level 4  | u32 valid    | u32 attrib   |
//          | + pad  |        |              |   flags      |              |
//          +--------+--------+--------------+--------------+--------------+
//   offset 16                               24                            32
//          +-------------------------------+-------------------------------+
//          | u64 itime (0)                 | u64 creation time             |
//          +-------------------------------+-------------------------------+
//
// Version 3, read only (the string is usually "0xNN", so the version sits
// at offset 6 after one pad byte):
//
//   "0xNN" NUL | pad | u16 3 | u32 level 3 | u32 valid flags | u32 attrib |
//   u32 ea size | u64 size | u64 alloc size | u64 creation | u64 change
//
// A value holding only the hex string (with or without its NUL) is the
// oldest form and carries the attributes alone. Valid flags: 0x1 attributes,
// 0x10 creation time. Times are 100-ns units since 1601-01-01 UTC.
class DosAttrib {
public:
  static constexpr std::uint32_t kValidAttributes = 0x1;
  static constexpr std::uint32_t kValidCreated = 0x10;
  static constexpr std::uint32_t kStoredBits = AttrReadOnly | AttrHidden | AttrSystem | AttrArchive;

  // The version-4 value for `attributes` (only R, H, S, A are kept) and,
  // when given, the creation time.
  static std::string encode(std::uint32_t attributes, std::optional<FileTime> created);
  // Reads versions 4 and 3 and the bare hex string. A record of another
  // version, or one whose attributes are not marked valid, gives the
  // attributes of its hex string. nullopt when nothing usable is there (a
  // body cut short, a string that is no hex number).
  static std::optional<DosAttribInfo> decode(std::string_view value);
};

}  // namespace ritoma
