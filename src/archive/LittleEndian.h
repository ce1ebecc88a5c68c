#pragma once

#include <cstddef>
#include <cstdint>

namespace ritoma {

// Little-endian field access for archive headers. Callers check that the
// field lies inside the buffer before calling.
class LittleEndian {
public:
  static std::uint16_t get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
  }
  static std::uint32_t get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  }
  static void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
  }
  static void put32(std::uint8_t* p, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
};

}  // namespace ritoma
