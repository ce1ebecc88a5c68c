#include "dummy/DummyFileWriter.h"

#include <algorithm>
#include <array>
#include <limits>
#include <system_error>
#include <string_view>

#include "archive/ArchiveExtractor.h"
#include "execution/DisplayText.h"
#include "execution/ErrorText.h"
#include "execution/NameCheck.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

constexpr std::size_t kPiece = ArchiveExtractor::kPiece;

bool skipped(const PlanRow& row) { return row.mark != MarkNone || row.isFolderRow(); }

std::string cannotRead(const std::string& path, std::error_code ec) {
  return ErrorText::withReason(DisplayText::fromDisk(path) + ": 読み込めません", ec);
}
std::string cannotWrite(const std::string& path, std::error_code ec) {
  return ErrorText::withReason(DisplayText::fromDisk(path) + ": 書き込めません", ec);
}

// An archive's reason without the archive's path in front: the row names it.
std::string withoutPath(const std::string& reason, const std::string& archivePath) {
  const std::string prefix = archivePath + ": ";
  return reason.starts_with(prefix) ? reason.substr(prefix.size()) : reason;
}

}  // namespace

DummyFileWriter::DummyFileWriter(FileSystem& fs, ArchiveLibraries& archives,
                                 const DummySettings& settings)
    : fs_(fs), archives_(archives), settings_(settings) {}

DummyWriter::Page DummyFileWriter::page() const {
  return static_cast<Page>(std::clamp(settings_.page, 0, 2));
}

DummyWriter::Page DummyFileWriter::fallback() const {
  return settings_.notArcExcerpt ? Page::Excerpt : Page::Content;
}

bool DummyFileWriter::failRow(PlanRow& row, const std::string& why) {
  row.mark = MarkFailed;
  error_ = why;
  return false;
}

bool DummyFileWriter::create(PlanRow& row, const std::string& path, std::unique_ptr<OutputFile>& out) {
  const std::error_code ec = fs_.openWrite(path, WriteMode::CreateNew, out);
  if (!ec) return true;
  out.reset();
  return failRow(row, cannotWrite(path, ec));
}

bool DummyFileWriter::finish(PlanRow& row, const std::string& path, std::unique_ptr<OutputFile>& out,
                             const std::string& bytes) {
  std::error_code ec;
  if (!bytes.empty()) ec = out->write(bytes.data(), bytes.size());
  const std::error_code closed = out->close();
  out.reset();
  if (!ec && !closed) return true;
  fs_.remove(path);
  return failRow(row, cannotWrite(path, ec ? ec : closed));
}

bool DummyFileWriter::writeContent(const std::string&, const std::string& target, PlanList& plan,
                                   std::size_t first, std::size_t end) {
  std::string bytes;
  const bool text = settings_.contentBytes(bytes);
  for (std::size_t i = first; i < end && i < plan.rows.size(); ++i) {
    PlanRow& row = plan.rows[i];
    if (skipped(row)) continue;
    if (!text) return failRow(row, "ダミーファイルの内容が正しい文字列ではありません");
    const std::string path = target + TextCodec::toDisk(row.newName);
    std::unique_ptr<OutputFile> out;
    if (!create(row, path, out) || !finish(row, path, out, bytes)) return false;
  }
  return true;
}

bool DummyFileWriter::writeExcerpt(const std::string& source, const std::string& target,
                                   PlanList& plan, std::size_t first, std::size_t end) {
  for (std::size_t i = first; i < end && i < plan.rows.size(); ++i) {
    PlanRow& row = plan.rows[i];
    if (skipped(row)) continue;
    const std::string from = source + TextCodec::toDisk(row.oldName);
    const std::string to = target + TextCodec::toDisk(row.newName);
    if (!(settings_.binary ? writeBinaryExcerpt(from, to, row) : writeTextExcerpt(from, to, row)))
      return false;
  }
  return true;
}

// Only the bytes the source holds from the offset on are written: a source
// shorter than offset + count gives a shorter dummy, never undefined bytes.
bool DummyFileWriter::writeBinaryExcerpt(const std::string& from, const std::string& to, PlanRow& row) {
  std::unique_ptr<InputFile> in;
  if (const std::error_code ec = fs_.openRead(from, in)) return failRow(row, cannotRead(from, ec));
  std::string bytes(static_cast<std::size_t>(std::max(settings_.bin2, 0)), '\0');
  std::size_t total = 0;
  if (const std::error_code ec = in->seek(static_cast<std::uint64_t>(std::max(settings_.bin1, 0))))
    return failRow(row, cannotRead(from, ec));
  while (total < bytes.size()) {
    std::size_t got = 0;
    if (const std::error_code ec = in->read(bytes.data() + total, bytes.size() - total, got))
      return failRow(row, cannotRead(from, ec));
    if (got == 0) break;
    total += got;
  }
  in.reset();
  bytes.resize(total);
  std::unique_ptr<OutputFile> out;
  return create(row, to, out) && finish(row, to, out, bytes);
}

// Lines end at CR LF, LF or a lone CR; each kept line is written with CR LF.
// The source is read in pieces and only as far as the kept lines reach, and
// the limit cuts the output, which is never padded up to it.
bool DummyFileWriter::writeTextExcerpt(const std::string& from, const std::string& to, PlanRow& row) {
  std::unique_ptr<InputFile> in;
  if (const std::error_code ec = fs_.openRead(from, in)) return failRow(row, cannotRead(from, ec));
  std::unique_ptr<OutputFile> out;
  if (!create(row, to, out)) return false;
  auto abandon = [&](const std::string& why) {
    out.reset();
    fs_.remove(to);
    return failRow(row, why);
  };

  const std::uint64_t firstLine = static_cast<std::uint64_t>(std::max(settings_.txt1, 1)) - 1;
  const std::uint64_t endLine = firstLine + static_cast<std::uint64_t>(std::max(settings_.txt2, 1));
  const std::uint64_t limit = settings_.txtMax ? static_cast<std::uint64_t>(std::max(settings_.txtMaxBytes, 0))
                                               : std::numeric_limits<std::uint64_t>::max();
  std::uint64_t line = 0;
  std::uint64_t written = 0;
  bool afterCr = false;
  bool lineOpen = false;
  std::string pending;
  auto emit = [&](std::string_view bytes) {
    if (line < firstLine) return;
    const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), limit - written));
    pending.append(bytes.substr(0, take));
    written += take;
  };
  std::error_code writeError;
  auto flush = [&] {
    if (!pending.empty()) writeError = out->write(pending.data(), pending.size());
    pending.clear();
    return !writeError;
  };

  std::array<char, kPiece> buffer;
  while (line < endLine && written < limit) {
    std::size_t got = 0;
    if (const std::error_code ec = in->read(buffer.data(), buffer.size(), got))
      return abandon(cannotRead(from, ec));
    if (got == 0) break;
    for (std::size_t i = 0; i < got && line < endLine && written < limit; ++i) {
      const char c = buffer[i];
      if (afterCr) {
        afterCr = false;
        if (c == '\n') continue;
      }
      if (c == '\r' || c == '\n') {
        emit("\r\n");
        ++line;
        lineOpen = false;
        afterCr = c == '\r';
        continue;
      }
      lineOpen = true;
      emit(std::string_view(&c, 1));
    }
    if (pending.size() >= kPiece && !flush()) return abandon(cannotWrite(to, writeError));
  }
  if (lineOpen && line < endLine) emit("\r\n");
  if (!flush()) return abandon(cannotWrite(to, writeError));
  const std::error_code closed = out->close();
  out.reset();
  if (!closed) return true;
  fs_.remove(to);
  return failRow(row, cannotWrite(to, closed));
}

ArcKind DummyFileWriter::archiveKind(const std::string& name) const {
  const ArcKind kind = ArchiveLibraries::kindOfPath(name);
  const bool chosen = (kind == ArcLzh && settings_.arcLzh) || (kind == ArcZip && settings_.arcZip);
  return chosen && archives_.isLoaded(kind) ? kind : ArcNone;
}

bool DummyFileWriter::storedExtension(const std::string& stored, std::string& extension) {
  std::size_t cut = 0;
  if (const std::size_t slash = stored.rfind('/'); slash != std::string::npos) cut = slash + 1;
  if (const std::size_t back = Cp932::findLast(stored, '\\'); back != Cp932::npos) cut = std::max(cut, back + 1);
  const std::string_view last = std::string_view(stored).substr(cut);
  const std::size_t dot = last.rfind('.');
  extension = dot == std::string_view::npos ? std::string() : std::string(last.substr(dot));
  for (const char c : extension)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  return true;
}

std::string DummyFileWriter::nameWithExtension(const PlanList& plan, std::size_t row,
                                               const std::string& target, const std::string& extension) {
  const std::string& own = plan.rows[row].newName;
  const std::size_t dot = own.rfind('.');
  const std::string base = dot == std::string::npos ? own : own.substr(0, dot);
  auto takenInBatch = [&](const std::string& name) {
    for (std::size_t i = 0; i < plan.rows.size(); ++i)
      if (i != row && plan.rows[i].mark == MarkNone && plan.rows[i].newName == name) return true;
    return false;
  };
  // No real folder holds this many numbered names; the bound only ends the
  // search in a folder that keeps filling up while it runs.
  constexpr int kMaxSuffix = 100000;
  for (int n = 0; n <= kMaxSuffix; ++n) {
    const std::string name = base + (n == 0 ? std::string() : " (" + std::to_string(n) + ")") + extension;
    if (name == own) return own;
    if (!NameCheck::nameError(name, true).empty()) return own;
    FileInfo info;
    if (takenInBatch(name) || !fs_.lookUp(target + TextCodec::toDisk(name), info)) continue;
    return name;
  }
  return own;
}

bool DummyFileWriter::writeFromArchive(const std::string& source, const std::string& target,
                                       PlanList& plan, std::size_t index) {
  fallbackReason_.clear();
  PlanRow& row = plan.rows[index];
  const ArcKind kind = archiveKind(row.oldName);
  if (kind == ArcNone) return false;
  const std::string archivePath = source + TextCodec::toDisk(row.oldName);
  auto fallBack = [&](const std::string& reason) {
    fallbackReason_ = withoutPath(reason, archivePath);
    return false;
  };
  ArcInfo entry;
  std::string unreadable;
  if (!archives_.ArcFindFileEntry(entry, kind, settings_.arcNo, archivePath, &unreadable))
    return fallBack(unreadable);
  if (entry.size > MaxExtractedBytes) return fallBack("書庫内のファイルが大きすぎます");
  const std::string ownName = row.newName;
  std::string extension;
  if (settings_.arcExt && storedExtension(entry.name, extension))
    row.newName = nameWithExtension(plan, index, target, extension);

  const std::string path = target + TextCodec::toDisk(row.newName);
  std::unique_ptr<OutputFile> out;
  if (!create(row, path, out)) return false;
  ArchiveBackend* backend = archives_.backend(kind);
  std::error_code writeError;
  const bool extracted = backend->extractTo(archivePath, entry, [&](const char* data, std::size_t size) {
    writeError = out->write(data, size);
    if (writeError) throw std::system_error(writeError);
  });
  const std::error_code closed = out->close();
  out.reset();
  if (extracted && !closed) return true;
  fs_.remove(path);
  if (extracted || writeError) return failRow(row, cannotWrite(path, writeError ? writeError : closed));
  // What the archive could not give takes none of its name either.
  row.newName = ownName;
  return fallBack(backend->lastError());
}

}  // namespace ritoma
