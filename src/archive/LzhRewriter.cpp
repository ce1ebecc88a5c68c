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
//
//  +0          +26
//  | base (26) | 0x01 name | [0x02 directory] | [0x40 attributes] | kept ... | 0x00 CRC | [padding byte] |
//
// Each extended header is its type (1), its body and the size of the next
// one (2, 0 after the last); the base header holds the size of the first.
// The kept headers are the entry's own, as read and in their order
// (LzhHeader::extended): attributes, Windows times, Unix permissions,
// owner and time, comments and types this program does not know. A level-0
// or level-1 entry without an attribute header of its own gets one holding
// the attribute byte of its base header (read-only, hidden, system,
// archive), which level 2 has no place for. A header whose size has a zero
// low byte gets the padding byte, since a zero first byte would read as the
// end marker.
constexpr std::size_t kTotalSize = 0;
constexpr std::size_t kFirstExtSize = 24;
constexpr std::size_t kBaseSize = 26;
constexpr std::size_t kNextSize = 2;
constexpr char kExtCrc = 0x00;
constexpr char kExtName = 0x01;
constexpr char kExtDirectory = 0x02;
constexpr char kExtAttribute = 0x40;

void appendSize(std::string& header, std::size_t size) {
  std::uint8_t bytes[2];
  LittleEndian::put16(bytes, static_cast<std::uint16_t>(size));
  header.append(reinterpret_cast<const char*>(bytes), 2);
}

// The attribute header a level-0 or level-1 entry's base attribute byte
// becomes, or an empty text when the entry has none to carry.
std::string attributeHeader(const LzhHeader& h) {
  if (h.level >= 2 || h.attributes == 0) return {};
  for (const std::string& kept : h.extended)
    if (!kept.empty() && kept[0] == kExtAttribute) return {};
  std::string header(1 + 2, kExtAttribute);
  LittleEndian::put16(reinterpret_cast<std::uint8_t*>(header.data()) + 1, h.attributes);
  return header;
}

// The extended headers of a rebuilt level-2 header, in their order, and
// the header's size. Holds the headers it makes; the chain points into them
// and into the entry, so a layout stays where it was made.
class Level2Layout {
public:
  Level2Layout(const LzhHeader& h, std::string_view path) {
    std::string_view name = path;
    std::string directory;
    const std::size_t split = Cp932::findLastOf(path, "\\/");
    if (split != Cp932::npos) {
      directory = path.substr(0, split + 1);
      name = path.substr(split + 1);
    }
    for (std::size_t i = 0; i < directory.size(); i += Cp932::charLength(directory, i))
      if (directory[i] == '/' || directory[i] == '\\') directory[i] = '\xFF';

    nameHeader_ = kExtName + std::string(name);
    if (!directory.empty()) directoryHeader_ = kExtDirectory + directory;
    attributes_ = attributeHeader(h);
    chain.push_back(nameHeader_);
    if (!directoryHeader_.empty()) chain.push_back(directoryHeader_);
    if (!attributes_.empty()) chain.push_back(attributes_);
    for (const std::string& kept : h.extended) chain.push_back(kept);
    chain.push_back(crcHeader_);

    total = kBaseSize;
    for (std::string_view part : chain) total += part.size() + kNextSize;
    padding = (total & 0xFF) == 0;
    if (padding) ++total;
  }
  Level2Layout(const Level2Layout&) = delete;
  Level2Layout& operator=(const Level2Layout&) = delete;

  std::vector<std::string_view> chain;
  std::size_t total = 0;  // padding included
  bool padding = false;

private:
  std::string nameHeader_;
  std::string directoryHeader_;
  std::string attributes_;
  std::string crcHeader_ = std::string(1 + 2, kExtCrc);  // the CRC is filled in when written
};

}  // namespace

std::size_t LzhRewriter::level2Size(const LzhHeader& h, std::string_view path) {
  return Level2Layout(h, path).total;
}

std::string LzhRewriter::buildLevel2(const LzhHeader& h, std::string_view path) {
  const Level2Layout layout(h, path);
  const std::vector<std::string_view>& chain = layout.chain;
  const std::size_t total = layout.total;
  const bool padding = layout.padding;
  if (total > MaxHeaderSize) throw ArchiveError(TextCodec::toUtf8(path) + ": 名前が長すぎます");

  std::string header(reinterpret_cast<const char*>(h.base.data()), kBaseSize);
  header.reserve(total);
  auto* base = reinterpret_cast<std::uint8_t*>(header.data());
  LittleEndian::put16(base + kTotalSize, static_cast<std::uint16_t>(total));
  LittleEndian::put16(base + kFirstExtSize, static_cast<std::uint16_t>(chain[0].size() + kNextSize));
  for (std::size_t i = 0; i < chain.size(); ++i) {
    header += chain[i];
    appendSize(header, i + 1 < chain.size() ? chain[i + 1].size() + kNextSize : 0);
  }
  if (padding) header += '\0';
  // The CRC header is the last one: type, CRC, next size 0, then padding.
  const std::size_t crcAt = header.size() - (padding ? 1 : 0) - kNextSize - 2;
  const std::uint16_t crc = LzhCrc16::compute(header.data(), header.size());
  LittleEndian::put16(reinterpret_cast<std::uint8_t*>(header.data()) + crcAt, crc);
  return header;
}

std::vector<LzhHeader> LzhRewriter::readHeaders(ArchiveInput& in, std::uint64_t* start) {
  LzhHeaderReader reader(in);
  std::uint64_t end = 0;
  std::vector<LzhHeader> headers = reader.readAll(end);
  if (end >= in.size()) in.damaged("終端がありません");
  if (end + 1 != in.size()) in.damaged("終端の後に余分なデータがあります");
  if (start) *start = headers.empty() ? end : headers.front().offset;
  return headers;
}

void LzhRewriter::rewrite(ArchiveInput& in, ArchiveOutput& out, ProgressSink& progress,
                          const std::vector<ArcRenameRow>& rows, PlannedEntries& planned) {
  std::uint64_t start = 0;
  const std::vector<LzhHeader> headers = readHeaders(in, &start);

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
  // A self-extracting stub (or whatever precedes the first header) stays
  // in front, byte for byte.
  out.copyFrom(in, 0, start);
  for (std::size_t k = 0; k < headers.size(); ++k) {
    const LzhHeader& h = headers[k];
    if (rowOf[k] < 0) {
      // An entry that keeps its name keeps its header byte for byte, at
      // any level: at level 2 a level-0 name could not always be stored as
      // it was (0xFF in its path would become a separator).
      out.copyFrom(in, h.offset, h.next() - h.offset);
    } else {
      out.write(buildLevel2(h, planned.name(k)));
      out.copyFrom(in, h.dataOffset, h.dataSize);
    }
    progress.step();
  }
  out.write("", 1);
}

}  // namespace ritoma
