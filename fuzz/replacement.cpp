// The replacement parser and scan: the first line holds the search texts,
// the second their replacements, the third the settings (one byte each:
// target, direction, letter case, skip count, replace count), every further
// line a name. Double-byte characters are units: text that is well-formed
// code page 932 stays so.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/StringReplacer.h"
#include "support/Require.h"
#include "support/InputLines.h"
#include "text/Cp932.h"

using namespace ritoma;
using ritoma::fuzz::inputLines;
using ritoma::fuzz::require;

namespace {

int setting(std::string_view settings, std::size_t i) {
  return i < settings.size() ? static_cast<unsigned char>(settings[i]) : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = inputLines(std::string_view(reinterpret_cast<const char*>(data), size));
  if (parts.size() < 2) return 0;
  StringReplacer replacer;
  replacer.search = parts[0];
  replacer.replacement = parts[1];
  const std::string_view settings = parts.size() > 2 ? parts[2] : std::string_view();
  replacer.target = static_cast<NamePart>(setting(settings, 0) % 3);
  replacer.leftToRight = setting(settings, 1) % 2 == 0;
  replacer.caseSensitive = setting(settings, 2) % 2 == 0;
  replacer.skipCount = setting(settings, 3) % 4;
  replacer.replaceCount = setting(settings, 4) % 4;
  const bool wellFormed = Cp932::isWellFormed(replacer.search) && Cp932::isWellFormed(replacer.replacement);
  for (std::size_t i = 3; i < parts.size(); ++i) {
    const std::string result = replacer.ReplaceAll(parts[i]);
    if (!wellFormed || !Cp932::isWellFormed(parts[i])) continue;
    require(Cp932::isWellFormed(result), "a replacement never splits a double-byte character");
    if (replacer.search.find_first_of("*?|") == std::string::npos &&
        Cp932::findText(parts[i], replacer.search) == Cp932::npos && !replacer.search.empty() &&
        replacer.caseSensitive)
      require(result == parts[i], "a name without the search text stays as it was");
  }
  return 0;
}
