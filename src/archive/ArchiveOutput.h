#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "archive/ArchiveInput.h"
#include "platform/FileSystem.h"

namespace ritoma {

// Sequential writing of a rebuilt archive. Small writes are gathered into
// one buffer; bulk copies from the input go file to file (inside the kernel
// where the file system can), so no entry is ever held in memory whole.
// Errors throw ArchiveError.
class ArchiveOutput {
public:
  ArchiveOutput(std::unique_ptr<OutputFile> file, std::string displayPath);
  ~ArchiveOutput();

  std::uint64_t position() const { return position_; }
  void write(const void* data, std::size_t size) {
    if (size <= kBuffer - used_) {
      std::memcpy(buffer_.get() + used_, data, size);
      used_ += size;
      position_ += size;
    } else {
      writePastBuffer(data, size);
    }
  }
  void write(const std::string& bytes) { write(bytes.data(), bytes.size()); }
  // Copies input bytes [offset, offset + length) unchanged. Short ranges
  // (names, extra fields, small entries) go through the input's window.
  void copyFrom(ArchiveInput& input, std::uint64_t offset, std::uint64_t length) {
    if (length <= kSmallCopy && input.contains(offset, length)) {
      const auto size = static_cast<std::size_t>(length);
      if (size != 0) write(input.view(offset, size), size);
    } else {
      copyLarge(input, offset, length);
    }
  }
  // Flushes and closes; the file is complete only when this returns.
  void finish();

  // Large enough that writes cost little next to the copying; left
  // uninitialised, so a small archive touches only the pages it uses.
  static constexpr std::size_t kBuffer = 256 * 1024;

private:
  static constexpr std::uint64_t kSmallCopy = 64 * 1024;

  void copyLarge(ArchiveInput& input, std::uint64_t offset, std::uint64_t length);
  void writePastBuffer(const void* data, std::size_t size);
  void flush();
  [[noreturn]] void failed(std::error_code ec) const;

  std::unique_ptr<OutputFile> file_;
  std::string displayPath_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t used_ = 0;
  std::uint64_t position_ = 0;
  bool closed_ = false;
};

}  // namespace ritoma
