#include "archive/ArchiveInput.h"

#include <algorithm>
#include <cstring>

#include "archive/ArchiveError.h"
#include "execution/ErrorText.h"

namespace ritoma {

namespace {
constexpr std::size_t kWindow = 256 * 1024;
}

ArchiveInput::ArchiveInput(std::unique_ptr<InputFile> file, std::string displayPath)
    : file_(std::move(file)), displayPath_(std::move(displayPath)), size_(file_->size()) {}

void ArchiveInput::damaged(const std::string& what) const {
  throw ArchiveError(displayPath_ + ": 書庫が壊れています (" + what + ")");
}

void ArchiveInput::requireRange(std::uint64_t offset, std::uint64_t length,
                                const char* what) const {
  if (!contains(offset, length)) damaged(what);
}

void ArchiveInput::fill(std::uint64_t offset, std::size_t length) {
  const std::size_t want =
      static_cast<std::size_t>(std::min<std::uint64_t>(std::max(length, kWindow), size_ - offset));
  window_.resize(want);
  windowLength_ = 0;
  if (const std::error_code ec = file_->seek(offset))
    throw ArchiveError(ErrorText::withReason(displayPath_ + ": 読み込めません", ec));
  std::size_t total = 0;
  while (total < want) {
    std::size_t got = 0;
    if (const std::error_code ec = file_->read(window_.data() + total, want - total, got))
      throw ArchiveError(ErrorText::withReason(displayPath_ + ": 読み込めません", ec));
    if (got == 0) break;
    total += got;
  }
  if (total < length) damaged("ファイルの終わりを越えています");
  windowOffset_ = offset;
  windowLength_ = total;
}

const std::uint8_t* ArchiveInput::viewOutsideWindow(std::uint64_t offset, std::size_t length) {
  requireRange(offset, length, "ファイルの終わりを越えています");
  if (length > kMaxView) damaged("ヘッダが大きすぎます");
  fill(offset, length);
  return window_.data();
}

void ArchiveInput::read(std::uint64_t offset, std::size_t length, std::string& out) {
  requireRange(offset, length, "ファイルの終わりを越えています");
  out.resize(length);
  std::size_t done = 0;
  while (done < length) {
    const std::size_t piece = std::min(length - done, kMaxView);
    std::memcpy(out.data() + done, view(offset + done, piece), piece);
    done += piece;
  }
}

}  // namespace ritoma
