#include "execution/UndoFile.h"

#include <cstdint>

#include "execution/AttributeText.h"
#include "platform/TimeConvert.h"

namespace ritoma {

namespace {

// File header:
//
//   0       2                 2+F     4+F
//   +-------+-----------------+-------+--------------------------+
//   | F u16 | folder, F bytes | N u16 | N records, in row order  |
//   +-------+-----------------+-------+--------------------------+
//
// A batch of 65535 rows or more writes N as the escape 0xFFFF followed by
// the count as u32, so that every smaller batch keeps the short layout:
//
//   2+F      4+F     8+F
//   +--------+-------+--------------------------+
//   | 0xFFFF | N u32 | N records, in row order  |
//   +--------+-------+--------------------------+
//
// Older files of exactly 65535 records carry 0xFFFF as a plain count; a
// reader that finds no consistent file behind the escape reads them so.
//
// Record:
//
//   0       2            2+A     4+A          4+A+B  5+A+B
//   +-------+------------+-------+------------+------+---------------------+
//   | A u16 | new name A | B u16 | old name B | kind | file fields (kind≠0)|
//   +-------+------------+-------+------------+------+---------------------+
//
// File fields (after the kind byte):
//
//   0          19            38             57       61
//   +----------+-------------+--------------+--------+
//   | created  | last write  | last access  | attrs  |
//   +----------+-------------+--------------+--------+
//
// Integers are little-endian; texts are raw bytes without terminator.
constexpr std::size_t kLengthSize = 2;
constexpr std::size_t kKindSize = 1;
constexpr std::size_t kTimeSize = 19;
constexpr std::size_t kAttrsSize = 4;
constexpr std::size_t kCreatedOffset = 0;
constexpr std::size_t kModifiedOffset = kCreatedOffset + kTimeSize;
constexpr std::size_t kAccessedOffset = kModifiedOffset + kTimeSize;
constexpr std::size_t kAttrsOffset = kAccessedOffset + kTimeSize;
constexpr std::size_t kFileFieldsSize = kAttrsOffset + kAttrsSize;
constexpr std::size_t kMaxLength = 0xFFFF;
constexpr std::uint16_t kCountEscape = 0xFFFF;
constexpr std::size_t kMaxCount = 0xFFFFFFFF;
// The shortest record: two one-byte names and the kind of a folder.
constexpr std::size_t kMinRecordSize = 2 * (kLengthSize + 1) + kKindSize;
constexpr std::uint8_t kKindFolder = 0;
constexpr std::uint8_t kKindFile = 1;

void putU16(std::string& out, std::size_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void putU32(std::string& out, std::size_t value) {
  putU16(out, value & 0xFFFF);
  putU16(out, (value >> 16) & 0xFFFF);
}

std::uint16_t getU16(std::string_view in, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(in[offset]) |
                                    (static_cast<unsigned char>(in[offset + 1]) << 8));
}

bool putText(std::string& out, std::string_view text) {
  if (text.size() > kMaxLength) return false;
  putU16(out, text.size());
  out.append(text);
  return true;
}

bool putFixed(std::string& out, std::string_view text, std::size_t size) {
  if (text.size() > size) return false;
  out.append(text);
  out.append(size - text.size(), ' ');
  return true;
}

// A reader over the file's bytes: every length is checked before use.
class Reader {
public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool u16(std::uint16_t& value) {
    if (bytes_.size() - pos_ < kLengthSize) return false;
    value = getU16(bytes_, pos_);
    pos_ += kLengthSize;
    return true;
  }
  bool bytes(std::size_t size, std::string_view& out) {
    if (bytes_.size() - pos_ < size) return false;
    out = bytes_.substr(pos_, size);
    pos_ += size;
    return true;
  }
  bool text(std::string& out) {
    std::uint16_t length = 0;
    std::string_view view;
    if (!u16(length) || !bytes(length, view)) return false;
    out.assign(view);
    return true;
  }
  bool u32(std::uint32_t& value) {
    std::uint16_t low = 0, high = 0;
    if (bytes_.size() - pos_ < 2 * kLengthSize) return false;
    u16(low);
    u16(high);
    value = static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16);
    return true;
  }
  bool atEnd() const { return pos_ == bytes_.size(); }
  std::size_t left() const { return bytes_.size() - pos_; }

private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

std::string trimmed(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

// A name that stays inside the recorded folder.
bool usableName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

bool readFileFields(Reader& reader, UndoRecord& record) {
  std::string_view fields;
  if (!reader.bytes(kFileFieldsSize, fields)) return false;
  record.created = trimmed(fields.substr(kCreatedOffset, kTimeSize));
  record.modified = trimmed(fields.substr(kModifiedOffset, kTimeSize));
  record.accessed = trimmed(fields.substr(kAccessedOffset, kTimeSize));
  record.attrs = std::string(fields.substr(kAttrsOffset, kAttrsSize));
  return TimeConvert::fromText(record.created) && TimeConvert::fromText(record.modified) &&
         TimeConvert::fromText(record.accessed) && AttributeText::isValid(record.attrs);
}

bool readRecord(Reader& reader, UndoRecord& record) {
  std::string_view kind;
  if (!reader.text(record.newName) || !reader.text(record.oldName) || !reader.bytes(kKindSize, kind))
    return false;
  if (!usableName(record.newName) || !usableName(record.oldName)) return false;
  record.isFile = static_cast<std::uint8_t>(kind[0]) != kKindFolder;
  return !record.isFile || readFileFields(reader, record);
}

// Reads `count` records up to the end of the file. The count comes from
// the file, so it is checked against the bytes left and the list grows only
// by the records actually read: a damaged count fails on the missing
// bytes, never on memory.
bool readRecords(Reader reader, std::size_t count, std::vector<UndoRecord>& records) {
  records.clear();
  if (count > reader.left() / kMinRecordSize) return false;
  for (std::size_t i = 0; i < count; ++i) {
    UndoRecord record;
    if (!readRecord(reader, record)) return false;
    records.push_back(std::move(record));
  }
  return reader.atEnd();
}

}  // namespace

std::optional<std::string> UndoFile::encode(const UndoLog& log) {
  std::string out;
  std::size_t size = 8 + log.folder.size();
  for (const auto& record : log.records)
    size += 2 * kLengthSize + record.newName.size() + record.oldName.size() + kKindSize +
            (record.isFile ? kFileFieldsSize : 0);
  out.reserve(size);
  if (!start(out, log.folder, log.records.size())) return std::nullopt;
  for (const auto& record : log.records) {
    if (!add(out, {record.newName, record.oldName, record.isFile, record.created, record.modified,
                   record.accessed, record.attrs}))
      return std::nullopt;
  }
  return out;
}

bool UndoFile::start(std::string& out, std::string_view folder, std::size_t count) {
  if (count > kMaxCount || !putText(out, folder)) return false;
  if (count < kCountEscape) {
    putU16(out, count);
  } else {
    putU16(out, kCountEscape);
    putU32(out, count);
  }
  return true;
}

bool UndoFile::add(std::string& out, const RecordView& record) {
  if (!putText(out, record.newName) || !putText(out, record.oldName)) return false;
  out.push_back(static_cast<char>(record.isFile ? kKindFile : kKindFolder));
  if (!record.isFile) return true;
  return putFixed(out, record.created, kTimeSize) && putFixed(out, record.modified, kTimeSize) &&
         putFixed(out, record.accessed, kTimeSize) && putFixed(out, record.attrs, kAttrsSize);
}

UndoFile::Status UndoFile::decode(std::string_view bytes, UndoLog& out) {
  out = {};
  if (bytes.empty()) return Status::Empty;
  Reader reader(bytes);
  UndoLog log;
  std::uint16_t count = 0;
  // The folder is absolute: a relative one would mean whatever folder
  // the program happens to run in.
  if (!reader.text(log.folder) || log.folder.size() < 1 || log.folder.front() != '/' ||
      log.folder.back() != '/' || log.folder.find('\0') != std::string::npos || !reader.u16(count))
    return Status::Damaged;
  bool read = false;
  if (count != kCountEscape) {
    read = readRecords(reader, count, log.records);
  } else {
    Reader plain = reader;
    std::uint32_t wide = 0;
    read = (reader.u32(wide) && wide >= kCountEscape && readRecords(reader, wide, log.records)) ||
           readRecords(plain, kCountEscape, log.records);
  }
  if (!read) return Status::Damaged;
  out = std::move(log);
  return Status::Ok;
}

}  // namespace ritoma
