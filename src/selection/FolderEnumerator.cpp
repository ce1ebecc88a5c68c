#include "selection/FolderEnumerator.h"

#include <algorithm>
#include <functional>

#include "selection/NamePattern.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {
constexpr std::uint32_t kChosenBits = FilterReadOnly | FilterHidden | FilterSystem | FilterArchive;
}

bool FolderEnumerator::passesAttributes(std::uint32_t fileAttributes, std::uint32_t filter) {
  const std::uint32_t chosen = filter & kChosenBits;
  if ((fileAttributes & AttrHidden) && !(chosen & FilterHidden)) return false;
  if ((fileAttributes & AttrSystem) && !(chosen & FilterSystem)) return false;
  if (filter & FilterNormal) return true;
  return (fileAttributes & chosen) != 0;
}

std::vector<std::size_t> FolderEnumerator::select(const std::vector<FileInfo>& listing,
                                                  std::string_view patternText,
                                                  std::uint32_t attributes) {
  std::vector<std::size_t> passing;
  passing.reserve(listing.size());
  for (std::size_t i = 0; i < listing.size(); ++i)
    if (!listing[i].isFolder && passesAttributes(listing[i].attributes, attributes))
      passing.push_back(i);

  const std::vector<NamePattern> patterns = NamePattern::parseList(patternText);
  std::vector<std::string> names;  // converted only when some pattern needs them
  std::vector<std::size_t> result;
  for (const NamePattern& pattern : patterns) {
    if (pattern.matchesEverything()) {
      result.insert(result.end(), passing.begin(), passing.end());
      continue;
    }
    if (names.empty()) {
      names.reserve(passing.size());
      for (std::size_t i : passing) names.push_back(TextCodec::toInternal(listing[i].name));
    }
    for (std::size_t k = 0; k < passing.size(); ++k)
      if (pattern.matches(names[k])) result.push_back(passing[k]);
  }
  return result;
}

std::error_code FolderEnumerator::enumerateFolder(FileSystem& fs, std::string_view folder,
                                                  std::string_view patternText,
                                                  std::uint32_t attributes,
                                                  std::vector<FileInfo>& out) {
  out.clear();
  bool ok = false;
  const std::string path = diskPath(folder, ok);
  if (!ok) return std::make_error_code(std::errc::invalid_argument);
  std::vector<FileInfo> listing;
  if (auto ec = fs.listFolder(path, listing)) return ec;
  const std::vector<std::size_t> chosen = select(listing, patternText, attributes);
  // Entries each chosen once, in the listing's order (one pattern, the
  // usual case), move within the listing, which then becomes the result.
  if (std::adjacent_find(chosen.begin(), chosen.end(), std::greater_equal<>()) == chosen.end()) {
    for (std::size_t k = 0; k < chosen.size(); ++k)
      if (chosen[k] != k) listing[k] = std::move(listing[chosen[k]]);
    listing.resize(chosen.size());
    out = std::move(listing);
    return {};
  }
  out.reserve(chosen.size());
  // A file matched by two patterns is chosen twice: only its last use
  // takes the entry over.
  std::vector<std::uint32_t> uses(listing.size(), 0);
  for (std::size_t i : chosen) ++uses[i];
  for (std::size_t i : chosen) {
    if (--uses[i] == 0) out.push_back(std::move(listing[i]));
    else out.push_back(listing[i]);
  }
  return {};
}

std::string FolderEnumerator::diskPath(std::string_view folder, bool& ok) {
  ok = true;
  if (folder.empty()) return {};
  std::string path = TextCodec::toDisk(folder, &ok);
  if (!ok) path.clear();
  return path;
}

}  // namespace ritoma
