#include "execution/DisplayText.h"

#include "text/TextCodec.h"

namespace ritoma {

std::string DisplayText::fromCp932(std::string_view cp932) { return TextCodec::toDisplayUtf8(cp932); }

std::string DisplayText::fromDisk(std::string_view diskBytes) {
  return fromCp932(TextCodec::toInternal(diskBytes));
}

}  // namespace ritoma
