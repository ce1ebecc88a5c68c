#include "archive/LzhRewriter.h"

#include "archive/ArchiveError.h"
#include "archive/LittleEndian.h"
#include "archive/LzhCrc16.h"
#include "archive/LzhHeaderReader.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

// Level-2 header as written (see LzhHeaderReader for the layout):
//   base (26) | 0x01 name | [0x02 directory] | [0x40 attribute] |
//   [0x41 Windows times] | 0x00 CRC (next size 0) | [one padding byte]
// A header whose size has a zero low byte gets the padding byte, since a
// zero first byte would read as the end marker.
constexpr std::size_t kTotalSize = 0;
constexpr std::size_t kFirstExtSize = 24;
constexpr std::size_t kBaseSize = 26;
constexpr std::size_t kExtOverhead = 3;  // type + next size
constexpr std::size_t kCrcHeaderSize = 5;
constexpr std::uint8_t kExtCrc = 0x00;
constexpr std::uint8_t kExtName = 0x01;
constexpr std::uint8_t kExtDirectory = 0x02;

void appendSize(std::string& header, std::size_t size) {
  std::uint8_t bytes[2];
  LittleEndian::put16(bytes, static_cast<std::uint16_t>(size));
  header.append(reinterpret_cast<const char*>(bytes), 2);
}

}  // namespace

std::string LzhRewriter::buildLevel2(const LzhHeader& h, std::string name, std::string directory) {
  if (directory.empty()) {
    const std::size_t split = Cp932::findLastOf(name, "\\/");
    if (split != Cp932::npos) {
      directory = name.substr(0, split + 1);
      name.erase(0, split + 1);
    }
  }
  for (std::size_t i = 0; i < directory.size(); i += Cp932::charLength(directory, i))
    if (directory[i] == '/' || directory[i] == '\\') directory[i] = '\xFF';

  const std::size_t nameHeader = name.size() + kExtOverhead;
  const std::size_t directoryHeader = directory.empty() ? 0 : directory.size() + kExtOverhead;
  const std::string& attribute = h.attributeHeader;
  const std::string& times = h.timeHeader;
  std::size_t total = kBaseSize + nameHeader + kCrcHeaderSize + directoryHeader;
  if (!attribute.empty()) total += attribute.size() + 2;
  if (!times.empty()) total += times.size() + 2;
  const bool padding = (total & 0xFF) == 0;
  if (padding) ++total;
  if (total > 0xFFFF) throw ArchiveError(TextCodec::toUtf8(h.name) + ": 名前が長すぎます");

  std::string header(reinterpret_cast<const char*>(h.base.data()), kBaseSize);
  auto* base = reinterpret_cast<std::uint8_t*>(header.data());
  LittleEndian::put16(base + kTotalSize, static_cast<std::uint16_t>(total));
  LittleEndian::put16(base + kFirstExtSize, static_cast<std::uint16_t>(nameHeader));
  header.reserve(total);
  // Each header ends with the size of the one that follows it.
  const std::size_t afterDirectory =
      !attribute.empty() ? attribute.size() + 2 : !times.empty() ? times.size() + 2 : kCrcHeaderSize;
  header += static_cast<char>(kExtName);
  header += name;
  appendSize(header, directoryHeader ? directoryHeader : afterDirectory);
  if (directoryHeader) {
    header += static_cast<char>(kExtDirectory);
    header += directory;
    appendSize(header, afterDirectory);
  }
  if (!attribute.empty()) {
    header += attribute;
    appendSize(header, !times.empty() ? times.size() + 2 : kCrcHeaderSize);
  }
  if (!times.empty()) {
    header += times;
    appendSize(header, kCrcHeaderSize);
  }
  const std::size_t crcAt = header.size() + 1;
  header += static_cast<char>(kExtCrc);
  appendSize(header, 0);  // CRC, filled in below
  appendSize(header, 0);  // last header
  if (padding) header += '\0';
  const std::uint16_t crc = LzhCrc16::compute(header.data(), header.size());
  LittleEndian::put16(reinterpret_cast<std::uint8_t*>(header.data()) + crcAt, crc);
  return header;
}

std::vector<LzhHeader> LzhRewriter::readHeaders(ArchiveInput& in) {
  LzhHeaderReader reader(in);
  std::uint64_t end = 0;
  std::vector<LzhHeader> headers = reader.readAll(end);
  if (end >= in.size()) in.damaged("終端がありません");
  if (end + 1 != in.size()) in.damaged("終端の後に余分なデータがあります");
  return headers;
}

void LzhRewriter::rewrite(ArchiveInput& in, ArchiveOutput& out, ProgressSink& progress,
                          const std::vector<ArcRenameRow>& rows, PlannedEntries& planned) {
  const std::vector<LzhHeader> headers = readHeaders(in);

  const ArcRenameTable table(rows, headers.size(), in.displayPath());
  std::vector<int> rowOf;
  rowOf.reserve(headers.size());
  planned.clear();
  for (std::size_t k = 0; k < headers.size(); ++k) {
    const LzhHeader& h = headers[k];
    const std::string name = h.listedName();
    rowOf.push_back(table.claim(k, name));
    if (rowOf.back() < 0) {
      planned.push_back(name, h.data());
      continue;
    }
    // Headers store real code-page-932 bytes.
    const std::string& newName = rows[rowOf.back()].newName;
    bool ok = false;
    const std::string stored = TextCodec::toCodePage(newName, &ok);
    if (!ok) throw ArchiveError(TextCodec::toDisplayUtf8(newName) + ": シフトJISにない文字は書庫に保存できません");
    planned.push_back(stored, h.data());
  }

  progress.open("リネーム処理中…", static_cast<std::int64_t>(headers.size()));
  for (std::size_t k = 0; k < headers.size(); ++k) {
    const LzhHeader& h = headers[k];
    if (h.level == 2 && rowOf[k] < 0) {
      out.copyFrom(in, h.offset, h.next() - h.offset);
    } else {
      const std::string header = rowOf[k] >= 0 ? buildLevel2(h, std::string(planned.name(k)), {})
                                               : buildLevel2(h, h.name, h.directory);
      out.write(header);
      out.copyFrom(in, h.dataOffset, h.dataSize);
    }
    progress.step();
  }
  out.write("", 1);
}

}  // namespace ritoma
