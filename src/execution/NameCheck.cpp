#include "execution/NameCheck.h"

#include <unordered_map>

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

// What the file system or the archive header would refuse, or an empty text.
std::string unusableText(const std::string& name, bool folderMode, bool storedAsCodePage) {
  const std::string badChar = TextCodec::fromUtf8("ﾌｧｲﾙ名に使用できない文字があります。");
  if (!Cp932::isWellFormed(name) || name.find('\0') != std::string::npos) return badChar;
  if (name.empty()) return TextCodec::fromUtf8("ﾌｧｲﾙ名が空です。");
  bool ok = true;
  if (!folderMode) {
    // A code-page-932 header stores real code-page-932 bytes, a UTF-8
    // header the name converted as on disk.
    if (storedAsCodePage) return missingCodeText(name);
    TextCodec::toDisk(name, &ok);
    return ok ? std::string() : badChar;
  }
  const std::string disk = TextCodec::toDisk(name, &ok);
  if (!ok) return badChar;
  if (name == "." || name == "..") return TextCodec::fromUtf8("ﾌｧｲﾙ名として使用できません。");
  if (disk.size() > NameCheck::MaxDiskNameBytes) return TextCodec::fromUtf8("ﾌｧｲﾙ名が長すぎます。");
  return {};
}

}  // namespace

std::string NameCheck::nameError(const std::string& name, bool folderMode) {
  std::string text = forbiddenText(name, folderMode);
  if (!text.empty()) text += TextCodec::fromUtf8("は使用禁止文字です。");
  return text + unusableText(name, folderMode, false);
}

std::string NameCheck::Result::caption() const {
  return TextCodec::fromUtf8("ﾁｪｯｸ … ｴﾗｰ") + std::to_string(errorCount) + TextCodec::fromUtf8("件");
}

NameCheck::Result NameCheck::check(const std::vector<std::string>& newNames, bool folderMode,
                                   ProgressSink& progress, int greet3,
                                   const std::vector<bool>& storedAsCodePage, bool lzhPaths) {
  Result result;
  for (const std::string& name : newNames) {
    if (name.size() > MaxNameBytes) {
      result.refusal = "ファイル名が" + std::to_string(MaxNameBytes) +
                       "バイトを超えるため処理できません\n処理を中止します";
      return result;
    }
  }

  const std::size_t rows = newNames.size();
  const bool showProgress = greet3 > 0 && rows >= static_cast<std::size_t>(greet3);
  if (showProgress) progress.open("リネームチェック中…", static_cast<std::int64_t>(2 * rows));

  const std::string forbiddenSuffix = TextCodec::fromUtf8("は使用禁止文字です。");
  result.errors.assign(rows, {});
  for (std::size_t i = 0; i < rows; ++i) {
    std::string text = forbiddenText(newNames[i], folderMode);
    if (!text.empty()) {
      result.errors[i] = text + forbiddenSuffix;
      ++result.errorCount;
    }
    const std::string unusable =
        unusableText(newNames[i], folderMode, i < storedAsCodePage.size() && storedAsCodePage[i]);
    if (!unusable.empty()) {
      result.errors[i] += unusable;
      ++result.errorCount;
    }
    if (showProgress) progress.step();
  }

  // A row is a duplicate when any other row has the same name without
  // regard to case (nor to the separator, in LZH paths): both rows of a
  // pair are reported.
  std::vector<std::string> keys(rows);
  std::unordered_map<std::string, int> counts;
  counts.reserve(rows);
  for (std::size_t i = 0; i < rows; ++i) {
    keys[i] = CaseMap::foldKey(lzhPaths ? Cp932::unifySeparators(newNames[i]) : newNames[i]);
    ++counts[keys[i]];
  }
  const std::string duplicateText = TextCodec::fromUtf8("ﾌｧｲﾙ名が重複しています。");
  for (std::size_t i = 0; i < rows; ++i) {
    if (counts[keys[i]] > 1) {
      result.errors[i] += duplicateText;
      ++result.errorCount;
    }
    if (showProgress) progress.step();
  }
  if (showProgress) progress.close();
  return result;
}

NameCheck::Result NameCheck::checkEditList(EditList& list, bool folderMode, ProgressSink& progress,
                                           int greet3, bool lzhPaths) {
  std::vector<std::string> names;
  names.reserve(list.rows.size());
  std::vector<bool> storedAsCodePage;
  storedAsCodePage.reserve(list.rows.size());
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    names.push_back(list.lastName(i));
    storedAsCodePage.push_back(list.rows[i].storedAsCodePage);
  }
  Result result = check(names, folderMode, progress, greet3, storedAsCodePage, lzhPaths);
  if (!result.refusal.empty()) return result;
  // Only files, folders and links are the batch's to rename or copy: a
  // device, a pipe or a socket is refused whatever its new name.
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    if (list.rows[i].kind != EntryKind::Other) continue;
    result.errors[i] = TextCodec::fromUtf8("「") + list.rows[i].names.front() +
                       TextCodec::fromUtf8("」は通常のﾌｧｲﾙではないため処理できません。") +
                       result.errors[i];
    ++result.errorCount;
  }
  if (result.errorCount > 0)
    list.setErrorColumn(result.caption(), result.errors);
  else
    list.setErrorColumn({}, {});
  return result;
}

}  // namespace ritoma
