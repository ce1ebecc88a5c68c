#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace ritoma::fuzz {

// A file system of flat files held in memory, for harnesses that feed a
// reader its input as a file without touching the disk. Folders, times and
// copies are refused; files can be read, written, replaced and removed.
class MemoryFileSystem : public FileSystem {
public:
  void setFile(const std::string& path, std::string_view bytes);
  // The bytes of `path`, or nullptr when there is no such file.
  const std::string* file(const std::string& path) const;
  // An input over `bytes` as a file of that size, for readers that take
  // an InputFile directly.
  static std::unique_ptr<InputFile> openBytes(std::string_view bytes);

  std::error_code listFolder(const std::string& folder, std::vector<FileInfo>& out) override;
  std::error_code stat(const std::string& path, FileInfo& out) override;
  std::error_code rename(const std::string& from, const std::string& to) override;
  std::error_code replace(const std::string& from, const std::string& to) override;
  std::error_code copyFile(const std::string& from, const std::string& to) override;
  std::error_code remove(const std::string& path) override;
  std::error_code makeFolder(const std::string& path) override;
  std::error_code syncFolder(const std::string& folder) override;
  std::error_code setTimes(const std::string& path, std::optional<FileTime> created,
                           std::optional<FileTime> modified,
                           std::optional<FileTime> accessed) override;
  std::error_code getAttributes(const std::string& path, std::uint32_t& attributes) override;
  std::error_code setAttributes(const std::string& path, std::uint32_t attributes) override;
  std::error_code openRead(const std::string& path, std::unique_ptr<InputFile>& out) override;
  std::error_code openWrite(const std::string& path, WriteMode mode,
                            std::unique_ptr<OutputFile>& out) override;
  // Files here have no permissions to take over.
  std::error_code createLike(const std::string& path, const std::string& model,
                             std::unique_ptr<OutputFile>& out) override;
  std::vector<std::string> mountPoints() override;
  std::string executableFolder() override;
  bool isWritableFolder(const std::string& folder) override;

private:
  struct Entry {
    std::shared_ptr<std::string> bytes;
    std::uint32_t attributes = AttrArchive;
  };
  std::map<std::string, Entry> files_;
};

}  // namespace ritoma::fuzz
