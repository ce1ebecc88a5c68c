#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// Names kept end to end in one buffer: a list of many thousands of short
// names costs a few allocations instead of one per name.
class NameList {
public:
  void reserve(std::size_t count, std::size_t bytes);
  void clear();
  void push_back(std::string_view name) {
    bytes_.append(name);
    ends_.push_back(bytes_.size());
  }
  std::size_t size() const { return ends_.size(); }
  std::string_view operator[](std::size_t i) const {
    const std::size_t start = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(bytes_).substr(start, ends_[i] - start);
  }

private:
  std::string bytes_;
  std::vector<std::size_t> ends_;
};

}  // namespace ritoma
