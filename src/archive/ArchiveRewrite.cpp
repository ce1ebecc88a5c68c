#include "archive/ArchiveRewrite.h"

#include "archive/ArchiveError.h"
#include "archive/LzhHeaderReader.h"
#include "archive/LzhRewriter.h"
#include "archive/ZipDirectoryReader.h"
#include "archive/ZipRewriter.h"
#include "execution/ErrorText.h"
#include "text/Cp932.h"

namespace ritoma {

bool ArchiveRewrite::run(const std::string& backupPath, const std::string& archivePath,
                         const Body& body) {
  error_.clear();
  planned_.clear();
  outputRemains_ = false;
  bool created = false;
  try {
    std::unique_ptr<InputFile> inFile;
    if (const std::error_code ec = fs_.openRead(backupPath, inFile))
      throw ArchiveError(ErrorText::withReason(backupPath + ": 開けません", ec));
    ArchiveInput in(std::move(inFile), backupPath);
    std::unique_ptr<OutputFile> outFile;
    if (const std::error_code ec = fs_.createLike(archivePath, backupPath, outFile))
      throw ArchiveError(ErrorText::withReason(archivePath + ": 作成できません", ec));
    created = true;
    if (onCreated_) onCreated_();
    ArchiveOutput out(std::move(outFile), archivePath);
    body(in, out);
    out.finish();
  } catch (const std::exception& e) {
    error_ = e.what();
  }
  if (progress_.isOpen()) progress_.close();
  if (!error_.empty() && created) outputRemains_ = static_cast<bool>(fs_.remove(archivePath));
  return error_.empty();
}

bool ArchiveRewrite::check(ArcKind kind, const std::string& archivePath) {
  error_.clear();
  try {
    std::unique_ptr<InputFile> file;
    if (const std::error_code ec = fs_.openRead(archivePath, file))
      throw ArchiveError(ErrorText::withReason(archivePath + ": 開けません", ec));
    ArchiveInput in(std::move(file), archivePath);
    if (kind == ArcLzh) {
      LzhRewriter::readHeaders(in);
    } else if (kind == ArcZip) {
      ZipDirectoryReader reader(in);
      reader.scan(reader.readEnd(), [](const ZipEntry&, std::string_view) {});
    } else {
      throw ArchiveError(archivePath + ": 書庫ではありません");
    }
  } catch (const std::exception& e) {
    error_ = e.what();
  }
  return error_.empty();
}

bool ArchiveRewrite::ArcRenameLzh(const std::string& backupPath, const std::string& archivePath,
                                  const std::vector<ArcRenameRow>& rows) {
  return run(backupPath, archivePath, [&](ArchiveInput& in, ArchiveOutput& out) {
    LzhRewriter::rewrite(in, out, progress_, rows, planned_);
  });
}

bool ArchiveRewrite::ArcRenameZip(const std::string& backupPath, const std::string& archivePath,
                                  const std::vector<ArcRenameRow>& rows) {
  return run(backupPath, archivePath, [&](ArchiveInput& in, ArchiveOutput& out) {
    ZipRewriter::rewrite(in, out, progress_, rows, planned_);
  });
}

bool ArchiveRewrite::rename(ArcKind kind, const std::string& backupPath,
                            const std::string& archivePath, const std::vector<ArcRenameRow>& rows) {
  if (kind == ArcLzh) return ArcRenameLzh(backupPath, archivePath, rows);
  if (kind == ArcZip) return ArcRenameZip(backupPath, archivePath, rows);
  error_ = archivePath + ": 書庫ではありません";
  return false;
}

bool ArchiveRewrite::verify(ArcKind kind, const std::string& archivePath) {
  // Headers and directory only, read by the same code as a listing: the
  // data was copied unchanged and is not read again.
  bool same = false;
  try {
    std::unique_ptr<InputFile> file;
    if (const std::error_code ec = fs_.openRead(archivePath, file))
      throw ArchiveError(ErrorText::withReason(archivePath + ": 開けません", ec));
    ArchiveInput in(std::move(file), archivePath);
    if (kind == ArcLzh) {
      LzhHeaderReader reader(in);
      std::uint64_t end = 0;
      const std::vector<LzhHeader> headers = reader.readAll(end);
      same = headers.size() == planned_.size();
      for (std::size_t i = 0; same && i < headers.size(); ++i)
        same = headers[i].data() == planned_.data(i) &&
               Cp932::unifySeparators(headers[i].listedName()) ==
                   Cp932::unifySeparators(planned_.name(i));
    } else if (kind == ArcZip) {
      same = ZipDirectoryReader(in).listsEntries(planned_);
    } else {
      throw ArchiveError(archivePath + ": 書庫ではありません");
    }
  } catch (const std::exception& e) {
    error_ = e.what();
    return false;
  }
  if (!same) error_ = archivePath + ": 書き換えた書庫の内容が予定と一致しません";
  return same;
}

}  // namespace ritoma
