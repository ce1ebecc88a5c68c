// The lossless codec: any disk bytes come back byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/Require.h"
#include "text/Cp932.h"
#include "text/TextCodec.h"

using namespace ritoma;
using ritoma::fuzz::require;

namespace {

bool isValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t length = 0;
    char32_t c = 0, min = 0;
    if (b < 0x80) length = 1, c = b;
    else if (b >= 0xC2 && b <= 0xDF) length = 2, c = b & 0x1F, min = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) length = 3, c = b & 0x0F, min = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) length = 4, c = b & 0x07, min = 0x10000;
    else return false;
    if (s.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      c = (c << 6) | (t & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view disk(reinterpret_cast<const char*>(data), size);
  const std::string internal = TextCodec::toInternal(disk);
  require(Cp932::isWellFormed(internal), "internal text is well-formed code page 932");
  bool ok = false;
  require(TextCodec::toDisk(internal, &ok) == disk && ok, "decode(encode(x)) == x");
  require(isValidUtf8(TextCodec::toDisplayUtf8(internal)), "display text is valid UTF-8");
  return 0;
}
