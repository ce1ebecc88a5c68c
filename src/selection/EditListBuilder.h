#pragma once

#include <string>
#include <vector>

#include "selection/EditList.h"
#include "selection/FileEntry.h"

namespace ritoma {

// "編集 >>": the checked selection rows, in list order, become the edit
// list; every stage column is dropped.
class EditListBuilder {
public:
  static void build(const std::vector<FileEntry>& selection, EditList& editList);
  // modifiedText + " " + sizeText; modifiedText + " 0" for a disk folder.
  static std::string infoText(const FileEntry& entry);
};

}  // namespace ritoma
