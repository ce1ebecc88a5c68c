#include "archive/ZipRewriter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <string_view>

#include "archive/ArchiveError.h"
#include "archive/LittleEndian.h"
#include "archive/ZipDirectoryReader.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

using Z = ZipDirectoryReader;

// What the two writing passes need of one entry; a whole ZipEntry with its
// name strings would cost several times the memory for an archive of many
// small entries.
struct Item {
  std::uint64_t localOffset = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t newOffset = 0;       // of the local header in the output
  std::uint32_t centralTail = 0;     // extra field and comment of the central record
  std::uint16_t centralNameLength = 0;
  bool renamed = false;
  bool utf8Name = false;
  bool flagUtf8 = false;             // flag bit 11 is set on the renamed entry
  std::int32_t converted = -1;       // the new name in `converted`, or -1: as planned
};

std::uint32_t requireOffset(const ArchiveInput& in, std::uint64_t offset) {
  if (offset > 0xFFFFFFFF)
    throw ArchiveError(in.displayPath() + ": 書き換えると 4 GiB を超えるため ZIP64 が必要です");
  return static_cast<std::uint32_t>(offset);
}

void setUtf8Flag(std::uint8_t* flags) {
  LittleEndian::put16(flags, static_cast<std::uint16_t>(LittleEndian::get16(flags) | ZipEntry::kFlagUtf8));
}

}  // namespace

void ZipRewriter::rewrite(ArchiveInput& in, ArchiveOutput& out, ProgressSink& progress,
                          const std::vector<ArcRenameRow>& rows, PlannedEntries& planned) {
  ZipDirectoryReader reader(in);
  const ZipDirectory dir = reader.readEnd();
  const std::size_t count = dir.listed;

  // Entries and rows are paired by position as the directory is read,
  // noting what the archive must list afterwards. New name bytes are UTF-8
  // for entries whose name was read as UTF-8, and for names whose code page
  // 932 bytes would read back as UTF-8 (a Unix host without the flag); code
  // page 932 otherwise. A non-ASCII UTF-8 name gets flag bit 11, so that no
  // reader takes it for other text.
  const ArcRenameTable table(rows, count, in.displayPath());
  std::vector<Item> items;
  items.reserve(count);
  planned.clear();
  planned.reserve(count, dir.endOffset - dir.directoryOffset);
  std::vector<std::string> converted;
  std::string scratch;
  bool inLocalOrder = true;
  reader.scan(dir, [&](const ZipEntry& e, std::string_view stored) {
    const std::size_t k = items.size();
    Item& item = items.emplace_back();
    item.localOffset = e.localOffset;
    item.compressedSize = e.compressedSize;
    item.centralTail = std::uint32_t{e.extraLength} + e.commentLength;
    item.centralNameLength = e.nameLength;
    item.utf8Name = e.utf8Name;
    if (k > 0 && e.localOffset < items[k - 1].localOffset) inLocalOrder = false;
    const std::string_view listed = Z::listedName(e, stored, scratch);
    const int row = table.claim(k, listed);
    if (row < 0) {
      planned.push_back(listed, e.data());
      return;
    }
    item.renamed = true;
    const std::string& newName = rows[row].newName;
    std::size_t length = newName.size();
    bool ok = false;
    std::string codePage;
    if (!item.utf8Name) {
      codePage = TextCodec::toCodePage(newName, &ok);
      if (!ok) throw ArchiveError(TextCodec::toDisplayUtf8(newName) + ": シフトJISにない文字は書庫に保存できません");
    }
    // Code page 932 bytes that another reader would take for UTF-8 go in as
    // UTF-8 with the flag, so the name reads back as planned.
    if (item.utf8Name || Z::readsAsUtf8(e, codePage)) {
      planned.push_back(newName, e.data());
      converted.push_back(TextCodec::toDisk(newName, &ok));
      if (!ok) throw ArchiveError(TextCodec::toDisplayUtf8(newName) + ": UTF-8 に変換できない名前です");
      item.converted = static_cast<std::int32_t>(converted.size() - 1);
      item.flagUtf8 = !e.isUtf8() && !Z::isAscii(converted.back());
      length = converted.back().size();
    } else {
      planned.push_back(codePage, e.data());
      length = codePage.size();
    }
    if (length > 0xFFFF) throw ArchiveError(TextCodec::toDisplayUtf8(newName) + ": 名前が長すぎます");
  });
  // The new stored name of renamed entry k. Code page 932 names are planned
  // as stored; the compact list is cheaper to walk than the rows.
  const auto newName = [&](std::size_t k) -> std::string_view {
    const Item& item = items[k];
    return item.converted >= 0 ? std::string_view(converted[item.converted]) : planned.name(k);
  };

  // Local parts in file order; they must not overlap each other or the
  // central directory. The output is thrown away when they do.
  std::vector<std::uint32_t> order;
  if (!inLocalOrder) {
    order.resize(count);
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      return items[a].localOffset < items[b].localOffset;
    });
  }

  progress.open("リネーム処理中…", static_cast<std::int64_t>(count));
  // Pass 1: the local entries, with whatever lies between them.
  std::uint64_t copied = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t k = inLocalOrder ? i : order[i];
    Item& item = items[k];
    if (item.localOffset < copied) in.damaged("エントリが重なっています");
    std::array<std::uint8_t, Z::kLocalSize> local;
    std::memcpy(local.data(), in.view(item.localOffset, Z::kLocalSize), Z::kLocalSize);
    if (LittleEndian::get32(local.data()) != Z::kLocalSignature)
      in.damaged("ローカルヘッダの署名が違います");
    const std::uint16_t nameLength = LittleEndian::get16(local.data() + Z::kLocNameLength);
    const std::uint16_t extraLength = LittleEndian::get16(local.data() + Z::kLocExtraLength);
    const std::uint64_t afterName = item.localOffset + Z::kLocalSize + nameLength;
    const std::uint64_t end = afterName + extraLength + item.compressedSize;

    out.copyFrom(in, copied, item.localOffset - copied);
    item.newOffset = requireOffset(in, out.position());
    if (item.renamed) {
      const std::string_view name = newName(k);
      LittleEndian::put16(local.data() + Z::kLocNameLength, static_cast<std::uint16_t>(name.size()));
      if (item.flagUtf8) setUtf8Flag(local.data() + Z::kLocFlags);
      out.write(local.data(), local.size());
      out.write(name.data(), name.size());
    } else {
      out.write(local.data(), local.size());
      out.copyFrom(in, item.localOffset + Z::kLocalSize, nameLength);
    }
    out.copyFrom(in, afterName, end - afterName);
    copied = end;
    progress.step();
  }
  if (copied > dir.directoryOffset) in.damaged("エントリが中央ディレクトリに重なっています");
  out.copyFrom(in, copied, dir.directoryOffset - copied);

  // Pass 2: the central directory with the new offsets and names.
  const std::uint32_t newDirectoryOffset = requireOffset(in, out.position());
  std::uint64_t pos = dir.directoryOffset;
  for (std::size_t k = 0; k < count; ++k) {
    const Item& item = items[k];
    std::array<std::uint8_t, Z::kCentralSize> central;
    std::memcpy(central.data(), in.view(pos, Z::kCentralSize), Z::kCentralSize);
    LittleEndian::put32(central.data() + Z::kCenLocalOffset, item.newOffset);
    const std::uint64_t afterName = pos + Z::kCentralSize + item.centralNameLength;
    if (item.renamed) {
      const std::string_view name = newName(k);
      LittleEndian::put16(central.data() + Z::kCenNameLength, static_cast<std::uint16_t>(name.size()));
      if (item.flagUtf8) setUtf8Flag(central.data() + Z::kCenFlags);
      out.write(central.data(), central.size());
      out.write(name.data(), name.size());
    } else {
      out.write(central.data(), central.size());
      out.copyFrom(in, pos + Z::kCentralSize, item.centralNameLength);
    }
    out.copyFrom(in, afterName, item.centralTail);
    pos = afterName + item.centralTail;
  }

  // End record, then the comment and anything after it.
  const std::uint32_t directorySize = requireOffset(in, out.position() - newDirectoryOffset);
  std::array<std::uint8_t, Z::kEndSize> end = dir.endRecord;
  LittleEndian::put32(end.data() + Z::kEndDirectorySize, directorySize);
  LittleEndian::put32(end.data() + Z::kEndDirectoryOffset, newDirectoryOffset);
  out.write(end.data(), end.size());
  out.copyFrom(in, dir.endOffset + Z::kEndSize, in.size() - dir.endOffset - Z::kEndSize);
}

}  // namespace ritoma
