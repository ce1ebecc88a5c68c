#include "archive/ArchiveBackend.h"

#include "archive/ArchiveError.h"
#include "archive/ArchiveExtractor.h"
#include "archive/LzhHeaderReader.h"
#include "archive/ZipDirectoryReader.h"

namespace ritoma {

namespace {

std::unique_ptr<ArchiveInput> openInput(FileSystem& fs, const std::string& path) {
  std::unique_ptr<InputFile> file;
  if (fs.openRead(path, file)) throw ArchiveError(path + ": 開けません");
  return std::make_unique<ArchiveInput>(std::move(file), path);
}

}  // namespace

bool ArchiveBackend::list(FileSystem& fs, ArcKind kind, const std::string& path,
                          std::vector<ArcInfo>& entries, std::string& error,
                          std::vector<LzhHeader>* lzhHeaders) {
  entries.clear();
  error.clear();
  if (lzhHeaders) lzhHeaders->clear();
  try {
    auto in = openInput(fs, path);
    if (kind == ArcLzh) {
      LzhHeaderReader reader(*in);
      std::uint64_t end = 0;
      std::vector<LzhHeader> headers = reader.readAll(end);
      entries.reserve(headers.size());
      for (std::size_t i = 0; i < headers.size(); ++i)
        entries.push_back(headers[i].info(static_cast<std::uint32_t>(i)));
      if (lzhHeaders) *lzhHeaders = std::move(headers);
    } else if (kind == ArcZip) {
      ZipDirectoryReader reader(*in);
      const ZipDirectory dir = reader.read();
      for (std::size_t i = 0; i < dir.entries.size(); ++i)
        entries.push_back(dir.entries[i].info(static_cast<std::uint32_t>(i)));
    } else {
      throw ArchiveError(path + ": 書庫ではありません");
    }
    return true;
  } catch (const std::exception& e) {
    entries.clear();
    error = e.what();
    return false;
  }
}

long ArchiveBackend::getFileCount(const std::string& path) {
  std::vector<ArcInfo> entries;
  if (!list(fs_, kind_, path, entries, error_)) return -1;
  return static_cast<long>(entries.size());
}

void ArchiveBackend::openArchive(const std::string& path) {
  list(fs_, kind_, path, entries_, error_);
  cursor_ = 0;
  open_ = true;
}

int ArchiveBackend::findFirst(ArcInfo& entry) {
  cursor_ = 0;
  return findNext(entry);
}

int ArchiveBackend::findNext(ArcInfo& entry) {
  if (!open_ || cursor_ >= entries_.size()) return -1;
  entry = entries_[cursor_++];
  return 0;
}

void ArchiveBackend::closeArchive() {
  entries_.clear();
  cursor_ = 0;
  open_ = false;
}

bool ArchiveBackend::extractMem(const std::string& path, const ArcInfo& entry, std::string& out) {
  out.clear();
  return extractTo(path, entry, [&out](const char* data, std::size_t size) { out.append(data, size); });
}

bool ArchiveBackend::extractTo(const std::string& path, const ArcInfo& entry,
                               const ArchiveExtractor::Sink& sink) {
  error_.clear();
  try {
    auto in = openInput(fs_, path);
    ArchiveExtractor::extract(*in, kind_, entry, sink);
    return true;
  } catch (const std::exception& e) {
    error_ = e.what();
    return false;
  }
}

}  // namespace ritoma
