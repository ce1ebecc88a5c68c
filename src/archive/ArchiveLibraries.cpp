#include "archive/ArchiveLibraries.h"

#include <cctype>

namespace ritoma {

namespace {

int slot(ArcKind kind) {
  return kind == ArcLzh ? 0 : kind == ArcZip ? 1 : -1;
}

bool endsWithIgnoreCase(std::string_view path, std::string_view suffix) {
  if (path.size() < suffix.size()) return false;
  const std::string_view tail = path.substr(path.size() - suffix.size());
  for (std::size_t i = 0; i < suffix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(tail[i])) != suffix[i]) return false;
  return true;
}

}  // namespace

ArchiveLibraries::ArchiveLibraries(FileSystem& fs) {
  backends_[0] = std::make_unique<ArchiveBackend>(fs, ArcLzh);
  backends_[1] = std::make_unique<ArchiveBackend>(fs, ArcZip);
}

bool ArchiveLibraries::load(ArcKind kind) {
  const int i = slot(kind);
  if (i < 0) return false;
  loaded_[i] = true;
  return true;
}

void ArchiveLibraries::unload(ArcKind kind) {
  const int i = slot(kind);
  if (i < 0) return;
  backends_[i]->closeArchive();
  loaded_[i] = false;
}

bool ArchiveLibraries::isLoaded(ArcKind kind) const {
  const int i = slot(kind);
  return i >= 0 && loaded_[i];
}

ArchiveBackend* ArchiveLibraries::backend(ArcKind kind) {
  return isLoaded(kind) ? backends_[slot(kind)].get() : nullptr;
}

ArcKind ArchiveLibraries::kindOfPath(std::string_view path) {
  if (endsWithIgnoreCase(path, ".lzh")) return ArcLzh;
  if (endsWithIgnoreCase(path, ".zip")) return ArcZip;
  return ArcNone;
}

bool ArchiveLibraries::ArcListEntries(ArcKind kind, const std::string& path,
                                      const std::function<void(const ArcInfo&)>& handle,
                                      std::string* error) {
  ArchiveBackend* b = backend(kind);
  if (!b) {
    if (error) *error = path + ": この書庫の形式は無効になっています";
    return false;
  }
  b->openArchive(path);
  ArcInfo entry;
  for (int found = b->findFirst(entry); found == 0; found = b->findNext(entry)) handle(entry);
  b->closeArchive();
  if (error) *error = b->lastError();
  return b->lastError().empty();
}

bool ArchiveLibraries::ArcFindFileEntry(ArcInfo& entry, ArcKind kind, int n,
                                        const std::string& path, std::string* error) {
  if (error) error->clear();
  ArchiveBackend* b = backend(kind);
  if (!b || n <= 0) return false;
  b->openArchive(path);
  if (error) *error = b->lastError();
  int count = 0;
  bool found = false;
  ArcInfo candidate;
  for (int r = b->findFirst(candidate); r == 0 && !found; r = b->findNext(candidate)) {
    if (candidate.isDirectory()) continue;
    if (++count == n) {
      entry = candidate;
      found = true;
    }
  }
  b->closeArchive();
  return found;
}

}  // namespace ritoma
