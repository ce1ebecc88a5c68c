// Composition of names: whatever the disk bytes, the composed name comes
// back to disk, is composed, composes to itself, and isComposed agrees with
// compose. Raw code-page-932 bytes (an LZH header's name) compose without
// harm too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/Require.h"
#include "text/Composition.h"
#include "text/TextCodec.h"

using namespace ritoma;
using ritoma::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  for (const std::string& name : {TextCodec::toInternal(raw), std::string(raw)}) {
    const std::string composed = Composition::compose(name);
    require(Composition::isComposed(name) == (composed == name), "isComposed(x) == (compose(x) == x)");
    require(Composition::isComposed(composed), "compose(x) is composed");
    require(Composition::compose(composed) == composed, "compose(compose(x)) == compose(x)");
  }
  bool ok = false;
  TextCodec::toDisk(Composition::compose(TextCodec::toInternal(raw)), &ok);
  require(ok, "a composed disk name goes back to disk");
  return 0;
}
