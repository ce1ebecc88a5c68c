#pragma once

#include <string>
#include <string_view>

#include "conversion/RegisteredList.h"
#include "conversion/StringReplacer.h"

namespace ritoma {

// The replacement settings packed into a registered replacement's parameter
// text: one digit each for case sensitivity (1 sensitive), target (0 name,
// 1 extension, 2 both), search start (0 left, 1 right) and the replace
// count (0-9), then the skip count (0-999) without leading zeros.
struct ReplaceParameters {
  bool caseSensitive = true;
  NamePart target = NamePart::Name;
  bool leftToRight = true;
  int replaceCount = 0;
  int skipCount = 0;

  std::string encode() const;
  // Reads a parameter text back. A text edited by hand out of this layout
  // gives each field that cannot be read its default; values beyond a
  // field's range are brought into it.
  static ReplaceParameters decode(std::string_view text);
  bool operator==(const ReplaceParameters&) const = default;
};

// One registered replacement.
struct RegisteredReplace {
  std::string parameters;  // ReplaceParameters::encode()
  std::string before;
  std::string after;
  bool operator==(const RegisteredReplace&) const = default;
};

// The registered replacements, kept in section "Replace" ("Count";
// "P-%.3d" parameters, "B-%.3d" before, "A-%.3d" after).
class RegisteredReplaceList : public RegisteredList<RegisteredReplace> {
public:
  RegisteredReplaceList();
};

}  // namespace ritoma
