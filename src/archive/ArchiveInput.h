#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace ritoma {

// Random-access reading of an archive through a window buffer. Every
// request is checked against the file size first: a range that does not lie
// inside the file throws ArchiveError, so header code never reads past the
// end or trusts a length it has not checked.
class ArchiveInput {
public:
  ArchiveInput(std::unique_ptr<InputFile> file, std::string displayPath);

  std::uint64_t size() const { return size_; }
  bool contains(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  // Bytes [offset, offset + length) of the file; valid until the next call.
  // `length` must not exceed kMaxView. A range inside the window is inside
  // the file and no longer than kMaxView, so it needs no further check.
  const std::uint8_t* view(std::uint64_t offset, std::size_t length) {
    if (offset >= windowOffset_ && offset - windowOffset_ <= windowLength_ &&
        length <= windowLength_ - (offset - windowOffset_))
      return window_.data() + (offset - windowOffset_);
    return viewOutsideWindow(offset, length);
  }
  // Copies bytes into `out` (any length, read in pieces).
  void read(std::uint64_t offset, std::size_t length, std::string& out);

  // Reads the file in pieces of at most kChunk bytes, for bulk copies.
  InputFile& file() { return *file_; }
  const std::string& displayPath() const { return displayPath_; }

  // Throws the error every short or failed read reports.
  [[noreturn]] void damaged(const std::string& what) const;
  void requireRange(std::uint64_t offset, std::uint64_t length, const char* what) const;

  static constexpr std::size_t kMaxView = 1 << 20;

private:
  const std::uint8_t* viewOutsideWindow(std::uint64_t offset, std::size_t length);
  void fill(std::uint64_t offset, std::size_t length);

  std::unique_ptr<InputFile> file_;
  std::string displayPath_;
  std::uint64_t size_ = 0;
  std::vector<std::uint8_t> window_;
  std::uint64_t windowOffset_ = 0;
  std::size_t windowLength_ = 0;
};

}  // namespace ritoma
