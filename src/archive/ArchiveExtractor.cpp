#include "archive/ArchiveExtractor.h"

#include <archive.h>
#include <archive_entry.h>

#include <array>
#include <cstring>
#include <memory>

#include "archive/ArchiveError.h"
#include "archive/LittleEndian.h"
#include "archive/LzhHeaderReader.h"
#include "archive/LzhRewriter.h"
#include "archive/ZipDirectoryReader.h"

namespace ritoma {

namespace {

using Z = ZipDirectoryReader;

// The frame carries a plain name of its own: libarchive would otherwise try
// to convert the stored name from the archive's character set.
constexpr const char* kFramedName = "x";

// Entries larger than this are not extracted into memory.
constexpr std::uint64_t kMaxFramed = std::uint64_t{1} << 31;

struct ArchiveCloser {
  void operator()(archive* a) const { archive_read_free(a); }
};

}  // namespace

std::string ArchiveExtractor::frameLzh(ArchiveInput& in, const ArcInfo& entry) {
  LzhHeaderReader reader(in);
  std::uint64_t end = 0;
  const auto headers = reader.readAll(end);
  if (entry.index >= headers.size() || headers[entry.index].listedName() != entry.name)
    throw ArchiveError(in.displayPath() + ": エントリが見つかりません");
  const LzhHeader& h = headers[entry.index];
  if (h.dataSize > kMaxFramed) throw ArchiveError(in.displayPath() + ": エントリが大きすぎます");
  std::string framed = LzhRewriter::buildLevel2(h, kFramedName);
  std::string data;
  in.read(h.dataOffset, static_cast<std::size_t>(h.dataSize), data);
  framed += data;
  framed += '\0';
  return framed;
}

// local header + name + extra + data | central record (offset 0, no
// comment) | end record for one entry.
std::string ArchiveExtractor::frameZip(ArchiveInput& in, const ArcInfo& entry) {
  ZipDirectoryReader reader(in);
  const ZipDirectory dir = reader.read();
  if (entry.index >= dir.entries.size() || dir.entries[entry.index].name != entry.name)
    throw ArchiveError(in.displayPath() + ": エントリが見つかりません");
  const ZipEntry& e = dir.entries[entry.index];
  std::array<std::uint8_t, Z::kLocalSize> local;
  std::memcpy(local.data(), in.view(e.localOffset, Z::kLocalSize), Z::kLocalSize);
  if (LittleEndian::get32(local.data()) != Z::kLocalSignature)
    in.damaged("ローカルヘッダの署名が違います");
  const std::uint64_t afterName =
      e.localOffset + Z::kLocalSize + LittleEndian::get16(local.data() + Z::kLocNameLength);
  const std::uint64_t rest = LittleEndian::get16(local.data() + Z::kLocExtraLength) + std::uint64_t{e.compressedSize};
  if (rest > kMaxFramed) throw ArchiveError(in.displayPath() + ": エントリが大きすぎます");
  LittleEndian::put16(local.data() + Z::kLocNameLength, 1);
  std::string framed(reinterpret_cast<const char*>(local.data()), local.size());
  framed += kFramedName;
  std::string bytes;
  in.read(afterName, static_cast<std::size_t>(rest), bytes);
  framed += bytes;

  std::array<std::uint8_t, Z::kCentralSize> central;
  std::memcpy(central.data(), in.view(e.centralOffset, Z::kCentralSize), Z::kCentralSize);
  LittleEndian::put16(central.data() + Z::kCenNameLength, 1);
  LittleEndian::put16(central.data() + Z::kCenCommentLength, 0);
  LittleEndian::put32(central.data() + Z::kCenLocalOffset, 0);
  const std::uint64_t directoryOffset = framed.size();
  framed.append(reinterpret_cast<const char*>(central.data()), central.size());
  framed += kFramedName;
  in.read(e.centralOffset + Z::kCentralSize + e.nameLength, e.extraLength, bytes);
  framed += bytes;

  std::array<std::uint8_t, Z::kEndSize> end{};
  LittleEndian::put32(end.data(), Z::kEndSignature);
  LittleEndian::put16(end.data() + Z::kEndEntriesOnDisk, 1);
  LittleEndian::put16(end.data() + Z::kEndEntries, 1);
  LittleEndian::put32(end.data() + Z::kEndDirectorySize,
                      static_cast<std::uint32_t>(framed.size() - directoryOffset));
  LittleEndian::put32(end.data() + Z::kEndDirectoryOffset, static_cast<std::uint32_t>(directoryOffset));
  framed.append(reinterpret_cast<const char*>(end.data()), end.size());
  return framed;
}

void ArchiveExtractor::decode(const std::string& framed, ArcKind kind,
                              const std::string& displayPath, std::string& out) {
  std::unique_ptr<archive, ArchiveCloser> a(archive_read_new());
  if (!a) throw ArchiveError(displayPath + ": 展開できません");
  if (kind == ArcLzh)
    archive_read_support_format_lha(a.get());
  else
    archive_read_support_format_zip_seekable(a.get());
  auto fail = [&]() -> void {
    const char* why = archive_error_string(a.get());
    throw ArchiveError(displayPath + ": 展開できません" + (why ? std::string(" (") + why + ")" : ""));
  };
  if (archive_read_open_memory(a.get(), framed.data(), framed.size()) != ARCHIVE_OK) fail();
  archive_entry* entry = nullptr;
  if (archive_read_next_header(a.get(), &entry) != ARCHIVE_OK) fail();
  out.clear();
  std::array<char, 64 * 1024> buffer;
  for (;;) {
    const la_ssize_t got = archive_read_data(a.get(), buffer.data(), buffer.size());
    if (got < 0) fail();
    if (got == 0) break;
    out.append(buffer.data(), static_cast<std::size_t>(got));
  }
}

void ArchiveExtractor::extract(ArchiveInput& in, ArcKind kind, const ArcInfo& entry,
                               std::string& out) {
  const std::string framed = kind == ArcLzh ? frameLzh(in, entry) : frameZip(in, entry);
  decode(framed, kind, in.displayPath(), out);
}

}  // namespace ritoma
