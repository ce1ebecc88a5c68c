#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace ritoma {

// A point in time as the file system keeps it: 100-ns units since
// 1601-01-01 00:00:00 UTC. Conversions live in TimeConvert.
using FileTime = std::int64_t;

// DOS attribute bits, as stored in user.DOSATTRIB and shown by the program.
enum DosAttribute : std::uint32_t {
  AttrReadOnly = 0x01,
  AttrHidden = 0x02,
  AttrSystem = 0x04,
  AttrFolder = 0x10,
  AttrArchive = 0x20,
};

// How the file system holding a path keeps times and attributes.
struct MediumTraits {
  // A creation time can be written; S, H and A can be written; R is kept
  // (through the write permission bits or the medium's own attribute).
  bool creationTime = true;
  bool dosAttributes = true;
  bool readOnly = true;
  // The step of each time it keeps, in FileTime units: a time written
  // reads back as one less than a step away (FAT keeps the last write to
  // 2 s and the last access to the day). 0 where a time written is not
  // kept at all and reads as another (the last access through fusefat).
  FileTime createdStep = 1;
  FileTime modifiedStep = 1;
  FileTime accessedStep = 1;

  // True when `shown`, read back after `wanted` was written, is what a
  // medium of this step keeps of it.
  static bool keeps(FileTime wanted, FileTime shown, FileTime step) {
    return step > 0 && (wanted > shown ? wanted - shown : shown - wanted) < step;
  }
};

// What an entry is, told without following a symbolic link.
enum class EntryKind : std::uint8_t {
  File,
  Folder,
  Link,         // a symbolic link to something that exists
  MissingLink,  // a symbolic link to nothing
  Other,        // a device, a pipe or a socket
};

// One entry of a folder or the result of a look-up. `name` is the last
// path component exactly as the file system stores it (raw bytes, usually
// UTF-8 but not necessarily valid); the core converts it with TextCodec.
struct FileInfo {
  std::string name;
  bool isFolder = false;
  EntryKind kind = EntryKind::File;
  std::uint64_t size = 0;
  FileTime created = 0;
  FileTime modified = 0;
  FileTime accessed = 0;
  std::uint32_t attributes = 0;  // DosAttribute bits, AttrFolder included for folders
};

// Every kind of call the file system offers; the fault-injecting double in
// the tests fails the N-th call of one kind.
enum class FsOp {
  ListFolder,
  Stat,
  Rename,
  Replace,
  CopyFile,
  Remove,
  MakeFolder,
  SetTimes,
  GetAttributes,
  SetAttributes,
  OpenRead,
  OpenWrite,
  Read,
  Write,
  Seek,
  Close,
  Sync,
};

class OutputFile;

// A file opened for reading. Reads are sequential from the current offset.
class InputFile {
public:
  virtual ~InputFile() = default;
  // Reads up to `size` bytes; `got` < `size` only at the end of the file.
  virtual std::error_code read(void* buffer, std::size_t size, std::size_t& got) = 0;
  virtual std::error_code seek(std::uint64_t offset) = 0;
  virtual std::uint64_t size() const = 0;
  // Copies `length` bytes from the current offset to the current position
  // of `out`, advancing both; `copied` < `length` only at the end of the
  // file. This one reads and writes through a buffer of bounded size; a
  // file system may copy inside the kernel instead.
  virtual std::error_code copyTo(OutputFile& out, std::uint64_t length, std::uint64_t& copied);
};

// A file opened for writing. `close` must be called and checked: data is
// only known to be on disk when it succeeds.
class OutputFile {
public:
  virtual ~OutputFile() = default;
  virtual std::error_code write(const void* data, std::size_t size) = 0;
  virtual std::error_code seek(std::uint64_t offset) = 0;
  virtual std::error_code close() = 0;
  // Puts what was written so far on the disk (the data and the size, not
  // necessarily the times) before returning.
  virtual std::error_code sync() = 0;
};

// A folder held for look-ups and renames of the names directly in it.
// Names are single path components (raw bytes); each call behaves as the
// FileSystem call of the same name on the joined path.
class FolderHandle {
public:
  virtual ~FolderHandle() = default;
  // As FileSystem::lookUp: a link is described by itself.
  virtual std::error_code stat(const std::string& name, FileInfo& out) = 0;
  virtual std::error_code rename(const std::string& from, const std::string& to) = 0;
};

enum class WriteMode {
  CreateNew,  // fails with file_exists when the path is taken, by a symbolic link too
  Truncate,   // creates or empties the file
};

// All disk access of the core. Paths are raw byte strings with "/" as the
// delimiter. Errors are reported as std::error_code (generic errno values);
// nothing here throws.
class FileSystem {
public:
  virtual ~FileSystem() = default;

  // Entries of `folder` without "." and "..", in the order the system gives,
  // each described as lookUp does.
  virtual std::error_code listFolder(const std::string& folder, std::vector<FileInfo>& out) = 0;
  // Only the names of the entries of `folder` (without "." and ".."), in the
  // order the system gives; for callers that need nothing else, since it
  // looks up no entry.
  virtual std::error_code listNames(const std::string& folder, std::vector<std::string>& out);
  // Looks up one path (following symbolic links); `out.name` is its last component.
  // A dangling link is described by itself.
  virtual std::error_code stat(const std::string& path, FileInfo& out) = 0;
  // Looks up one path without following a final symbolic link: a link is
  // described by its own size, times and attributes, with the kind Link or
  // MissingLink. This one calls stat, for file systems without links.
  virtual std::error_code lookUp(const std::string& path, FileInfo& out);
  // Renames without ever replacing an existing file: fails with file_exists
  // when `to` is taken, except for a case-only rename of the same file. In
  // a folder that ignores case, a case-only rename that leaves the old
  // spelling on the disk fails with an error that compares equal to
  // operation_not_supported (see NoReplaceRename::spellingKept).
  virtual std::error_code rename(const std::string& from, const std::string& to) = 0;
  // Renames `from` over `to`, replacing it atomically. Only for files the
  // program has just written itself (settings, undo file).
  virtual std::error_code replace(const std::string& from, const std::string& to) = 0;
  // Copies data, times and attributes through a temporary file in the
  // target folder. Never replaces a file: fails with file_exists when `to`
  // is taken, also when it was taken while the data was being copied. A
  // symbolic link is copied as a link to the same target; a source that is
  // neither a file nor a link (device, pipe, socket) fails with
  // invalid_argument, and nothing is read from it.
  virtual std::error_code copyFile(const std::string& from, const std::string& to) = 0;
  virtual std::error_code remove(const std::string& path) = 0;
  virtual std::error_code makeFolder(const std::string& path) = 0;
  // Puts the folder's entries (names created, renamed or removed in it) on
  // the disk before returning.
  virtual std::error_code syncFolder(const std::string& folder) = 0;
  // Sets the times that are given; a missing optional keeps that time. A
  // creation time fails with not_supported where the file system cannot
  // hold it (see medium). A symbolic link gets its own times, and keeps no
  // creation time. Whether the file system kept them is for the caller to
  // read back: some ignore a time and still succeed.
  virtual std::error_code setTimes(const std::string& path, std::optional<FileTime> created,
                                   std::optional<FileTime> modified,
                                   std::optional<FileTime> accessed) = 0;
  virtual std::error_code getAttributes(const std::string& path, std::uint32_t& attributes) = 0;
  // Sets R, H, S and A exactly as given (AttrFolder is ignored). Fails
  // with not_supported where the file system cannot hold a bit. A symbolic
  // link is left as it is: it has no attributes of its own, and those of
  // its target are not changed through it.
  virtual std::error_code setAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // What the file system holding `path` keeps of times and attributes.
  // Changes nothing. This one keeps everything exactly.
  virtual MediumTraits medium(const std::string& path);
  // A folder fails with is_a_directory; anything else that is not a file
  // (device, pipe, socket) with invalid_argument, without waiting on it.
  virtual std::error_code openRead(const std::string& path, std::unique_ptr<InputFile>& out) = 0;
  virtual std::error_code openWrite(const std::string& path, WriteMode mode,
                                    std::unique_ptr<OutputFile>& out) = 0;
  // Creates `path` as openWrite with CreateNew does, for content that takes
  // the place of the file `model`: the new file gets `model`'s permission
  // bits, and its owner and group where the process may set them, before
  // anything is written. Without a `model` on disk it is made like any new
  // file.
  virtual std::error_code createLike(const std::string& path, const std::string& model,
                                     std::unique_ptr<OutputFile>& out) = 0;

  // A handle on `folder` for the look-ups and renames of a batch. This one
  // joins the paths and calls stat and rename; a file system may instead
  // hold the folder open, so that its path is resolved once and not again
  // for every name. Fails when the folder cannot be opened.
  virtual std::error_code openFolderHandle(const std::string& folder,
                                           std::unique_ptr<FolderHandle>& out);

  // Mount points offered by the drive list: "/" and each mounted real device.
  virtual std::vector<std::string> mountPoints() = 0;
  // The folder holding the running executable, without a trailing "/".
  virtual std::string executableFolder() = 0;
  // True when a new file can be created in `folder`.
  virtual bool isWritableFolder(const std::string& folder) = 0;

  // `folder` and `name` with one "/" between them (none added after a
  // folder that already ends in "/"). Bytes pass unchanged.
  static std::string joinPath(const std::string& folder, const std::string& name);

  // Helpers built on the calls above.
  bool exists(const std::string& path);
  // openFolderHandle, or where that fails the handle on joined paths, whose
  // calls then report their own errors.
  std::unique_ptr<FolderHandle> folderHandle(const std::string& folder);
  // setTimes and setAttributes for values that only carry over (copies,
  // undo, an archive's times after its rewrite): a creation time, or S, H
  // and A, that the file system cannot hold is left out instead of failing.
  std::error_code carryTimes(const std::string& path, std::optional<FileTime> created,
                             std::optional<FileTime> modified, std::optional<FileTime> accessed);
  std::error_code carryAttributes(const std::string& path, std::uint32_t attributes);
  std::error_code readWholeFile(const std::string& path, std::string& out);
  // Creates a file under a fresh name in the folder of `path`, made like
  // `path` (createLike), for content that is to replace `path` once it is
  // complete; `tempPath` receives its name.
  std::error_code createReplacement(const std::string& path, std::string& tempPath,
                                    std::unique_ptr<OutputFile>& out);
  // Writes `data` to a replacement file (createReplacement) and renames it
  // over `path`: readers see the old or the new content, never a mix.
  std::error_code replaceFileContent(const std::string& path, const std::string& data);
};

}  // namespace ritoma
