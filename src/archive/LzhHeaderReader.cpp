#include "archive/LzhHeaderReader.h"

#include <algorithm>
#include <cstring>

#include "archive/LittleEndian.h"
#include "platform/TimeConvert.h"

namespace ritoma {

namespace {

// Level 0 header
//
//  +0      +1      +2          +7          +11         +15         +19    +20
//  | size  | sum   | method(5) | packed(4) | orig(4)   | DOS time(2) date(2) | attr | level=0 |
//  +21     +22            +22+n      +24+n
//  | n     | name (n)     | CRC(2)   | [extension area up to the header end] |
//
//  size counts the bytes after offsets 0 and 1: the header ends at 2 + size.
//
// Level 1 header: as level 0 up to the CRC, then
//  +24+n   +25+n ... +size     (header end - 2)
//  | OS(1) | [padding]         | first extended header size(2) |
//  followed by the extended headers; packed counts them as well.
//
// Level 2 header
//
//  +0         +2          +7         +11       +15           +19   +20       +21      +23   +24
//  | total(2) | method(5) | comp(4)  | orig(4) | UNIX time(4)  | rsv | level=2 | CRC(2) | OS  | first ext size(2) |
//  +26: extended headers, then padding up to `total`.
//
// Extended header (levels 1 and 2)
//
//  +0       +1           +size-2
//  | type   | body ...   | next size(2), 0 = last |
constexpr std::size_t kHeaderSize = 0;
constexpr std::size_t kMethod = 2;
constexpr std::size_t kMethodSize = 5;
constexpr std::size_t kPackedSize = 7;
constexpr std::size_t kOriginalSize = 11;
constexpr std::size_t kStamp = 15;
constexpr std::size_t kAttribute = 19;
constexpr std::size_t kLevel = 20;
constexpr std::size_t kNameLength = 21;
constexpr std::size_t kName = 22;
constexpr std::size_t kLevel0Fixed = 24;  // bytes besides the name, CRC included
constexpr std::size_t kLevel1Fixed = 27;  // plus OS identifier and first extension size

constexpr std::size_t kL2Reserved = 19;
constexpr std::size_t kL2Crc = 21;
constexpr std::size_t kL2Os = 23;
constexpr std::size_t kL2FirstExt = 24;
constexpr std::size_t kL2BaseSize = 26;

constexpr std::uint8_t kExtCrc = 0x00;
constexpr std::uint8_t kExtName = 0x01;
constexpr std::uint8_t kExtDirectory = 0x02;
constexpr std::uint8_t kExtAttribute = 0x40;
constexpr std::size_t kExtAttributeBody = 2;
constexpr std::size_t kExtNextSize = 2;

constexpr std::size_t kScanChunk = 64 * 1024;

bool isMethodAt(const std::uint8_t* p) { return p[2] == '-' && p[3] == 'l' && p[6] == '-'; }

std::string attributeText(std::uint32_t attributes) {
  std::string text = "----";
  if (attributes & 0x04) text[0] = 'S';
  if (attributes & 0x02) text[1] = 'H';
  if (attributes & 0x01) text[2] = 'R';
  if (attributes & 0x20) text[3] = 'A';
  return text;
}

}  // namespace

// 0xFF separates path components wherever it is stored, in a name as in the
// directory: the rewrite splits a new name the same way, so a listed name
// written back lists the same again.
std::string LzhHeader::listedName() const {
  std::string path = directory;
  if (!path.empty() && path.back() != '\xFF' && path.back() != '/') path += '/';
  path += name;
  std::replace(path.begin(), path.end(), '\xFF', '/');
  return path;
}

ArcEntryData LzhHeader::data() const {
  return {LittleEndian::get16(base.data() + kL2Crc), dataSize, originalSize};
}

ArcInfo LzhHeader::info(std::uint32_t index) const {
  ArcInfo info;
  info.size = originalSize;
  info.date = dosDate;
  info.time = dosTime;
  info.name = listedName();
  info.attributeText = attributeText(attributes);
  info.methodText = method;
  info.index = index;
  return info;
}

std::uint64_t LzhHeaderReader::findFirstHeader() {
  std::uint64_t offset = 0;
  while (in_.contains(offset, 7)) {
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kScanChunk, in_.size() - offset));
    const std::uint8_t* p = in_.view(offset, length);
    for (std::size_t i = 0; i + 7 <= length; ++i)
      if (isMethodAt(p + i)) return offset + i;
    offset += length - 6;
  }
  in_.damaged("LZH のヘッダが見つかりません");
}

std::vector<LzhHeader> LzhHeaderReader::readAll(std::uint64_t& endOffset) {
  std::vector<LzhHeader> headers;
  std::uint64_t offset = findFirstHeader();
  while (offset < in_.size() && in_.view(offset, 1)[0] != 0) {
    headers.push_back(readHeader(offset));
    offset = headers.back().next();
  }
  endOffset = offset;
  return headers;
}

LzhHeader LzhHeaderReader::readHeader(std::uint64_t offset) {
  LzhHeader h;
  h.offset = offset;
  const std::uint8_t* p = in_.view(offset, kL2BaseSize);
  h.level = p[kLevel];
  h.method.assign(reinterpret_cast<const char*>(p + kMethod), kMethodSize);
  h.originalSize = LittleEndian::get32(p + kOriginalSize);
  switch (h.level) {
    case 0: readLevel0(h); break;
    case 1: readLevel1(h); break;
    case 2: readLevel2(h); break;
    default: in_.damaged("対応していないヘッダレベルです");
  }
  in_.requireRange(h.dataOffset, h.dataSize, "データがファイルの終わりを越えています");
  return h;
}

// The level-2 base header of a level-0 or level-1 entry: the DOS stamp
// (local time) becomes UNIX time; the attribute byte, which level 2 keeps
// in an extended header, is held in `attributes`. The OS identifier becomes
// 'M'.
void LzhHeaderReader::convertBase(LzhHeader& h, const std::uint8_t* p) {
  std::memcpy(h.base.data(), p, kL2BaseSize);
  const std::uint32_t stamp = LittleEndian::get32(p + kStamp);
  h.dosTime = static_cast<std::uint16_t>(stamp);
  h.dosDate = static_cast<std::uint16_t>(stamp >> 16);
  h.attributes = p[kAttribute];
  std::int64_t unixTime = 0;
  if (auto time = TimeConvert::fromDos(stamp)) unixTime = TimeConvert::toUnixSeconds(*time);
  LittleEndian::put32(h.base.data() + kStamp, static_cast<std::uint32_t>(unixTime));
  h.base[kL2Reserved] = 0x20;
  h.base[kLevel] = 2;
  h.base[kL2Os] = 'M';
}

LzhHeaderReader::DosBase LzhHeaderReader::readDosBase(LzhHeader& h, std::size_t fixedLength) {
  const std::uint8_t* p = in_.view(h.offset, kName);
  DosBase b;
  b.headerLength = p[kHeaderSize] + 2u;
  b.nameLength = p[kNameLength];
  b.packed = LittleEndian::get32(p + kPackedSize);
  if (b.headerLength < fixedLength + b.nameLength) in_.damaged("ヘッダの長さが不正です");
  b.header = in_.view(h.offset, std::max(b.headerLength, kL2BaseSize));
  convertBase(h, b.header);
  h.name.assign(reinterpret_cast<const char*>(b.header + kName), b.nameLength);
  std::memcpy(h.base.data() + kL2Crc, b.header + kName + b.nameLength, 2);
  return b;
}

void LzhHeaderReader::readLevel0(LzhHeader& h) {
  const DosBase b = readDosBase(h, kLevel0Fixed);
  LittleEndian::put32(h.base.data() + kPackedSize, static_cast<std::uint32_t>(b.packed));
  // Bytes after the CRC (the extension area some archivers add) are skipped.
  h.dataOffset = h.offset + b.headerLength;
  h.dataSize = b.packed;
}

void LzhHeaderReader::readLevel1(LzhHeader& h) {
  const DosBase b = readDosBase(h, kLevel1Fixed);
  const std::uint16_t firstSize = LittleEndian::get16(b.header + b.headerLength - 2);
  const std::uint64_t extStart = h.offset + b.headerLength;
  const std::uint64_t next = extStart + b.packed;
  in_.requireRange(extStart, b.packed, "データがファイルの終わりを越えています");
  std::string extName;
  const std::uint64_t extEnd = readExtendedHeaders(h, extStart, firstSize, next, extName);
  if (b.nameLength == 0) h.name = extName;
  h.dataOffset = extEnd;
  h.dataSize = next - extEnd;
  LittleEndian::put32(h.base.data() + kPackedSize, static_cast<std::uint32_t>(h.dataSize));
}

void LzhHeaderReader::readLevel2(LzhHeader& h) {
  const std::uint8_t* p = in_.view(h.offset, kL2BaseSize);
  const std::size_t total = LittleEndian::get16(p + kHeaderSize);
  if (total < kL2BaseSize) in_.damaged("ヘッダの長さが不正です");
  std::memcpy(h.base.data(), p, kL2BaseSize);
  const std::uint16_t firstSize = LittleEndian::get16(p + kL2FirstExt);
  h.dataSize = LittleEndian::get32(p + kPackedSize);
  const std::uint32_t unixTime = LittleEndian::get32(p + kStamp);
  const std::uint32_t dos = TimeConvert::toDos(TimeConvert::fromUnixSeconds(unixTime));
  h.dosTime = static_cast<std::uint16_t>(dos);
  h.dosDate = static_cast<std::uint16_t>(dos >> 16);
  const std::uint64_t headerEnd = h.offset + total;
  in_.requireRange(h.offset, total, "ヘッダがファイルの終わりを越えています");
  readExtendedHeaders(h, h.offset + kL2BaseSize, firstSize, headerEnd, h.name);
  for (const std::string& e : h.extended)
    if (e.size() == 1 + kExtAttributeBody && static_cast<std::uint8_t>(e[0]) == kExtAttribute)
      h.attributes = LittleEndian::get16(reinterpret_cast<const std::uint8_t*>(e.data()) + 1);
  // Padding after the chain (up to `total`) belongs to the header.
  h.dataOffset = headerEnd;
}

std::uint64_t LzhHeaderReader::readExtendedHeaders(LzhHeader& h, std::uint64_t pos,
                                                   std::uint16_t firstSize, std::uint64_t limit,
                                                   std::string& extName) {
  std::size_t size = firstSize;
  while (size > 0) {
    if (size < 3) in_.damaged("拡張ヘッダの長さが不正です");
    if (pos + size > limit) in_.damaged("拡張ヘッダが範囲を越えています");
    const std::uint8_t* p = in_.view(pos, size);
    const std::uint8_t type = p[0];
    const char* body = reinterpret_cast<const char*>(p + 1);
    const std::size_t bodySize = size - 1 - kExtNextSize;
    switch (type) {
      case kExtName: extName.assign(body, bodySize); break;
      case kExtDirectory: h.directory.assign(body, bodySize); break;
      case kExtCrc: break;
      default: h.extended.emplace_back(reinterpret_cast<const char*>(p), size - kExtNextSize); break;
    }
    pos += size;
    size = LittleEndian::get16(p + size - 2);
  }
  return pos;
}

}  // namespace ritoma
