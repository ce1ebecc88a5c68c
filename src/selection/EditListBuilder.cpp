#include "selection/EditListBuilder.h"

#include <algorithm>

namespace ritoma {

std::string EditListBuilder::infoText(const FileEntry& entry) {
  if (entry.icon == FileEntry::IconFolder) return entry.modifiedText + " 0";
  return entry.modifiedText + " " + entry.sizeText;
}

void EditListBuilder::build(const std::vector<FileEntry>& selection, EditList& editList) {
  editList.clear();
  editList.rows.reserve(static_cast<std::size_t>(
      std::count_if(selection.begin(), selection.end(), [](const FileEntry& e) { return e.checked; })));
  std::size_t longest = 0;
  for (const FileEntry& entry : selection) {
    if (!entry.checked) continue;
    EditRow row;
    row.infoText = infoText(entry);
    row.icon = entry.icon;
    row.isFolder = entry.icon == FileEntry::IconFolder;
    row.names.push_back(entry.fullName());
    row.storedAsCodePage = entry.storedAsCodePage;
    row.archiveIndex = entry.archiveIndex;
    row.kind = entry.kind;
    if (row.isFolder) ++editList.folderCount;
    if (row.infoText.size() > longest) longest = row.infoText.size();
    editList.rows.push_back(std::move(row));
  }
  editList.sizeWidth = static_cast<int>(longest) - 20;
}

}  // namespace ritoma
