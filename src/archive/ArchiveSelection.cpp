#include "archive/ArchiveSelection.h"

#include <cstdio>

#include "platform/TimeConvert.h"

namespace ritoma {

std::string ArchiveSelection::dosText(std::uint16_t date, std::uint16_t time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u/%02u/%02u %02u:%02u:%02u", 1980u + (date >> 9),
                (date >> 5) & 0x0Fu, date & 0x1Fu, time >> 11, (time >> 5) & 0x3Fu,
                (time & 0x1Fu) * 2);
  return text;
}

FileEntry ArchiveSelection::entryOf(const ArcInfo& info, bool checkNewFiles) {
  FileEntry entry;
  if (info.isDirectory()) {
    entry.kindCode = "02";
    entry.checked = false;
    entry.icon = FileEntry::IconArchiveFolder;
  } else {
    entry.kindCode = "11";
    entry.checked = checkNewFiles;
    entry.icon = FileEntry::IconFile;
  }
  FileEntry::splitName(info.name, entry.baseName, entry.extension);
  entry.size = info.size;
  entry.sizeText = FileEntry::formatSize(info.size);
  // The stored stamp is local time already; it is shown as stored, also
  // when its fields do not form a valid date.
  entry.modifiedText = dosText(info.date, info.time);
  const auto time = TimeConvert::fromDos((std::uint32_t{info.date} << 16) | info.time);
  entry.modified = time ? *time : 0;
  entry.diskName = info.name;
  entry.storedAsCodePage = !info.utf8Name;
  entry.archiveIndex = info.index;
  return entry;
}

bool ArchiveSelection::buildSelectionList(ArchiveLibraries& libraries, ArcKind kind,
                                          const std::string& archivePath, bool checkNewFiles,
                                          SelectionList& list, ProgressSink& progress,
                                          int greetThreshold, std::string* error) {
  std::vector<FileEntry> rows;
  ArchiveBackend* backend = libraries.backend(kind);
  bool opened = false;
  if (backend && greetThreshold > 0) {
    const long count = backend->getFileCount(archivePath);
    if (count >= greetThreshold) {
      progress.open("ファイル取得中…", count);
      opened = true;
    }
  }
  const bool ok = libraries.ArcListEntries(
      kind, archivePath,
      [&](const ArcInfo& info) {
        rows.push_back(entryOf(info, checkNewFiles));
        if (opened) progress.step();
      },
      error);
  list.assign(std::move(rows), opened ? &progress : nullptr);
  if (opened) progress.close();
  return ok;
}

}  // namespace ritoma
