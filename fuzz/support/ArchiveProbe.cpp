#include "support/ArchiveProbe.h"

#include <string>
#include <vector>

#include "archive/ArchiveError.h"
#include "archive/ArchiveExtractor.h"
#include "archive/ArchiveInput.h"
#include "archive/ArchiveRewrite.h"
#include "archive/LzhHeaderReader.h"
#include "archive/PlannedEntries.h"
#include "archive/ZipDirectoryReader.h"
#include "shell/ProgressSink.h"
#include "support/MemoryFileSystem.h"
#include "support/Require.h"
#include "text/Cp932.h"

namespace ritoma::fuzz {

namespace {

// Decompressing costs far more than reading headers; a few entries show
// whether the framing of an entry holds.
constexpr std::size_t kExtracted = 2;

const char* const kBackupPath = "/mem/a_BAK";
const char* const kArchivePath = "/mem/a";

std::vector<ArcInfo> listLzh(ArchiveInput& in) {
  LzhHeaderReader reader(in);
  std::uint64_t end = 0;
  const std::vector<LzhHeader> headers = reader.readAll(end);
  require(end <= in.size(), "the LZH end lies inside the file");
  std::vector<ArcInfo> entries;
  std::uint64_t previous = 0;
  for (std::size_t i = 0; i < headers.size(); ++i) {
    const LzhHeader& h = headers[i];
    require(h.offset >= previous, "LZH headers follow one another");
    require(h.dataOffset > h.offset && in.contains(h.dataOffset, h.dataSize),
            "LZH data lies after its header, inside the file");
    previous = h.next();
    entries.push_back(h.info(static_cast<std::uint32_t>(i)));
  }
  return entries;
}

std::vector<ArcInfo> listZip(ArchiveInput& in) {
  ZipDirectoryReader reader(in);
  const ZipDirectory dir = reader.read();
  require(dir.entries.size() == dir.listed, "the ZIP directory holds what the end record lists");
  require(dir.endOffset < in.size(), "the ZIP end record lies inside the file");
  std::vector<ArcInfo> entries;
  PlannedEntries planned;
  for (std::size_t i = 0; i < dir.entries.size(); ++i) {
    const ZipEntry& e = dir.entries[i];
    require(in.contains(e.centralOffset, e.recordSize()), "a ZIP record lies inside the file");
    entries.push_back(e.info(static_cast<std::uint32_t>(i)));
    planned.push_back(e.name, e.data());
  }
  require(ZipDirectoryReader(in).listsEntries(planned), "the ZIP name check agrees with the listing");
  return entries;
}

// The entry's new name: "表" in front of its last path component, so the
// name grows by a double-byte character with the trail byte 0x5C.
std::string renamed(const std::string& name) {
  const std::size_t slash = Cp932::findLastOf(name, "/\\");
  const std::size_t leaf = slash == Cp932::npos ? 0 : slash + 1;
  return name.substr(0, leaf) + "\x95\x5C" + name.substr(leaf);
}

}  // namespace

void ArchiveProbe::run(ArcKind kind, std::string_view bytes) {
  std::vector<ArcInfo> entries;
  try {
    ArchiveInput in(MemoryFileSystem::openBytes(bytes), "fuzz");
    entries = kind == ArcLzh ? listLzh(in) : listZip(in);
    std::size_t extracted = 0;
    for (const ArcInfo& entry : entries) {
      if (entry.isDirectory()) continue;
      if (extracted++ == kExtracted) break;
      try {
        ArchiveExtractor::extract(in, kind, entry, [](const char*, std::size_t) {});
      } catch (const ArchiveError&) {
      }
    }
  } catch (const ArchiveError&) {
    return;
  }
  rewriteAll(kind, bytes, entries);
}

void ArchiveProbe::rewriteAll(ArcKind kind, std::string_view bytes,
                              const std::vector<ArcInfo>& entries) {
  std::vector<ArcRenameRow> rows;
  for (const ArcInfo& entry : entries)
    if (!entry.isDirectory()) rows.push_back({entry.index, entry.name, renamed(entry.name)});
  MemoryFileSystem fs;
  fs.setFile(kBackupPath, bytes);
  NullProgress progress;
  ArchiveRewrite rewrite(fs, progress);
  if (rewrite.rename(kind, kBackupPath, kArchivePath, rows)) {
    require(rewrite.verify(kind, kArchivePath), "a rewrite that succeeds lists the planned names");
  } else {
    require(!rewrite.error().empty(), "a failed rewrite says why");
    require(fs.file(kArchivePath) == nullptr, "a failed rewrite leaves no output behind");
  }
  const std::string* backup = fs.file(kBackupPath);
  require(backup && *backup == bytes, "the rewrite leaves its input as it was");
}

}  // namespace ritoma::fuzz
