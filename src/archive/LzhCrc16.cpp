#include "archive/LzhCrc16.h"

#include <array>

namespace ritoma {

namespace {

constexpr std::array<std::uint16_t, 256> makeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    std::uint16_t value = static_cast<std::uint16_t>(i);
    for (int bit = 0; bit < 8; ++bit)
      value = (value & 1) ? static_cast<std::uint16_t>((value >> 1) ^ 0xA001)
                          : static_cast<std::uint16_t>(value >> 1);
    table[i] = value;
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = makeTable();

}  // namespace

std::uint16_t LzhCrc16::compute(const void* data, std::size_t size, std::uint16_t crc) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  for (std::size_t i = 0; i < size; ++i)
    crc = static_cast<std::uint16_t>(kTable[(crc ^ p[i]) & 0xFF] ^ (crc >> 8));
  return crc;
}

}  // namespace ritoma
