#include "execution/DisplayText.h"

#include "text/TextCodec.h"

namespace ritoma {

std::string DisplayText::fromCp932(std::string_view cp932) { return TextCodec::toDisplayUtf8(cp932); }

std::string DisplayText::fromDisk(std::string_view diskBytes) {
  return fromCp932(TextCodec::toInternal(diskBytes));
}

std::string DisplayText::nameLines(const std::vector<std::string>& names, std::size_t shown) {
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < shown; ++i) {
    text += '\n';
    text += names[i];
  }
  if (names.size() > shown) text += "\nほか" + std::to_string(names.size() - shown) + "件";
  return text;
}

}  // namespace ritoma
