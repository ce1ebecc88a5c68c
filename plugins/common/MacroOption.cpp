#include "MacroOption.h"

#include "text/Cp932.h"

namespace ritoma::metadata {

MacroOption MacroOption::parse(std::string_view option) {
  MacroOption out;
  std::string* parts[] = {&out.field, &out.format};
  std::size_t pos = 0;
  for (std::string* part : parts) {
    const std::size_t comma = Cp932::find(option, ',', pos);
    if (comma == Cp932::npos) {
      part->assign(option.substr(pos));
      return out;
    }
    part->assign(option.substr(pos, comma - pos));
    pos = comma + 1;
  }
  out.fallback.assign(option.substr(pos));
  return out;
}

std::string MacroOption::block() const {
  std::string text = field;
  if (!format.empty() || !fallback.empty()) text += "," + format;
  if (!fallback.empty()) text += "," + fallback;
  return "<" + text + ">";
}

}  // namespace ritoma::metadata
