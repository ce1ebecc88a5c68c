#pragma once

#include <cstddef>
#include <cstdint>

namespace ritoma {

// CRC-16/ARC as LZH headers use it: reflected polynomial 0xA001, initial
// value 0, no final XOR.
class LzhCrc16 {
public:
  static std::uint16_t compute(const void* data, std::size_t size, std::uint16_t crc = 0);
};

}  // namespace ritoma
