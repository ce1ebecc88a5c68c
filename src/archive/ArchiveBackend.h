#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArcInfo.h"
#include "archive/ArchiveExtractor.h"
#include "archive/LzhHeader.h"
#include "platform/FileSystem.h"

namespace ritoma {

// The archiver of one kind (LZH or ZIP): count, open, find first/next in
// the archive's own order, close, and extract one entry into memory.
// Listing comes from the program's own header readers; extraction from
// libarchive. One archive is open at a time.
class ArchiveBackend {
public:
  ArchiveBackend(FileSystem& fs, ArcKind kind) : fs_(fs), kind_(kind) {}

  ArcKind kind() const { return kind_; }

  // Number of entries, or -1 when the archive cannot be read.
  long getFileCount(const std::string& path);
  // Reads the listing. A failed open is not reported here: it shows as a
  // failing first find, and lastError() tells why.
  void openArchive(const std::string& path);
  // 0 = `entry` filled; anything else leaves `entry` untouched.
  int findFirst(ArcInfo& entry);
  int findNext(ArcInfo& entry);
  void closeArchive();
  // Decompresses `entry` (as listed from `path`) into `out`. False with
  // lastError() set when the entry cannot be extracted.
  bool extractMem(const std::string& path, const ArcInfo& entry, std::string& out);
  // The same in pieces into `sink` (ArchiveExtractor::extract), for entries
  // too large to hold; a `sink` that throws stops it the same way.
  bool extractTo(const std::string& path, const ArcInfo& entry, const ArchiveExtractor::Sink& sink);

  const std::string& lastError() const { return error_; }

  // The whole listing of an archive of `kind`; false with `error` set when
  // it cannot be read. Paths are disk paths. `lzhHeaders`, when given,
  // receives the headers of an LZH archive (entry k of the listing is
  // headers[k].info(k)), and stays empty for another kind.
  static bool list(FileSystem& fs, ArcKind kind, const std::string& path,
                   std::vector<ArcInfo>& entries, std::string& error,
                   std::vector<LzhHeader>* lzhHeaders = nullptr);

private:
  FileSystem& fs_;
  ArcKind kind_;
  std::vector<ArcInfo> entries_;
  std::size_t cursor_ = 0;
  bool open_ = false;
  std::string error_;
};

}  // namespace ritoma
