#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "archive/ArchiveBackend.h"

namespace ritoma {

// The two archive back ends (0 = LZH, 1 = ZIP). "Loading" one switches it
// on: its archives appear in the folder tree, open from the command line
// and serve the dummy-file writer. Both are built in, so loading never
// fails here; the settings keys [Arc] LZH and ZIP default to on. Callers
// still handle a failed load, which a derived class may report.
class ArchiveLibraries {
public:
  explicit ArchiveLibraries(FileSystem& fs);
  virtual ~ArchiveLibraries() = default;

  static constexpr bool kDefaultOn = true;

  virtual bool load(ArcKind kind);
  void unload(ArcKind kind);
  bool isLoaded(ArcKind kind) const;
  // The back end of `kind`, or null while it is off.
  ArchiveBackend* backend(ArcKind kind);

  // The kind an archive path stands for: ".lzh" then ".zip", without
  // regard to case; anything else is ArcNone.
  static ArcKind kindOfPath(std::string_view path);

  // Every entry of the archive in its own order. False when the back end
  // is off or the archive cannot be read (`error` says why).
  bool ArcListEntries(ArcKind kind, const std::string& path,
                      const std::function<void(const ArcInfo&)>& handle, std::string* error = nullptr);
  // The n-th stored file (1-based, directory entries not counted). False
  // when there is none; `error` then says why when the archive cannot be
  // read, and is empty when it holds fewer files.
  bool ArcFindFileEntry(ArcInfo& entry, ArcKind kind, int n, const std::string& path,
                        std::string* error = nullptr);

private:
  std::array<std::unique_ptr<ArchiveBackend>, 2> backends_;
  std::array<bool, 2> loaded_{};
};

}  // namespace ritoma
