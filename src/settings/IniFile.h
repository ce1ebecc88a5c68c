#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace ritoma {

// A write or erase that the file system refused. what() is the display
// text "<path> に書き込めません" (UTF-8).
class IniWriteError : public std::runtime_error {
public:
  explicit IniWriteError(const std::string& path);
  const std::string& path() const { return path_; }

private:
  std::string path_;
};

// The settings file, with the conventions of the platform's profile files:
// section and key names match without letter case; values are read without
// surrounding blanks and one pair of enclosing double quotes, at most 2047
// bytes; integers are decimal ("0x"/"0X" hexadecimal on reading), a value
// that is not a number gives the default; booleans are 1/0 and any non-zero
// integer reads as true; a missing file or key gives the default.
//
// One object is one reading or writing sequence: the file is read when the
// object is made. Every write persists before it returns, except while a
// Batch is alive, which persists once when it ends. Rewriting a key keeps
// every other line of the file as it was. On disk the file is UTF-8; this
// API takes and returns code-page-932 text.
//
// Of a section that appears more than once, reads and writes use the first
// copy; eraseSection removes every copy. A written value that would lose
// surrounding blanks or a pair of enclosing quotes on reading is written in
// quotes; a line break in a value is written as a blank. Text that is not
// valid code page 932 throws std::invalid_argument.
class IniFile {
public:
  IniFile(FileSystem& fs, std::string path);

  const std::string& path() const { return path_; }

  // A file larger than this is not read: no settings file this program
  // writes comes near it (a few hundred keys of at most 2 KiB each), and
  // reading a huge one would hold it all in memory. Such a file reads as
  // empty and every write is refused (IniWriteError), so it stays as it is.
  static constexpr std::uint64_t MaxSize = std::uint64_t{16} << 20;
  bool tooLarge() const { return tooLarge_; }

  std::string readString(std::string_view section, std::string_view key,
                         std::string_view defaultValue = {}) const;
  int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
  bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;
  bool sectionExists(std::string_view section) const;
  bool valueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> readSectionKeys(std::string_view section) const;
  // The length of a numbered list kept in `section` under `key` ("Count"):
  // the integer; one larger than the keys the section holds is read as one
  // past the highest index that ends a key's name there, so that a damaged
  // count cannot make a reader build millions of empty entries.
  int readListCount(std::string_view section, std::string_view key) const;

  // Throw IniWriteError when the file cannot be written (its folder is not
  // writable, or the file is read-only); the file and what this object
  // reads then stay as they were on disk.
  void writeString(std::string_view section, std::string_view key, std::string_view value);
  void writeInteger(std::string_view section, std::string_view key, int value);
  void writeBool(std::string_view section, std::string_view key, bool value);
  void eraseKey(std::string_view section, std::string_view key);
  void eraseSection(std::string_view section);

  // Key names of numbered lists: numberedKey("C-", 7) is "C-007" ("%.3d"),
  // indexedKey("DLLName-", 10) is "DLLName-10".
  static std::string numberedKey(std::string_view prefix, int index);
  static std::string indexedKey(std::string_view prefix, int index);

  // Groups writes into one write of the file (at the end of the scope).
  // A failed write at the end throws IniWriteError from commit(); the
  // destructor commits too but swallows the error, so call commit().
  class Batch {
  public:
    explicit Batch(IniFile& file);
    ~Batch();
    void commit();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

  private:
    IniFile& file_;
    bool done_ = false;
  };

private:
  // One line of the file as it stands on disk (UTF-8), so that lines the
  // program does not touch are written back byte for byte.
  struct Line {
    enum class Kind { Other, Section, Key };
    std::string text;  // without the line end
    std::string end;   // "\n", "\r\n", or empty for a last line without one
    Kind kind = Kind::Other;
    std::string name;          // section or key name, folded for comparison
    std::size_t valueAt = 0;   // Key: offset of the value (after "=" and blanks)
  };
  static Line parseLine(std::string text, std::string end);

  // Index of the first header of `section`, or lines_.size().
  std::size_t findSection(const std::string& folded) const;
  // One past the last line of the section whose header is at `header`.
  std::size_t sectionEnd(std::size_t header) const;
  // Index of the first line of `key` in the first `section`, or lines_.size().
  std::size_t findKey(std::string_view section, std::string_view key) const;
  std::string keyLineText(std::string_view key, std::string_view value) const;
  void load();
  void persist();

  FileSystem& fs_;
  std::string path_;
  std::string bom_;  // a UTF-8 byte-order mark found at the start, kept
  std::vector<Line> lines_;
  std::string lineEnd_ = "\n";  // the first line end found in an existing file
  int batchDepth_ = 0;
  bool dirty_ = false;
  bool tooLarge_ = false;
};

}  // namespace ritoma
