#include "archive/ArcRenameTable.h"

#include <limits>

#include "archive/ArchiveError.h"
#include "text/TextCodec.h"

namespace ritoma {

ArcRenameTable::ArcRenameTable(const std::vector<ArcRenameRow>& rows, std::size_t entries,
                               const std::string& archive)
    : rows_(rows), rowOf_(entries, -1), archive_(archive) {
  if (rows.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    throw ArchiveError(archive + ": 行が多すぎます");
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].entry >= entries)
      throw ArchiveError(archive + ": 一覧を取得した後に書庫が変更されています（" +
                         TextCodec::toUtf8(rows[r].oldName) + " がありません）");
    rowOf_[rows[r].entry] = static_cast<std::int32_t>(r);
  }
}

int ArcRenameTable::claim(std::size_t k, std::string_view listedName) const {
  const int row = rowOf_[k];
  if (row >= 0 && rows_[static_cast<std::size_t>(row)].oldName != listedName)
    throw ArchiveError(archive_ + ": 一覧を取得した後に書庫が変更されています（" +
                       TextCodec::toUtf8(rows_[static_cast<std::size_t>(row)].oldName) +
                       " の位置に " + TextCodec::toUtf8(listedName) + " があります）");
  return row;
}

}  // namespace ritoma
