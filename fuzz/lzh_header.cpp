// LZH headers of levels 0, 1 and 2: the listing, extraction and a rename of
// every entry.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/ArchiveProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ritoma::fuzz::ArchiveProbe::run(ritoma::ArcLzh,
                                  std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
