// The undo file: a file that reads is written back to the same log.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "execution/UndoFile.h"
#include "support/Require.h"

using namespace ritoma;
using ritoma::fuzz::require;

namespace {

bool sameRecord(const UndoRecord& a, const UndoRecord& b) {
  return a.newName == b.newName && a.oldName == b.oldName && a.isFile == b.isFile &&
         a.created == b.created && a.modified == b.modified && a.accessed == b.accessed &&
         a.attrs == b.attrs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  UndoLog log;
  const UndoFile::Status status = UndoFile::decode(bytes, log);
  if (status != UndoFile::Status::Ok) {
    require(log.folder.empty() && log.records.empty(), "a refused undo file gives no records");
    require((status == UndoFile::Status::Empty) == bytes.empty(), "only no bytes read as empty");
    return 0;
  }
  require(!log.folder.empty(), "a read undo log names its folder");
  const auto encoded = UndoFile::encode(log);
  require(encoded.has_value(), "a read undo log can be written");
  UndoLog again;
  require(UndoFile::decode(*encoded, again) == UndoFile::Status::Ok, "a written undo log reads");
  require(again.folder == log.folder && again.records.size() == log.records.size(),
          "a written undo log keeps its folder and record count");
  for (std::size_t i = 0; i < log.records.size(); ++i)
    require(sameRecord(again.records[i], log.records[i]), "a written undo log keeps every record");
  return 0;
}
