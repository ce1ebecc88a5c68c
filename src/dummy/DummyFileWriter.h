#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/ArcInfo.h"
#include "archive/ArchiveLibraries.h"
#include "settings/DummySettings.h"
#include "execution/DummyWriter.h"
#include "platform/FileSystem.h"

namespace ritoma {

class OutputFile;

// The dummy files of a copy run, as `settings` sets them up at the time of
// each call. Every dummy is a new file made directly in the target folder:
// a name that is taken fails its row, nothing is replaced. A row that fails
// (its source cannot be read, its dummy cannot be written) is marked
// MarkFailed, whatever was written of it is removed, and the call returns
// false; lastError() says why.
class DummyFileWriter : public DummyWriter {
public:
  // A stored file that declares more than this is not extracted.
  static constexpr std::uint64_t MaxExtractedBytes = std::uint64_t{1} << 30;

  DummyFileWriter(FileSystem& fs, ArchiveLibraries& archives, const DummySettings& settings);

  Page page() const override;
  Page fallback() const override;
  bool writeContent(const std::string& source, const std::string& target, PlanList& plan,
                    std::size_t first, std::size_t end) override;
  bool writeExcerpt(const std::string& source, const std::string& target, PlanList& plan,
                    std::size_t first, std::size_t end) override;
  // False without a mark when the row's source is no archive of a kind that
  // is switched on both here and in `archives`, holds no such stored file,
  // or cannot give it: the run then gives the row the fallback content.
  // Only a dummy that cannot be created or written fails the row.
  bool writeFromArchive(const std::string& source, const std::string& target, PlanList& plan,
                        std::size_t row) override;

  const std::string& lastError() const override { return error_; }
  const std::string& fallbackReason() const override { return fallbackReason_; }

  // The extension a dummy takes from the stored name `stored` (code page
  // 932): that of its last path component, "" when it has none. Nothing
  // when it holds a control character.
  static bool storedExtension(const std::string& stored, std::string& extension);

private:
  bool failRow(PlanRow& row, const std::string& why);
  // Creates `path` as a new file, or fails `row`.
  bool create(PlanRow& row, const std::string& path, std::unique_ptr<OutputFile>& out);
  // Writes and closes; on failure removes `path` and fails `row`.
  bool finish(PlanRow& row, const std::string& path, std::unique_ptr<OutputFile>& out,
              const std::string& bytes);
  bool writeBinaryExcerpt(const std::string& from, const std::string& to, PlanRow& row);
  bool writeTextExcerpt(const std::string& from, const std::string& to, PlanRow& row);
  ArcKind archiveKind(const std::string& name) const;
  // The new name of row `row` with the extension `extension`: the first
  // of base + extension, base + " (1)" + extension, ... that passes the
  // rename check, is not taken in `target` and is no other row's new name;
  // the row's own new name when none does.
  std::string nameWithExtension(const PlanList& plan, std::size_t row, const std::string& target,
                                const std::string& extension);

  FileSystem& fs_;
  ArchiveLibraries& archives_;
  const DummySettings& settings_;
  std::string error_;
  std::string fallbackReason_;
};

}  // namespace ritoma
