// The crash journal: a journal that reads is written back to the same run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "execution/JournalFile.h"
#include "support/Require.h"

using namespace ritoma;
using ritoma::fuzz::require;

namespace {

bool sameRow(const JournalRow& a, const JournalRow& b) {
  return a.oldName == b.oldName && a.tempName == b.tempName && a.newName == b.newName &&
         a.isFile == b.isFile && a.created == b.created && a.modified == b.modified &&
         a.accessed == b.accessed && a.attributes == b.attributes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  JournalData journal;
  const JournalFile::Status status = JournalFile::decode(bytes, journal);
  if (status != JournalFile::Status::Ok) {
    require((status == JournalFile::Status::Empty) == bytes.empty(), "only no bytes read as empty");
    return 0;
  }
  const auto header = JournalFile::encode(journal);
  require(header.has_value(), "a read journal can be written");
  std::string written = *header;
  for (const JournalStage stage : {JournalStage::TempNames, JournalStage::Renames,
                                   JournalStage::Times, JournalStage::Attributes}) {
    if (!journal.stageStarted(stage)) continue;
    written += JournalFile::stageRecord(stage);
    const std::uint32_t done = journal.done[static_cast<std::size_t>(stage)];
    if (done) written += JournalFile::progressRecord(stage, done);
  }
  JournalData again;
  require(JournalFile::decode(written, again) == JournalFile::Status::Ok, "a written journal reads");
  require(again.archive == journal.archive && again.folder == journal.folder &&
              again.archivePath == journal.archivePath && again.backupPath == journal.backupPath &&
              again.rows.size() == journal.rows.size() && again.started == journal.started &&
              again.done == journal.done,
          "a written journal keeps its run and progress");
  for (std::size_t i = 0; i < journal.rows.size(); ++i)
    require(sameRow(again.rows[i], journal.rows[i]), "a written journal keeps every row");
  return 0;
}
