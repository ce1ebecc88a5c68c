#include "execution/RunJournal.h"

namespace ritoma {

std::string RunJournal::folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string RunJournal::pathBeside(const std::string& undoPath) {
  const std::size_t slash = undoPath.rfind('/');
  return (slash == std::string::npos ? std::string() : undoPath.substr(0, slash + 1)) +
         JournalFile::FileName;
}

bool RunJournal::pending(FileSystem& fs, const std::string& path) {
  FileInfo info;
  return !fs.stat(path, info);
}

RunJournal::~RunJournal() { abandon(); }

std::error_code RunJournal::begin(const JournalData& data) {
  const std::optional<std::string> bytes = JournalFile::encode(data);
  if (!bytes) return beginEncoded(std::nullopt);
  return beginEncoded(std::vector<std::string_view>{*bytes});
}

std::error_code RunJournal::beginEncoded(const std::optional<std::vector<std::string_view>>& pieces) {
  const bool ours = active_;
  if (!ours && pending(fs_, path_)) return std::make_error_code(std::errc::file_exists);
  if (!pieces) return std::make_error_code(std::errc::invalid_argument);
  abandon();
  // The temporary file is a new one of this run's own; only this run's own
  // journal is ever replaced, and a file that took the journal's name in
  // the meantime stays.
  std::string temp;
  std::unique_ptr<OutputFile> file;
  std::error_code ec = fs_.createReplacement(path_, temp, file);
  if (ec) return ec;
  for (const std::string_view piece : *pieces)
    if (!ec) ec = file->write(piece.data(), piece.size());
  if (!ec) ec = file->sync();
  // A new journal first claims its name with an empty file of its own, so
  // that the rename replaces nothing but that claim.
  bool claimed = ours;
  if (!ec && !ours) {
    std::unique_ptr<OutputFile> claim;
    ec = fs_.openWrite(path_, WriteMode::CreateNew, claim);
    if (!ec) {
      claimed = true;
      ec = claim->close();
    }
  }
  bool placed = false;
  if (!ec) {
    ec = fs_.replace(temp, path_);
    placed = !ec;
  }
  if (!ec) ec = fs_.syncFolder(folderOf(path_));
  if (ec) {
    file->close();
    if (!placed) fs_.remove(temp);
    if (claimed) fs_.remove(path_);
    return ec;
  }
  file_ = std::move(file);
  active_ = true;
  lastRecorded_ = 0;
  return {};
}

std::error_code RunJournal::append(const std::string& record, bool sync) {
  if (!file_) return std::make_error_code(std::errc::bad_file_descriptor);
  if (auto ec = file_->write(record.data(), record.size())) return ec;
  return sync ? file_->sync() : std::error_code();
}

std::error_code RunJournal::startStage(JournalStage stage) {
  lastRecorded_ = 0;
  return append(JournalFile::stageRecord(stage), true);
}

void RunJournal::rowsDone(JournalStage stage, std::size_t done) {
  if (done < lastRecorded_ + RecordEvery) return;
  lastRecorded_ = done;
  // A lost progress record costs recovery nothing but a look at the disk.
  append(JournalFile::progressRecord(stage, static_cast<std::uint32_t>(done)), false);
}

std::error_code RunJournal::finish() {
  if (file_) file_->close();
  file_.reset();
  if (!active_) return {};
  active_ = false;
  if (auto ec = fs_.remove(path_)) return ec;
  return fs_.syncFolder(folderOf(path_));
}

void RunJournal::abandon() {
  if (file_) file_->close();
  file_.reset();
  active_ = false;
}

}  // namespace ritoma
