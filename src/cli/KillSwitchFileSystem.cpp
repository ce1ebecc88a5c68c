#include "cli/KillSwitchFileSystem.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

namespace ritoma {

namespace {

class CountedOutputFile : public OutputFile {
public:
  CountedOutputFile(KillSwitchFileSystem& fs, std::unique_ptr<OutputFile> real)
      : fs_(fs), real_(std::move(real)) {}
  std::error_code write(const void* data, std::size_t size) override {
    fs_.count(KillSwitchFileSystem::Kind::Write);
    return real_->write(data, size);
  }
  std::error_code seek(std::uint64_t offset) override { return real_->seek(offset); }
  std::error_code close() override { return real_->close(); }
  std::error_code sync() override { return real_->sync(); }

private:
  KillSwitchFileSystem& fs_;
  std::unique_ptr<OutputFile> real_;
};

}  // namespace

std::optional<std::pair<KillSwitchFileSystem::Kind, long>> KillSwitchFileSystem::parse(
    const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const std::string word = text.substr(0, colon);
  Kind kind;
  if (word == "rename") kind = Kind::Rename;
  else if (word == "times") kind = Kind::Times;
  else if (word == "attributes") kind = Kind::Attributes;
  else if (word == "write") kind = Kind::Write;
  else return std::nullopt;
  char* end = nullptr;
  const long nth = std::strtol(text.c_str() + colon + 1, &end, 10);
  if (nth < 1 || *end != '\0') return std::nullopt;
  return std::make_pair(kind, nth);
}

void KillSwitchFileSystem::count(Kind kind) {
  if (kind == kind_ && --left_ == 0) ::kill(::getpid(), SIGKILL);
}

std::error_code KillSwitchFileSystem::listFolder(const std::string& folder, std::vector<FileInfo>& out) {
  return real_->listFolder(folder, out);
}
std::error_code KillSwitchFileSystem::listNames(const std::string& folder, std::vector<std::string>& out) {
  return real_->listNames(folder, out);
}
std::error_code KillSwitchFileSystem::stat(const std::string& path, FileInfo& out) {
  return real_->stat(path, out);
}
std::error_code KillSwitchFileSystem::lookUp(const std::string& path, FileInfo& out) {
  return real_->lookUp(path, out);
}
std::error_code KillSwitchFileSystem::rename(const std::string& from, const std::string& to) {
  count(Kind::Rename);
  return real_->rename(from, to);
}
std::error_code KillSwitchFileSystem::replace(const std::string& from, const std::string& to) {
  return real_->replace(from, to);
}
std::error_code KillSwitchFileSystem::copyFile(const std::string& from, const std::string& to) {
  return real_->copyFile(from, to);
}
std::error_code KillSwitchFileSystem::remove(const std::string& path) { return real_->remove(path); }
std::error_code KillSwitchFileSystem::makeFolder(const std::string& path) {
  return real_->makeFolder(path);
}
std::error_code KillSwitchFileSystem::syncFolder(const std::string& folder) {
  return real_->syncFolder(folder);
}
std::error_code KillSwitchFileSystem::setTimes(const std::string& path, std::optional<FileTime> created,
                                               std::optional<FileTime> modified,
                                               std::optional<FileTime> accessed) {
  count(Kind::Times);
  return real_->setTimes(path, created, modified, accessed);
}
std::error_code KillSwitchFileSystem::getAttributes(const std::string& path, std::uint32_t& attributes) {
  return real_->getAttributes(path, attributes);
}
std::error_code KillSwitchFileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
  count(Kind::Attributes);
  return real_->setAttributes(path, attributes);
}
MediumTraits KillSwitchFileSystem::medium(const std::string& path) {
  return real_->medium(path);
}
std::error_code KillSwitchFileSystem::openRead(const std::string& path, std::unique_ptr<InputFile>& out) {
  return real_->openRead(path, out);
}
std::error_code KillSwitchFileSystem::openWrite(const std::string& path, WriteMode mode,
                                                std::unique_ptr<OutputFile>& out) {
  std::unique_ptr<OutputFile> real;
  if (auto ec = real_->openWrite(path, mode, real)) return ec;
  out = std::make_unique<CountedOutputFile>(*this, std::move(real));
  return {};
}
std::error_code KillSwitchFileSystem::createLike(const std::string& path, const std::string& model,
                                                 std::unique_ptr<OutputFile>& out) {
  std::unique_ptr<OutputFile> real;
  if (auto ec = real_->createLike(path, model, real)) return ec;
  out = std::make_unique<CountedOutputFile>(*this, std::move(real));
  return {};
}
std::vector<std::string> KillSwitchFileSystem::mountPoints() { return real_->mountPoints(); }
std::string KillSwitchFileSystem::executableFolder() { return real_->executableFolder(); }
bool KillSwitchFileSystem::isWritableFolder(const std::string& folder) {
  return real_->isWritableFolder(folder);
}

}  // namespace ritoma
