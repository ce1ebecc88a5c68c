#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace ritoma {

// A FileSystem that forwards every call to another one and kills its own
// process with SIGKILL just before the N-th call of one kind, as a crash or
// a "kill -9" would stop a run: the tests' way to interrupt ritoma-cli at a
// known operation. ritoma-cli puts it in place only when the environment
// variable RITOMA_CLI_KILL_AT reads "KIND:N", KIND being rename, times,
// attributes or write (a write to any file opened for writing).
class KillSwitchFileSystem : public FileSystem {
public:
  enum class Kind { Rename, Times, Attributes, Write };

  // The switch "KIND:N" describes, or nullopt for anything else.
  static std::optional<std::pair<Kind, long>> parse(const std::string& text);

  KillSwitchFileSystem(std::unique_ptr<FileSystem> real, Kind kind, long nth)
      : real_(std::move(real)), kind_(kind), left_(nth) {}

  // Counts a call of `kind`; the N-th one does not return.
  void count(Kind kind);

  std::error_code listFolder(const std::string& folder, std::vector<FileInfo>& out) override;
  std::error_code listNames(const std::string& folder, std::vector<std::string>& out) override;
  std::error_code stat(const std::string& path, FileInfo& out) override;
  std::error_code lookUp(const std::string& path, FileInfo& out) override;
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
  MediumTraits medium(const std::string& path) override;
  std::error_code openRead(const std::string& path, std::unique_ptr<InputFile>& out) override;
  std::error_code openWrite(const std::string& path, WriteMode mode,
                            std::unique_ptr<OutputFile>& out) override;
  std::error_code createLike(const std::string& path, const std::string& model,
                             std::unique_ptr<OutputFile>& out) override;
  std::vector<std::string> mountPoints() override;
  std::string executableFolder() override;
  bool isWritableFolder(const std::string& folder) override;

private:
  std::unique_ptr<FileSystem> real_;
  Kind kind_;
  long left_;
};

}  // namespace ritoma
