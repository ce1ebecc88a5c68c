#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ritoma {

// The plan list's attribute text: four characters in the fixed order S, H,
// R, A, each its letter when the attribute is set and "-" otherwise.
class AttributeText {
public:
  static std::string fromBits(std::uint32_t attributes);
  // Letter rule of the execution: S at position 1, H at 2, R at 3, A at 4;
  // any other character (or a missing one) counts as clear.
  static std::uint32_t toBits(std::string_view text);
  // True for exactly four characters, each its letter or "-".
  static bool isValid(std::string_view text);
};

}  // namespace ritoma
