#include "selection/SelectionList.h"

#include <algorithm>
#include <cstdint>

#include "selection/FolderEnumerator.h"
#include "selection/FolderTree.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

constexpr std::size_t kSizeKeyWidth = 50;

unsigned char foldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c; }

// Byte comparison with ASCII letters folded to upper case; a prefix sorts
// first. Trail bytes are never folded (ヒ is 83 71, not 83 51): up to the
// first difference both texts share their bytes, so one boundary state
// serves both.
int compareFolded(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  bool trail = false;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = static_cast<unsigned char>(a[i]);
    const unsigned char cb = static_cast<unsigned char>(b[i]);
    const unsigned char x = trail ? ca : foldAscii(ca);
    const unsigned char y = trail ? cb : foldAscii(cb);
    if (x != y) return x < y ? -1 : 1;
    trail = !trail && Cp932::isLeadByte(ca);
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The size text without "," and padded on the left with "0" to 50 characters.
std::string sizeKey(std::string_view sizeText) {
  std::string digits;
  digits.reserve(sizeText.size());
  for (char c : sizeText)
    if (c != ',') digits.push_back(c);
  if (digits.size() < kSizeKeyWidth) digits.insert(0, kSizeKeyWidth - digits.size(), '0');
  return digits;
}

std::string_view columnText(const FileEntry& e, int column) {
  switch (column) {
    case SelectionList::ColumnExtension: return e.extension;
    case SelectionList::ColumnSize: return e.sizeText;
    case SelectionList::ColumnDate: return e.modifiedText;
    default: return e.baseName;
  }
}

char kindChar(const FileEntry& e, bool descending) {
  const std::size_t i = descending ? 1 : 0;
  return i < e.kindCode.size() ? e.kindCode[i] : '\0';
}

int compareKeys(char kindA, std::string_view a, char kindB, std::string_view b) {
  const unsigned char ka = foldAscii(static_cast<unsigned char>(kindA));
  const unsigned char kb = foldAscii(static_cast<unsigned char>(kindB));
  if (ka != kb) return ka < kb ? -1 : 1;
  return compareFolded(a, b);
}

// The first 16 bytes of a key as compareFolded sees them (ASCII letters
// folded outside double-byte characters), zero-padded, packed big-endian.
// Keys whose prefixes differ compare as the prefixes do (the padding of a
// shorter key sorts first, as a prefix does); equal prefixes need the
// whole comparison.
struct FoldedPrefix {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  bool operator!=(const FoldedPrefix& o) const { return high != o.high || low != o.low; }
  bool operator<(const FoldedPrefix& o) const { return high != o.high ? high < o.high : low < o.low; }
};

FoldedPrefix foldedPrefix(std::string_view key) {
  FoldedPrefix prefix;
  bool trail = false;
  for (std::size_t i = 0; i < 16; ++i) {
    std::uint64_t byte = 0;
    if (i < key.size()) {
      const unsigned char c = static_cast<unsigned char>(key[i]);
      byte = trail ? c : foldAscii(c);
      trail = !trail && Cp932::isLeadByte(c);
    }
    std::uint64_t& half = i < 8 ? prefix.high : prefix.low;
    half = (half << 8) | byte;
  }
  return prefix;
}

const char* const kPlainCaptions[] = {"ﾌｧｲﾙ名  ", "拡張子  ", "サイズ  ", "更新日時  "};

}  // namespace

std::string SelectionList::plainCaption(int column) {
  if (column < ColumnName || column > ColumnDate) return {};
  return TextCodec::fromUtf8(kPlainCaptions[column - 1]);
}

std::string SelectionList::headerCaption(int column) const {
  std::string caption = plainCaption(column);
  if (!caption.empty() && sortState_ / 2 + 1 == column) caption.back() = (sortState_ % 2) ? '-' : '+';
  return caption;
}

int SelectionList::compare(const FileEntry& a, const FileEntry& b, int sortState) {
  const int column = sortState / 2 + 1;
  const bool descending = sortState % 2 != 0;
  int r;
  if (column == ColumnSize)
    r = compareKeys(kindChar(a, descending), sizeKey(a.sizeText), kindChar(b, descending), sizeKey(b.sizeText));
  else
    r = compareKeys(kindChar(a, descending), columnText(a, column), kindChar(b, descending),
                    columnText(b, column));
  return descending ? -r : r;
}

void SelectionList::sortRows(int sortState, ProgressSink* progress) {
  sortState_ = sortState;
  const int column = sortState / 2 + 1;
  const bool descending = sortState % 2 != 0;
  const std::size_t n = rows_.size();
  if (progress && !progress->isOpen()) progress = nullptr;

  // Keys are made once: views of the rows' texts, or for the size column
  // the padded digits in one shared buffer.
  std::vector<std::string_view> keys(n);
  std::vector<char> kinds(n);
  std::string sizeBuffer;
  if (column == ColumnSize) {
    std::vector<std::size_t> offsets(n + 1, 0);
    for (std::size_t i = 0; i < n; ++i) {
      std::string key = sizeKey(rows_[i].sizeText);
      offsets[i] = sizeBuffer.size();
      sizeBuffer += key;
    }
    offsets[n] = sizeBuffer.size();
    for (std::size_t i = 0; i < n; ++i)
      keys[i] = std::string_view(sizeBuffer).substr(offsets[i], offsets[i + 1] - offsets[i]);
  } else {
    for (std::size_t i = 0; i < n; ++i) keys[i] = columnText(rows_[i], column);
  }
  for (std::size_t i = 0; i < n; ++i) kinds[i] = kindChar(rows_[i], descending);

  // The first 16 folded bytes of each key, packed big-endian: two keys
  // whose prefixes differ compare as their prefixes do, so most
  // comparisons never leave this array.
  std::vector<FoldedPrefix> prefixes(n);
  for (std::size_t i = 0; i < n; ++i) prefixes[i] = foldedPrefix(keys[i]);

  std::vector<std::uint32_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = static_cast<std::uint32_t>(i);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) {
    int r;
    if (kinds[x] != kinds[y])
      r = compareKeys(kinds[x], keys[x], kinds[y], keys[y]);
    else if (prefixes[x] != prefixes[y])
      r = prefixes[x] < prefixes[y] ? -1 : 1;
    else
      r = compareFolded(keys[x], keys[y]);
    if (progress) progress->step();
    return descending ? r > 0 : r < 0;
  });

  // The rows move into their places along the cycles of the order, so
  // that the list is never held twice.
  for (std::size_t start = 0; start < n; ++start) {
    if (order[start] == start) continue;
    FileEntry held = std::move(rows_[start]);
    std::size_t at = start;
    while (order[at] != start) {
      const std::size_t from = order[at];
      rows_[at] = std::move(rows_[from]);
      order[at] = static_cast<std::uint32_t>(at);
      at = from;
    }
    rows_[at] = std::move(held);
    order[at] = static_cast<std::uint32_t>(at);
  }
}

void SelectionList::sortByColumn(int column, ProgressSink* progress) {
  if (column < ColumnName || column > ColumnDate) return;
  const int ascending = 2 * (column - 1);
  sortRows(sortState_ == ascending ? ascending + 1 : ascending, progress);
}

void SelectionList::clear() {
  rows_.clear();
  sortState_ = 0;
}

std::vector<FileEntry> SelectionList::takeRows() {
  std::vector<FileEntry> rows = std::move(rows_);
  clear();
  return rows;
}

void SelectionList::assign(std::vector<FileEntry> rows, ProgressSink* progress) {
  rows_ = std::move(rows);
  sortRows(0, progress);
}

std::error_code SelectionList::buildSelectionList(FileSystem& fs, const FolderSource& source,
                                               bool checkNewFiles, ProgressSink& progress,
                                               int greetThreshold) {
  clear();
  bool ok = false;
  const std::string path = FolderEnumerator::diskPath(source.folder, ok);
  if (!ok) return std::make_error_code(std::errc::invalid_argument);
  std::vector<FileInfo> listing;
  if (auto ec = fs.listFolder(path, listing)) return ec;
  buildSelectionList(source, std::move(listing), checkNewFiles, progress, greetThreshold);
  return {};
}

void SelectionList::buildSelectionList(const FolderSource& source, std::vector<FileInfo> listing,
                                       bool checkNewFiles, ProgressSink& progress, int greetThreshold) {
  clear();
  const std::vector<std::size_t> files = FolderEnumerator::select(listing, source.patternText, source.attributes);
  const bool withFolders = (source.attributes & FilterFolders) != 0;

  std::vector<std::size_t> folders;
  if (withFolders)
    for (std::size_t i = 0; i < listing.size(); ++i)
      if (listing[i].isFolder) folders.push_back(i);

  bool opened = false;
  if (greetThreshold > 0 && files.size() >= static_cast<std::size_t>(greetThreshold)) {
    std::size_t count = files.size();
    if (withFolders) count += source.treeNodesFromCurrent ? source.treeNodesFromCurrent : 1 + folders.size();
    progress.open("ファイル取得中…", static_cast<std::int64_t>(count) * 6);
    opened = true;
  }

  std::vector<FileEntry> rows;
  rows.reserve(folders.size() + files.size());
  if (withFolders) {
    std::vector<FileEntry> folderRows;
    folderRows.reserve(folders.size());
    for (std::size_t i : folders) folderRows.push_back(FileEntry::fromDisk(listing[i], false));
    // The tree's order of its folder nodes.
    std::stable_sort(folderRows.begin(), folderRows.end(), [](const FileEntry& a, const FileEntry& b) {
      return FolderTree::nodeLess(TreeNode{a.baseName, FolderTree::ImageSubfolder},
                                  TreeNode{b.baseName, FolderTree::ImageSubfolder});
    });
    for (FileEntry& row : folderRows) {
      rows.push_back(std::move(row));
      if (opened) progress.step();
    }
  }
  for (std::size_t i : files) {
    rows.push_back(FileEntry::fromDisk(listing[i], checkNewFiles));
    if (opened) progress.step();
  }
  listing = {};

  assign(std::move(rows), opened ? &progress : nullptr);
  if (opened) progress.close();
}

bool SelectionList::anyChecked() const {
  return std::any_of(rows_.begin(), rows_.end(), [](const FileEntry& e) { return e.checked; });
}

std::size_t SelectionList::checkedCount() const {
  return static_cast<std::size_t>(
      std::count_if(rows_.begin(), rows_.end(), [](const FileEntry& e) { return e.checked; }));
}

void SelectionList::setCheckedRows(const std::vector<std::size_t>& selected, bool checked) {
  for (std::size_t i : selected)
    if (i < rows_.size()) rows_[i].checked = checked;
}

void SelectionList::cycleChecks() {
  std::size_t folderRows = 0;
  while (folderRows < rows_.size() && rows_[folderRows].kindCode != "11") ++folderRows;
  const std::size_t fileRows = rows_.size() - folderRows;
  std::size_t foldersChecked = 0, filesChecked = 0;
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].checked) ++(i < folderRows ? foldersChecked : filesChecked);

  enum Group { None, Some, All };
  auto classify = [](std::size_t checked, std::size_t total) {
    return checked == 0 ? None : (checked == total ? All : Some);
  };
  const Group folders = classify(foldersChecked, folderRows);
  const Group files = classify(filesChecked, fileRows);

  bool checkFolders = false, checkFiles = false;  // mixed and "all files only" clear everything
  if (folders == None && files == None) {
    checkFolders = folderRows > 0;
    checkFiles = folderRows == 0;
  } else if (folders == All && files == None) {
    // With no file rows at all the folders are "everything": clear them so
    // that the cycle goes on instead of sticking at all checked.
    checkFolders = fileRows > 0;
    checkFiles = true;
  } else if (folders == All && files == All) {
    checkFiles = true;
  }
  for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i].checked = i < folderRows ? checkFolders : checkFiles;
}

std::vector<std::size_t> SelectionList::moveRows(std::vector<std::size_t> selected,
                                                 std::optional<std::size_t> target) {
  std::sort(selected.begin(), selected.end());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
  const std::size_t n = rows_.size();
  if (selected.empty() || !target || *target >= n) return {};
  const std::size_t t = *target, first = selected.front(), last = selected.back();
  if (last >= n || (first <= t && t <= last)) return {};

  // Moving the rows one by one (upwards each to t + (i − first), downwards
  // each to t − (last − i)) never disturbs the rows already placed, so the
  // final places are known at once and the rest keep their order.
  std::vector<std::size_t> newIndex(n, n);
  std::vector<bool> taken(n, false);
  for (std::size_t i : selected) {
    const std::size_t to = t < first ? t + (i - first) : t - (last - i);
    newIndex[i] = to;
    taken[to] = true;
  }
  std::size_t slot = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (newIndex[i] != n) continue;
    while (taken[slot]) ++slot;
    newIndex[i] = slot++;
  }
  std::vector<FileEntry> moved(n);
  for (std::size_t i = 0; i < n; ++i) moved[newIndex[i]] = std::move(rows_[i]);
  rows_.swap(moved);
  return newIndex;
}

}  // namespace ritoma
