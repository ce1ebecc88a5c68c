#include "execution/NameCheck.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "execution/OwnFiles.h"
#include "execution/RowIndex.h"
#include "platform/ParallelRange.h"
#include "selection/FileEntry.h"
#include "text/CaseMap.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

namespace {

// Single-byte characters that no name may hold, in the order of the error text.
constexpr char kForbidden[] = {':', '*', '?', '"', '<', '>', '|'};

// The error text of forbidden characters, built over single-byte
// characters only: a trail byte equal to "\" or "|" is part of its
// double-byte character.
std::string forbiddenText(const std::string& name, bool folderMode) {
  bool seen[256] = {};
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t len = Cp932::charLength(name, pos);
    if (len == 1) seen[static_cast<unsigned char>(name[pos])] = true;
    pos += len;
  }
  std::string text;
  if (folderMode) {
    if (seen[static_cast<unsigned char>('\\')]) text += "\\ ";
    if (seen[static_cast<unsigned char>('/')]) text += "/ ";
  }
  for (char c : kForbidden)
    if (seen[static_cast<unsigned char>(c)]) (text += c) += ' ';
  return text;
}

// The error text of the first character of `name` that a code-page-932
// header cannot store (a stand-in pair without a code there), or an empty
// text.
std::string missingCodeText(const std::string& name) {
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t len = Cp932::charLength(name, pos);
    const std::string_view ch = std::string_view(name).substr(pos, len);
    pos += len;
    if (len != 4) continue;
    bool ok = true;
    TextCodec::toCodePage(ch, &ok);
    if (ok) continue;
    if (TextCodec::standInChar(ch) != TextCodec::kNoChar)
      return TextCodec::fromUtf8("「") + std::string(ch) +
             TextCodec::fromUtf8("」はｼﾌﾄJISにない文字のため書庫のﾌｧｲﾙ名に使用できません。");
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(TextCodec::toDisk(ch).at(0));
    return TextCodec::fromUtf8("UTF-8 として無効なﾊﾞｲﾄ 0x") + kHex[byte >> 4] + kHex[byte & 0xF] +
           TextCodec::fromUtf8(" は書庫のﾌｧｲﾙ名に使用できません。");
  }
  return {};
}

// True when a "/", or a "\" that is a character of its own (a trail byte
// 0x5C, as in 表 or ソ, belongs to its double-byte character), is at `pos`.
bool isSeparatorAt(std::string_view path, std::size_t pos) {
  return path[pos] == '/' || (path[pos] == '\\' && Cp932::isCharBoundary(path, pos));
}

// The ends of the components of `path`: every separator, then the end.
std::vector<std::size_t> componentEnds(std::string_view path) {
  std::vector<std::size_t> ends;
  for (std::size_t pos = 0; pos < path.size(); pos += Cp932::charLength(path, pos))
    if (path[pos] == '/' || path[pos] == '\\') ends.push_back(pos);
  ends.push_back(path.size());
  return ends;
}

// What an extracting tool would take for another place than a file of the
// archive: a path that starts at the root, ends in a separator (a folder),
// has an empty component, or climbs with "." or "..". "/" and "\" both
// separate, as LZH stores either and unzip takes "\" from DOS archives.
// A directory entry keeps the separator that ends it.
std::string archivePathText(std::string_view path, bool directoryEntry) {
  if (isSeparatorAt(path, 0)) return TextCodec::fromUtf8("絶対ﾊﾟｽは書庫のﾌｧｲﾙ名に使用できません。");
  const bool endsInSeparator = isSeparatorAt(path, path.size() - 1);
  if (directoryEntry != endsInSeparator) {
    return TextCodec::fromUtf8(directoryEntry ? "ﾌｫﾙﾀﾞの名前は \\ か / で終わる必要があります。"
                                              : "ﾌｧｲﾙ名が \\ か / で終わっています。");
  }
  if (endsInSeparator) path.remove_suffix(1);
  std::size_t start = 0;
  for (std::size_t end : componentEnds(path)) {
    const std::string_view component = path.substr(start, end - start);
    if (component.empty()) return TextCodec::fromUtf8("ﾊﾟｽに空のﾌｫﾙﾀﾞ名があります。");
    if (component == "." || component == "..")
      return TextCodec::fromUtf8("「.」と「..」はﾊﾟｽに使用できません。");
    start = end + 1;
  }
  return {};
}

// What the file system or the archive header would refuse, or an empty text.
std::string unusableText(const std::string& name, bool folderMode, bool storedAsCodePage,
                         bool directoryEntry) {
  // Made only for a row that fails: a batch checks every name.
  auto badChar = [] { return TextCodec::fromUtf8("ﾌｧｲﾙ名に使用できない文字があります。"); };
  if (!Cp932::isWellFormed(name) || name.find('\0') != std::string::npos) return badChar();
  if (name.empty()) return TextCodec::fromUtf8("ﾌｧｲﾙ名が空です。");
  bool ok = true;
  if (!folderMode) {
    const std::string pathText = archivePathText(name, directoryEntry);
    if (!pathText.empty()) return pathText;
    // A code-page-932 header stores real code-page-932 bytes, a UTF-8
    // header the name converted as on disk.
    if (storedAsCodePage) return missingCodeText(name);
    TextCodec::toDisk(name, &ok);
    return ok ? std::string() : badChar();
  }
  const std::string disk = TextCodec::toDisk(name, &ok);
  if (!ok) return badChar();
  if (name == "." || name == "..") return TextCodec::fromUtf8("ﾌｧｲﾙ名として使用できません。");
  if (disk.size() > NameCheck::MaxDiskNameBytes) return TextCodec::fromUtf8("ﾌｧｲﾙ名が長すぎます。");
  return {};
}

}  // namespace

std::string NameCheck::nameError(const std::string& name, bool folderMode) {
  std::string text = forbiddenText(name, folderMode);
  if (!text.empty()) text += TextCodec::fromUtf8("は使用禁止文字です。");
  return text + unusableText(name, folderMode, false, false);
}

std::string NameCheck::Result::caption() const {
  return TextCodec::fromUtf8("ﾁｪｯｸ … ｴﾗｰ") + std::to_string(errorCount) + TextCodec::fromUtf8("件");
}

namespace {

// The check of `rows` names: `nameAt(i)` is the name of row i,
// `storedAsCodePage(i)` whether it goes into a code-page-932 header.
template <class NameAt, class StoredAt, class DirectoryAt>
NameCheck::Result checkNames(std::size_t rows, NameAt&& nameAt, StoredAt&& storedAsCodePage,
                             DirectoryAt&& directoryEntry, bool folderMode, ProgressSink& progress,
                             int greet3, bool lzhPaths) {
  NameCheck::Result result;
  for (std::size_t i = 0; i < rows; ++i) {
    if (nameAt(i).size() > NameCheck::MaxNameBytes) {
      result.refusal = "ファイル名が" + std::to_string(NameCheck::MaxNameBytes) +
                       "バイトを超えるため処理できません\n処理を中止します";
      return result;
    }
  }

  const bool showProgress = greet3 > 0 && rows >= static_cast<std::size_t>(greet3);
  if (showProgress) progress.open("リネームチェック中…", static_cast<std::int64_t>(2 * rows));

  const std::string forbiddenSuffix = TextCodec::fromUtf8("は使用禁止文字です。");
  result.errors.assign(rows, {});
  // A row is a duplicate when any other row has the same name without
  // regard to case (nor to the separator, in LZH paths): both rows of a
  // pair are reported. The table counts the rows of each key; each row
  // remembers the slot of its key. The texts and the keys' hashes of a big
  // batch are made on every core, a stretch at a time with the progress
  // told between; the table is filled on this thread.
  auto keyOf = [&](std::size_t i) {
    if (lzhPaths) return CaseMap::foldKey(Cp932::unifySeparators(nameAt(i)));
    return CaseMap::foldKey(nameAt(i));
  };
  std::vector<std::uint64_t> hashes(rows);
  std::vector<std::uint8_t> findings(rows, 0);
  ParallelRange::forRowsInStretches(
      rows,
      [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
          const std::string& name = nameAt(i);
          const std::string text = forbiddenText(name, folderMode);
          if (!text.empty()) {
            result.errors[i] = text + forbiddenSuffix;
            ++findings[i];
          }
          const std::string unusable =
              unusableText(name, folderMode, storedAsCodePage(i), directoryEntry(i));
          if (!unusable.empty()) {
            result.errors[i] += unusable;
            ++findings[i];
          }
          hashes[i] = RowIndex::hashOf(keyOf(i));
        }
      },
      [&](std::size_t first, std::size_t count) {
        for (std::size_t i = first; i < first + count; ++i) {
          result.errorCount += findings[i];
          if (showProgress) progress.step();
        }
      });

  RowIndex index(rows);
  std::vector<std::uint32_t> slotOfRow(rows);
  for (std::size_t i = 0; i < rows; ++i) {
    const auto row = static_cast<std::uint32_t>(i);
    const std::size_t slot = index.slotOfRow(hashes[i], row, keyOf);
    if (index.row(slot) == RowIndex::NoRow) index.set(slot, hashes[i], row);
    ++index.counter(slot);
    slotOfRow[i] = static_cast<std::uint32_t>(slot);
  }
  const std::string duplicateText = TextCodec::fromUtf8("ﾌｧｲﾙ名が重複しています。");
  for (std::size_t i = 0; i < rows; ++i) {
    if (index.counter(slotOfRow[i]) > 1) {
      result.errors[i] += duplicateText;
      ++result.errorCount;
    }
    if (showProgress) progress.step();
  }
  if (showProgress) progress.close();
  return result;
}

// Paths inside an archive compare without letter case, "\\" and "/" alike.
std::string pathKey(std::string_view path) { return CaseMap::foldKey(Cp932::unifySeparators(path)); }

// The folders and the stored files of an archive as the batch leaves it.
struct ArchiveTree {
  std::unordered_set<std::string> folders;
  std::unordered_set<std::string> files;
};

// Every folder a path lies in (its proper prefixes up to a separator), as keys.
template <class Visit>
void forEachFolderOf(std::string_view path, Visit&& visit) {
  const std::vector<std::size_t> ends = componentEnds(path);
  for (std::size_t k = 0; k + 1 < ends.size(); ++k)
    if (ends[k] > 0) visit(pathKey(path.substr(0, ends[k])));
}

std::string_view withoutLastSeparator(std::string_view path) {
  if (!path.empty() && isSeparatorAt(path, path.size() - 1)) path.remove_suffix(1);
  return path;
}

// A renamed file must not take the path of a folder of the archive, nor lie
// in a folder that is a stored file: extracting tools would make the folder
// and drop the file, or fail on the rest. Folders are the directory entries
// and every folder an entry's path implies, all as the batch leaves them.
// Rows that keep their names are not checked: what the archive already
// holds is not this batch's doing.
void checkArchiveFolders(const EditList& list, const std::vector<ArcInfo>& entries,
                         NameCheck::Result& result) {
  std::unordered_map<std::int64_t, std::size_t> rowOfEntry;
  for (std::size_t i = 0; i < list.rows.size(); ++i) rowOfEntry.emplace(list.rows[i].archiveIndex, i);
  ArchiveTree tree;
  for (const ArcInfo& entry : entries) {
    const auto row = rowOfEntry.find(entry.index);
    const std::string_view path =
        row == rowOfEntry.end() ? std::string_view(entry.name) : list.lastName(row->second);
    forEachFolderOf(path, [&](std::string key) { tree.folders.insert(std::move(key)); });
    if (entry.isDirectory())
      tree.folders.insert(pathKey(withoutLastSeparator(path)));
    else
      tree.files.insert(pathKey(path));
  }

  const std::string sameAsFolder = TextCodec::fromUtf8("書庫内のﾌｫﾙﾀﾞと同じ名前です。");
  const std::string sameAsFile = TextCodec::fromUtf8("書庫内のﾌｧｲﾙと同じ名前です。");
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    const EditRow& row = list.rows[i];
    const std::string& path = list.lastName(i);
    if (path == row.names.front() || !result.errors[i].empty()) continue;
    std::string text;
    const std::string key = pathKey(withoutLastSeparator(path));
    if (row.icon == FileEntry::IconArchiveFolder ? tree.files.count(key) : tree.folders.count(key))
      text = row.icon == FileEntry::IconArchiveFolder ? sameAsFile : sameAsFolder;
    forEachFolderOf(path, [&](const std::string& folder) {
      if (text.empty() && tree.files.count(folder))
        text = TextCodec::fromUtf8("ﾌｫﾙﾀﾞ名が") + sameAsFile;
    });
    if (text.empty()) continue;
    result.errors[i] = text;
    ++result.errorCount;
  }
}

}  // namespace

NameCheck::Result NameCheck::check(const std::vector<std::string>& newNames, bool folderMode,
                                   ProgressSink& progress, int greet3,
                                   const std::vector<bool>& storedAsCodePage, bool lzhPaths) {
  return checkNames(
      newNames.size(), [&](std::size_t i) -> const std::string& { return newNames[i]; },
      [&](std::size_t i) { return i < storedAsCodePage.size() && storedAsCodePage[i]; },
      [](std::size_t) { return false; }, folderMode, progress, greet3, lzhPaths);
}

NameCheck::Result NameCheck::checkEditList(EditList& list, bool folderMode, ProgressSink& progress,
                                           int greet3, bool lzhPaths,
                                           const std::vector<ArcInfo>* archiveEntries, bool inOwnFolder) {
  Result result = checkNames(
      list.rows.size(), [&](std::size_t i) -> const std::string& { return list.lastName(i); },
      [&](std::size_t i) { return list.rows[i].storedAsCodePage; },
      [&](std::size_t i) { return list.rows[i].icon == FileEntry::IconArchiveFolder; }, folderMode, progress,
      greet3, lzhPaths);
  if (!result.refusal.empty()) return result;
  if (!folderMode && archiveEntries) checkArchiveFolders(list, *archiveEntries, result);
  // Only files, folders and links are the batch's to rename or copy: a
  // device, a pipe or a socket is refused whatever its new name.
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    if (list.rows[i].kind != EntryKind::Other) continue;
    result.errors[i] = TextCodec::fromUtf8("「") + list.rows[i].names.front() +
                       TextCodec::fromUtf8("」は通常のﾌｧｲﾙではないため処理できません。") +
                       result.errors[i];
    ++result.errorCount;
  }
  // The settings file, the undo record and the journal there would take
  // the file's place (or it theirs) at the end of the run.
  for (std::size_t i = 0; inOwnFolder && folderMode && i < list.rows.size(); ++i) {
    const std::string& name = list.lastName(i);
    if (!OwnFiles::isOwnName(TextCodec::toDisk(name))) continue;
    result.errors[i] += TextCodec::fromUtf8("「") + name +
                        TextCodec::fromUtf8("」はRitomaが設定ﾌｫﾙﾀﾞで使用するﾌｧｲﾙ名です。");
    ++result.errorCount;
  }
  if (result.errorCount > 0)
    list.setErrorColumn(result.caption(), result.errors);
  else
    list.setErrorColumn({}, {});
  return result;
}

}  // namespace ritoma
