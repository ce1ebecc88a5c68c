#include "selection/FileEntry.h"

#include <charconv>
#include <iterator>

#include "platform/TimeConvert.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

namespace ritoma {

FileEntry FileEntry::fromDisk(const FileInfo& info, bool checked) {
  LocalTimes zone;
  return fromDisk(info, checked, zone);
}

FileEntry FileEntry::fromDisk(const FileInfo& info, bool checked, LocalTimes& zone) {
  FileEntry entry;
  entry.diskName = info.name;
  entry.kind = info.kind;
  entry.size = info.size;
  entry.created = info.created;
  entry.modified = info.modified;
  entry.accessed = info.accessed;
  entry.attributes = info.attributes;
  entry.modifiedText = formatModified(info.modified, zone);
  std::string name = TextCodec::toInternal(info.name);
  if (info.isFolder) {
    entry.kindCode = "02";
    entry.icon = IconFolder;
    entry.baseName = std::move(name);
    entry.sizeText = "<DIR>";
  } else {
    entry.kindCode = "11";
    entry.checked = checked;
    splitName(name, entry.baseName, entry.extension);
    entry.sizeText = formatSize(info.size);
  }
  return entry;
}

void FileEntry::splitName(std::string_view name, std::string& baseName, std::string& extension) {
  const std::size_t dot = Cp932::listExtensionPos(name);
  if (dot == Cp932::npos) {
    baseName.assign(name);
    extension.clear();
  } else {
    baseName.assign(name.substr(0, dot));
    extension.assign(name.substr(dot));
  }
}

std::string FileEntry::formatSize(std::uint64_t size) {
  char digits[24];
  const int count = static_cast<int>(std::to_chars(digits, std::end(digits), size).ptr - digits);
  std::string text;
  text.reserve(static_cast<std::size_t>(count + count / 3));
  for (int i = 0; i < count; ++i) {
    if (i > 0 && (count - i) % 3 == 0) text.push_back(',');
    text.push_back(digits[i]);
  }
  return text;
}

std::string FileEntry::formatModified(FileTime time) {
  LocalTimes zone;
  return formatModified(time, zone);
}

std::string FileEntry::formatModified(FileTime time, LocalTimes& zone) {
  CivilTime t = zone.toLocal(time);
  t.second &= ~1u;
  return TimeConvert::civilText(t, 4);
}

}  // namespace ritoma
