#include "selection/FolderTree.h"

#include <algorithm>
#include <memory>

#include <unicode/coll.h>
#include <unicode/unistr.h>

#include "selection/FolderEnumerator.h"
#include "selection/NamePattern.h"
#include "text/CaseMap.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

// A link to a folder leads into that folder, as the tree's way there: the
// listing itself keeps it a link.
bool leadsToFolder(FileSystem& fs, const std::string& folder, const FileInfo& info) {
  if (info.kind != EntryKind::Link) return false;
  FileInfo target;
  const std::string path =
      folder.empty() || folder.back() == '/' ? folder + info.name : folder + "/" + info.name;
  return !fs.stat(path, target) && target.isFolder;
}

}  // namespace

std::vector<std::string> FolderTree::chainFor(std::string_view folder) {
  std::vector<std::string> chain{"/"};
  std::size_t start = 0;
  while (start < folder.size()) {
    std::size_t end = Cp932::find(folder, '/', start);
    if (end == Cp932::npos) end = folder.size();
    if (end > start) chain.emplace_back(folder.substr(start, end - start));
    start = end + 1;
  }
  return chain;
}

std::string FolderTree::folderOf(const std::vector<std::string>& chain, std::size_t levels) {
  std::string folder = "/";
  for (std::size_t i = 1; i < levels && i < chain.size(); ++i) folder += chain[i] + "/";
  return folder;
}

std::string FolderTree::statusText(std::string_view folder) {
  if (folder.size() > 1 && folder.back() == '/' && Cp932::isCharBoundary(folder, folder.size() - 1))
    folder.remove_suffix(1);
  return std::string(folder);
}

int FolderTree::arcKindFor(std::string_view archiveName) {
  const std::size_t dot = Cp932::extensionPos(archiveName);
  if (dot == Cp932::npos) return ArcNone;
  const std::string_view ext = archiveName.substr(dot);
  if (CaseMap::equalIgnoreCase(ext, ".lzh")) return ArcLzh;
  if (CaseMap::equalIgnoreCase(ext, ".zip")) return ArcZip;
  return ArcNone;
}

bool FolderTree::nodeLess(const TreeNode& a, const TreeNode& b) {
  if (a.image != b.image) return a.image < b.image;
  static const std::unique_ptr<icu::Collator> collator = [] {
    UErrorCode status = U_ZERO_ERROR;
    // The C and POSIX locales ask for code-point order; folder names are
    // shown in the ordinary (root) collation instead.
    icu::Locale locale = icu::Locale::getDefault();
    if (std::string_view(locale.getName()) == "en_US_POSIX") locale = icu::Locale::getRoot();
    std::unique_ptr<icu::Collator> c(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status)) c.reset();
    else c->setStrength(icu::Collator::TERTIARY);
    return c;
  }();
  if (collator) {
    const std::u16string ua = TextCodec::toDisplay(a.text), ub = TextCodec::toDisplay(b.text);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r =
        collator->compare(icu::UnicodeString(ua.data(), static_cast<int32_t>(ua.size())),
                          icu::UnicodeString(ub.data(), static_cast<int32_t>(ub.size())), status);
    if (U_SUCCESS(status) && r != UCOL_EQUAL) return r == UCOL_LESS;
  }
  const int folded = CaseMap::compareIgnoreCase(a.text, b.text);
  if (folded != 0) return folded < 0;
  return a.text < b.text;
}

std::error_code FolderTree::open(FileSystem& fs, std::string_view folder, std::string_view archiveName,
                                 bool lzhLoaded, bool zipLoaded) {
  std::vector<FileInfo> listing;
  return open(fs, folder, archiveName, lzhLoaded, zipLoaded, listing);
}

std::error_code FolderTree::open(FileSystem& fs, std::string_view folder, std::string_view archiveName,
                                 bool lzhLoaded, bool zipLoaded, std::vector<FileInfo>& listing) {
  listing.clear();
  chain_ = chainFor(folder);
  currentFolder_ = folderOf(chain_, chain_.size());
  children_.clear();
  archive_ = ArchiveState{};

  if (!archiveName.empty()) {
    archive_.arcKind = arcKindFor(archiveName);
    archive_.arcPath = currentFolder_ + std::string(archiveName);
    children_.push_back(TreeNode{std::string(archiveName), ImageOpenArchive});
    return {};
  }

  bool ok = false;
  const std::string path = FolderEnumerator::diskPath(currentFolder_, ok);
  if (!ok) return std::make_error_code(std::errc::invalid_argument);
  if (auto ec = fs.listFolder(path, listing)) return ec;
  const NamePattern lzh("*.lzh"), zip("*.zip");
  for (const FileInfo& info : listing) {
    if (info.isFolder || leadsToFolder(fs, path, info)) {
      children_.push_back(TreeNode{TextCodec::toInternal(info.name), ImageSubfolder});
      continue;
    }
    if (!lzhLoaded && !zipLoaded) continue;
    std::string name = TextCodec::toInternal(info.name);
    if ((lzhLoaded && lzh.matches(name)) || (zipLoaded && zip.matches(name)))
      children_.push_back(TreeNode{std::move(name), ImageArchive});
  }
  std::sort(children_.begin(), children_.end(), nodeLess);
  return {};
}

std::size_t FolderTree::currentNodePosition() const {
  return archive_.arcPath.empty() ? chain_.size() - 1 : chain_.size();
}

std::size_t FolderTree::nodesFromCurrent() const {
  return archive_.arcPath.empty() ? 1 + children_.size() : 1;
}

FolderTree::Target FolderTree::targetOfChainNode(std::size_t level) const {
  return Target{folderOf(chain_, level + 1), {}};
}

FolderTree::Target FolderTree::targetOfChild(std::size_t index) const {
  const TreeNode& node = children_.at(index);
  if (node.image == ImageArchive || node.image == ImageOpenArchive) return Target{currentFolder_, node.text};
  return Target{currentFolder_ + node.text + "/", {}};
}

}  // namespace ritoma
