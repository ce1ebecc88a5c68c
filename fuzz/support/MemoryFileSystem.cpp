#include "support/MemoryFileSystem.h"

#include <algorithm>
#include <cstring>

namespace ritoma::fuzz {

namespace {

std::error_code refused() { return std::make_error_code(std::errc::operation_not_permitted); }
std::error_code missing() { return std::make_error_code(std::errc::no_such_file_or_directory); }

// Reads from its own copy, so a file replaced while open keeps the bytes it
// had when opened, as on disk.
class MemoryInputFile : public InputFile {
public:
  explicit MemoryInputFile(std::string bytes) : bytes_(std::move(bytes)) {}
  std::error_code read(void* buffer, std::size_t size, std::size_t& got) override {
    got = std::min(size, bytes_.size() - std::min(pos_, bytes_.size()));
    if (got) std::memcpy(buffer, bytes_.data() + pos_, got);
    pos_ += got;
    return {};
  }
  std::error_code seek(std::uint64_t offset) override {
    pos_ = static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes_.size()));
    return {};
  }
  std::uint64_t size() const override { return bytes_.size(); }

private:
  std::string bytes_;
  std::size_t pos_ = 0;
};

// Writes into the file's shared buffer.
class MemoryOutputFile : public OutputFile {
public:
  explicit MemoryOutputFile(std::shared_ptr<std::string> bytes) : bytes_(std::move(bytes)) {}
  std::error_code write(const void* data, std::size_t size) override {
    if (!bytes_) return refused();
    if (bytes_->size() < pos_ + size) bytes_->resize(pos_ + size);
    if (size) std::memcpy(bytes_->data() + pos_, data, size);
    pos_ += size;
    return {};
  }
  std::error_code seek(std::uint64_t offset) override {
    if (!bytes_) return refused();
    pos_ = static_cast<std::size_t>(offset);
    if (bytes_->size() < pos_) bytes_->resize(pos_);
    return {};
  }
  std::error_code close() override {
    if (!bytes_) return refused();
    bytes_.reset();
    return {};
  }
  std::error_code sync() override { return bytes_ ? std::error_code() : refused(); }

private:
  std::shared_ptr<std::string> bytes_;
  std::size_t pos_ = 0;
};

}  // namespace

void MemoryFileSystem::setFile(const std::string& path, std::string_view bytes) {
  files_[path].bytes = std::make_shared<std::string>(bytes);
}

const std::string* MemoryFileSystem::file(const std::string& path) const {
  const auto it = files_.find(path);
  return it == files_.end() ? nullptr : it->second.bytes.get();
}

std::unique_ptr<InputFile> MemoryFileSystem::openBytes(std::string_view bytes) {
  return std::make_unique<MemoryInputFile>(std::string(bytes));
}

std::error_code MemoryFileSystem::listFolder(const std::string&, std::vector<FileInfo>& out) {
  out.clear();
  return refused();
}

std::error_code MemoryFileSystem::stat(const std::string& path, FileInfo& out) {
  const auto it = files_.find(path);
  if (it == files_.end()) return missing();
  out = {};
  out.name = path.substr(path.rfind('/') + 1);
  out.size = it->second.bytes->size();
  out.attributes = it->second.attributes;
  return {};
}

std::error_code MemoryFileSystem::rename(const std::string& from, const std::string& to) {
  const auto it = files_.find(from);
  if (it == files_.end()) return missing();
  if (files_.count(to)) return std::make_error_code(std::errc::file_exists);
  Entry entry = it->second;
  files_.erase(it);
  files_[to] = std::move(entry);
  return {};
}

std::error_code MemoryFileSystem::replace(const std::string& from, const std::string& to) {
  const auto it = files_.find(from);
  if (it == files_.end()) return missing();
  Entry entry = it->second;
  files_.erase(it);
  files_[to] = std::move(entry);
  return {};
}

std::error_code MemoryFileSystem::copyFile(const std::string&, const std::string&) { return refused(); }

std::error_code MemoryFileSystem::remove(const std::string& path) {
  return files_.erase(path) ? std::error_code() : missing();
}

std::error_code MemoryFileSystem::makeFolder(const std::string&) { return refused(); }

std::error_code MemoryFileSystem::syncFolder(const std::string&) { return {}; }

std::error_code MemoryFileSystem::setTimes(const std::string&, std::optional<FileTime>,
                                           std::optional<FileTime>, std::optional<FileTime>) {
  return refused();
}

std::error_code MemoryFileSystem::getAttributes(const std::string& path, std::uint32_t& attributes) {
  const auto it = files_.find(path);
  if (it == files_.end()) return missing();
  attributes = it->second.attributes;
  return {};
}

std::error_code MemoryFileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
  const auto it = files_.find(path);
  if (it == files_.end()) return missing();
  it->second.attributes = attributes & ~static_cast<std::uint32_t>(AttrFolder);
  return {};
}

std::error_code MemoryFileSystem::openRead(const std::string& path, std::unique_ptr<InputFile>& out) {
  const auto it = files_.find(path);
  if (it == files_.end()) return missing();
  out = std::make_unique<MemoryInputFile>(*it->second.bytes);
  return {};
}

std::error_code MemoryFileSystem::openWrite(const std::string& path, WriteMode mode,
                                            std::unique_ptr<OutputFile>& out) {
  auto it = files_.find(path);
  if (it != files_.end() && mode == WriteMode::CreateNew)
    return std::make_error_code(std::errc::file_exists);
  if (it != files_.end() && (it->second.attributes & AttrReadOnly)) return refused();
  Entry& entry = files_[path];
  entry.bytes = std::make_shared<std::string>();
  out = std::make_unique<MemoryOutputFile>(entry.bytes);
  return {};
}

std::error_code MemoryFileSystem::createLike(const std::string& path, const std::string&,
                                             std::unique_ptr<OutputFile>& out) {
  return openWrite(path, WriteMode::CreateNew, out);
}

std::vector<std::string> MemoryFileSystem::mountPoints() { return {"/"}; }

std::string MemoryFileSystem::executableFolder() { return "/mem"; }

bool MemoryFileSystem::isWritableFolder(const std::string&) { return true; }

}  // namespace ritoma::fuzz
