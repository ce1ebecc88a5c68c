#include "selection/EditListBuilder.h"

#include <algorithm>
#include <string_view>

#include "platform/ParallelRange.h"
#include "platform/Prefault.h"

namespace ritoma {

std::string EditListBuilder::infoText(const FileEntry& entry) {
  const std::string_view second = entry.icon == FileEntry::IconFolder ? std::string_view("0") : entry.sizeText;
  std::string text;
  text.reserve(entry.modifiedText.size() + 1 + second.size());
  text.append(entry.modifiedText).append(1, ' ').append(second);
  return text;
}

void EditListBuilder::build(const std::vector<FileEntry>& selection, EditList& editList) {
  editList.clear();
  std::vector<std::size_t> checked;
  checked.reserve(selection.size());
  for (std::size_t i = 0; i < selection.size(); ++i)
    if (selection[i].checked) checked.push_back(i);
  Prefault::resize(editList.rows, checked.size());
  ParallelRange::forRows(checked.size(), [&](std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end; ++k) {
      const FileEntry& entry = selection[checked[k]];
      EditRow& row = editList.rows[k];
      row.infoText = infoText(entry);
      row.icon = entry.icon;
      row.isFolder = entry.icon == FileEntry::IconFolder;
      row.names.push_back(entry.fullName());
      row.storedAsCodePage = entry.storedAsCodePage;
      row.archiveIndex = entry.archiveIndex;
      row.kind = entry.kind;
    }
  });
  std::size_t longest = 0;
  for (const EditRow& row : editList.rows) {
    if (row.isFolder) ++editList.folderCount;
    longest = std::max(longest, row.infoText.size());
  }
  editList.sizeWidth = static_cast<int>(longest) - 20;
}

}  // namespace ritoma
