#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "archive/NameList.h"

namespace ritoma {

// What identifies an entry's stored data: the CRC its header records (LZH
// CRC-16, ZIP CRC-32) and its compressed and original sizes.
struct ArcEntryData {
  std::uint32_t crc = 0;
  std::uint64_t packedSize = 0;
  std::uint64_t size = 0;

  bool operator==(const ArcEntryData&) const = default;
};

// What a rewritten archive must list, in the archive's order: each entry's
// name and the data that must go with it. A rewrite notes it while pairing
// rows with entries; the check afterwards reads the new archive against it.
class PlannedEntries {
public:
  void reserve(std::size_t count, std::size_t nameBytes) {
    names_.reserve(count, nameBytes);
    data_.reserve(count);
  }
  void clear() {
    names_.clear();
    data_.clear();
  }
  void push_back(std::string_view name, const ArcEntryData& data) {
    names_.push_back(name);
    data_.push_back(data);
  }
  std::size_t size() const { return data_.size(); }
  std::string_view name(std::size_t i) const { return names_[i]; }
  const ArcEntryData& data(std::size_t i) const { return data_[i]; }

private:
  NameList names_;
  std::vector<ArcEntryData> data_;
};

}  // namespace ritoma
