#include "archive/ArcRenameTable.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "text/CaseMap.h"
#include "text/Cp932.h"

namespace ritoma {

namespace {

// Bytes [i, i + 8) of `s` as one little-endian word, zeros past its end.
std::uint64_t wordAt(std::string_view s, std::size_t i) {
  std::uint64_t word = 0;
  if (s.size() - i >= 8) {
    std::memcpy(&word, s.data() + i, 8);
  } else {
    for (std::size_t k = 0; i + k < s.size(); ++k)
      word |= std::uint64_t{static_cast<unsigned char>(s[i + k])} << (8 * k);
  }
  return word;
}

// Whether folding can change the name: only upper-case ASCII letters and
// double-byte characters can fold. Eight bytes at a time: every row and
// every entry is tested. Bytes of 0x80 and above end the test before the
// additions, which then cannot carry from one byte into the next.
bool foldsToItself(std::string_view name) {
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  for (std::size_t i = 0; i < name.size(); i += 8) {
    const std::uint64_t word = wordAt(name, i);
    if (word & kHigh) return false;
    const std::uint64_t fromA = word + 0x3F3F3F3F3F3F3F3Full;  // high bit: byte >= 'A'
    const std::uint64_t pastZ = word + 0x2525252525252525ull;  // high bit: byte > 'Z'
    if (fromA & ~pastZ & kHigh) return false;
  }
  return true;
}

// A multiply-and-shift hash a word at a time: names are short, and a
// general-purpose string hash costs more than the rest of a look-up. The
// table is not exposed to names chosen to collide beyond the user's own.
std::size_t hashName(std::string_view name) {
  std::uint64_t h = name.size() * 0x9E3779B97F4A7C15ull;
  for (std::size_t i = 0; i < name.size(); i += 8) {
    h = (h ^ wordAt(name, i)) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
  }
  h *= 0x94D049BB133111EBull;
  return static_cast<std::size_t>(h ^ (h >> 29));
}

}  // namespace

ArcRenameTable::ArcRenameTable(const std::vector<ArcRenameRow>& rows) {
  if (rows.size() >= 0xFFFFFFFFu) throw std::length_error("too many rename rows");
  keys_.resize(rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (foldsToItself(rows[r].oldName)) {
      keys_[r] = rows[r].oldName;
    } else {
      folded_.push_back(CaseMap::foldKey(rows[r].oldName));
      keys_[r] = folded_.back();
    }
  }
  std::size_t capacity = 16;
  while (capacity < 2 * keys_.size()) capacity *= 2;
  slots_.assign(capacity, 0);
  flags_.assign(rows.size(), kWins);
  for (std::size_t r = 0; r < keys_.size(); ++r) {
    std::uint32_t& slot = slots_[slotOf(keys_[r])];
    if (slot != 0) flags_[slot - 1] = 0;  // a later row of the same name wins
    slot = static_cast<std::uint32_t>(r + 1);
  }
}

std::size_t ArcRenameTable::slotOf(std::string_view key) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = hashName(key) & mask;
  while (slots_[slot] != 0 && keys_[slots_[slot] - 1] != key) slot = (slot + 1) & mask;
  return slot;
}

int ArcRenameTable::claim(std::string_view entryName) {
  if (keys_.empty()) return -1;
  if (!foldsToItself(entryName)) {
    scratch_ = CaseMap::foldKey(entryName);
    entryName = scratch_;
  }
  std::size_t row = next_;
  if (row >= keys_.size() || !(flags_[row] & kWins) || keys_[row] != entryName) {
    const std::uint32_t slot = slots_[slotOf(entryName)];
    if (slot == 0) return -1;
    row = slot - 1;
  }
  if (flags_[row] & kClaimed) return -1;  // an earlier entry of the same name took it
  flags_[row] |= kClaimed;
  next_ = row + 1;
  return static_cast<int>(row);
}

std::string ArcRenameTable::normalizeSeparators(std::string_view name) {
  std::string out(name);
  for (std::size_t i = Cp932::find(out, '\\'); i != Cp932::npos; i = Cp932::find(out, '\\', i + 1))
    out[i] = '/';
  return out;
}

}  // namespace ritoma
