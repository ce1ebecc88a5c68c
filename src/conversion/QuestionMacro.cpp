#include "conversion/QuestionMacro.h"

namespace ritoma {

std::string QuestionMacro::Expand(std::string_view text, const Ask& ask) {
  std::string result;
  std::string_view rest = text;
  for (std::size_t at = rest.find("/?"); at != std::string_view::npos; at = rest.find("/?")) {
    result.append(rest.substr(0, at));
    rest.remove_prefix(at + 2);
    if (std::optional<std::string> answer = ask(result, rest)) result += *answer;
  }
  result.append(rest);
  return result;
}

}  // namespace ritoma
