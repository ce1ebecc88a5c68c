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

// Where one entry's local part lies in the input.
struct LocalExtent {
  std::uint64_t start = 0;  // local header
  std::uint16_t nameLength = 0;
  std::uint64_t end = 0;    // after extra field and compressed data
};

void requireOffset(const ArchiveInput& in, std::uint64_t offset) {
  if (offset > 0xFFFFFFFF)
    throw ArchiveError(in.displayPath() + ": 書き換えると 4 GiB を超えるため ZIP64 が必要です");
}

}  // namespace

void ZipRewriter::rewrite(ArchiveInput& in, ArchiveOutput& out, ProgressSink& progress,
                          const std::vector<ArcRenameRow>& rows, std::vector<std::string>& planned) {
  ZipDirectoryReader reader(in);
  const ZipDirectory dir = reader.read();
  const std::size_t count = dir.entries.size();

  std::vector<std::string> names;
  names.reserve(count);
  for (const ZipEntry& e : dir.entries) names.push_back(e.name);
  const std::vector<int> rowOf = ArcRenameTable::match(names, rows);
  planned = ArcRenameTable::plannedNames(names, rowOf, rows);

  // New name bytes: UTF-8 for entries whose name was read as UTF-8, code
  // page 932 otherwise. The flags stay as they were.
  // Views into the rows, or into `converted` for UTF-8 names.
  // `converted` is reserved once, so the views into it stay valid.
  std::vector<std::string> converted;
  std::size_t toConvert = 0;
  for (std::size_t k = 0; k < count; ++k) toConvert += rowOf[k] >= 0 && dir.entries[k].utf8Name;
  converted.reserve(toConvert);
  std::vector<std::string_view> newNames(count);
  for (std::size_t k = 0; k < count; ++k) {
    if (rowOf[k] < 0) continue;
    const std::string& name = rows[rowOf[k]].newName;
    if (dir.entries[k].utf8Name) {
      bool ok = false;
      converted.push_back(TextCodec::toDisk(name, &ok));
      if (!ok) throw ArchiveError(TextCodec::toUtf8(name) + ": UTF-8 に変換できない名前です");
      newNames[k] = converted.back();
    } else {
      newNames[k] = name;
    }
    if (newNames[k].size() > 0xFFFF) throw ArchiveError(TextCodec::toUtf8(name) + ": 名前が長すぎます");
  }

  // Local parts in file order; they must not overlap each other or the
  // central directory.
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto byOffset = [&](std::size_t a, std::size_t b) {
    return dir.entries[a].localOffset < dir.entries[b].localOffset;
  };
  if (!std::is_sorted(order.begin(), order.end(), byOffset))
    std::stable_sort(order.begin(), order.end(), byOffset);
  std::vector<LocalExtent> extents(count);
  std::uint64_t previousEnd = 0;
  for (std::size_t k : order) {
    const ZipEntry& e = dir.entries[k];
    const std::uint8_t* p = in.view(e.localOffset, Z::kLocalSize);
    if (LittleEndian::get32(p) != Z::kLocalSignature) in.damaged("ローカルヘッダの署名が違います");
    LocalExtent& x = extents[k];
    x.start = e.localOffset;
    x.nameLength = LittleEndian::get16(p + Z::kLocNameLength);
    const std::uint16_t extraLength = LittleEndian::get16(p + Z::kLocExtraLength);
    x.end = x.start + Z::kLocalSize + x.nameLength + extraLength + e.compressedSize;
    if (x.start < previousEnd) in.damaged("エントリが重なっています");
    previousEnd = x.end;
  }
  if (previousEnd > dir.directoryOffset) in.damaged("エントリが中央ディレクトリに重なっています");

  progress.open("リネーム処理中…", static_cast<std::int64_t>(count));
  // Pass 1: the local entries, with whatever lies between them.
  std::vector<std::uint64_t> newOffsets(count);
  std::uint64_t copied = 0;
  for (std::size_t k : order) {
    const LocalExtent& x = extents[k];
    out.copyFrom(in, copied, x.start - copied);
    newOffsets[k] = out.position();
    requireOffset(in, newOffsets[k]);
    std::array<std::uint8_t, Z::kLocalSize> local;
    std::memcpy(local.data(), in.view(x.start, Z::kLocalSize), Z::kLocalSize);
    const std::uint64_t afterName = x.start + Z::kLocalSize + x.nameLength;
    if (rowOf[k] >= 0) {
      LittleEndian::put16(local.data() + Z::kLocNameLength,
                          static_cast<std::uint16_t>(newNames[k].size()));
      out.write(local.data(), local.size());
      out.write(newNames[k].data(), newNames[k].size());
    } else {
      out.write(local.data(), local.size());
      out.copyFrom(in, x.start + Z::kLocalSize, x.nameLength);
    }
    out.copyFrom(in, afterName, x.end - afterName);
    copied = x.end;
    progress.step();
  }
  out.copyFrom(in, copied, dir.directoryOffset - copied);

  // Pass 2: the central directory with the new offsets and names.
  const std::uint64_t newDirectoryOffset = out.position();
  requireOffset(in, newDirectoryOffset);
  for (std::size_t k = 0; k < count; ++k) {
    const ZipEntry& e = dir.entries[k];
    std::array<std::uint8_t, Z::kCentralSize> central;
    std::memcpy(central.data(), in.view(e.centralOffset, Z::kCentralSize), Z::kCentralSize);
    LittleEndian::put32(central.data() + Z::kCenLocalOffset, static_cast<std::uint32_t>(newOffsets[k]));
    if (rowOf[k] >= 0) {
      LittleEndian::put16(central.data() + Z::kCenNameLength,
                          static_cast<std::uint16_t>(newNames[k].size()));
      out.write(central.data(), central.size());
      out.write(newNames[k].data(), newNames[k].size());
    } else {
      out.write(central.data(), central.size());
      out.write(e.rawName);
    }
    out.copyFrom(in, e.centralOffset + Z::kCentralSize + e.nameLength,
                 std::uint64_t{e.extraLength} + e.commentLength);
  }

  // End record, then the comment and anything after it.
  const std::uint64_t directorySize = out.position() - newDirectoryOffset;
  requireOffset(in, directorySize);
  std::array<std::uint8_t, Z::kEndSize> end = dir.endRecord;
  LittleEndian::put32(end.data() + Z::kEndDirectorySize, static_cast<std::uint32_t>(directorySize));
  LittleEndian::put32(end.data() + Z::kEndDirectoryOffset, static_cast<std::uint32_t>(newDirectoryOffset));
  out.write(end.data(), end.size());
  out.copyFrom(in, dir.endOffset + Z::kEndSize, in.size() - dir.endOffset - Z::kEndSize);
}

}  // namespace ritoma
