#include "execution/FolderPlanRun.h"

#include <map>
#include <vector>

#include "execution/AttributeText.h"
#include "execution/DisplayText.h"
#include "execution/ErrorText.h"
#include "execution/MetadataWriter.h"
#include "execution/OwnFiles.h"
#include "execution/UndoFile.h"
#include "execution/UndoHistory.h"
#include "platform/LocalTimes.h"
#include "platform/ParallelRange.h"
#include "platform/TimeConvert.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

std::string withSlash(const std::string& folder) {
  return !folder.empty() && folder.back() == '/' ? folder : folder + "/";
}

// The folder holding `path`.
std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Rows the checks marked never took part in the run.
bool tookPart(const PlanRow& row) { return row.mark == MarkNone || row.mark == MarkFailed; }

const char* const kUndoNotWritten = "UNDO情報を書き込めませんでした";
const char* const kJournalPending =
    "前回の処理が中断されたままです\n元に戻してから実行してください";
const char* const kJournalNotWritten = "中断に備えた記録を書き込めないため処理を中止します";

// The report of the rows a copy skipped because their name was taken.
std::string skippedText(const std::vector<std::string>& names) {
  if (names.empty()) return {};
  std::vector<std::string> shown;
  shown.reserve(names.size());
  for (const std::string& name : names) shown.push_back(TextCodec::toUtf8(name));
  return "コピー先に同じ名前のファイルがあるため\n以下のファイルはコピーしませんでした\n" +
         DisplayText::nameLines(shown);
}

// A file row's times as listed, as texts held for the record being made;
// a folder row's are left empty.
struct ListedTimes {
  ListedTimes(const PlanRow& row, LocalTimes& zone) {
    if (row.isFolderRow()) return;
    created = zone.toText(row.origCreated);
    modified = zone.toText(row.origModified);
    accessed = zone.toText(row.origAccessed);
  }
  TimeConvert::Text created;
  TimeConvert::Text modified;
  TimeConvert::Text accessed;
};

// The rows of the undo record and of the journal, as the texts of
// consecutive blocks of ParallelRange::RowBlock plan rows. Both take every row's disk
// names and listed times, which cost more than the encoding itself: they
// are made once for the two, and a big batch shares its blocks out to the
// cores. A text that could not be encoded leaves its flag false.
struct EncodedRows {
  std::vector<std::string> undo;
  std::vector<std::string> journal;
  bool undoEncoded = true;
  bool journalEncoded = true;
};

// The undo record takes every row; the journal the rows the checks left
// unmarked, with their temporary names when the run goes through them.
EncodedRows encodeRows(const PlanList& plan, const RunOptions& options, bool undo, bool journal) {
  const bool renames = plan.renameMode;
  const bool force = renames && options.force;
  constexpr std::size_t kBlock = ParallelRange::RowBlock;
  const std::size_t blocks = (plan.rows.size() + kBlock - 1) / kBlock;
  EncodedRows out;
  if (!undo && !journal) return out;
  out.undo.resize(undo ? blocks : 0);
  out.journal.resize(journal ? blocks : 0);
  std::vector<char> undoFailed(blocks, 0);
  std::vector<char> journalFailed(blocks, 0);
  ParallelRange::forRows(plan.rows.size(), [&](std::size_t begin, std::size_t end) {
    const std::size_t block = begin / kBlock;
    LocalTimes zone;
    for (std::size_t i = begin; i < end; ++i) {
      const PlanRow& row = plan.rows[i];
      const bool journaled = journal && row.mark == MarkNone;
      if (!undo && !journaled) continue;
      const std::string oldName = TextCodec::toDisk(row.oldName);
      const std::string newName = TextCodec::toDisk(row.newName);
      const bool isFile = !row.isFolderRow();
      const ListedTimes times(row, zone);
      if (undo && !undoFailed[block]) {
        UndoFile::RecordView record;
        record.newName = newName;
        record.oldName = oldName;
        record.isFile = isFile;
        std::string attrs;
        if (isFile) {
          attrs = AttributeText::fromBits(row.origAttrs);
          record.created = times.created.view();
          record.modified = times.modified.view();
          record.accessed = times.accessed.view();
          record.attrs = attrs;
        }
        if (!UndoFile::add(out.undo[block], record)) undoFailed[block] = 1;
      }
      if (journaled && !journalFailed[block]) {
        const std::string tempName =
            force ? TextCodec::toDisk(options.temporaryName(row.oldName)) : std::string();
        JournalFile::FolderRowView view;
        view.oldName = oldName;
        view.tempName = tempName;
        view.newName = renames ? std::string_view(newName) : std::string_view(oldName);
        view.isFile = isFile;
        if (isFile) {
          view.created = times.created.view();
          view.modified = times.modified.view();
          view.accessed = times.accessed.view();
          view.attributes = row.origAttrs;
        }
        if (!JournalFile::addFolderRow(out.journal[block], force, view)) journalFailed[block] = 1;
      }
    }
  });
  for (std::size_t block = 0; block < blocks; ++block) {
    if (undoFailed[block]) out.undoEncoded = false;
    if (journalFailed[block]) out.journalEncoded = false;
  }
  return out;
}

// A creation time other than the listed one is the user's; the listed one
// only carries over (to a copy, back to a file by undo).
bool newCreationTime(const PlanRow& row) { return row.created != TimeConvert::toText(row.origCreated); }

// R, S, H and A that the row sets and its listed attributes lack: the
// user's changes, which a medium without somewhere to keep them refuses.
std::uint32_t newBits(const PlanRow& row) {
  return AttributeText::toBits(row.attrs) & ~row.origAttrs &
         (AttrReadOnly | AttrSystem | AttrHidden | AttrArchive);
}

}  // namespace

FolderPlanRun::FolderPlanRun(FileSystem& fs, const ExecutionSettings& settings,
                             std::string undoPath, DummyWriter* dummy)
    : fs_(fs),
      settings_(settings),
      undoPath_(std::move(undoPath)),
      dummy_(dummy),
      journal_(fs, RunJournal::pathBeside(undoPath_)) {}

std::string FolderPlanRun::unheldChanges(const PlanList& plan, const std::string& target,
                                         const MediumTraits& medium) {
  bool created = false;
  bool accessed = false;
  std::uint32_t bits = 0;
  for (const PlanRow& row : plan.rows) {
    if (row.mark != MarkNone || row.isFolderRow()) continue;
    created = created || (plan.isChanged(PlanList::ColCreated) && newCreationTime(row));
    accessed = accessed || (plan.isChanged(PlanList::ColAccessed) &&
                            row.accessed != TimeConvert::toText(row.origAccessed));
    if (plan.isChanged(PlanList::ColAttrs)) bits |= newBits(row);
  }
  created = created && !medium.creationTime;
  accessed = accessed && medium.accessedStep == 0;
  if (medium.dosAttributes) bits &= AttrReadOnly;
  if (medium.readOnly) bits &= ~std::uint32_t{AttrReadOnly};
  if (!created && !accessed && !bits) return {};
  std::string what;
  auto add = [&](bool asked, const char* name) {
    if (!asked) return;
    if (!what.empty()) what += "・";
    what += name;
  };
  add(created, "ファイル作成日時");
  add(accessed, "最終アクセス日時");
  add(bits & AttrSystem, "システム属性");
  add(bits & AttrHidden, "隠し属性");
  add(bits & AttrArchive, "アーカイブ属性");
  add(bits & AttrReadOnly, "書き込み禁止属性");
  return DisplayText::fromDisk(target.size() > 1 ? target.substr(0, target.size() - 1) : target) +
         "\nこのディレクトリのファイルシステムには\n" + what + "を保存できません\n処理を中止します";
}

bool FolderPlanRun::copyRows(PlanList& plan, const RunOptions& options, const std::string& target,
                             RunResult& result, std::vector<std::string>& skipped) {
  const std::string source = withSlash(plan.folder);
  const std::size_t rows = plan.rows.size();
  result.code = -1;
  if (!options.dummy) {
    for (std::size_t i = 0; i < rows; ++i) {
      PlanRow& row = plan.rows[i];
      if (row.mark != MarkNone || row.isFolderRow()) continue;
      const std::error_code ec =
          fs_.copyFile(source + TextCodec::toDisk(row.oldName), target + TextCodec::toDisk(row.newName));
      if (!ec) {
        row.outcome = RowOutcome::CopyLeft;
        continue;
      }
      row.mark = MarkFailed;
      result.rowErrors.push_back({i, DisplayText::fromCp932(row.oldName), ErrorText::of(ec)});
      // A name taken since the check is one more collision: a run that
      // ignores collisions skips the row as it skips the marked ones.
      if (options.ignoreErrors && ec == std::errc::file_exists) {
        skipped.push_back(row.newName);
        continue;
      }
      return false;
    }
    result.code = 0;
    return true;
  }
  if (!dummy_) return false;
  if (writeDummies(plan, source, target, result)) {
    for (PlanRow& row : plan.rows)
      if (row.mark == MarkNone && !row.isFolderRow()) row.outcome = RowOutcome::CopyLeft;
    result.code = 0;
    return true;
  }
  // The rows before the failed one were written by this run: their dummies
  // go, so that a failed run leaves the copy folder as it found it.
  std::size_t i = 0;
  for (; i < rows && plan.rows[i].mark != MarkFailed; ++i) {
    PlanRow& row = plan.rows[i];
    if (row.mark != MarkNone || row.isFolderRow()) continue;
    row.outcome = fs_.remove(target + TextCodec::toDisk(row.newName)) ? RowOutcome::CopyLeft
                                                                       : RowOutcome::RolledBack;
  }
  if (i < rows)
    result.rowErrors.push_back({i, DisplayText::fromCp932(plan.rows[i].oldName), dummy_->lastError()});
  std::erase_if(result.rowNotes, [&](const RunResult::RowError& note) {
    return plan.rows[note.row].outcome != RowOutcome::CopyLeft;
  });
  return false;
}

bool FolderPlanRun::writeDummies(PlanList& plan, const std::string& source, const std::string& target,
                                 RunResult& result) {
  const std::size_t rows = plan.rows.size();
  auto writeRange = [&](DummyWriter::Page page, std::size_t first, std::size_t end) {
    return page == DummyWriter::Page::Excerpt ? dummy_->writeExcerpt(source, target, plan, first, end)
                                              : dummy_->writeContent(source, target, plan, first, end);
  };
  if (dummy_->page() != DummyWriter::Page::FromArchive) return writeRange(dummy_->page(), 0, rows);
  for (std::size_t i = 0; i < rows; ++i) {
    if (plan.rows[i].mark != MarkNone || plan.rows[i].isFolderRow()) continue;
    if (dummy_->writeFromArchive(source, target, plan, i)) continue;
    if (plan.rows[i].mark == MarkFailed) return false;
    std::string why = dummy_->fallbackReason();
    if (!writeRange(dummy_->fallback(), i, i + 1)) return false;
    if (!why.empty())
      result.rowNotes.push_back({i, DisplayText::fromCp932(plan.rows[i].oldName), std::move(why)});
  }
  return true;
}

bool FolderPlanRun::prepareUndo(const PlanList& plan, std::vector<std::string>& rows, bool encoded,
                                RunResult& result) {
  undoTemp_.clear();
  undoFile_.reset();
  // The run of a reverse plan records nothing: it takes the record it
  // reverses out of the history, which then offers the batch before.
  if (plan.reverses) return mayChangeHistory(result);
  std::string head;
  encoded = encoded && UndoFile::start(head, withSlash(plan.folder), plan.rows.size());
  // The record is written under a temporary name before anything changes
  // and only put in place once the run succeeded, so that an older record
  // never stays to look like this run's. Until then the older record is
  // left alone: a failed run is rolled back and leaves it valid.
  if (encoded) {
    std::string temp;
    std::unique_ptr<OutputFile> file;
    if (!fs_.createReplacement(undoPath_, temp, file)) {
      std::error_code ec = file->write(head.data(), head.size());
      // Each block goes as soon as it is written: a batch of a million rows
      // never holds its record twice.
      for (std::string& block : rows) {
        if (!ec) ec = file->write(block.data(), block.size());
        std::string().swap(block);
      }
      // Made complete on the disk by commitUndo, before the renames of the
      // history move it: one sync after the run's renames costs less than
      // one before them and one after.
      if (!ec) {
        undoTemp_ = std::move(temp);
        undoFile_ = std::move(file);
        return true;
      }
      file->close();
      fs_.remove(temp);
    }
  }
  // Without a new record a successful run removes the latest one.
  return mayChangeHistory(result);
}

bool FolderPlanRun::mayChangeHistory(RunResult& result) {
  // When the folder does not let the latest record be moved or removed,
  // the run is refused here, before anything changes.
  FileInfo info;
  if (fs_.stat(undoPath_, info) || fs_.isWritableFolder(folderOf(undoPath_))) return true;
  result.refusal = "UNDO情報を更新できないため処理を中止します";
  return false;
}

void FolderPlanRun::commitUndo(const PlanList& plan, RunResult& result) {
  std::string temp = std::move(undoTemp_);
  undoTemp_.clear();
  if (undoFile_) {
    std::error_code ec = undoFile_->sync();
    const std::error_code closed = undoFile_->close();
    undoFile_.reset();
    if (ec || closed) {
      fs_.remove(temp);
      temp.clear();
    }
  }
  // Only an earlier record is moved or removed: a file that took the
  // record's name without being one stays, and the history is left alone.
  if (!OwnFiles::mayReplaceUndoRecord(fs_, undoPath_)) {
    if (!temp.empty()) fs_.remove(temp);
    result.undoWarning = std::string(kUndoNotWritten) + "\n" + DisplayText::fromDisk(undoPath_) +
                         ": UNDO情報ではないファイルがあるため残します";
    return;
  }
  UndoHistory history(fs_, undoPath_);
  if (plan.reverses) {
    switch (history.setLatestAside(*plan.reverses)) {
      case UndoHistory::SetAside::Done: return;
      case UndoHistory::SetAside::Changed:
        result.undoWarning = "UNDO情報がほかの処理で更新されているため\nUNDO情報はそのまま残します";
        return;
      case UndoHistory::SetAside::Failed: break;
    }
    result.undoWarning = "UNDO情報を更新できませんでした\nUNDOは使用しないでください";
    return;
  }
  if (!temp.empty()) {
    if (!history.push(temp)) return;
    fs_.remove(temp);
  }
  result.undoWarning = kUndoNotWritten;
  FileInfo info;
  if (!fs_.stat(undoPath_, info) && history.dropLatest())
    result.undoWarning += "\n以前のUNDO情報を削除できませんでした\nUNDOは使用しないでください";
}

void FolderPlanRun::dropPreparedUndo() {
  if (undoFile_) {
    undoFile_->close();
    undoFile_.reset();
  }
  if (undoTemp_.empty()) return;
  fs_.remove(undoTemp_);
  undoTemp_.clear();
}

bool FolderPlanRun::beginJournal(const PlanList& plan, const RunOptions& options,
                                 const std::vector<std::string>& rows, bool encoded,
                                 RunResult& result) {
  const bool force = plan.renameMode && options.force;
  std::size_t count = 0;
  for (const PlanRow& row : plan.rows) count += row.mark == MarkNone ? 1 : 0;
  std::string head;
  std::optional<std::vector<std::string_view>> header;
  if (encoded && JournalFile::startFolder(head, withSlash(plan.folder), force && count > 0, count)) {
    header.emplace();
    header->reserve(rows.size() + 1);
    header->push_back(head);
    for (const std::string& block : rows) header->push_back(block);
  }
  const std::error_code ec = journal_.beginEncoded(header);
  if (!ec) return true;
  result.refusal = ec == std::errc::file_exists ? kJournalPending : kJournalNotWritten;
  return false;
}

RunResult FolderPlanRun::execute(PlanList& plan, RunOptions& options) {
  RunResult result;
  const std::size_t rows = plan.rows.size();
  const std::string source = withSlash(plan.folder);
  std::string target = source;
  int flags = 0;
  int sign = 1;
  const bool copy = plan.renameMode && options.copy;
  const bool inPlace = plan.renameMode && !options.copy;
  for (PlanRow& row : plan.rows) row.outcome = RowOutcome::NotRun;

  // A failure with a positive code is rolled back by rollBack, which ends
  // the journal; any other leaves nothing to put back. The row is named by
  // the name it had before the run.
  auto fail = [&](std::size_t i, int code, const std::string& reason) {
    PlanRow& row = plan.rows[i];
    row.mark = MarkFailed;
    const bool tempNamed = inPlace && options.force && (flags & RunResult::FlagRename);
    const std::size_t cut = tempNamed ? std::min(options.marker.size(), row.oldName.size()) : 0;
    result.rowErrors.push_back({i, DisplayText::fromCp932(row.oldName.substr(cut)), reason});
    result.code = code;
    result.failed = true;
    dropPreparedUndo();
    if (code <= 0) journal_.finish();
    return result;
  };
  // Each stage is journaled before its first operation. When that cannot
  // be recorded, the run fails at the stage's first row.
  std::error_code journalError;
  auto unrecorded = [&](JournalStage stage) -> std::optional<std::size_t> {
    if (!journal_.active() || !(journalError = journal_.startStage(stage))) return std::nullopt;
    for (std::size_t i = 0; i < rows; ++i)
      if (plan.rows[i].mark == MarkNone) return i;
    return std::size_t{0};
  };
  auto journalReason = [&] { return ErrorText::withReason(kJournalNotWritten, journalError); };

  if (copy) target = options.copyPath.empty() ? source : withSlash(TextCodec::toDisk(options.copyPath));
  MetadataWriter writer(fs_, fs_.medium(target));
  result.refusal = unheldChanges(plan, target, writer.medium());
  if (!result.refusal.empty()) {
    result.failed = true;
    return result;
  }

  EncodedRows encoded = encodeRows(plan, options, inPlace && !plan.reverses, !copy);
  if (inPlace && !prepareUndo(plan, encoded.undo, encoded.undoEncoded, result)) {
    result.failed = true;
    return result;
  }
  const bool journaled = copy || beginJournal(plan, options, encoded.journal, encoded.journalEncoded, result);
  encoded = EncodedRows();
  if (!journaled) {
    dropPreparedUndo();
    result.failed = true;
    return result;
  }
  // With this run's journal in place no other run is under way: what a
  // killed one left beside it can go.
  if (journal_.active()) OwnFiles::removeLeftovers(fs_, folderOf(undoPath_), undoTemp_);

  if (copy) {
    sign = -1;
    plan.markChanged(PlanList::ColCreated);
    std::vector<std::string> skipped;
    if (!copyRows(plan, options, target, result, skipped)) {
      result.failed = true;
      return result;
    }
    result.skipWarning = skippedText(skipped);
  } else if (inPlace) {
    const std::unique_ptr<FolderHandle> folder = fs_.folderHandle(source);
    if (options.force) {
      if (const auto first = unrecorded(JournalStage::TempNames))
        return fail(*first, static_cast<int>(10 * *first), journalReason());
      for (std::size_t i = 0; i < rows; ++i) {
        PlanRow& row = plan.rows[i];
        if (row.mark != MarkNone) continue;
        std::string temporary = options.temporaryName(row.oldName);
        if (const std::error_code ec = folder->rename(TextCodec::toDisk(row.oldName), TextCodec::toDisk(temporary)))
          return fail(i, static_cast<int>(10 * i), ErrorText::of(ec));
        row.oldName = std::move(temporary);
        journal_.rowsDone(JournalStage::TempNames, i + 1);
      }
    }
    flags = RunResult::FlagRename;
    if (const auto first = unrecorded(JournalStage::Renames))
      return fail(*first, static_cast<int>(10 * *first) + flags, journalReason());
    for (std::size_t i = 0; i < rows; ++i) {
      const PlanRow& row = plan.rows[i];
      if (row.mark != MarkNone) continue;
      const std::string from = TextCodec::toDisk(row.oldName);
      const std::string to = TextCodec::toDisk(row.newName);
      const std::error_code ec = from != to ? folder->rename(from, to) : std::error_code();
      if (ec) return fail(i, static_cast<int>(10 * i) + flags, ErrorText::of(ec));
      journal_.rowsDone(JournalStage::Renames, i + 1);
    }
  }

  if (plan.anyTimeChanged()) {
    flags |= RunResult::FlagTimes;
    if (const auto first = unrecorded(JournalStage::Times))
      return fail(*first, (static_cast<int>(10 * *first) + flags) * sign, journalReason());
    for (std::size_t i = 0; i < rows; ++i) {
      const PlanRow& row = plan.rows[i];
      if (row.mark != MarkNone || row.isFolderRow()) continue;
      if (const std::error_code ec =
              writer.writeTimeTexts(target + TextCodec::toDisk(row.newName), row.created,
                                    row.modified, row.accessed, !newCreationTime(row)))
        return fail(i, (static_cast<int>(10 * i) + flags) * sign, ErrorText::of(ec));
      journal_.rowsDone(JournalStage::Times, i + 1);
    }
  }
  if (plan.isChanged(PlanList::ColAttrs)) {
    flags |= RunResult::FlagAttributes;
    if (const auto first = unrecorded(JournalStage::Attributes))
      return fail(*first, (static_cast<int>(10 * *first) + flags) * sign, journalReason());
    for (std::size_t i = 0; i < rows; ++i) {
      const PlanRow& row = plan.rows[i];
      if (row.mark != MarkNone || row.isFolderRow()) continue;
      const std::string path = target + TextCodec::toDisk(row.newName);
      const std::uint32_t bits = AttributeText::toBits(row.attrs);
      if (const std::error_code ec = writer.writeAttributes(path, bits, !newBits(row), row.origAttrs))
        return fail(i, (static_cast<int>(10 * i) + flags) * sign, ErrorText::of(ec));
      journal_.rowsDone(JournalStage::Attributes, i + 1);
    }
  }

  if (inPlace) commitUndo(plan, result);
  const bool finished = !journal_.finish();
  // While the journal is there, a recovery of this run puts the record it
  // reversed back in the history.
  if (finished && inPlace && plan.reverses) UndoHistory(fs_, undoPath_).dropSetAside();

  result.folder = target.size() > 1 ? target.substr(0, target.size() - 1) : target;
  result.processedNames.reserve(rows);
  for (const auto& row : plan.rows)
    if (row.mark == MarkNone) result.processedNames.push_back(TextCodec::toDisk(row.newName));
  if (settings_.chkForce) {
    options.force = false;
    result.clearForce = true;
  }
  return result;
}

std::vector<std::string> FolderPlanRun::rollBack(PlanList& plan, const RunOptions& options, int flags,
                                                 int last) {
  const std::string source = withSlash(plan.folder);
  const int lastRow = static_cast<int>(plan.rows.size()) - 1;
  auto path = [&](const std::string& name) { return source + TextCodec::toDisk(name); };
  const std::unique_ptr<FolderHandle> folder = fs_.folderHandle(source);
  // The rows that could not be put back, with the name each file has now.
  std::map<int, std::string> left;
  // One step of the row ended, `named` being the file's name after it.
  auto note = [&](int i, bool back, const std::string& named) {
    PlanRow& row = plan.rows[i];
    const auto it = left.find(i);
    if (it != left.end()) {
      it->second = TextCodec::toDisk(named);
    } else if (!back) {
      left.emplace(i, TextCodec::toDisk(named));
    }
    row.outcome = back && it == left.end() ? RowOutcome::RolledBack : RowOutcome::NotRolledBack;
  };
  MetadataWriter writer(fs_, fs_.medium(source));

  if (flags & RunResult::FlagAttributes) {
    for (int i = last; i >= 0; --i) {
      const PlanRow& row = plan.rows[i];
      if (!tookPart(row) || row.isFolderRow()) continue;
      note(i, !writer.writeAttributes(path(row.newName), row.origAttrs, true, row.origAttrs),
           row.newName);
    }
    last = lastRow;
  }
  if (flags & RunResult::FlagTimes) {
    for (int i = last; i >= 0; --i) {
      const PlanRow& row = plan.rows[i];
      if (!tookPart(row) || row.isFolderRow()) continue;
      note(i,
           !writer.writeTimeTexts(path(row.newName), TimeConvert::toText(row.origCreated),
                                  TimeConvert::toText(row.origModified),
                                  TimeConvert::toText(row.origAccessed), true),
           row.newName);
    }
    last = lastRow;
  }
  if (flags & RunResult::FlagRename) {
    for (int i = last; i >= 0; --i) {
      const PlanRow& row = plan.rows[i];
      if (!tookPart(row)) continue;
      const std::string from = TextCodec::toDisk(row.newName);
      const std::string to = TextCodec::toDisk(row.oldName);
      if (from == to) continue;
      const bool back = !folder->rename(from, to);
      note(i, back, back ? row.oldName : row.newName);
    }
    last = lastRow;
  }
  // Only a run that moved its rows to temporary names has them to move
  // back; a plan without renaming never did, whatever the force box says.
  if (plan.renameMode && !options.copy && options.force) {
    const std::size_t cut = options.marker.size();
    for (int i = last; i >= 0; --i) {
      PlanRow& row = plan.rows[i];
      if (!tookPart(row) || row.oldName.size() < cut) continue;
      // A file still under its new name is not under the temporary one.
      if (const auto it = left.find(i); it != left.end() && it->second != TextCodec::toDisk(row.oldName))
        continue;
      std::string plain = row.oldName.substr(cut);
      const bool back = !folder->rename(TextCodec::toDisk(row.oldName), TextCodec::toDisk(plain));
      if (back) row.oldName = std::move(plain);
      note(i, back, row.oldName);
    }
  }
  std::vector<std::string> names;
  names.reserve(left.size());
  for (auto& [row, name] : left) names.push_back(std::move(name));
  // A row that could not be put back stays recorded for the recovery.
  if (names.empty())
    journal_.finish();
  else
    journal_.abandon();
  return names;
}

}  // namespace ritoma
