#include "execution/JournalFile.h"

#include <algorithm>

#include "platform/FileSystem.h"
#include "platform/TimeConvert.h"

namespace ritoma {

namespace {

constexpr std::uint8_t kKindFolder = 0;
constexpr std::uint8_t kKindArchive = 1;
constexpr std::uint8_t kFlagTempNames = 0x01;
constexpr std::uint8_t kRowFolder = 0;
constexpr std::uint8_t kRowFile = 1;
constexpr std::size_t kMaxTimeText = 0xFF;
constexpr char kStageTag = 'S';
constexpr char kProgressTag = 'P';
constexpr std::size_t kMaxLength = 0xFFFF;
// Smallest encoded rows: three empty-length names and a kind byte; two
// names. A count that more bytes than remain would need is damage.
constexpr std::size_t kMinFolderRow = 7;
constexpr std::size_t kMinArchiveRow = 4;
constexpr std::uint32_t kAttributeBits = AttrReadOnly | AttrHidden | AttrSystem | AttrArchive;

void putInt(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool putText(std::string& out, std::string_view text) {
  if (text.size() > kMaxLength) return false;
  putInt(out, text.size(), 2);
  out.append(text);
  return true;
}

bool putTime(std::string& out, std::string_view text) {
  if (text.size() > kMaxTimeText) return false;
  out.push_back(static_cast<char>(text.size()));
  out.append(text);
  return true;
}

class Reader {
public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  std::size_t left() const { return bytes_.size() - pos_; }
  bool atEnd() const { return pos_ == bytes_.size(); }
  bool integer(int bytes, std::uint64_t& value) {
    if (left() < static_cast<std::size_t>(bytes)) return false;
    value = 0;
    for (int i = 0; i < bytes; ++i)
      value |= std::uint64_t{static_cast<unsigned char>(bytes_[pos_ + i])} << (8 * i);
    pos_ += bytes;
    return true;
  }
  template <class T>
  bool get(T& value) {
    std::uint64_t raw = 0;
    if (!integer(sizeof(T), raw)) return false;
    value = static_cast<T>(raw);
    return true;
  }
  bool text(std::string& out) {
    std::uint16_t length = 0;
    if (!get(length) || left() < length) return false;
    out.assign(bytes_.substr(pos_, length));
    pos_ += length;
    return true;
  }
  bool time(std::string& out) {
    std::uint8_t length = 0;
    if (!get(length) || left() < length) return false;
    out.assign(bytes_.substr(pos_, length));
    pos_ += length;
    return TimeConvert::fromText(out).has_value();
  }
  bool literal(std::string_view expected) {
    if (bytes_.substr(pos_, expected.size()) != expected) return false;
    pos_ += expected.size();
    return true;
  }

private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// A name that stays inside the recorded folder.
bool usableName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

bool usablePath(const std::string& path) {
  return path.size() > 1 && path[0] == '/' && path.find('\0') == std::string::npos;
}

bool readFolderRow(Reader& in, bool tempNames, JournalRow& row) {
  std::uint8_t kind = 0;
  if (!in.text(row.oldName) || !in.text(row.tempName) || !in.text(row.newName) || !in.get(kind))
    return false;
  if (!usableName(row.oldName) || !usableName(row.newName)) return false;
  if (tempNames ? !usableName(row.tempName) : !row.tempName.empty()) return false;
  if (kind == kRowFolder) {
    row.isFile = false;
    return true;
  }
  if (kind != kRowFile) return false;
  row.isFile = true;
  return in.time(row.created) && in.time(row.modified) && in.time(row.accessed) &&
         in.get(row.attributes) && (row.attributes & ~kAttributeBits) == 0;
}

bool readFolderBody(Reader& in, JournalData& data) {
  std::uint8_t flags = 0;
  std::uint32_t count = 0;
  if (!in.text(data.folder) || !usablePath(data.folder) || data.folder.back() != '/') return false;
  if (!in.get(flags) || (flags & ~kFlagTempNames) != 0 || !in.get(count)) return false;
  if (count > in.left() / kMinFolderRow) return false;
  data.rows.resize(count);
  for (JournalRow& row : data.rows)
    if (!readFolderRow(in, (flags & kFlagTempNames) != 0, row)) return false;
  return true;
}

bool readArchiveBody(Reader& in, JournalData& data) {
  std::uint32_t count = 0;
  if (!in.text(data.archivePath) || !usablePath(data.archivePath) || !in.text(data.backupPath) ||
      !usablePath(data.backupPath) || data.backupPath == data.archivePath || !in.get(count))
    return false;
  if (count > in.left() / kMinArchiveRow) return false;
  data.rows.resize(count);
  for (JournalRow& row : data.rows) {
    if (!in.text(row.oldName) || !in.text(row.newName)) return false;
    if (row.oldName.empty() || row.newName.empty()) return false;
    row.isFile = true;
  }
  return true;
}

// Progress records up to the end; one cut short by the crash ends them.
bool readRecords(Reader& in, JournalData& data) {
  while (!in.atEnd()) {
    std::uint8_t tag = 0, stage = 0;
    std::uint32_t done = 0;
    if (!in.get(tag)) return true;
    if (tag != kStageTag && tag != kProgressTag) return false;
    if (!in.get(stage)) return true;
    if (stage < static_cast<std::uint8_t>(JournalStage::TempNames) ||
        stage > static_cast<std::uint8_t>(JournalStage::Attributes))
      return false;
    // An archive run records one thing: that it created the new archive.
    if (data.archive && (tag != kStageTag || stage != static_cast<std::uint8_t>(JournalStage::Renames)))
      return false;
    if (tag == kStageTag) {
      data.started[stage] = true;
      continue;
    }
    if (!in.get(done)) return true;
    if (!data.started[stage] || done > data.rows.size()) return false;
    data.done[stage] = std::max(data.done[stage], done);
  }
  return true;
}

}  // namespace

std::optional<std::string> JournalFile::encode(const JournalData& data) {
  std::string out;
  if (data.archive) {
    out = Magic;
    out.push_back(static_cast<char>(kKindArchive));
    if (!putText(out, data.archivePath) || !putText(out, data.backupPath)) return std::nullopt;
    putInt(out, data.rows.size(), 4);
    for (const JournalRow& row : data.rows)
      if (!putText(out, row.oldName) || !putText(out, row.newName)) return std::nullopt;
    return out;
  }
  const bool tempNames = !data.rows.empty() && !data.rows.front().tempName.empty();
  out.reserve(out.size() + data.rows.size() * 64);
  if (!startFolder(out, data.folder, tempNames, data.rows.size())) return std::nullopt;
  for (const JournalRow& row : data.rows) {
    if (!addFolderRow(out, tempNames, {row.oldName, row.tempName, row.newName, row.isFile, row.created,
                                       row.modified, row.accessed, row.attributes}))
      return std::nullopt;
  }
  return out;
}

bool JournalFile::startFolder(std::string& out, std::string_view folder, bool tempNames,
                              std::size_t count) {
  out.append(Magic);
  out.push_back(static_cast<char>(kKindFolder));
  if (count > 0xFFFFFFFF || !putText(out, folder)) return false;
  out.push_back(static_cast<char>(tempNames ? kFlagTempNames : 0));
  putInt(out, count, 4);
  return true;
}

bool JournalFile::addFolderRow(std::string& out, bool tempNames, const FolderRowView& row) {
  if (row.tempName.empty() == tempNames) return false;
  if (!putText(out, row.oldName) || !putText(out, row.tempName) || !putText(out, row.newName))
    return false;
  if (!row.isFile) {
    out.push_back(static_cast<char>(kRowFolder));
    return true;
  }
  out.push_back(static_cast<char>(kRowFile));
  if (!putTime(out, row.created) || !putTime(out, row.modified) || !putTime(out, row.accessed))
    return false;
  putInt(out, row.attributes & kAttributeBits, 4);
  return true;
}

std::string JournalFile::stageRecord(JournalStage stage) {
  return {kStageTag, static_cast<char>(stage)};
}

std::string JournalFile::progressRecord(JournalStage stage, std::uint32_t done) {
  std::string out{kProgressTag, static_cast<char>(stage)};
  putInt(out, done, 4);
  return out;
}

JournalFile::Status JournalFile::decode(std::string_view bytes, JournalData& out) {
  out = {};
  if (bytes.empty()) return Status::Empty;
  Reader in(bytes);
  JournalData data;
  std::uint8_t kind = 0;
  if (!in.literal(Magic) || !in.get(kind)) return Status::Damaged;
  if (kind == kKindFolder) {
    if (!readFolderBody(in, data)) return Status::Damaged;
  } else if (kind == kKindArchive) {
    data.archive = true;
    if (!readArchiveBody(in, data)) return Status::Damaged;
  } else {
    return Status::Damaged;
  }
  if (!readRecords(in, data)) return Status::Damaged;
  out = std::move(data);
  return Status::Ok;
}

}  // namespace ritoma
