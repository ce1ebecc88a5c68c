#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace ritoma::test {

// A file system that only lists folders set up in memory; every other call
// is refused.
class ListingFileSystem : public FileSystem {
public:
  std::map<std::string, std::vector<FileInfo>> folders;  // disk path → entries
  int listCalls = 0;

  void addFile(const std::string& folder, const std::string& name, std::uint64_t size = 0,
               std::uint32_t attributes = 0, FileTime modified = 0) {
    FileInfo info;
    info.name = name;
    info.size = size;
    info.attributes = attributes;
    info.modified = modified;
    folders[folder].push_back(info);
  }
  void addFolder(const std::string& folder, const std::string& name, FileTime modified = 0) {
    FileInfo info;
    info.name = name;
    info.isFolder = true;
    info.attributes = AttrFolder;
    info.modified = modified;
    folders[folder].push_back(info);
  }

  std::error_code listFolder(const std::string& folder, std::vector<FileInfo>& out) override {
    ++listCalls;
    out.clear();
    auto it = folders.find(folder);
    if (it == folders.end()) return std::make_error_code(std::errc::no_such_file_or_directory);
    out = it->second;
    return {};
  }
  std::error_code stat(const std::string&, FileInfo&) override { return refused(); }
  std::error_code rename(const std::string&, const std::string&) override { return refused(); }
  std::error_code replace(const std::string&, const std::string&) override { return refused(); }
  std::error_code copyFile(const std::string&, const std::string&) override { return refused(); }
  std::error_code remove(const std::string&) override { return refused(); }
  std::error_code makeFolder(const std::string&) override { return refused(); }
  std::error_code syncFolder(const std::string&) override { return refused(); }
  std::error_code setTimes(const std::string&, std::optional<FileTime>, std::optional<FileTime>,
                           std::optional<FileTime>) override {
    return refused();
  }
  std::error_code getAttributes(const std::string&, std::uint32_t&) override { return refused(); }
  std::error_code setAttributes(const std::string&, std::uint32_t) override { return refused(); }
  std::error_code openRead(const std::string&, std::unique_ptr<InputFile>&) override { return refused(); }
  std::error_code openWrite(const std::string&, WriteMode, std::unique_ptr<OutputFile>&) override {
    return refused();
  }
  std::error_code createLike(const std::string&, const std::string&,
                             std::unique_ptr<OutputFile>&) override {
    return refused();
  }
  std::vector<std::string> mountPoints() override { return {"/"}; }
  std::string executableFolder() override { return "/"; }
  bool isWritableFolder(const std::string&) override { return false; }

private:
  static std::error_code refused() { return std::make_error_code(std::errc::operation_not_supported); }
};

}  // namespace ritoma::test
