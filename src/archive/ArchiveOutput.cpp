#include "archive/ArchiveOutput.h"

#include <algorithm>
#include <cstring>

#include "archive/ArchiveError.h"
#include "archive/ArchiveInput.h"
#include "execution/ErrorText.h"

namespace ritoma {

ArchiveOutput::ArchiveOutput(std::unique_ptr<OutputFile> file, std::string displayPath)
    : file_(std::move(file)), displayPath_(std::move(displayPath)),
      buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(kBuffer)) {}

ArchiveOutput::~ArchiveOutput() {
  if (!closed_) file_->close();
}

void ArchiveOutput::failed(std::error_code ec) const {
  throw ArchiveError(ErrorText::withReason(displayPath_ + ": 書き込めません", ec));
}

void ArchiveOutput::flush() {
  if (used_ == 0) return;
  if (const std::error_code ec = file_->write(buffer_.get(), used_)) failed(ec);
  used_ = 0;
}

void ArchiveOutput::writePastBuffer(const void* data, std::size_t size) {
  flush();
  if (size >= kBuffer) {
    if (const std::error_code ec = file_->write(data, size)) failed(ec);
    position_ += size;
    return;
  }
  std::memcpy(buffer_.get(), data, size);
  used_ = size;
  position_ += size;
}

void ArchiveOutput::copyLarge(ArchiveInput& input, std::uint64_t offset, std::uint64_t length) {
  input.requireRange(offset, length, "データがファイルの終わりを越えています");
  flush();
  InputFile& in = input.file();
  if (const std::error_code ec = in.seek(offset))
    throw ArchiveError(ErrorText::withReason(input.displayPath() + ": 読み込めません", ec));
  std::uint64_t copied = 0;
  if (const std::error_code ec = in.copyTo(*file_, length, copied))
    throw ArchiveError(ErrorText::withReason(input.displayPath() + " → " + displayPath_ + ": コピーできません", ec));
  if (copied < length) input.damaged("データが途中で切れています");
  position_ += length;
}

void ArchiveOutput::finish() {
  flush();
  closed_ = true;
  if (const std::error_code ec = file_->close()) failed(ec);
}

}  // namespace ritoma
