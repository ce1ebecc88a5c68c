#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "archive/ArcInfo.h"
#include "platform/FileSystem.h"

namespace ritoma {


// The archive state shared with the archive subsystem.
struct ArchiveState {
  int arcKind = ArcNone;
  std::string arcPath;        // current folder + archive name, empty when none is open
  std::string arcBackupPath;  // set by the archive rewrite
};

// A node of the folder tree below the chain.
struct TreeNode {
  std::string text;  // code page 932
  int image = 1;
};

// The folder tree as data: the chain from the root "/" down to the current
// folder, the current folder's subfolders and archive files (or the open
// archive), the current folder text and the archive state. Every open
// replaces all of it. Paths are code page 932 with "/" as the delimiter;
// a folder path ends with "/".
class FolderTree {
public:
  static constexpr int ImageChain = 0;
  static constexpr int ImageSubfolder = 1;
  static constexpr int ImageArchive = 2;
  static constexpr int ImageOpenArchive = 3;

  // Opens `folder` (or, with an archive name, that archive in `folder`).
  // Archive files of the folder become nodes only while their back end is
  // switched on. A folder that cannot be read leaves the chain built and
  // no children, and returns the error.
  std::error_code open(FileSystem& fs, std::string_view folder, std::string_view archiveName,
                       bool lzhLoaded, bool zipLoaded);
  // The same, handing back the folder's listing (empty for an archive or a
  // folder that cannot be read), so that the selection list is built from
  // the same read of the folder.
  std::error_code open(FileSystem& fs, std::string_view folder, std::string_view archiveName,
                       bool lzhLoaded, bool zipLoaded, std::vector<FileInfo>& listing);

  // Root "/" followed by each component of `folder`.
  static std::vector<std::string> chainFor(std::string_view folder);
  // The chain as a folder path with a trailing "/".
  static std::string folderOf(const std::vector<std::string>& chain, std::size_t levels);
  // The folder as the status bar shows it: without the trailing "/" unless
  // it is the root.
  static std::string statusText(std::string_view folder);
  // ArcLzh for ".lzh", ArcZip for ".zip" (letter case ignored), else ArcNone.
  static int arcKindFor(std::string_view archiveName);
  // Order of sibling nodes: the image number, then the text by the user's
  // collation, letter case counting only between otherwise equal texts.
  static bool nodeLess(const TreeNode& a, const TreeNode& b);

  const std::vector<std::string>& chain() const { return chain_; }
  const std::vector<TreeNode>& children() const { return children_; }
  const std::string& currentFolder() const { return currentFolder_; }
  std::string statusText() const { return statusText(currentFolder_); }
  const ArchiveState& archive() const { return archive_; }
  ArchiveState& archive() { return archive_; }
  bool archiveOpen() const { return !archive_.arcPath.empty(); }

  // Position of the current node over all nodes in display order, and the
  // number of nodes from it to the end of the tree.
  std::size_t currentNodePosition() const;
  std::size_t nodesFromCurrent() const;

  // What a double-click opens: a chain node (level 0 is the root) or a
  // child node.
  struct Target {
    std::string folder;
    std::string archiveName;
  };
  Target targetOfChainNode(std::size_t level) const;
  Target targetOfChild(std::size_t index) const;

private:
  std::vector<std::string> chain_;
  std::vector<TreeNode> children_;
  std::string currentFolder_ = "/";
  ArchiveState archive_;
};

}  // namespace ritoma
