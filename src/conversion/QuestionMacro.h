#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ritoma {

// The string macro "/?" of registered macros: a placeholder for which the
// user types a text each time the macro is applied.
class QuestionMacro {
public:
  // Asked once per "/?", left to right. `before` is the text built so far,
  // `after` the rest of the template behind this "/?". Returns the typed
  // text, or nothing when the user cancelled (an empty text is inserted).
  using Ask = std::function<std::optional<std::string>(std::string_view before, std::string_view after)>;

  // Replaces every "/?" of `text` by the answer to its question. An answer
  // is inserted as typed and is not searched for further "/?". Neither "/"
  // nor "?" can be a trail byte, so a byte search finds only real macros.
  static std::string Expand(std::string_view text, const Ask& ask);
};

}  // namespace ritoma
