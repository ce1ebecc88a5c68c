#include "archive/ArchiveExtractor.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string_view>

#include "archive/ArchiveError.h"
#include "archive/LittleEndian.h"
#include "archive/LzhHeaderReader.h"
#include "archive/LzhRewriter.h"
#include "archive/ZipDirectoryReader.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

using Z = ZipDirectoryReader;

// The frame carries a plain name of its own: libarchive would otherwise try
// to convert the stored name from the archive's character set.
constexpr const char* kFramedName = "x";

// The one-entry ZIP frame keeps 32-bit offsets; larger entries are refused.
constexpr std::uint64_t kMaxFramed = std::uint64_t{1} << 31;

// A Unix host keeps the file type in the high half of the external
// attributes.
constexpr std::uint32_t kUnixTypeMask = 0170000;
constexpr std::uint32_t kUnixLink = 0120000;

// An entry that stores where a link points instead of a file's data: the
// bytes are no file's contents, so it is refused rather than extracted.
[[noreturn]] void refuseLink(const ArchiveInput& in, std::string_view name) {
  throw ArchiveError(in.displayPath() + ": 書庫内の「" + TextCodec::toUtf8(name) +
                     "」はリンクのため展開できません");
}

struct ArchiveCloser {
  void operator()(archive* a) const { archive_read_free(a); }
};

// Serves a frame to libarchive: the head, a range of the archive read in
// pieces through its window, and the tail, with seeking for the ZIP reader.
// An error of the archive is kept and thrown once libarchive gives up, so
// that no exception passes through libarchive's C frames.
class FrameReader {
public:
  FrameReader(ArchiveInput& in, const std::string& head, std::uint64_t dataOffset,
              std::uint64_t dataLength, const std::string& tail)
      : in_(in), head_(head), dataOffset_(dataOffset), dataLength_(dataLength), tail_(tail),
        size_(head.size() + dataLength + tail.size()) {}

  static la_ssize_t read(archive*, void* self, const void** buffer) {
    return static_cast<FrameReader*>(self)->readPiece(buffer);
  }
  static la_int64_t seek(archive*, void* self, la_int64_t offset, int whence) {
    return static_cast<FrameReader*>(self)->seekTo(offset, whence);
  }

  void rethrow() const {
    if (error_) std::rethrow_exception(error_);
  }

private:
  la_ssize_t readPiece(const void** buffer) {
    const std::uint64_t headEnd = head_.size();
    const std::uint64_t dataEnd = headEnd + dataLength_;
    std::size_t n = 0;
    if (pos_ < headEnd) {
      *buffer = head_.data() + pos_;
      n = static_cast<std::size_t>(headEnd - pos_);
    } else if (pos_ < dataEnd) {
      n = static_cast<std::size_t>(std::min<std::uint64_t>(ArchiveExtractor::kPiece, dataEnd - pos_));
      try {
        *buffer = in_.view(dataOffset_ + (pos_ - headEnd), n);
      } catch (...) {
        error_ = std::current_exception();
        return ARCHIVE_FATAL;
      }
    } else if (pos_ < size_) {
      *buffer = tail_.data() + (pos_ - dataEnd);
      n = static_cast<std::size_t>(size_ - pos_);
    }
    pos_ += n;
    return static_cast<la_ssize_t>(n);
  }

  la_int64_t seekTo(la_int64_t offset, int whence) {
    const la_int64_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? static_cast<la_int64_t>(pos_)
                                                 : static_cast<la_int64_t>(size_);
    const la_int64_t to = base + offset;
    if (to < 0 || static_cast<std::uint64_t>(to) > size_) return ARCHIVE_FATAL;
    pos_ = static_cast<std::uint64_t>(to);
    return to;
  }

  ArchiveInput& in_;
  const std::string& head_;
  std::uint64_t dataOffset_;
  std::uint64_t dataLength_;
  const std::string& tail_;
  std::uint64_t size_;
  std::uint64_t pos_ = 0;
  std::exception_ptr error_;
};

}  // namespace

ArchiveExtractor::Frame ArchiveExtractor::frameLzh(ArchiveInput& in, const ArcInfo& entry) {
  LzhHeaderReader reader(in);
  std::uint64_t end = 0;
  const auto headers = reader.readAll(end);
  if (entry.index >= headers.size() || headers[entry.index].listedName() != entry.name)
    throw ArchiveError(in.displayPath() + ": エントリが見つかりません");
  const LzhHeader& h = headers[entry.index];
  // "-lhd-" holds no data: a directory, or a link stored as "name|target".
  if (h.method == "-lhd-") {
    const std::string listed = h.listedName();
    const std::size_t bar = Cp932::find(listed, '|');
    if (bar != Cp932::npos) refuseLink(in, std::string_view(listed).substr(0, bar));
    throw ArchiveError(in.displayPath() + ": 書庫内の「" + TextCodec::toUtf8(listed) +
                       "」はディレクトリのため展開できません");
  }
  if (h.dataSize > kMaxFramed) throw ArchiveError(in.displayPath() + ": エントリが大きすぎます");
  in.requireRange(h.dataOffset, h.dataSize, "ファイルの終わりを越えています");
  Frame frame;
  frame.head = LzhRewriter::buildLevel2(h, kFramedName);
  frame.dataOffset = h.dataOffset;
  frame.dataLength = h.dataSize;
  frame.tail = std::string(1, '\0');
  return frame;
}

// local header + name | extra + data (from the archive) | central record
// (offset 0, no comment) | end record for one entry.
ArchiveExtractor::Frame ArchiveExtractor::frameZip(ArchiveInput& in, const ArcInfo& entry) {
  ZipDirectoryReader reader(in);
  const ZipDirectory dir = reader.read();
  if (entry.index >= dir.entries.size() || dir.entries[entry.index].name != entry.name)
    throw ArchiveError(in.displayPath() + ": エントリが見つかりません");
  const ZipEntry& e = dir.entries[entry.index];
  if (e.hostSystem() == Z::kHostUnix && ((e.externalAttributes >> 16) & kUnixTypeMask) == kUnixLink)
    refuseLink(in, e.name);
  std::array<std::uint8_t, Z::kLocalSize> local;
  std::memcpy(local.data(), in.view(e.localOffset, Z::kLocalSize), Z::kLocalSize);
  if (LittleEndian::get32(local.data()) != Z::kLocalSignature)
    in.damaged("ローカルヘッダの署名が違います");
  const std::uint64_t afterName =
      e.localOffset + Z::kLocalSize + LittleEndian::get16(local.data() + Z::kLocNameLength);
  const std::uint64_t rest = LittleEndian::get16(local.data() + Z::kLocExtraLength) + std::uint64_t{e.compressedSize};
  if (rest > kMaxFramed) throw ArchiveError(in.displayPath() + ": エントリが大きすぎます");
  in.requireRange(afterName, rest, "ファイルの終わりを越えています");
  LittleEndian::put16(local.data() + Z::kLocNameLength, 1);
  Frame frame;
  frame.head.assign(reinterpret_cast<const char*>(local.data()), local.size());
  frame.head += kFramedName;
  frame.dataOffset = afterName;
  frame.dataLength = rest;

  std::array<std::uint8_t, Z::kCentralSize> central;
  std::memcpy(central.data(), in.view(e.centralOffset, Z::kCentralSize), Z::kCentralSize);
  LittleEndian::put16(central.data() + Z::kCenNameLength, 1);
  LittleEndian::put16(central.data() + Z::kCenCommentLength, 0);
  LittleEndian::put32(central.data() + Z::kCenLocalOffset, 0);
  const std::uint64_t directoryOffset = frame.head.size() + rest;
  frame.tail.assign(reinterpret_cast<const char*>(central.data()), central.size());
  frame.tail += kFramedName;
  std::string bytes;
  in.read(e.centralOffset + Z::kCentralSize + e.nameLength, e.extraLength, bytes);
  frame.tail += bytes;

  std::array<std::uint8_t, Z::kEndSize> end{};
  LittleEndian::put32(end.data(), Z::kEndSignature);
  LittleEndian::put16(end.data() + Z::kEndEntriesOnDisk, 1);
  LittleEndian::put16(end.data() + Z::kEndEntries, 1);
  LittleEndian::put32(end.data() + Z::kEndDirectorySize, static_cast<std::uint32_t>(frame.tail.size()));
  LittleEndian::put32(end.data() + Z::kEndDirectoryOffset, static_cast<std::uint32_t>(directoryOffset));
  frame.tail.append(reinterpret_cast<const char*>(end.data()), end.size());
  return frame;
}

void ArchiveExtractor::decode(ArchiveInput& in, const Frame& frame, ArcKind kind,
                              const ArcInfo& entry, const Sink& sink) {
  const std::string& displayPath = in.displayPath();
  std::unique_ptr<archive, ArchiveCloser> a(archive_read_new());
  if (!a) throw ArchiveError(displayPath + ": 展開できません");
  if (kind == ArcLzh)
    archive_read_support_format_lha(a.get());
  else
    archive_read_support_format_zip_seekable(a.get());
  FrameReader reader(in, frame.head, frame.dataOffset, frame.dataLength, frame.tail);
  auto fail = [&]() -> void {
    reader.rethrow();
    const char* why = archive_error_string(a.get());
    throw ArchiveError(displayPath + ": 展開できません" + (why ? std::string(" (") + why + ")" : ""));
  };
  archive_read_set_read_callback(a.get(), &FrameReader::read);
  archive_read_set_seek_callback(a.get(), &FrameReader::seek);
  archive_read_set_callback_data(a.get(), &reader);
  if (archive_read_open1(a.get()) != ARCHIVE_OK) fail();
  archive_entry* header = nullptr;
  if (archive_read_next_header(a.get(), &header) != ARCHIVE_OK) fail();
  std::array<char, kPiece> buffer;
  std::uint64_t total = 0;
  for (;;) {
    const la_ssize_t got = archive_read_data(a.get(), buffer.data(), buffer.size());
    if (got < 0) fail();
    if (got == 0) break;
    if (static_cast<std::uint64_t>(got) > entry.size - total)
      throw ArchiveError(displayPath + ": 展開したデータが書庫に記録された大きさを超えます");
    total += static_cast<std::uint64_t>(got);
    sink(buffer.data(), static_cast<std::size_t>(got));
  }
  if (total != entry.size)
    throw ArchiveError(displayPath + ": 展開したデータが書庫に記録された大きさに足りません");
}

void ArchiveExtractor::extract(ArchiveInput& in, ArcKind kind, const ArcInfo& entry,
                               const Sink& sink) {
  const Frame frame = kind == ArcLzh ? frameLzh(in, entry) : frameZip(in, entry);
  decode(in, frame, kind, entry, sink);
}

}  // namespace ritoma
