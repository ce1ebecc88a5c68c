#include "platform/FileSystem.h"

#include <algorithm>
#include <random>

namespace ritoma {

std::string FileSystem::joinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::error_code InputFile::copyTo(OutputFile& out, std::uint64_t length, std::uint64_t& copied) {
  constexpr std::size_t kChunk = 1 << 20;
  copied = 0;
  std::vector<char> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(length, kChunk)));
  while (copied < length) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(length - copied, buffer.size()));
    std::size_t got = 0;
    if (auto ec = read(buffer.data(), want, got)) return ec;
    if (got == 0) break;
    if (auto ec = out.write(buffer.data(), got)) return ec;
    copied += got;
  }
  return {};
}

namespace {

// The handle on joined paths: every call goes through the file system's
// own stat and rename.
class JoinedFolderHandle : public FolderHandle {
public:
  JoinedFolderHandle(FileSystem& fs, const std::string& folder)
      : fs_(fs), prefix_(!folder.empty() && folder.back() == '/' ? folder : folder + "/") {}
  std::error_code stat(const std::string& name, FileInfo& out) override {
    return fs_.lookUp(prefix_ + name, out);
  }
  std::error_code rename(const std::string& from, const std::string& to) override {
    return fs_.rename(prefix_ + from, prefix_ + to);
  }

private:
  FileSystem& fs_;
  std::string prefix_;
};

}  // namespace

std::error_code FileSystem::openFolderHandle(const std::string& folder,
                                             std::unique_ptr<FolderHandle>& out) {
  out = std::make_unique<JoinedFolderHandle>(*this, folder);
  return {};
}

std::unique_ptr<FolderHandle> FileSystem::folderHandle(const std::string& folder) {
  std::unique_ptr<FolderHandle> handle;
  if (openFolderHandle(folder, handle) || !handle) handle = std::make_unique<JoinedFolderHandle>(*this, folder);
  return handle;
}

std::error_code FileSystem::lookUp(const std::string& path, FileInfo& out) {
  return stat(path, out);
}

std::error_code FileSystem::listNames(const std::string& folder, std::vector<std::string>& out) {
  out.clear();
  std::vector<FileInfo> entries;
  if (auto ec = listFolder(folder, entries)) return ec;
  out.reserve(entries.size());
  for (auto& e : entries) out.push_back(std::move(e.name));
  return {};
}

MediumTraits FileSystem::medium(const std::string&) { return {}; }

bool FileSystem::exists(const std::string& path) {
  FileInfo info;
  return !stat(path, info);
}

namespace {

bool notSupported(std::error_code ec) {
  return ec == std::errc::not_supported || ec == std::errc::operation_not_supported;
}

}  // namespace

std::error_code FileSystem::carryTimes(const std::string& path, std::optional<FileTime> created,
                                       std::optional<FileTime> modified,
                                       std::optional<FileTime> accessed) {
  std::error_code ec = setTimes(path, created, modified, accessed);
  if (created && notSupported(ec)) ec = setTimes(path, std::nullopt, modified, accessed);
  return ec;
}

std::error_code FileSystem::carryAttributes(const std::string& path, std::uint32_t attributes) {
  std::error_code ec = setAttributes(path, attributes);
  if (notSupported(ec)) ec = setAttributes(path, attributes & AttrReadOnly);
  return ec;
}

std::error_code FileSystem::readWholeFile(const std::string& path, std::string& out) {
  out.clear();
  std::unique_ptr<InputFile> file;
  if (auto ec = openRead(path, file)) return ec;
  out.resize(static_cast<std::size_t>(file->size()));
  std::size_t total = 0;
  while (total < out.size()) {
    std::size_t got = 0;
    if (auto ec = file->read(out.data() + total, out.size() - total, got)) return ec;
    if (got == 0) break;
    total += got;
  }
  out.resize(total);
  return {};
}

std::error_code FileSystem::createReplacement(const std::string& path, std::string& tempPath,
                                              std::unique_ptr<OutputFile>& out) {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  std::error_code ec;
  for (int attempt = 0; attempt < 16; ++attempt) {
    tempPath = path + ".tmp" + std::to_string(rng() % 1000000);
    ec = createLike(tempPath, path, out);
    if (ec != std::errc::file_exists) break;
  }
  return ec;
}

std::error_code FileSystem::replaceFileContent(const std::string& path, const std::string& data) {
  std::string temp;
  std::unique_ptr<OutputFile> file;
  if (auto ec = createReplacement(path, temp, file)) return ec;
  std::error_code ec = file->write(data.data(), data.size());
  const std::error_code closed = file->close();
  if (!ec) ec = closed;
  if (!ec) ec = replace(temp, path);
  if (ec) remove(temp);
  return ec;
}

}  // namespace ritoma
