#include "execution/OwnFiles.h"

#include <algorithm>
#include <span>

#include "execution/JournalFile.h"
#include "execution/UndoFile.h"
#include "execution/UndoHistory.h"

namespace ritoma {

namespace {

constexpr std::string_view kSettingsName = "Ritoma.ini";
constexpr std::string_view kTempInfix = ".tmp";
// Enough of a file to see how it begins: an undo record's folder path is
// at most 65535 bytes after its two-byte length.
constexpr std::size_t kHeaderBytes = 2 + 0xFFFF;
// The files whose names, and the temporary names they are written through,
// are the program's own.
constexpr std::string_view kOwnNames[] = {kSettingsName, UndoFile::FileName, JournalFile::FileName};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

// Which of `bases` `name` is the temporary name of, or an empty view.
std::string_view tempNameOf(std::string_view name, std::span<const std::string_view> bases) {
  for (std::string_view base : bases) {
    const std::size_t fixed = base.size() + kTempInfix.size();
    if (name.size() <= fixed || !equalsIgnoringCase(name.substr(0, base.size()), base) ||
        !equalsIgnoringCase(name.substr(base.size(), kTempInfix.size()), kTempInfix))
      continue;
    const std::string_view digits = name.substr(fixed);
    if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return base;
  }
  return {};
}

// An undo record begins with its folder: a two-byte length and an absolute
// path ending in "/". A record cut short by the kill may end anywhere.
bool beginsAsUndoRecord(std::string_view bytes) {
  if (bytes.size() < 3) return true;  // too short to hold anything but a length
  const std::size_t length = static_cast<unsigned char>(bytes[0]) |
                             static_cast<std::size_t>(static_cast<unsigned char>(bytes[1])) << 8;
  if (length == 0 || bytes[2] != '/') return false;
  return bytes.size() < 2 + length || bytes[1 + length] == '/';
}

bool beginsAsJournal(std::string_view bytes) {
  const std::size_t n = std::min(bytes.size(), JournalFile::Magic.size());
  return bytes.substr(0, n) == JournalFile::Magic.substr(0, n);
}

std::string readHead(FileSystem& fs, const std::string& path, bool& ok) {
  std::unique_ptr<InputFile> file;
  ok = !fs.openRead(path, file);
  std::string bytes;
  if (!ok) return bytes;
  bytes.resize(std::min<std::uint64_t>(file->size(), kHeaderBytes));
  std::size_t got = 0;
  ok = !file->read(bytes.data(), bytes.size(), got) && got == bytes.size();
  return bytes;
}

}  // namespace

bool OwnFiles::isOwnName(std::string_view name) {
  for (std::string_view own : kOwnNames)
    if (equalsIgnoringCase(name, own)) return true;
  if (UndoHistory::isOlderRecordName(name)) return true;
  return !tempNameOf(name, kOwnNames).empty();
}

bool OwnFiles::sameFolder(std::string_view a, std::string_view b) {
  while (a.size() > 1 && a.back() == '/') a.remove_suffix(1);
  while (b.size() > 1 && b.back() == '/') b.remove_suffix(1);
  return a == b;
}

bool OwnFiles::mayReplaceUndoRecord(FileSystem& fs, const std::string& path) {
  FileInfo info;
  if (fs.lookUp(path, info)) return true;
  if (info.kind != EntryKind::File) return false;
  bool read = false;
  const std::string head = readHead(fs, path, read);
  return read && beginsAsUndoRecord(head);
}

std::vector<std::string> OwnFiles::removeLeftovers(FileSystem& fs, const std::string& folder,
                                                   const std::string& keep) {
  static constexpr std::string_view kRecordBases[] = {UndoFile::FileName, JournalFile::FileName};
  // The record an undo run set aside is left over once no run is under way.
  const std::string setAsideName = std::string(UndoFile::FileName) + std::string(UndoHistory::SetAsideSuffix);
  std::vector<std::string> removed;
  std::vector<std::string> names;
  if (fs.listNames(folder, names)) return removed;
  for (const std::string& name : names) {
    const bool setAside = equalsIgnoringCase(name, setAsideName);
    const std::string_view base =
        setAside ? std::string_view(UndoFile::FileName)
                 : tempNameOf(name, kRecordBases);
    if (base.empty()) continue;
    const std::string path = FileSystem::joinPath(folder, name);
    FileInfo info;
    if (path == keep || fs.lookUp(path, info) || info.kind != EntryKind::File) continue;
    bool read = false;
    const std::string head = readHead(fs, path, read);
    const bool ours = base == JournalFile::FileName ? beginsAsJournal(head) : beginsAsUndoRecord(head);
    if (read && ours && !fs.remove(path)) removed.push_back(path);
  }
  return removed;
}

}  // namespace ritoma
