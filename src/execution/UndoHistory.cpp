#include "execution/UndoHistory.h"

#include "execution/OwnFiles.h"
#include "execution/RunJournal.h"
#include "execution/UndoFlow.h"

namespace ritoma {

static_assert(UndoHistory::MaxTotalSize == 2 * UndoFlow::MaxSize);

namespace {

bool lowerEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char c = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    const char d = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
    if (c != d) return false;
  }
  return true;
}

}  // namespace

UndoHistory::UndoHistory(FileSystem& fs, std::string latestPath)
    : fs_(fs), latest_(std::move(latestPath)), folder_(RunJournal::folderOf(latest_)) {}

bool UndoHistory::isOlderRecordName(std::string_view name) {
  const std::string_view base = UndoFile::FileName;
  if (name.size() <= base.size() + 1 || !lowerEquals(name.substr(0, base.size()), base)) return false;
  const std::string_view rest = name.substr(base.size());
  if (lowerEquals(rest, SetAsideSuffix)) return true;
  return rest.size() == 2 && rest[0] == '.' && rest[1] >= '1' &&
         static_cast<std::size_t>(rest[1] - '0') < MaxRecords;
}

std::uint64_t UndoHistory::digest(std::string_view bytes) {
  // FNV-1a over the bytes, then the length.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash ^ bytes.size();
}

std::string UndoHistory::pathOf(std::size_t age) const {
  return age == 0 ? latest_ : latest_ + "." + std::to_string(age);
}

std::string UndoHistory::setAsidePath() const { return latest_ + std::string(SetAsideSuffix); }

bool UndoHistory::isRecord(const std::string& path, bool& other, FileInfo* found) {
  FileInfo info;
  other = false;
  if (fs_.lookUp(path, info)) return false;
  other = info.kind != EntryKind::File || !OwnFiles::mayReplaceUndoRecord(fs_, path);
  if (found) *found = info;
  return !other;
}

std::vector<UndoHistory::Place> UndoHistory::scan(std::size_t& capacity) {
  std::vector<Place> places;
  capacity = MaxRecords;
  for (std::size_t age = 0; age < MaxRecords; ++age) {
    bool other = false;
    FileInfo info;
    if (isRecord(pathOf(age), other, &info)) {
      places.push_back({age, info.size, info.modified});
    } else if (other) {
      capacity = age;
      break;
    }
  }
  return places;
}

std::vector<UndoHistory::Entry> UndoHistory::entries() {
  std::size_t capacity = 0;
  std::vector<Entry> out;
  for (const Place& place : scan(capacity)) out.push_back({pathOf(place.age), place.size, place.written});
  return out;
}

std::error_code UndoHistory::compact() {
  std::vector<Place> places;
  std::size_t capacity = 0;
  return compact(places, capacity);
}

std::error_code UndoHistory::compact(std::vector<Place>& places, std::size_t& capacity) {
  places = scan(capacity);
  bool moved = false;
  // Lowest first: each record moves down to a place no record holds.
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (places[i].age == i) continue;
    if (const std::error_code ec = fs_.rename(pathOf(places[i].age), pathOf(i))) return ec;
    places[i].age = i;
    moved = true;
  }
  return moved ? fs_.syncFolder(folder_) : std::error_code();
}

std::error_code UndoHistory::push(const std::string& temp) {
  FileInfo info;
  if (const std::error_code ec = fs_.lookUp(temp, info)) return ec;
  return pushFile(temp, info.size);
}

std::error_code UndoHistory::pushFile(const std::string& from, std::uint64_t size) {
  std::vector<Place> places;
  std::size_t capacity = 0;
  if (const std::error_code ec = compact(places, capacity)) return ec;
  std::size_t count = places.size();
  if (capacity == 0) return std::make_error_code(std::errc::file_exists);
  std::uint64_t total = size;
  for (const Place& place : places) total += place.size;
  // The oldest go first, until the new one has a place and the sizes fit.
  while (count > 0 && (count + 1 > capacity || total > MaxTotalSize)) {
    --count;
    if (const std::error_code ec = fs_.remove(pathOf(count))) return ec;
    total -= places[count].size;
  }
  // Oldest first: each record moves back to the place the one before it left.
  for (std::size_t age = count; age-- > 0;)
    if (const std::error_code ec = fs_.rename(pathOf(age), pathOf(age + 1))) return ec;
  if (const std::error_code ec = fs_.rename(from, latest_)) return ec;
  return fs_.syncFolder(folder_);
}

std::error_code UndoHistory::dropLatest() {
  std::vector<Place> places;
  std::size_t capacity = 0;
  if (const std::error_code ec = compact(places, capacity)) return ec;
  if (places.empty()) return {};
  if (const std::error_code ec = fs_.remove(latest_)) return ec;
  return compact();
}

UndoHistory::SetAside UndoHistory::setLatestAside(std::uint64_t recordDigest) {
  std::vector<Place> places;
  std::size_t capacity = 0;
  if (compact(places, capacity)) return SetAside::Failed;
  std::string bytes;
  // A record larger than UNDO reads cannot be the one it reversed.
  if (places.empty() || places[0].size > UndoFlow::MaxSize || fs_.readWholeFile(latest_, bytes))
    return SetAside::Changed;
  if (digest(bytes) != recordDigest) return SetAside::Changed;
  bytes = std::string();
  if (fs_.rename(latest_, setAsidePath())) return SetAside::Failed;
  // Set aside, the record is out of the history: a failure from here on
  // leaves an empty place that the next reader closes.
  compact();
  return SetAside::Done;
}

void UndoHistory::dropSetAside() {
  bool other = false;
  if (isRecord(setAsidePath(), other)) fs_.remove(setAsidePath());
}

std::error_code UndoHistory::restoreSetAside() {
  bool other = false;
  FileInfo info;
  if (!isRecord(setAsidePath(), other, &info)) return {};
  return pushFile(setAsidePath(), info.size);
}

}  // namespace ritoma
