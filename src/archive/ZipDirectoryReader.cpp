#include "archive/ZipDirectoryReader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "archive/ArchiveError.h"
#include "archive/LittleEndian.h"
#include "text/TextCodec.h"

namespace ritoma {

// End of central directory record (22 bytes + comment)
//
//  +0         +4      +6          +8            +10           +12        +14          +16         +20
//  | sig(4)   | disk  | dir disk  | entries here | entries total | dir size(4)          | dir offset(4) | comment length(2) | comment
//
// Central directory header (46 bytes + name + extra + comment)
//
//  +0       +4       +6       +8      +10      +12    +14    +16    +20        +24       +28     +30      +32
//  | sig(4) | made by| needed | flags | method | time | date | CRC  | comp(4)  | size(4)   | n len | x len  | c len |
//  +34         +36        +38          +42              +46
//  | disk start| int attr | ext attr(4)| local offset(4) | name | extra | comment |
//
// Local file header (30 bytes + name + extra), followed by the data
//
//  +0       +4       +6      +8       +10    +12    +14    +18       +22       +26     +28     +30
//  | sig(4) | needed | flags | method | time | date | CRC  | comp(4) | size(4) | n len | x len | name | extra |
//
// ZIP64 end of central directory locator (20 bytes, just before the end record)
//  +0 sig 0x07064B50 ...

namespace {

constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kMaxComment = 0xFFFF;

[[noreturn]] void refuseZip64(const ArchiveInput& in) {
  throw ArchiveError(in.displayPath() + ": ZIP64 形式の書庫には対応していません");
}

const char* methodName(std::uint16_t method) {
  switch (method) {
    case 0: return "Stored";
    case 1: return "Shrunk";
    case 6: return "Implode";
    case 8: return "Deflate";
    case 9: return "Deflat64";
    case 12: return "BZip2";
    case 14: return "LZMA";
    case 93: return "Zstd";
    case 95: return "XZ";
    case 99: return "AES";
    default: return "Unknown";
  }
}

// Strict UTF-8 with at least one non-ASCII character: no overlong forms, no
// surrogates, nothing above U+10FFFF. Code page 932 names almost never pass.
bool isNonAsciiUtf8(std::string_view s) {
  bool nonAscii = false;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    nonAscii = true;
    std::size_t length = 0;
    char32_t c = 0, min = 0;
    if (b >= 0xC2 && b <= 0xDF) length = 2, c = b & 0x1F, min = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) length = 3, c = b & 0x0F, min = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) length = 4, c = b & 0x07, min = 0x10000;
    else return false;
    if (s.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      c = (c << 6) | (t & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += length;
  }
  return nonAscii;
}

}  // namespace

// Eight bytes at a time: every stored name is checked.
bool ZipDirectoryReader::isAscii(std::string_view s) {
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, s.data() + i, 8);
    if (word & 0x8080808080808080ull) return false;
  }
  for (; i < s.size(); ++i)
    if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
  return true;
}

bool ZipDirectoryReader::readsAsUtf8(const ZipEntry& e, std::string_view raw) {
  return e.isUtf8() || (e.hostSystem() == kHostUnix && (isAscii(raw) || isNonAsciiUtf8(raw)));
}

ArcInfo ZipEntry::info(std::uint32_t index) const {
  ArcInfo info;
  info.size = size;
  info.date = dosDate;
  info.time = dosTime;
  info.name = name;
  std::string attributes = "----";
  if (externalAttributes & 0x04) attributes[0] = 'S';
  if (externalAttributes & 0x02) attributes[1] = 'H';
  if (externalAttributes & 0x01) attributes[2] = 'R';
  if (externalAttributes & 0x20) attributes[3] = 'A';
  info.attributeText = attributes;
  info.methodText = methodName(method);
  info.index = index;
  info.utf8Name = utf8Name;
  return info;
}

std::uint64_t ZipDirectoryReader::findEndRecord() {
  if (in_.size() < kEndSize) in_.damaged("ZIP の終端レコードが見つかりません");
  const std::uint64_t last = in_.size() - kEndSize;
  const std::uint64_t first = last > kMaxComment ? last - kMaxComment : 0;
  const std::size_t span = static_cast<std::size_t>(in_.size() - first);
  const std::uint8_t* p = in_.view(first, span);
  for (std::uint64_t pos = last + 1; pos-- > first;) {
    const std::uint8_t* rec = p + (pos - first);
    if (LittleEndian::get32(rec) != kEndSignature) continue;
    const std::uint16_t commentLength = LittleEndian::get16(rec + kEndCommentLength);
    if (pos + kEndSize + commentLength <= in_.size()) return pos;
  }
  in_.damaged("ZIP の終端レコードが見つかりません");
}

std::string_view ZipDirectoryReader::readEntry(std::uint64_t pos, ZipEntry& e,
                                               const ZipDirectory& dir) {
  const std::uint8_t* p = in_.view(pos, kCentralSize);
  if (LittleEndian::get32(p) != kCentralSignature) in_.damaged("中央ディレクトリの署名が違います");
  e.centralOffset = pos;
  e.madeBy = LittleEndian::get16(p + kCenMadeBy);
  e.flags = LittleEndian::get16(p + kCenFlags);
  e.method = LittleEndian::get16(p + kCenMethod);
  e.dosTime = LittleEndian::get16(p + kCenTime);
  e.dosDate = LittleEndian::get16(p + kCenDate);
  e.crc = LittleEndian::get32(p + kCenCrc);
  e.compressedSize = LittleEndian::get32(p + kCenCompressedSize);
  e.size = LittleEndian::get32(p + kCenSize);
  e.nameLength = LittleEndian::get16(p + kCenNameLength);
  e.extraLength = LittleEndian::get16(p + kCenExtraLength);
  e.commentLength = LittleEndian::get16(p + kCenCommentLength);
  e.externalAttributes = LittleEndian::get32(p + kCenExternalAttributes);
  const std::uint32_t localOffset = LittleEndian::get32(p + kCenLocalOffset);
  if (e.compressedSize == 0xFFFFFFFF || e.size == 0xFFFFFFFF || localOffset == 0xFFFFFFFF ||
      LittleEndian::get16(p + kCenDiskStart) == 0xFFFF)
    refuseZip64(in_);
  e.localOffset = localOffset + dir.shift;
  in_.requireRange(pos, e.recordSize(), "中央ディレクトリがファイルの終わりを越えています");
  if (!in_.contains(e.localOffset, kLocalSize))
    in_.damaged("ローカルヘッダの位置がファイルの外です");
  // The local header and the data, at their shortest, end before the
  // directory starts.
  if (e.localOffset > dir.directoryOffset ||
      dir.directoryOffset - e.localOffset < kLocalSize + std::uint64_t{e.compressedSize})
    in_.damaged("エントリが中央ディレクトリに重なっています");
  // The whole record lies inside the file and is far shorter than kMaxView.
  const std::string_view stored(
      reinterpret_cast<const char*>(in_.view(pos + kCentralSize, e.nameLength)), e.nameLength);
  e.utf8Name = readsAsUtf8(e, stored);
  return stored;
}

std::string_view ZipDirectoryReader::listedName(const ZipEntry& e, std::string_view stored,
                                                std::string& scratch) {
  if (!e.utf8Name || isAscii(stored)) return stored;
  scratch = TextCodec::toInternal(stored);
  return scratch;
}

ZipDirectory ZipDirectoryReader::readEnd() {
  ZipDirectory dir;
  dir.endOffset = findEndRecord();
  const std::uint8_t* end = in_.view(dir.endOffset, kEndSize);
  std::memcpy(dir.endRecord.data(), end, kEndSize);
  const std::uint16_t disk = LittleEndian::get16(end + kEndDisk);
  const std::uint16_t directoryDisk = LittleEndian::get16(end + kEndDirectoryDisk);
  const std::uint16_t entriesOnDisk = LittleEndian::get16(end + kEndEntriesOnDisk);
  const std::uint16_t entries = LittleEndian::get16(end + kEndEntries);
  const std::uint32_t directorySize = LittleEndian::get32(end + kEndDirectorySize);
  const std::uint32_t directoryOffset = LittleEndian::get32(end + kEndDirectoryOffset);
  if (entries == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF)
    refuseZip64(in_);
  if (dir.endOffset >= kZip64LocatorSize &&
      LittleEndian::get32(in_.view(dir.endOffset - kZip64LocatorSize, 4)) == kZip64LocatorSignature)
    refuseZip64(in_);
  if (disk != 0 || directoryDisk != 0 || entriesOnDisk != entries)
    throw ArchiveError(in_.displayPath() + ": 分割された書庫には対応していません");
  if (std::uint64_t{directoryOffset} + directorySize > dir.endOffset)
    in_.damaged("中央ディレクトリの位置が不正です");

  // An archive with bytes put in front (a self-extracting stub added
  // without fixing the offsets) has its directory later than recorded.
  const std::uint64_t actualStart = dir.endOffset - directorySize;
  if (entries > 0 && actualStart != directoryOffset &&
      LittleEndian::get32(in_.view(directoryOffset, 4)) != kCentralSignature &&
      LittleEndian::get32(in_.view(actualStart, 4)) == kCentralSignature)
    dir.shift = actualStart - directoryOffset;
  dir.directoryOffset = directoryOffset + dir.shift;
  dir.listed = entries;
  return dir;
}

void ZipDirectoryReader::requireDirectoryEnd(std::uint64_t pos, const ZipDirectory& dir) const {
  if (pos != dir.endOffset)
    throw ArchiveError(in_.displayPath() +
                       ": 中央ディレクトリと終端レコードの間に未対応のレコードがあります");
}

ZipDirectory ZipDirectoryReader::read() {
  ZipDirectory dir = readEnd();
  dir.entries.reserve(dir.listed);
  scan(dir, [&](const ZipEntry& e, std::string_view stored) {
    ZipEntry& kept = dir.entries.emplace_back(e);
    kept.rawName.assign(stored);
    std::string scratch;
    kept.name = listedName(kept, stored, scratch);
  });
  return dir;
}

bool ZipDirectoryReader::listsEntries(const PlannedEntries& planned) {
  const ZipDirectory dir = readEnd();
  // Every record is read even after a difference: damage is reported first.
  bool same = dir.listed == planned.size();
  std::size_t i = 0;
  std::string scratch;
  scan(dir, [&](const ZipEntry& e, std::string_view stored) {
    if (same)
      same = e.data() == planned.data(i) && listedName(e, stored, scratch) == planned.name(i);
    ++i;
  });
  return same;
}

}  // namespace ritoma
